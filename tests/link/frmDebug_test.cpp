#include "common/SettingsStore.h"
#include "link/clsConnectionData.h"
#include "link/frmDebug.h"
#include "support/FakeLinkPorts.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;
using testing::FakePrompt;
using testing::MemoryFileSystem;
using testing::ScriptedLink;
using testing::ScriptedSerialPort;
using testing::ScriptedTelnetClient;

class ChannelTest : public ::testing::Test {
protected:
    ChannelTest() {
        auto serialPort = std::make_unique<ScriptedSerialPort>(link);
        auto telnetClient = std::make_unique<ScriptedTelnetClient>(link);
        serial = serialPort.get();
        telnet = telnetClient.get();
        channel = std::make_unique<frmDebug>(std::move(serialPort), std::move(telnetClient), prompt,
                                             clock, files);
    }

    std::shared_ptr<clsConnectionData> settingsFor(const std::string& type,
                                                   const std::string& code = "") {
        auto data = std::make_shared<clsConnectionData>(store);
        data->ConnectionType(type);
        data->ComPort(3);
        data->TelnetAddress("127.0.0.1");
        data->TelnetPort(2323);
        data->TelnetPassword(code);
        return data;
    }

    // A controller that answers the login and then every command with reply + prompt.
    void answerLoginThenCommands(const std::string& reply) {
        telnet->onConnect = [this] { link.arriveAfter(20ms, "Welcome\r\nEnter access code: "); };
        link.onWrite = [this, reply](const std::string& bytes) {
            if (bytes.empty() || bytes.back() != '\r')
                link.arriveAfter(5ms, "\r\n>");
            else
                link.arriveAfter(30ms, reply + "\r\n>");
        };
    }

    bool openSerial() {
        auto settings = settingsFor("Serial");
        return channel->openConnection(settings);
    }

    FakeClock clock;
    ScriptedLink link{clock};
    ScriptedSerialPort* serial = nullptr;
    ScriptedTelnetClient* telnet = nullptr;
    FakePrompt prompt;
    MemoryFileSystem files;
    MemorySettingsStore store;
    std::unique_ptr<frmDebug> channel;
};

TEST_F(ChannelTest, SerialCommandReturnsReplyUpToPromptAndDiscardsStaleInput) {
    ASSERT_TRUE(openSerial());
    EXPECT_EQ(serial->openedPort, 3);
    EXPECT_EQ(serial->openedSettings, "38400,N,8,1");

    link.arriveNow("late reply to something else\r\n>");
    link.onWrite = [this](const std::string&) {
        link.arriveAfter(10ms, "SS 4\r\nOutput: 4 ");
        link.arriveAfter(25ms, "Input: 9\r\n");
        link.arriveAfter(40ms, ">");
    };
    auto before = clock.now;
    float timeout = 0;
    std::string reply = channel->SendDEBUGCmd("SS 4", timeout);
    EXPECT_EQ(reply, "SS 4\r\nOutput: 4 Input: 9\r\n>");
    EXPECT_EQ(link.writes.back(), "SS 4\r");
    EXPECT_EQ(timeout, 5.0F);
    // The prompt straddled two reads and still ended the wait at once.
    EXPECT_EQ(clock.now - before, 40ms);
}

TEST_F(ChannelTest, SilenceTimeoutReturnsWhatArrivedAndWritesBackFiveSeconds) {
    ASSERT_TRUE(openSerial());
    link.onWrite = [this](const std::string&) { link.arriveAfter(1s, "partial"); };
    auto before = clock.now;
    float timeout = -1;
    EXPECT_EQ(channel->SendDEBUGCmd("AL", timeout), "partial");
    EXPECT_EQ(timeout, 5.0F);
    EXPECT_EQ(clock.now - before, 6s); // 1 s to the data, then 5 s of silence

    before = clock.now;
    link.onWrite = nullptr;
    EXPECT_EQ(channel->SendDEBUGCmd("AL"), "");
    EXPECT_EQ(clock.now - before, 5s);
}

TEST_F(ChannelTest, WaitsSleepOnThePortInsteadOfSpinning) {
    ASSERT_TRUE(openSerial());
    EXPECT_EQ(channel->SendDEBUGCmd("AL"), "");
    // One wait for the whole silence: the channel slept on the port rather than polling.
    ASSERT_EQ(link.waits.size(), 1U);
    EXPECT_EQ(link.waits[0], 5000ms);
}

