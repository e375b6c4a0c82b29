// Fault drills: what each does to the controller's replies, and how link faults shape the
// replies on a real connection.

#include "SimClient.h"
#include "sim/FrameSimulator.h"
#include "sim/ReplyPlan.h"

#include <gtest/gtest.h>

namespace tessivar::sim {
namespace {

using namespace std::chrono_literals;
using testing::framePath;
using testing::LinkClient;
using testing::waitForLogged;

struct DrillCase {
    const char* drill;
    const char* command;
    const char* expected; // substring of the reply after the drill
    const char* gone;     // substring of the reply before the drill that must disappear
};

class DrillReplies : public ::testing::TestWithParam<DrillCase> {};

TEST_P(DrillReplies, ChangeWhatTheControllerAnswers) {
    const DrillCase& c = GetParam();
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    const std::string before = sim.handleCommand(c.command);
    if (c.gone[0] != '\0') {
        ASSERT_NE(before.find(c.gone), std::string::npos) << before;
    }
    ASSERT_EQ(sim.control(c.drill), "OK");
    const std::string after = sim.handleCommand(c.command);
    EXPECT_NE(after.find(c.expected), std::string::npos) << after;
    if (c.gone[0] != '\0') {
        EXPECT_EQ(after.find(c.gone), std::string::npos) << after;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SmallFrame, DrillReplies,
    ::testing::Values(
        DrillCase{"offline output 1", "OB 1", "comm error", "WC = "},
        DrillCase{"offline output 1", "RC O,B", "0xFF 0x00", "0x06 0x00"},
        DrillCase{"offline power 18", "FC 1", "comm error", "Active:"},
        // A card with "comm error" in its replies still sends its words.
        DrillCase{"commerror input 1 on", "IB 1", "WC = 0x0005\r\n", ""},
        DrillCase{"commerror input 1 on", "IB 1", "comm error", ""},
        DrillCase{"errors matrix 1 7", "MB 1", "Total Errors = 7\r\nCRC Error = 7\r\n", ""},
        DrillCase{"errors matrix 1 26 len", "MB 1", "Total Errors = 1A\r\n", "Total Errors = 0"},
        DrillCase{"temp output 2 90", "OB 2", "OD10 = 0x035A\r\n", "OD10 = 0x0323"},
        DrillCase{"temp controller 99", "ST", "Frame Controller: 0x63\r\n", "0x26"},
        DrillCase{"power matrix 1 off", "MB 1", "comm error", "WC = "},
        DrillCase{"present output 2 off", "PM O,2", "Error", "Power ON"},
        DrillCase{"signal 3 8", "OB 1", "OD3 = 0x6060\r\n", "OD3 = 0x6048"},
        DrillCase{"inputs 1 0x00FF", "IB 1", "OD2 = 0x00FF\r\n", "OD2 = 0xFFFF"},
        DrillCase{"fan 18 1 bad", "SB 18", "OD4 = 0x0003\r\n", "OD4 = 0x0002"},
        DrillCase{"alarm raise overtemp OUT 7 temperature 74C", "AL",
                  "Alarms: OVERTEMP:\r\n  OUT 7 temperature 74C\r\n>", "none"},
        DrillCase{"alarm raise power PWR 2 output low", "AL",
                  "Alarms: POWER:\r\n  PWR 2 output low\r\n>", "none"},
        DrillCase{"state STANDBY", "AC", "STANDBY\r\n>", "ACTIVE"},
        DrillCase{"sync 2 NO SYNC", "SY 2", "SYNC 2 NO SYNC\r\n>", "OK"},
        DrillCase{"sync 1 bad", "SY 1", "SYNC 1 BAD\r\n>", "OK"},
        DrillCase{"echo on", "SS 1", "SS 1\r\nOutput 1 Input: 2\r\n>", ""}));

TEST(DrillReplies, CardsComeBackAsTheyWere) {
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    const std::string before = sim.handleCommand("OB 2");
    for (const auto& [off, on] : {std::pair{"offline output 2", "online output 2"},
                                  std::pair{"power output 2 off", "power output 2 on"},
                                  std::pair{"present output 2 off", "present output 2 on"},
                                  std::pair{"commerror output 2 on", "commerror output 2 off"}}) {
        ASSERT_EQ(sim.control(off), "OK");
        EXPECT_NE(sim.handleCommand("OB 2").find("comm error"), std::string::npos) << off;
        ASSERT_EQ(sim.control(on), "OK");
        EXPECT_EQ(sim.handleCommand("OB 2"), before) << on;
        EXPECT_EQ(sim.handleCommand("RC O,B"), "0x06 0x00\r\n>") << on;
    }
}

TEST(DrillReplies, MistakesAreAnsweredWithAnErrorLine) {
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    for (const char* bad :
         {"offline output 9", "offline widgets 1", "errors input 1 many", "temp matrix 1 300",
          "alarm raise", "alarm raise smoke IN 1", "alarm clear fan PWR 9 missing", "sync 3 OK",
          "state ASLEEP", "delay -1", "silent maybe", "drop later", "fan 17 1 bad", "signal 33 1",
          "bogus", ""}) {
        EXPECT_EQ(sim.control(bad).rfind("ERROR", 0), 0u) << bad;
    }
    EXPECT_EQ(sim.handleCommand("OB 1").find("comm error"), std::string::npos);
}

TEST(DrillReplies, AlarmsClearAndLayOutAsTheControllerWindowWalksThem) {
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    sim.control("alarm raise overtemp OUT 7 temperature 74C");
    sim.control("alarm raise overtemp IN 2 temperature 71C");
    sim.control("alarm raise fan PWR 1 fan 2 stopped");
    sim.control("alarm raise fan PWR 2 fan 1 stopped");
    const std::string reply = sim.handleCommand("AL");
    // The alarm text: after "Alarms:" and one character.
    std::string rest = reply.substr(reply.find("Alarms:") + 8);
    rest = rest.substr(0, rest.find('>'));
    // Heading line within 11 characters, then IN before OUT, each cut 4 past the line end.
    ASSERT_EQ(rest.substr(0, 11), "OVERTEMP:\r\n");
    rest = rest.substr(11);
    rest = rest.substr(rest.find_first_not_of(' '));
    EXPECT_EQ(rest.substr(0, rest.find('\r')), "IN 2 temperature 71C");
    rest = rest.substr(rest.find('\r') + 4);
    EXPECT_EQ(rest.substr(0, rest.find('\r')), "OUT 7 temperature 74C");
    rest = rest.substr(rest.find('\r') + 4);
    // Fan section: from 3 past its colon, one alarm per line, each 2 past the line end.
    rest = rest.substr(rest.find(':') + 3);
    rest = rest.substr(rest.find_first_not_of(' '));
    EXPECT_EQ(rest.substr(0, rest.find('\r')), "PWR 1 fan 2 stopped");
    rest = rest.substr(rest.find('\r') + 2);
    rest = rest.substr(rest.find_first_not_of(' '));
    EXPECT_EQ(rest.substr(0, rest.find('\r')), "PWR 2 fan 1 stopped");

    EXPECT_EQ(sim.control("alarm clear fan PWR 1 fan 2 stopped"), "OK");
    EXPECT_EQ(sim.handleCommand("AL").find("PWR 1"), std::string::npos);
    EXPECT_EQ(sim.control("alarm clear"), "OK");
    EXPECT_EQ(sim.handleCommand("AL"), "Alarms: none\r\n>");
}

TEST(ReplyPlan, ShapesTheWritesOfAReply) {
    using W = std::vector<std::pair<long, std::string>>;
    struct Case {
        const char* name;
        LinkFaults faults;
        W writes;
    };
    auto faults = [](auto set) {
        LinkFaults f;
        set(f);
        return f;
    };
    const Case cases[] = {
        {"plain", {}, W{{0, "OK\r\n>"}}},
        {"delayed", faults([](LinkFaults& f) { f.delayMs = 40; }), W{{40, "OK\r\n>"}}},
        {"trickled", faults([](LinkFaults& f) { f.trickleMs = 5; }),
         W{{0, "O"}, {5, "K"}, {10, "\r"}, {15, "\n"}, {20, ">"}}},
        {"split prompt", faults([](LinkFaults& f) {
             f.splitPromptMs = 30;
             f.delayMs = 10;
         }),
         W{{10, "OK\r\n"}, {40, ">"}}},
        {"no prompt", faults([](LinkFaults& f) { f.noPrompt = true; }), W{{0, "OK\r\n"}}},
        {"no prompt to split", faults([](LinkFaults& f) {
             f.noPrompt = true;
             f.splitPromptMs = 30;
         }),
         W{{0, "OK\r\n"}}},
        {"silent", faults([](LinkFaults& f) { f.silent = true; }), W{}},
    };
    for (const Case& c : cases) {
        W got;
        for (const auto& w : planReply("OK\r\n>", c.faults)) {
            got.emplace_back(static_cast<long>(w.at.count()), w.bytes);
        }
        EXPECT_EQ(got, c.writes) << c.name;
    }
}

TEST(WirePacer, SendsOneCharacterTimeApartAndCatchesUpAfterALateWakeUp) {
    WirePacer pacer(10000); // 1 ms a character
    const auto t0 = WirePacer::Clock::time_point{} + 100s;
    EXPECT_EQ(pacer.allowance(t0, 50), 1u);
    pacer.sent(1);
    EXPECT_EQ(pacer.nextAt(), t0 + 1ms);
    EXPECT_EQ(pacer.allowance(t0 + 500us, 49), 0u);
    // Woken 9 ms late: the characters the wire would have carried meanwhile go at once.
    EXPECT_EQ(pacer.allowance(t0 + 10ms, 49), 10u);
    pacer.sent(10);
    EXPECT_EQ(pacer.nextAt(), t0 + 11ms);
    // After a pause the wire owes no burst.
    pacer.idle();
    EXPECT_EQ(pacer.allowance(t0 + 1s, 39), 1u);
    WirePacer unpaced(0);
    EXPECT_EQ(unpaced.allowance(t0, 49), 49u);
}

// Link faults on a real connection: the reply still arrives whole, or not at all, as asked.
struct Session {
    Session() : sim(FrameSimulator::fromFile(framePath("small.json"))) {
        SimulatorOptions o;
        o.telnetPort = 0;
        ends = sim.start(o);
    }
    LinkClient connect() {
        LinkClient c = LinkClient::tcp(ends.telnetPort);
        c.login();
        return c;
    }
    FrameSimulator sim;
    SimulatorEndpoints ends;
};

TEST(LinkFaults, SlowRepliesStillArriveWhole) {
    for (const char* drill : {"delay 30", "trickle 1", "splitprompt 20"}) {
        Session s;
        LinkClient c = s.connect();
        ASSERT_EQ(s.sim.control(drill), "OK");
        EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>") << drill;
        EXPECT_EQ(c.command("SS 1"), "Output 1 Input: 2\r\n>") << drill;
    }
}

TEST(LinkFaults, SilenceAndMissingPromptsAffectOnlyTheCommandsReadMeanwhile) {
    Session s;
    LinkClient c = s.connect();
    ASSERT_EQ(s.sim.control("silent on"), "OK");
    c.send("AC\r");
    ASSERT_TRUE(waitForLogged(s.sim, 1));
    s.sim.control("silent off");
    EXPECT_EQ(c.command("SS 1"), "Output 1 Input: 2\r\n>");

    s.sim.control("noprompt on");
    c.send("AC\r");
    ASSERT_TRUE(waitForLogged(s.sim, 3));
    s.sim.control("noprompt off");
    EXPECT_EQ(c.command("SS 1"), "ACTIVE\r\nOutput 1 Input: 2\r\n>");
}

TEST(LinkFaults, DroppedConnectionsCloseAndCanReconnect) {
    Session s;
    {
        LinkClient c = s.connect();
        ASSERT_EQ(s.sim.control("drop next"), "OK");
        c.send("AC\r");
        EXPECT_TRUE(c.waitClosed());
        EXPECT_EQ(s.sim.commandLog().back().command, "AC"); // logged, never answered
    }
    {
        LinkClient c = s.connect();
        EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>"); // the next command is answered again
        ASSERT_EQ(s.sim.control("drop"), "OK");
        EXPECT_TRUE(c.waitClosed());
    }
    LinkClient again = s.connect();
    EXPECT_EQ(again.command("AC"), "ACTIVE\r\n>");
}

TEST(LinkFaults, GarbageArrivesBeforeTheNextReply) {
    Session s;
    LinkClient c = s.connect();
    ASSERT_EQ(s.sim.control("garbage 40"), "OK");
    const std::string seen = c.command("AC");
    EXPECT_GE(seen.size(), 40u + 9u);
    EXPECT_EQ(seen.substr(seen.size() - 9), "ACTIVE\r\n>");
}

TEST(LinkFaults, FaultsInTheFrameFileApplyFromTheStart) {
    auto sim = FrameSimulator::fromJson(
        R"({"input": {"slots": 1, "card": {"offline": true}}, "faults": {"noPrompt": true}})");
    SimulatorOptions o;
    o.telnetPort = 0;
    const auto ends = sim.start(o);
    LinkClient c = LinkClient::tcp(ends.telnetPort);
    c.login();
    c.send("IB 1\r");
    EXPECT_EQ(c.readUntil("comm error\r\n"), "comm error\r\n");
    ASSERT_EQ(sim.control("faults clear"), "OK");
    EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>");
}

} // namespace
} // namespace tessivar::sim
