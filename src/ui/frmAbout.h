#pragma once

#include <QDialog>

class QLabel;

namespace tessivar::ui {

// The about box: a separate window, so the main window stays usable while it is open.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblTrademark = nullptr;
};

} // namespace tessivar::ui
