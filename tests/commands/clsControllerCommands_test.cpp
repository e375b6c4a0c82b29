#include "commands/CardCategories.h"
#include "commands/clsControllerCommands.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <functional>

namespace tessivar {
namespace {

using testing::FakeCommandChannel;
using Strings = std::vector<std::string>;

class ControllerCommands : public ::testing::Test {
protected:
    FakeCommandChannel channel;
    clsControllerCommands commands{channel};
};

// --- Queries: one table per operation, each row a reply and the value it must give ---

struct RollCallCase {
    const char* category;
    std::string a;
    std::string b;
    std::int16_t count;
    Strings sent;
};

TEST_F(ControllerCommands, RollCallCountsTheEntriesOfTheSecondReplyOnly) {
    const RollCallCase cases[] = {
        {"input", "0x01 0x02", "RC I,B\r\n0x01 0x01 0x02 0x01 0x03\r\n>", 5, {"RC I,A", "RC I,B"}},
        {"OUTPUT_OPTION", "0x01 0x01 0x01", "", 0, {"RC OO,A", "RC OO,B"}},
        {"Power", "", "no cards\r\n>", 0, {"RC S,A", "RC S,B"}},
        {"MATRIX", "", "0x", 1, {"RC M,A", "RC M,B"}},
        {"FAN", "", "0x01", 0, {}},
        {"", "", "0x01", 0, {}},
    };
    for (const auto& c : cases) {
        FakeCommandChannel ch;
        clsControllerCommands cmd{ch};
        ch.queue = {c.a, c.b};
        EXPECT_EQ(cmd.getRollCall(c.category), c.count) << c.category;
        EXPECT_EQ(ch.commands, c.sent) << c.category;
    }
}

TEST_F(ControllerCommands, RollCallOfAGarbledReplyNeverExceedsTheCategorysSlots) {
    std::string flood;
    for (int i = 0; i < 500; ++i)
        flood += "0x01 ";
    channel.queue = {"", flood};
    EXPECT_EQ(commands.getRollCall("POWER"), 19);
    channel.queue = {"", flood};
    EXPECT_EQ(commands.getRollCall("INPUT"), 64);
}

TEST_F(ControllerCommands, RollCallPresenceReadsEachEntrysOwnCodeFromEitherReply) {
    // Slot 1 present in B only, slot 2 in A only, slot 3 in neither.
    channel.queue = {"0xFF 0x05 0xFF", "0x02 0xFF 0x1FF"};
    ASSERT_EQ(commands.getRollCall("INPUT"), 3);
    EXPECT_EQ(commands.rollCallPresence(), (std::vector<bool>{false, true, true, false}));
}

TEST_F(ControllerCommands, StateQueriesKeepTheStateWordAndItsLineEnds) {
    struct Case {
        std::function<std::string(clsControllerCommands&)> query;
        std::string command;
        std::string reply;
        std::string expected;
    };
    auto active = [](clsControllerCommands& c) { return c.getActiveStatus(); };
    auto sync2 = [](clsControllerCommands& c) { return c.getSyncStatus(2); };
    const Case cases[] = {
        {active, "AC", "ACTIVE\r\n>", "ACTIVE"},
        {active, "AC", "STANDBY\r\n>", "STANDBY"},
        {active, "AC", "  SINGLE  \r\n>", "SINGLE"},
        {active, "AC", "AC\r\nSTANDBY\r\n>", "\r\nSTANDBY\r\n"},
        {active, "AC", "AC\r\nACTIVE\r\n>", "AC"},
        {active, "AC", "", ""},
        {active, "AC", "STANDBY", "STANDBY"},
        {active, "AC", "AC", "AC"}, // echo and nothing else: no line end to start from
        {sync2, "SY 2", "SY 2\r\nBAD\r\n>", "\r\nBAD\r\n"},
        {sync2, "SY 2", "SY 2\r\nNO SYNC\r\n>", "SY 2"},
        {sync2, "SY 2", "SYNC OK\r\n>", "SYNC OK"},
        {sync2, "SY 2", "", ""},
    };
    for (const auto& c : cases) {
        FakeCommandChannel ch;
        clsControllerCommands cmd{ch};
        ch.defaultReply = c.reply;
        EXPECT_EQ(c.query(cmd), c.expected) << c.reply;
        EXPECT_EQ(ch.commands, Strings{c.command});
    }
}

TEST_F(ControllerCommands, AlarmListNeedsAColonAfterTheMarker) {
    const std::pair<std::string, std::string> cases[] = {
        {"AL\r\nAlarms: \r\nPS 3: fan\r\n>", "\r\nPS 3: fan\r\n"},
        {"Alarms:  PS 3: fan", "PS 3: fan"},
        {"Alarms:\r\nPS 3: fan\r\n>", "\nPS 3: fan\r\n"}, // one character after the marker goes
        {"AL\r\nAlarms: none\r\n>", ""},
        {"AL\r\n>", ""},
        {"Alarms:", ""},
        {"", ""},
    };
    for (const auto& [reply, expected] : cases) {
        channel.defaultReply = reply;
        EXPECT_EQ(commands.getAlarm(), expected) << reply;
    }
}

TEST_F(ControllerCommands, StatusReadsTheRoutedInputAndSendsTheMonitorFlag) {
    const std::pair<std::string, std::int16_t> cases[] = {
        {"SS 12\r\nOutput: 12 Input: 7\r\n>", 7},
        {"Input:  41 ", 41},
        {"Input: 3.6", 4},
        {"Input:17\r\n>", 7}, // the character after the marker is skipped, digit or not
        {"Input: abc", 0},
        {"Input: 99999", 0},
        {"Input:", 0},
        {"Output: 12", 0},
        {"", 0},
    };
    for (const auto& [reply, expected] : cases) {
        channel.defaultReply = reply;
        EXPECT_EQ(commands.getStatus(12, false), expected) << reply;
    }
    channel.commands.clear();
    commands.getStatus(12, true);
    commands.getStatus(3, false);
    EXPECT_EQ(channel.commands, (Strings{"SS 12,M", "SS 3"}));
}

TEST_F(ControllerCommands, TemperaturesAbove200AreDiscarded) {
    const std::string both = "ST\r\nFrame Controller: 0x2A\r\nOutput Monitor: 0x33\r\n>";
    const struct {
        std::string reply;
        std::int32_t frame;
        std::int32_t monitor;
    } cases[] = {
        {both, 42, 51},
        {"Frame Controller: 0xC9", 0, 0},
        {"Frame Controller: 0xC8", 200, 0},
        {"Frame Controller:   1F\r\n", 31, 0},
        {"Frame Controller:1F\r\nOutput Monitor:C8\r\n", 31, 200},
        {"Frame Controller: warm", 0, 0},
        {"Output Monitor: 0xFFFFFFFFFF", 0, 0},
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        channel.defaultReply = c.reply;
        EXPECT_EQ(commands.getFCTemp(), c.frame) << c.reply;
        EXPECT_EQ(commands.getMonitorTemp(), c.monitor) << c.reply;
    }
    EXPECT_EQ(channel.commands.back(), "ST");
}

TEST_F(ControllerCommands, VersionEndsWithItsCarriageReturn) {
    const std::pair<std::string, std::string> cases[] = {
        {"VE\r\nFPGA Version 02.10\r\nCPU 1.0\r\n>", "02.10\r"},
        {"FPGA Version 02.10", ""},
        {"VE\r\nFPGA Version:02.10\r\n>", ":02.10\r"},
        {"0123456789AB CD\r\n>", "B CD\r"}, // no label: as if it stood before the first character
        {"FPGA", ""},
        {"", ""},
    };
    for (const auto& [reply, expected] : cases) {
        channel.defaultReply = reply;
        EXPECT_EQ(commands.getFCVersion(), expected) << reply;
    }
}

TEST_F(ControllerCommands, EthernetFieldsAreCutToTheirWidth) {
    channel.defaultReply = "ET\r\nMAC address : 00:11:22:33:44:55:66\r\n"
                           "IP address : 192.168.100.200\r\nSubnet mask : 255.255.0.0\r\n"
                           "DHCP enabled: YES\r\n>";
    const std::pair<std::string, std::string> cases[] = {
        {"MACAddress", "00:11:22:33:44:55"},
        {"IPAddress", "192.168.100.200"},
        {"SubnetMask", "255.255.0.0\r\nDH"},
        {"DHCP", "YES"},
        {"Gateway", ""},
        {"dhcp", ""},
    };
    for (const auto& [field, expected] : cases)
        EXPECT_EQ(commands.getEthernetConfig(field), expected) << field;
    EXPECT_EQ(channel.commands, Strings(6, "ET"));

    // Values that follow their label without a space show exactly where each one starts.
    channel.defaultReply = "ET\r\nMAC address =:00:11:22:33:44:55\r\nIP address =:10.0.0.1\r\n"
                           "Subnet mask =255.255.0.0\r\nDHCP enabled=:ON\r\n>";
    const std::pair<std::string, std::string> tight[] = {
        {"MACAddress", "00:11:22:33:44:55"},
        {"IPAddress", "10.0.0.1\r\nSubne"},
        {"SubnetMask", "255.255.0.0\r\nDH"},
        {"DHCP", "ON\r"},
    };
    for (const auto& [field, expected] : tight)
        EXPECT_EQ(commands.getEthernetConfig(field), expected) << field;

    channel.defaultReply = "MAC address";
    EXPECT_EQ(commands.getEthernetConfig("MACAddress"), "");
    channel.defaultReply = "";
    EXPECT_EQ(commands.getEthernetConfig("IPAddress"), "");
}

TEST_F(ControllerCommands, RedundantFrameAnswer) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "YES"},
        {"RD\r\n1-128,1-128 129-256,1-128\r\n>", "YES"},
        {"Frame is not redundant", "NO"},
        {"Cannot", "NO"},
        {"Error", "NO"},
        {"Capable\r\n>", "CAPABLE"},
        {"NOT CAPABLE", "NO"},
    };
    for (const auto& [reply, expected] : cases) {
        channel.defaultReply = reply;
        EXPECT_EQ(commands.isRedundantFrame(), expected) << reply;
    }
}

