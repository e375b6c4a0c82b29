// The command channel over the real serial port (a pseudo-terminal) and the real Telnet
// client (a loopback controller).

#include "integration/ControllerPeers.h"
#include "link/clsConnectionData.h"
#include "link/frmDebug.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTelnetClient.h"
#include "platform/QtTestApp.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

using namespace testing::telnet;
using testing::SerialController;
using testing::TelnetController;
using testing::TelnetStream;

class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureQtApplication(); }

    // The channel over fresh real ports; telnetClient/serialPort stay usable to look at the
    // link from the test.
    std::unique_ptr<frmDebug> makeChannel() {
        auto serial = std::make_unique<QtSerialPort>(store);
        auto telnet = std::make_unique<QtTelnetClient>();
        serialPort = serial.get();
        telnetClient = telnet.get();
        return std::make_unique<frmDebug>(std::move(serial), std::move(telnet), prompt, clock,
                                          files);
    }
    std::shared_ptr<clsConnectionData> telnetSettings(std::int16_t port, const std::string& code) {
        store.write("Parms", "ConnectType", "Telnet");
        store.write("Parms", "TelnetAddress", "127.0.0.1");
        store.write("Parms", "TelnetPort", std::to_string(port));
        store.write("Parms", "TelnetPass", code);
        return std::make_shared<clsConnectionData>(store);
    }

    MemorySettingsStore store;
    testing::FakePrompt prompt;
    SystemClock clock;
    testing::MemoryFileSystem files;
    QtSerialPort* serialPort = nullptr;
    QtTelnetClient* telnetClient = nullptr;
};

TEST_F(LinkFixture, TelnetCommandsRoundTripAfterLogin) {
    TelnetController controller("s3cret", [](TelnetStream& s, const std::string& command) {
        if (command == "RC I,")
            s.write("RC I,\r\n1,2,5\r\n>");
        else if (command == "FT")
            s.write("FT\r\nFrame=2\r\n>");
        return true;
    });
    {
        auto channel = makeChannel();
        ASSERT_TRUE(channel->openConnection(telnetSettings(controller.port(), "s3cret")));
        EXPECT_EQ(channel->SendDEBUGCmd("RC I,"), "RC I,\r\n1,2,5\r\n>");
        EXPECT_EQ(channel->SendDEBUGCmd("FT"), "FT\r\nFrame=2\r\n>");
    }
    controller.join();
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(controller.accessCodes, (std::vector<std::string>{"s3cret"}));
    // No line end after the code: it would reach the controller as an empty command.
    EXPECT_EQ(controller.commands, (std::vector<std::string>{"RC I,", "FT"}));
    EXPECT_EQ(controller.sessions, 1);
}

TEST_F(LinkFixture, TelnetEmptyAccessCodeIsALineEnd) {
    TelnetController controller("", [](TelnetStream& s, const std::string&) {
        s.write("ok\r\n>");
        return true;
    });
    {
        auto channel = makeChannel();
        ASSERT_TRUE(channel->openConnection(telnetSettings(controller.port(), "")));
        EXPECT_EQ(channel->SendDEBUGCmd("CS"), "ok\r\n>");
    }
    controller.join();
    EXPECT_EQ(controller.accessCodes, (std::vector<std::string>{"\r\n"}));
    EXPECT_EQ(controller.commands, (std::vector<std::string>{"CS"}));
}

TEST_F(LinkFixture, TelnetSplitPromptEndsTheReplyAndLateTextIsDropped) {
    TelnetController controller("code", [](TelnetStream& s, const std::string& command) {
        if (command == "FT") {
            // The line feed and ">" arrive in separate reads: the ">" is sent only once the
            // console has answered an option offered right after the line feed, which it
            // does while taking the line feed in.
            s.write("FT\r\nFrame=2\r\n" + cmd(DO, TTYPE));
            if (!s.awaitCommand(cmd(WONT, TTYPE)))
                return false;
            s.write(">" + cmd(DO, NAWS));
            // Text that follows the prompt only after the console has read the prompt: a
            // channel that missed the prompt would take it into this reply.
            if (!s.awaitCommand(cmd(WONT, NAWS)))
                return false;
            s.write("LATE\r\n");
        } else if (command == "AL") {
            s.write("AL\r\nnone\r\n>");
        }
        return true;
    });
    {
        auto channel = makeChannel();
        ASSERT_TRUE(channel->openConnection(telnetSettings(controller.port(), "code")));
        EXPECT_EQ(channel->SendDEBUGCmd("FT"), "FT\r\nFrame=2\r\n>");

        // The late text is at the console before the next command goes out.
        ASSERT_TRUE(telnetClient->waitForData(std::chrono::milliseconds(testing::kGuardMs)));
        EXPECT_EQ(channel->SendDEBUGCmd("AL"), "AL\r\nnone\r\n>");
    }
    controller.join();
    EXPECT_EQ(controller.commands, (std::vector<std::string>{"FT", "AL"}));
}

