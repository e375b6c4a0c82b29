#include "monitor/clsPollCycle.h"

#include "model/clsQuorvelBoard.h"
#include "monitor/MonitorRig.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

using testing::MonitorRig;
using testing::TreeRedraw;

const std::string kStamp = "May 22 2007 : 2:05:09 PM: ";

// The command field of each detailed log line.
std::vector<std::string> detailCommands(const std::string& log) {
    std::vector<std::string> out;
    for (const auto& line : splitLines(log)) {
        std::size_t first = line.find(',');
        std::size_t second = line.find(',', first + 1);
        std::size_t third = line.find(',', second + 1);
        out.push_back(line.substr(second + 1, third - second - 1));
    }
    return out;
}

// Commands sent per tick over the first two rounds of a small frame: one card per tick, an
// empty tick at the end of each card category, then the frame-wide steps.
TEST(PollCycle, OneStepPerTickInRoundOrder) {
    MonitorRig rig;
    rig.channel.replies["NF"] = "NF\r\nFan Controllers: 1\r\n>";
    rig.start({2, 2, 1, 19, 0});

    const std::vector<std::vector<std::string>> firstRound = {
        {}, // index 0 is out of range: move on to the outputs
        {"OB 1"},  {"OB 2"},       {},        {"MB 1"},  {},
        {"SB 1"},  {"SB 2"},       {"SB 3"},  {"SB 4"},  {"SB 5"},
        {"SB 6"},  {"SB 7"},       {"SB 8"},  {"SB 9"},  {"SB 10"},
        {"SB 11"}, {"SB 12"},      {"SB 13"}, {"SB 14"}, {"SB 15"},
        {"SB 16"}, // slot 17 (the output monitor) is left to the inventory
        {},        {"AC", "\x14"}, {"AL"},    {"RD"},    {"NF", "SB 18", "SB 19"},
        {},
    };
    for (std::size_t t = 0; t < firstRound.size(); ++t) {
        SCOPED_TRACE("tick " + std::to_string(t));
        rig.channel.commands.clear();
        rig.cycle.tick();
        EXPECT_EQ(rig.channel.commands, firstRound[t]);
    }
    EXPECT_EQ(rig.cycle.pollStep(), 0);
    rig.channel.commands.clear();
    rig.cycle.tick();
    rig.cycle.tick();
    rig.cycle.tick();
    rig.cycle.tick();
    EXPECT_EQ(rig.channel.commands, (std::vector<std::string>{"IB 1", "IB 2", "OB 1"}));
    EXPECT_TRUE(rig.prompt.boxes.empty());
    EXPECT_TRUE(rig.tree.redraws.empty());
}

TEST(PollCycle, EveryTickResetsIntervalAndTheLastStepRestartsTheTimer) {
    MonitorRig rig;
    rig.start({0, 0, 0, 0, 0});
    rig.inventory.pollInterval(200);
    rig.timer.calls.clear();
    rig.runToRoundEnd();
    // steps 0..3 (empty), 4, 5, 6, 7, then 8
    std::vector<std::string> expected(8, "interval 200");
    expected.insert(expected.end(), {"interval 200", "stop", "interval 200", "start 200"});
    EXPECT_EQ(rig.timer.calls, expected);
    EXPECT_TRUE(rig.timer.active);
}

