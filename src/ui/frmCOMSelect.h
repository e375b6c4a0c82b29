#pragma once

#include "link/ComSelect.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessivar {
class clsConnectionData;
class IOperatorPrompt;
class ISettingsStore;
} // namespace tessivar

namespace tessivar::ui {

// "Port Selection": the only place where the connection settings are edited. Its OK button
// runs the whole connection sequence; the dialog is hidden, never closed, once it succeeds.
class frmCOMSelect : public QDialog {
    Q_OBJECT
public:
    // Shows the serial device a COM number maps to, beside the port box.
    using DevicePathFor = std::function<std::string(int comPort)>;
    // Ends the program at once (the close box and "Cancel" in the exit box).
    using EndProgram = std::function<void()>;

    ~frmCOMSelect() override;
    frmCOMSelect(ISettingsStore& store, IOperatorPrompt& prompt, IConnectionHost& host,
                 EndProgram endProgram, DevicePathFor devicePathFor = {},
                 QWidget* parent = nullptr);

    // Hides the dialog with an accepted result: ends its modal display once the OK handler
    // returns.
    void finishConnected();

    // Fills the fields a command-line target names, as an operator would type them.
    void fill(const ConnectTarget& target);
    ComSelectFields fields() const;

    QRadioButton* OptionCOM = nullptr;
    QRadioButton* OptionTelnet = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtComPort = nullptr;
    QLabel* lblDevicePath = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QLineEdit*, 4> txtIP{};
    std::array<QLabel*, 3> lblDot{};
    QLabel* Label3 = nullptr;
    QLineEdit* txtTelnetport = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtTelnetpass = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void load();
    void OptionCOM_Click();
    void OptionTelnet_Click();
    // "Local" enables the serial controls and disables the Telnet ones; "Remote" the opposite.
    void enableLinkControls(bool local);
    void cmdOK_Click();
    void cmdCancel_Click();
    void showDevicePath();

    ISettingsStore& store_;
    std::unique_ptr<clsConnectionData> data_;
    IOperatorPrompt& prompt_;
    IConnectionHost& host_;
    EndProgram endProgram_;
    DevicePathFor devicePathFor_;
};

} // namespace tessivar::ui
