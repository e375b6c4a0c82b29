#pragma once

#include <QWidget>

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

// "File Logging": the two log files' names and switches and which cards are logged. Every
// box reacts to a change, whether typed or filled by the window itself, and only to a real
// change: that is how opening the window hands the stored names and selections to the log
// writer and the logging selection.
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
    void load();
    void chkSimpleLog_Click(bool checked);
    void chkDetailLog_Click(bool checked);

    clsLogFile& logFile_;
    clsLogging& logging_;
    ISettingsStore& store_;
    IOperatorPrompt& prompt_;
};

} // namespace tessivar::ui