TEST(PollCycle, CardGoingOfflineAndBackIsReportedOnceEachWay) {
    MonitorRig rig;
    rig.start({3, 0, 0, 0, 0});
    rig.logEverything();
    rig.runToRoundEnd();

    rig.silence("INPUT", 3);
    rig.runToRoundEnd();
    ASSERT_EQ(rig.prompt.boxes.size(), 1U);
    EXPECT_EQ(rig.prompt.boxes[0].message, "Input card 3 has gone offline");
    EXPECT_EQ(rig.prompt.boxes[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(rig.tree.redraws, (std::vector<TreeRedraw>{{2, 3, false}}));
    EXPECT_EQ(rig.simpleLog(), kStamp + "INPUT 3 has gone OFFLINE.\r\n");

    rig.runToRoundEnd(); // still silent: nothing more
    EXPECT_EQ(rig.prompt.boxes.size(), 1U);
    EXPECT_EQ(rig.tree.redraws.size(), 1U);

    rig.answer("INPUT", 3);
    rig.runToRoundEnd();
    EXPECT_EQ(rig.prompt.boxes.size(), 1U);
    EXPECT_EQ(rig.tree.redraws, (std::vector<TreeRedraw>{{2, 3, false}, {2, 3, true}}));
    EXPECT_EQ(rig.simpleLog(),
              kStamp + "INPUT 3 has gone OFFLINE.\r\n" + kStamp + "INPUT 3 has gone ONLINE.\r\n");
}

TEST(PollCycle, OfflineTextsAndTreeCodesPerCategory) {
    struct Case {
        const char* category;
        const char* box;
        const char* entry;
        std::int16_t treeCode;
    };
    const Case cases[] = {
        {"INPUT", "Input card 1 has gone offline", "INPUT 1 has gone OFFLINE.", 2},
        {"OUTPUT", "Output card 1 has gone offline", "OUTPUT 1 has gone OFFLINE.", 1},
        {"MATRIX", "Matrix card 1 has gone offline", "MATRIX 1 has gone OFFLINE.", 3},
        {"POWER", "Power supply 1 has gone offline", "POWER 1 has gone OFFLINE.", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.category);
        MonitorRig rig;
        rig.start({1, 1, 1, 4, 0});
        rig.logEverything();
        rig.runToRoundEnd();
        rig.silence(c.category, 1);
        rig.runToRoundEnd();
        EXPECT_EQ(rig.prompt.messages(), std::vector<std::string>{c.box});
        EXPECT_EQ(rig.tree.redraws, (std::vector<TreeRedraw>{{c.treeCode, 1, false}}));
        EXPECT_EQ(rig.simpleLog(), kStamp + c.entry + "\r\n");
    }
}

TEST(PollCycle, UnselectedCardAlertsButIsNotLogged) {
    MonitorRig rig;
    rig.start({0, 2, 0, 0, 0});
    rig.logEverything();
    rig.logging.setOutputsToLog("1");
    rig.runToRoundEnd();
    rig.files.files.clear();
    rig.answer("OUTPUT", 2, 4, 0x0071); // new errors and a changed status word
    rig.runToRoundEnd();
    rig.silence("OUTPUT", 2);
    rig.runToRoundEnd();

    EXPECT_EQ(rig.prompt.messages(), std::vector<std::string>{"Output card 2 has gone offline"});
    EXPECT_EQ(rig.tree.redraws.size(), 1U);
    EXPECT_EQ(rig.simpleLog(), "");
    EXPECT_EQ(rig.detailLog(), "");
    EXPECT_TRUE(rig.inventory.outputCard(2)->boardStatChange());
}

TEST(PollCycle, ErrorDeltasAreLoggedWithSignAndNotRepeatedWhileSilent) {
    MonitorRig rig;
    rig.scriptFrame({0, 0, 2, 0, 0});
    rig.answer("MATRIX", 2, 7); // errors present at start-up are absorbed by the inventory
    rig.boot();
    rig.logEverything();
    rig.runToRoundEnd();
    EXPECT_EQ(rig.simpleLog(), "");

    rig.answer("MATRIX", 2, 12);
    rig.runToRoundEnd();
    rig.answer("MATRIX", 2, 0); // the operator cleared the counter
    rig.runToRoundEnd();
    rig.answer("MATRIX", 2, 3);
    rig.runToRoundEnd();
    rig.silence("MATRIX", 2); // its last delta must not come back on every silent poll
    rig.runToRoundEnd();
    rig.runToRoundEnd();

    EXPECT_EQ(rig.simpleLog(), kStamp + "MATRIX 2 has 5 New errors.\r\n" + kStamp +
                                   "MATRIX 2 has -12 New errors.\r\n" + kStamp +
                                   "MATRIX 2 has 3 New errors.\r\n" + kStamp +
                                   "MATRIX 2 has gone OFFLINE.\r\n");
}

TEST(PollCycle, ChangedStatusWritesOneDetailEntryAndClearsTheFlag) {
    MonitorRig rig;
    rig.start({0, 0, 1, 0, 0});
    rig.logEverything();
    rig.runToRoundEnd();
    // The inventory's first poll counts as a change: the first round records every card once.
    EXPECT_EQ(detailCommands(rig.detailLog()), std::vector<std::string>{"MB 1"});
    rig.runToRoundEnd();
    rig.files.files.clear();

    rig.answer("MATRIX", 1, 0, 0x1234);
    rig.runToRoundEnd();
    rig.runToRoundEnd();
    const std::string reply = rig.channel.replies["MB 1"];
    std::string expected = "May 22 2007,2:05:09 PM,MB 1";
    for (const auto& field : clsLogFile::detailFields(reply))
        expected += "," + field;
    EXPECT_EQ(rig.detailLog(), expected + "\r\n");
    EXPECT_FALSE(rig.inventory.matrixCard(1)->boardStatChange());
}

TEST(PollCycle, ControllerStateIsLoggedOncePerChangeAndOnlyWhileLogging) {
    MonitorRig rig;
    rig.start({0, 0, 0, 0, 0});
    rig.channel.replies["AC"] = "STANDBY\r\n>";
    rig.runToRoundEnd(); // simple logging off: nothing written, nothing remembered
    EXPECT_EQ(rig.cycle.lastControllerState(), "");

    rig.logEverything();
    rig.runToRoundEnd();
    rig.runToRoundEnd();
    rig.channel.replies["AC"] = "ACTIVE\r\n>";
    rig.runToRoundEnd();
    EXPECT_EQ(rig.simpleLog(), kStamp + "New Controller state is: STANDBY\r\n" + kStamp +
                                   "New Controller state is: ACTIVE\r\n");
}

TEST(PollCycle, AlarmsAreLoggedOncePerChangeWithFanSupplyDetails) {
    MonitorRig rig;
    rig.start({0, 0, 0, 10, 0});
    rig.logEverything();
    rig.logging.setPowerToLog("1-3,7");
    rig.runToRoundEnd();

    struct Round {
        std::string alarms; // the text after "Alarms: " in the reply
        std::string entry;  // "" when nothing new is logged
        std::vector<std::string> details;
    };
    const Round rounds[] = {
        {"FAN: PWR 3 PWR 5 PWR 7", "New Alarm: FAN: PWR 3 PWR 5 PWR 7", {"SB 3", "SB 7"}},
        {"FAN: PWR 3 PWR 5 PWR 7", "", {}},
        {"none", "New Alarm: ", {}},
        {"FAN: fault", "New Alarm: FAN: fault", {}},
        {"FAN: PWR", "New Alarm: FAN: PWR", {}},
        {"FAN: PWR3 PWR x PWR 99 PWR 2", "New Alarm: FAN: PWR3 PWR x PWR 99 PWR 2", {"SB 2"}},
        {"TEMP: PWR 1", "New Alarm: TEMP: PWR 1", {}},
        {"fan: PWR 1", "New Alarm: fan: PWR 1", {}},
    };
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.alarms);
        rig.files.files.clear();
        rig.channel.replies["AL"] = "AL\r\nAlarms: " + round.alarms + ">";
        rig.runToRoundEnd();
        EXPECT_EQ(rig.simpleLog(), round.entry.empty() ? "" : kStamp + round.entry + "\r\n");
        EXPECT_EQ(detailCommands(rig.detailLog()), round.details);
    }
}