TEST_F(ControllerCommands, FanControllerCountIsTheNumberAfterTheColon) {
    const std::pair<std::string, std::int16_t> cases[] = {
        {"NF\r\nFan controllers: 2\r\n>", 2},
        {"Fans: 1>", 1},
        {"Fans: 0\r\n>", 0},
        {"Fans:12\r\n>", 2}, // the character after the colon is taken for its space
        {"", 0},
        {"error", 0},
        {"Fans: two\r\n>", 0},
        {"Fans: 70000\r\n>", 0},
        {"Fans: -1\r\n>", 0},
        {"\r\n\r\nFans: 2\r\n>", 0}, // leading line ends leave no room after the colon
        {"2\r\n>", 0},
        {">", 0},
        {":", 0},
    };
    for (const auto& [reply, expected] : cases) {
        channel.defaultReply = reply;
        EXPECT_EQ(commands.hasFanControllers(), expected) << reply;
    }
}

TEST_F(ControllerCommands, PassThroughQueriesReturnTheReplyUntouched) {
    channel.replies["AS 5"] = "AS 5\r\nOutput 5: 1,0\r\n>";
    channel.replies["PM OO,3"] = "PM OO,3\r\nON\r\n>";
    EXPECT_EQ(commands.getConverterCardOptions(5), "AS 5\r\nOutput 5: 1,0\r\n>");
    EXPECT_EQ(commands.getPowerManagement("OO", 3), "PM OO,3\r\nON\r\n>");
    EXPECT_EQ(commands.getPowerManagement("S", 17), "");
}