TEST_F(LinkFixture, TelnetSessionClosedByTheControllerIsOpenedAgain) {
    TelnetController controller(
        "code",
        [](TelnetStream& s, const std::string& command) {
            s.write(command + "\r\ndone\r\n>");
            return command != "BYE"; // hang up after answering
        },
        2);
    {
        auto channel = makeChannel();
        ASSERT_TRUE(channel->openConnection(telnetSettings(controller.port(), "code")));
        EXPECT_EQ(channel->SendDEBUGCmd("BYE"), "BYE\r\ndone\r\n>");
        // Wait until the hang-up has reached the console, so the next command finds the
        // session closed rather than racing it.
        for (int i = 0; i < 100 && !telnetClient->isClosed(); ++i)
            telnetClient->waitForData(std::chrono::milliseconds(100));
        ASSERT_TRUE(telnetClient->isClosed());
        EXPECT_EQ(channel->SendDEBUGCmd("CS"), "CS\r\ndone\r\n>");
    }
    controller.join();
    EXPECT_EQ(controller.sessions, 2);
    EXPECT_EQ(controller.accessCodes, (std::vector<std::string>{"code", "code"}));
    EXPECT_EQ(controller.commands, (std::vector<std::string>{"BYE", "CS"}));
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(LinkFixture, TelnetControllerNotListeningIsReported) {
    std::int16_t closedPort = 0;
    {
        testing::LoopbackListener gone;
        closedPort = gone.port();
    }
    auto channel = makeChannel();
    EXPECT_FALSE(channel->openConnection(telnetSettings(closedPort, "code")));
    ASSERT_EQ(prompt.boxes.size(), 1U);
    EXPECT_EQ(prompt.boxes[0].message.rfind("Unable to connect.  Error ", 0), 0U)
        << prompt.boxes[0].message;
    EXPECT_NE(prompt.boxes[0].message, "Unable to connect.  Error 0");
}

class SerialLinkTest : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        store.write("Ports", "COM7", pty.slavePath());
        store.write("Parms", "ConnectType", "Serial");
        store.write("Parms", "COMPort", "7");
    }
    testing::PtyPair pty;
};

TEST_F(SerialLinkTest, CommandsRoundTripAndStaleInputIsDropped) {
    SerialController controller(pty.master, 2, [](int fd, const std::string& command) {
        // The prompt's two characters in separate writes.
        testing::writeAllTo(fd, command + "\r\nWC=3\r\n");
        testing::writeAllTo(fd, ">");
    });
    auto channel = makeChannel();
    ASSERT_TRUE(channel->openConnection(std::make_shared<clsConnectionData>(store)));
    EXPECT_TRUE(channel->statusCOMPort());
    EXPECT_EQ(channel->SendDEBUGCmd("OB 3"), "OB 3\r\nWC=3\r\n>");

    // Unsolicited text waiting at the console before the next command.
    testing::writeAllTo(pty.master, "late\r\n>");
    ASSERT_TRUE(pty.slaveHasInput());
    EXPECT_EQ(channel->SendDEBUGCmd("IB 1"), "IB 1\r\nWC=3\r\n>");

    controller.join();
    EXPECT_EQ(controller.commands, (std::vector<std::string>{"OB 3", "IB 1"}));
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(SerialLinkTest, VerboseSwitchesGoOutAlone) {
    auto channel = makeChannel();
    ASSERT_TRUE(channel->openConnection(std::make_shared<clsConnectionData>(store)));
    channel->turnOffVerbose();
    EXPECT_EQ(testing::readUntil(pty.master, "\x14"), "\x14");
    channel->turnOnVerbose();
    EXPECT_EQ(testing::readUntil(pty.master, "\x16"), "\x16");
}

TEST_F(SerialLinkTest, MissingDeviceIsReportedWithThePortNumber) {
    store.write("Ports", "COM7", "/nonexistent/ttyTessivar");
    auto channel = makeChannel();
    EXPECT_FALSE(channel->openConnection(std::make_shared<clsConnectionData>(store)));
    EXPECT_FALSE(channel->statusCOMPort());
    EXPECT_EQ(prompt.messages(), (std::vector<std::string>{
                                     "DEBUG Serial COM Port Error.\rUnable to open DEBUG COM7"}));
}

} // namespace
} // namespace tessivar
