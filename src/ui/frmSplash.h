#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace tessivar::ui {

// The start-up picture with the version and notices; it closes itself after the 21st tick
// of its 100 ms timer, about 2.1 s after it appears.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblTrademark = nullptr;
    QTimer tmrSplash;

private:
    void tick();
    int ticks_ = 0;
};

} // namespace tessivar::ui
