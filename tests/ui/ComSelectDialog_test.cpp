#include "common/SettingsStore.h"
#include "support/Fakes.h"
#include "ui/frmCOMSelect.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tessivar {
namespace {

using testing::FakePrompt;

// Records the connection steps; the link always opens and the controller is active.
class ActiveHost : public IConnectionHost {
public:
    void replaceSettings() override { steps.push_back("replace"); }
    void discardChannel() override { steps.push_back("discard"); }
    bool openConnection() override {
        steps.push_back("open");
        return true;
    }
    void turnOffVerbose() override {}
    std::string getActiveStatus() override { return "ACTIVE"; }
    void doTakeOver() override { steps.push_back("takeover"); }
    void setPollInterval(int ms) override { interval = ms; }
    void hideDialog() override { steps.push_back("hide"); }
    void runInventory() override { steps.push_back("inventory"); }

    std::vector<std::string> steps;
    int interval = 0;
};

struct DialogFixture {
    explicit DialogFixture(MemorySettingsStore& s)
        : dialog(
              s, prompt, host, [this] { ++ended; },
              [](int port) { return "/dev/ttyS" + std::to_string(port - 1); }) {}
    FakePrompt prompt;
    ActiveHost host;
    int ended = 0;
    ui::frmCOMSelect dialog;
};

void retype(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

TEST(PortSelectionDialog, LoadsTheStoredSettingsAndEnablesTheChosenLink) {
    MemorySettingsStore store;
    store.write("Parms", "ConnectType", "Telnet");
    store.write("Parms", "TelnetAddress", "10.001.2.3");
    store.write("Parms", "TelnetPort", "2323");
    store.write("Parms", "TelnetPass", "code");
    store.write("Parms", "COMPort", "4");
    DialogFixture f(store);
    auto& d = f.dialog;
    EXPECT_EQ(d.windowTitle(), "Port Selection");
    EXPECT_TRUE(d.OptionTelnet->isChecked());
    EXPECT_EQ(d.txtComPort->text(), "4");
    EXPECT_EQ(d.txtIP[0]->text(), "10");
    EXPECT_EQ(d.txtIP[1]->text(), "1");
    EXPECT_EQ(d.txtIP[2]->text(), "2");
    EXPECT_EQ(d.txtIP[3]->text(), "3");
    EXPECT_EQ(d.txtTelnetport->text(), "2323");
    EXPECT_EQ(d.txtTelnetpass->text(), "code");
    EXPECT_FALSE(d.txtComPort->isEnabled());
    EXPECT_TRUE(d.txtIP[2]->isEnabled());
    EXPECT_TRUE(d.txtTelnetpass->isEnabled());

    QTest::mouseClick(d.OptionCOM, Qt::LeftButton);
    EXPECT_TRUE(d.txtComPort->isEnabled());
    EXPECT_TRUE(d.Label1->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(d.Label2), static_cast<QWidget*>(d.txtIP[0]),
                       static_cast<QWidget*>(d.txtIP[3]), static_cast<QWidget*>(d.Label3),
                       static_cast<QWidget*>(d.txtTelnetport), static_cast<QWidget*>(d.Label4),
                       static_cast<QWidget*>(d.txtTelnetpass)})
        EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
    // the device behind the COM number follows what is typed
    EXPECT_EQ(d.lblDevicePath->text(), QStringLiteral("\u2192 /dev/ttyS3"));
    retype(d.txtComPort, "12");
    EXPECT_EQ(d.lblDevicePath->text(), QStringLiteral("\u2192 /dev/ttyS11"));
    retype(d.txtComPort, "0");
    EXPECT_TRUE(d.lblDevicePath->text().isEmpty());
}

TEST(PortSelectionDialog, AnUnknownStoredTypeShowsLocal) {
    MemorySettingsStore store;
    store.write("Parms", "ConnectType", "telnet");
    DialogFixture f(store);
    EXPECT_TRUE(f.dialog.OptionCOM->isChecked());
    EXPECT_FALSE(f.dialog.txtTelnetport->isEnabled());
}

struct Typed {
    bool remote;
    QString comPort;
    QString telnetPort;
    QStringList address;
    std::string message; // empty: accepted
};

TEST(PortSelectionDialog, OkChecksWhatWasTypedInTheChosenLinkOnly) {
    const Typed cases[] = {
        {false, "0255", "23", {"1", "2", "3", "4"}, "Invalid Serial Port Specified. (1-255)"},
        {false, "256", "23", {"1", "2", "3", "4"}, "Invalid Serial Port Specified.  (1-255)"},
        {false, "", "23", {"1", "2", "3", "4"}, "Invalid Serial Port Specified. (1-255)"},
        // the Telnet boxes are not looked at on the serial path
        {false, "007", "x", {"", "", "", ""}, ""},
        {true, "999", "0", {"10", "0", "0", "1"}, "Invalid Telnet Port Specified. (1-32000)"},
        {true, "999", "23", {"0", "0", "0", "0"}, "Invalid IP address."},
        {true, "999", "23", {"10", "256", "0", "1"}, "Invalid IP address."},
        {true, "999", "23", {"00", "0", "0", "0"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.remote ? "remote " : "local ") + c.comPort.toStdString() + " " +
                     c.telnetPort.toStdString() + " " + c.address.join('.').toStdString());
        MemorySettingsStore store;
        DialogFixture f(store);
        auto& d = f.dialog;
        QTest::mouseClick(c.remote ? d.OptionTelnet : d.OptionCOM, Qt::LeftButton);
        if (c.remote) {
            for (int i = 0; i < 4; ++i)
                retype(d.txtIP[static_cast<std::size_t>(i)], c.address[i]);
            retype(d.txtTelnetport, c.telnetPort);
        } else {
            retype(d.txtComPort, c.comPort);
        }
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        if (c.message.empty()) {
            EXPECT_TRUE(f.prompt.boxes.empty());
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_EQ(f.host.steps.back(), "inventory");
            EXPECT_EQ(f.host.interval, c.remote ? 200 : 75);
            EXPECT_EQ(store.get("Parms", "ConnectType", ""), c.remote ? "Telnet" : "Serial");
        } else {
            ASSERT_EQ(f.prompt.messages(), std::vector<std::string>{c.message});
            EXPECT_TRUE(f.host.steps.empty());
            EXPECT_TRUE(store.writes().empty());
        }
    }
}

TEST(PortSelectionDialog, CancelAsksAndOnlyTheCancelButtonEndsTheProgram) {
    MemorySettingsStore store;
    store.write("Parms", "COMPort", "9");
    DialogFixture f(store);
    f.prompt.choices = {0, -1, 1};
    QTest::mouseClick(f.dialog.cmdCancel, Qt::LeftButton); // Back
    QTest::mouseClick(f.dialog.cmdCancel, Qt::LeftButton); // box closed another way
    EXPECT_EQ(f.ended, 0);
    EXPECT_EQ(f.dialog.txtComPort->text(), "9");
    QTest::mouseClick(f.dialog.cmdCancel, Qt::LeftButton); // Cancel
    EXPECT_EQ(f.ended, 1);
    ASSERT_EQ(f.prompt.boxes.size(), 3U);
    EXPECT_EQ(f.prompt.boxes[0].first, "Back");
    EXPECT_EQ(f.prompt.boxes[0].second, "Cancel");

    f.dialog.close(); // the close box ends the program too
    EXPECT_EQ(f.ended, 2);
}

TEST(PortSelectionDialog, CommandLineTargetFillsTheDialogAndKeepsTheStoredAccessCode) {
    MemorySettingsStore store;
    store.write("Parms", "TelnetPass", "kept");
    DialogFixture f(store);
    auto target = parseConnectTarget("telnet://192.168.7.20:2300");
    ASSERT_TRUE(target.value);
    f.dialog.fill(*target.value);
    QTest::mouseClick(f.dialog.cmdOK, Qt::LeftButton);
    EXPECT_EQ(store.get("Parms", "ConnectType", ""), "Telnet");
    EXPECT_EQ(store.get("Parms", "TelnetAddress", ""), "192.168.7.20");
    EXPECT_EQ(store.get("Parms", "TelnetPort", ""), "2300");
    EXPECT_EQ(store.get("Parms", "TelnetPass", ""), "kept");
}

} // namespace
} // namespace tessivar
