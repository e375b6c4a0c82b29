#pragma once

#include "logging/LoggingForm.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tessivar {
class clsLogFile;
class clsLogging;
class ISettingsStore;
class IOperatorPrompt;
} // namespace tessivar

namespace tessivar::ui {

// "File Logging": the two log files' names and switches and which cards are logged. The
// behaviour, including the rule that a fill by the window runs a box's reaction only when it
// changes the box, is LoggingForm's; the widgets mirror it.
class frmLogging : public QWidget {
    Q_OBJECT
public:
    frmLogging(clsLogFile& logFile, clsLogging& logging, ISettingsStore& store,
               IOperatorPrompt& prompt, QWidget* parent = nullptr);

    QCheckBox* chkSimpleLog = nullptr;
    QLineEdit* txtSimpleFileName = nullptr;
    QCheckBox* chkDetailLog = nullptr;
    QLineEdit* txtDetailFileName = nullptr;
    QGroupBox* fraCardSelection = nullptr;
    QCheckBox* chkInputs = nullptr;
    QLineEdit* txtInputs = nullptr;
    QCheckBox* chkOutputs = nullptr;
    QLineEdit* txtOutputs = nullptr;
    QCheckBox* chkMatrices = nullptr;
    QLineEdit* txtMatrices = nullptr;
    QCheckBox* chkPower = nullptr;
    QLineEdit* txtPower = nullptr;

private:
    struct CategoryRow {
        LoggingForm::Category category;
        QCheckBox* box;
        QLineEdit* edit;
    };
    std::array<CategoryRow, 4> categoryRows() const;
    void load();

    // What the window does; the widgets show its state and forward the operator's edits.
    LoggingForm form_;
};

} // namespace tessivar::ui