// --- Control commands ---

TEST_F(ControllerCommands, ControlCommandsSendExactlyTheseTexts) {
    struct Case {
        const char* name;
        std::function<void(clsControllerCommands&)> run;
        Strings sent;
    };
    const Strings clearAll{"CL I", "CL O", "CL M", "CL S"};
    const Case cases[] = {
        {"switch", [](auto& c) { c.doSwitch(5, 12, false, 0); }, {"SW 5,12"}},
        {"switch monitor", [](auto& c) { c.doSwitch(5, 12, true, 0); }, {"SW 5,12,M"}},
        {"switch sync", [](auto& c) { c.doSwitch(5, 12, true, 2); }, {"SW 5,12,M,2"}},
        {"switch sync only", [](auto& c) { c.doSwitch(300, 1, false, 1); }, {"SW 300,1,1"}},
        {"switch negative sync", [](auto& c) { c.doSwitch(5, 12, false, -1); }, {"SW 5,12"}},
        {"clear mixed case", [](auto& c) { c.doClearErrors("Input", 3); }, {"CL I,3"}},
        {"clear card 0", [](auto& c) { c.doClearErrors("Input", 0); }, {"CL I"}},
        {"clear output", [](auto& c) { c.doClearErrors("OUTPUT", 16); }, {"CL O,16"}},
        {"clear matrix", [](auto& c) { c.doClearErrors("matrix", 2); }, {"CL M,2"}},
        {"clear power", [](auto& c) { c.doClearErrors("POWER", 17); }, {"CL P,17"}},
        {"clear system", [](auto& c) { c.doClearErrors("System", 0); }, {"CL S"}},
        {"clear option", [](auto& c) { c.doClearErrors("output_option", 4); }, {"CL OO,4"}},
        {"clear empty", [](auto& c) { c.doClearErrors("", 5); }, clearAll},
        {"clear other", [](auto& c) { c.doClearErrors("FAN", 5); }, clearAll},
        {"power", [](auto& c) { c.doPowerManagement("S", 17, "OFF"); }, {"PM S,17,OFF"}},
        {"power on", [](auto& c) { c.doPowerManagement("OO", 2, "ON"); }, {"PM OO,2,ON"}},
        {"take over", [](auto& c) { c.doTakeOver(); }, {"DT"}},
        {"port C", [](auto& c) { c.doSetPort("C"); }, {}},
        {"port empty", [](auto& c) { c.doSetPort(""); }, {}},
        {"port b", [](auto& c) { c.doSetPort("b"); }, {"VT B", "VT B", "VT B"}},
        {"port A", [](auto& c) { c.doSetPort("A"); }, {"VT A", "VT A", "VT A"}},
        {"vt a", [](auto& c) { c.doVT("a"); }, {"VT A"}},
        {"vt other", [](auto& c) { c.doVT("x"); }, {"VT"}},
        {"reclock", [](auto& c) { c.doManualReclock(2, 7, "3"); }, {"LR 2,7,3"}},
        {"converter", [](auto& c) { c.doSetConverterCardOptions("5,1,0"); }, {"AS 5,1,0"}},
        {"conv", [](auto& c) { c.doSetConvOptions("9,0"); }, {"AS 9,0"}},
        {"reset", [](auto& c) { c.doReset(); }, {"RE", "RE"}},
    };
    for (const auto& c : cases) {
        FakeCommandChannel ch;
        clsControllerCommands cmd{ch};
        c.run(cmd);
        EXPECT_EQ(ch.commands, c.sent) << c.name;
        EXPECT_EQ(ch.timeoutsSeen, std::vector<float>(c.sent.size(), 0.0F)) << c.name;
    }
}

TEST(CardCategories, WordsAreMatchedInAnyLetterCase) {
    ASSERT_NE(findCardCategory("output_option"), nullptr);
    EXPECT_EQ(findCardCategory("output_option")->rollCallPrefix, "RC OO,");
    EXPECT_EQ(findCardCategory("Power")->clearErrors, "CL P");
    EXPECT_EQ(findCardCategory("POWER")->highestSlot, 19);
    EXPECT_EQ(findCardCategory("SYSTEM"), nullptr);
    EXPECT_EQ(findCardCategory(""), nullptr);
    EXPECT_EQ(findCardCategory("INPUTX"), nullptr);
}

} // namespace
} // namespace tessivar