TEST(PollCycle, WatchdogMenuFollowsRedundancyAnswer) {
    struct Case {
        const char* reply;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"RD\r\nRedundant\r\n>", {"visible", "enabled"}},
        {"RD\r\nCapable\r\n>", {"disabled"}},
        {"RD\r\nNot redundant\r\n>", {"hidden"}},
        {"RD\r\nERROR\r\n>", {"hidden"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        MonitorRig rig;
        rig.start({0, 0, 0, 0, 0});
        rig.channel.replies["RD"] = c.reply;
        rig.runToRoundEnd();
        EXPECT_EQ(rig.menu.calls, c.calls);
    }

    testing::FakeWatchdogMenu menu;
    applyWatchdogMenuAtStart("CAPABLE", menu);
    applyWatchdogMenuAtStart("NO", menu);
    applyWatchdogMenuAtStart("YES", menu);
    EXPECT_EQ(menu.calls,
              (std::vector<std::string>{"visible", "disabled", "hidden", "visible", "enabled"}));
}

TEST(PollCycle, FanControllersArePolledOnlyWhenTheFrameHasThem) {
    struct Case {
        const char* name;
        int power;
        const char* nf;
        std::vector<std::string> commands;
    };
    const Case cases[] = {
        {"two controllers", 19, "NF\r\nFan Controllers: 2\r\n>", {"NF", "SB 18", "SB 19"}},
        {"none reported", 19, "NF\r\nFan Controllers: 0\r\n>", {"NF"}},
        {"short power list", 5, "NF\r\nFan Controllers: 1\r\n>", {"NF"}},
        {"no power list", 0, "NF\r\nFan Controllers: 2\r\n>", {"NF"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorRig rig;
        rig.channel.replies["NF"] = c.nf;
        rig.start({0, 0, 0, c.power, 0});
        while (rig.cycle.pollStep() != 7)
            rig.cycle.tick();
        rig.channel.commands.clear();
        rig.cycle.tick();
        EXPECT_EQ(rig.channel.commands, c.commands);
        EXPECT_EQ(rig.cycle.pollStep(), 8);
    }
}

TEST(PollCycle, FanControllerGoingOfflineAlertsWithoutLogging) {
    MonitorRig rig;
    rig.channel.replies["NF"] = "NF\r\nFan Controllers: 2\r\n>";
    rig.start({0, 0, 0, 19, 0});
    rig.logEverything();
    rig.silence("POWER", 19);
    rig.runToRoundEnd();
    rig.runToRoundEnd();
    rig.answer("POWER", 19);
    rig.runToRoundEnd();
    EXPECT_EQ(rig.prompt.messages(), std::vector<std::string>{"Fan controller 2 has gone offline"});
    EXPECT_EQ(rig.tree.redraws, (std::vector<TreeRedraw>{{5, 19, false}, {5, 19, true}}));
    EXPECT_EQ(rig.simpleLog(), "");
}

TEST(PollCycle, ShrunkInventoryEndsTheStepAtItsNextTick) {
    MonitorRig rig;
    rig.start({0, 6, 1, 0, 0});
    while (rig.cycle.pollStep() != 1 || rig.cycle.pollIndex() != 5)
        rig.cycle.tick();
    rig.scriptFrame({0, 2, 1, 0, 0});
    rig.inventory.InitCardArrays();
    EXPECT_EQ(rig.cycle.pollStep(), 1); // the poll state survives a new inventory
    EXPECT_EQ(rig.cycle.pollIndex(), 5);
    rig.channel.commands.clear();
    rig.cycle.tick();
    EXPECT_TRUE(rig.channel.commands.empty());
    rig.cycle.tick();
    EXPECT_EQ(rig.channel.commands, std::vector<std::string>{"MB 1"});
}

// The offline box runs a nested event loop in which the timer fires again.
TEST(PollCycle, TickFiredWhileABoxIsOpenIsDropped) {
    MonitorRig rig;
    rig.start({0, 3, 0, 0, 0});
    rig.logEverything();
    rig.runToRoundEnd();
    rig.silence("OUTPUT", 2);
    int nested = 0;
    rig.prompt.onBox = [&](const testing::PromptRecord&) {
        for (int i = 0; i < 5; ++i) {
            rig.cycle.tick();
            ++nested;
        }
    };
    rig.channel.commands.clear();
    rig.runToRoundEnd();
    EXPECT_EQ(nested, 5);
    EXPECT_EQ(rig.channel.commands,
              (std::vector<std::string>{"OB 1", "OB 2", "OB 3", "AC", "\x14", "AL", "RD", "NF"}));
    EXPECT_EQ(rig.prompt.boxes.size(), 1U);
    EXPECT_EQ(rig.tree.redraws.size(), 1U);
    EXPECT_EQ(rig.simpleLog(), kStamp + "OUTPUT 2 has gone OFFLINE.\r\n");
}

TEST(PollCycle, TicksBeforeLoggingIsAttachedDoNothing) {
    MonitorRig rig;
    rig.scriptFrame({2, 1, 0, 0, 0});
    rig.inventory.InitCardArrays();
    rig.channel.commands.clear();
    for (int i = 0; i < 5; ++i)
        rig.cycle.tick();
    EXPECT_TRUE(rig.channel.commands.empty());
    EXPECT_EQ(rig.cycle.pollStep(), 0);
    EXPECT_FALSE(rig.cycle.isReady());

    rig.cycle.attachLogging(rig.logFile, rig.logging);
    // The first tick finds index 0 and moves on to the outputs; no tree yet, and polling
    // goes on without it.
    rig.cycle.tick();
    rig.cycle.tick();
    EXPECT_EQ(rig.channel.commands, std::vector<std::string>{"OB 1"});
}

} // namespace
} // namespace tessivar