TEST_F(ChannelTest, TricklingControllerIsCutOffAtTheWholeCommandLimit) {
    ASSERT_TRUE(openSerial());
    link.onWrite = [this](const std::string&) {
        for (int i = 1; i <= 100; ++i)
            link.arriveAfter(std::chrono::seconds(4 * i), ".");
    };
    auto before = clock.now;
    std::string reply = channel->SendDEBUGCmd("VE");
    EXPECT_EQ(clock.now - before, frmDebug::kMaxCommandWait);
    EXPECT_EQ(reply, std::string(15, '.'));
}

TEST_F(ChannelTest, ReplyIsCappedAtOneMebibyte) {
    ASSERT_TRUE(openSerial());
    link.onWrite = [this](const std::string&) {
        for (int i = 0; i < 20; ++i)
            link.arriveAfter(std::chrono::milliseconds(i), std::string(100'000, 'x'));
    };
    EXPECT_EQ(channel->SendDEBUGCmd("RC I,B").size(), frmDebug::kMaxReplyBytes);
}

TEST_F(ChannelTest, SerialOpenFailuresAreReported) {
    serial->opens = false;
    EXPECT_FALSE(openSerial());
    ASSERT_EQ(prompt.boxes.size(), 1U);
    EXPECT_EQ(prompt.boxes[0].message, "DEBUG Serial COM Port Error.\rUnable to open DEBUG COM3");
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(serial->closes, 1);

    serial->openResult = {true, 13, "Permission denied"};
    EXPECT_FALSE(openSerial());
    ASSERT_EQ(prompt.boxes.size(), 2U);
    EXPECT_EQ(prompt.boxes[1].message,
              "DEBUG Serial COM Port Error.\rError # 13\rPermission denied");
    EXPECT_EQ(serial->closes, 1); // not closed on a platform error
}

TEST_F(ChannelTest, PortLogWritesCommandAndReplyLines) {
    ASSERT_TRUE(openSerial());
    channel->setTimeOfDayFormatter([](const LocalDateTime& t) {
        return std::to_string(t.hour) + "h" + std::to_string(t.minute);
    });
    files.files["/logs/port.log"] = "old";
    channel->setPortLogging(true, "/logs/port.log", true);
    link.onWrite = [this](const std::string&) { link.arriveAfter(1ms, "OK\r\n>"); };
    channel->SendDEBUGCmd("AC");
    EXPECT_EQ(files.files["/logs/port.log"], "9h30#CMD# AC\r\r\n#RSP# OK\r\n>\r\n");

    // Switching on without a path switches off and deletes nothing.
    channel->setPortLogging(true, "", true);
    EXPECT_FALSE(channel->portLogging());
    EXPECT_EQ(channel->portLogPath(), "/logs/port.log");
    EXPECT_TRUE(files.exists("/logs/port.log"));
}

TEST_F(ChannelTest, VerboseCharactersGoAloneOnTheOpenPath) {
    ASSERT_TRUE(openSerial());
    channel->turnOffVerbose();
    channel->turnOnVerbose();
    EXPECT_EQ(link.writes, (std::vector<std::string>{"\x14", "\x16"}));
}

TEST_F(ChannelTest, TelnetLoginSendsAccessCodeAndCommandsCompleteOnSplitPrompt) {
    answerLoginThenCommands("unused");
    ASSERT_TRUE(channel->openConnection(settingsFor("Telnet", "1234")));
    EXPECT_EQ(telnet->connects, (std::vector<std::string>{"127.0.0.1:2323"}));
    EXPECT_EQ(link.writes, (std::vector<std::string>{"1234"})); // no line end after the code

    link.arriveNow("stale reply\r\n>");
    link.onWrite = [this](const std::string&) {
        link.arriveAfter(10ms, "ACTIVE\r\n");
        link.arriveAfter(20ms, ">");
    };
    auto before = clock.now;
    EXPECT_EQ(channel->SendDEBUGCmd("AC"), "ACTIVE\r\n>");
    EXPECT_EQ(clock.now - before, 20ms);
}

TEST_F(ChannelTest, TelnetEmptyAccessCodeSendsLineEnd) {
    answerLoginThenCommands("x");
    ASSERT_TRUE(channel->openConnection(settingsFor("Telnet")));
    EXPECT_EQ(link.writes, (std::vector<std::string>{"\r\n"}));
}

TEST_F(ChannelTest, TelnetLoginMarkerSplitAcrossReadsIsStillSeen) {
    telnet->onConnect = [this] {
        link.arriveAfter(10ms, "Enter acc");
        link.arriveAfter(150ms, "ess code:");
    };
    link.onWrite = [this](const std::string&) { link.arriveAfter(5ms, "\r\n>"); };
    EXPECT_TRUE(channel->openConnection(settingsFor("Telnet", "c")));
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(ChannelTest, TelnetBannerInManySmallPacketsDoesNotUseUpTheLoginWait) {
    telnet->onConnect = [this] {
        for (int i = 1; i <= 300; ++i)
            link.arriveAfter(std::chrono::milliseconds(10 * i), "banner line\r\n");
        link.arriveAfter(3010ms, "Enter access code:");
    };
    link.onWrite = [this](const std::string&) { link.arriveAfter(5ms, "\r\n>"); };
    EXPECT_TRUE(channel->openConnection(settingsFor("Telnet", "c")));
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(link.writes, (std::vector<std::string>{"c"}));
}

TEST_F(ChannelTest, TelnetWithoutLoginPromptTimesOutAndCommitsSettings) {
    link.arriveNow("some banner without the marker");
    auto settings = settingsFor("Telnet");
    store.clearWrites();
    auto before = clock.now;
    EXPECT_FALSE(channel->openConnection(settings));
    EXPECT_EQ(telnet->reads, 101);
    EXPECT_EQ(clock.now - before, 10s); // 100 pauses of 100 ms
    ASSERT_EQ(prompt.messages(), (std::vector<std::string>{"Timeout waiting for Telnet Client"}));
    EXPECT_EQ(store.writes().size(), 6U);
}

TEST_F(ChannelTest, TelnetConnectFailureIsReported) {
    telnet->connectCode = 2;
    EXPECT_FALSE(channel->openConnection(settingsFor("Telnet")));
    EXPECT_EQ(prompt.messages(), (std::vector<std::string>{"Unable to connect.  Error 2"}));
}

TEST_F(ChannelTest, TelnetMissingCommandPromptAfterLoginIsNotAFailure) {
    telnet->onConnect = [this] { link.arriveAfter(1ms, "Enter access code"); };
    EXPECT_TRUE(channel->openConnection(settingsFor("Telnet", "x")));
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(ChannelTest, ClosedTelnetSessionIsReopenedWithFullLoginBeforeTheCommand) {
    answerLoginThenCommands("STANDBY");
    ASSERT_TRUE(channel->openConnection(settingsFor("Telnet", "9")));
    telnet->closed = true;
    EXPECT_EQ(channel->SendDEBUGCmd("AC"), "STANDBY\r\n>");
    EXPECT_EQ(telnet->connects.size(), 2U);
    EXPECT_EQ(telnet->disconnects, 1);
    EXPECT_EQ(link.writes, (std::vector<std::string>{"9", "9", "AC\r"}));
}

TEST_F(ChannelTest, DiscardingTheChannelClosesTheLinkItUses) {
    ASSERT_TRUE(openSerial());
    channel.reset();
    EXPECT_EQ(link.serialCloses, 1);
    EXPECT_EQ(link.telnetDisconnects, 0);
}

TEST_F(ChannelTest, DiscardingATelnetChannelDisconnects) {
    answerLoginThenCommands("x");
    ASSERT_TRUE(channel->openConnection(settingsFor("Telnet")));
    int before = link.telnetDisconnects;
    channel.reset();
    EXPECT_EQ(link.telnetDisconnects, before + 1);
    EXPECT_EQ(link.serialCloses, 0);
}

TEST_F(ChannelTest, UnopenedChannelSendsNothing) {
    float timeout = 0;
    EXPECT_EQ(channel->SendDEBUGCmd("AC", timeout), "");
    EXPECT_EQ(timeout, 5.0F);
    EXPECT_TRUE(link.writes.empty());
}

} // namespace
} // namespace tessivar
