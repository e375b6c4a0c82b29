// The monitor engine end to end: the card inventory, the poll cycle and the two log files,
// talking through the command channel and the real Telnet client to the frame simulator on
// loopback. Poll rounds are driven tick by tick; the simulator's command log shows what went
// over the link, and its fault drills take cards away and bring them back.

#include "commands/clsControllerCommands.h"
#include "common/FileSystem.h"
#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "link/clsConnectionData.h"
#include "link/frmDebug.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"
#include "model/clsQuorvelBoard.h"
#include "monitor/MonitorRig.h"
#include "monitor/clsCardInventory.h"
#include "monitor/clsPollCycle.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTelnetClient.h"
#include "platform/QtTestApp.h"
#include "sim/FrameSimulator.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tessivar {
namespace {

using testing::FakePollTimer;
using testing::FakeTree;
using testing::FakeWatchdogMenu;
using testing::TreeRedraw;
using Commands = std::vector<std::string>;

constexpr const char* kAccessCode = "quorvel";
const std::string kVerboseOff(1, '\x14');

std::string framePath(const std::string& name) {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "sim" /
            "frames" / name)
        .string();
}

// "IB 1", "IB 2", ... "IB last".
Commands numbered(const std::string& prefix, int last) {
    Commands out;
    for (int n = 1; n <= last; ++n)
        out.push_back(prefix + std::to_string(n));
    return out;
}

void append(Commands& to, const Commands& more) {
    to.insert(to.end(), more.begin(), more.end());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The simulator's Telnet listener on a port the console's 16-bit port setting can hold: the
// kernel's own choice would be in the ephemeral range above 32767.
sim::SimulatorEndpoints startBelow32768(sim::FrameSimulator& simulator) {
    sim::SimulatorOptions options;
    options.accessCode = kAccessCode;
    const int base = (::getpid() * 53) % 10000;
    for (int i = 0; i < 400; ++i) {
        options.telnetPort = static_cast<std::uint16_t>(21000 + (base + i * 11) % 11000);
        try {
            return simulator.start(options);
        } catch (const std::runtime_error&) {
            // Taken; try the next one.
        }
    }
    throw std::runtime_error("no free loopback port below 32768");
}

// Everything the main window wires after a Telnet connection, with the link going to a
// simulated frame and the log files to a fresh directory.
class MonitorAgainstSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApplication();
        char pattern[] = "/tmp/tessivar-monitor-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        directory = pattern;
        files = std::make_unique<StdFileSystem>(directory.string());
        logFile = std::make_unique<clsLogFile>(*files, store, prompt, clock, formatter);
        clock.local = LocalDateTime{2007, 5, 22, 14, 5, 9};
    }
    void TearDown() override {
        // The channel before the simulator, so the session ends from the console's side.
        cycle.reset();
        inventory.reset();
        commands.reset();
        channel.reset();
        simulator.reset();
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    // Simulator up, channel logged in, inventory taken and the cycle wired as at start-up.
    void startOn(const std::string& frame) {
        simulator =
            std::make_unique<sim::FrameSimulator>(sim::FrameSimulator::fromFile(framePath(frame)));
        const sim::SimulatorEndpoints ends = startBelow32768(*simulator);
        store.write("Parms", "ConnectType", "Telnet");
        store.write("Parms", "TelnetAddress", "127.0.0.1");
        store.write("Parms", "TelnetPort", std::to_string(ends.telnetPort));
        store.write("Parms", "TelnetPass", kAccessCode);

        channel = std::make_unique<frmDebug>(std::make_unique<QtSerialPort>(store),
                                             std::make_unique<QtTelnetClient>(), prompt, linkClock,
                                             linkFiles);
        ASSERT_TRUE(channel->openConnection(std::make_shared<clsConnectionData>(store)));
        commands = std::make_unique<clsControllerCommands>(*channel);
        inventory = std::make_unique<clsCardInventory>(*channel, *commands, timer);
        inventory->pollInterval(200); // as the connection dialog sets it for Telnet
        cycle = std::make_unique<clsPollCycle>(*inventory, *commands, *channel, prompt, timer);

        inventory->InitCardArrays();
        cycle->attachLogging(*logFile, logging);
        cycle->setTree(&tree);
        cycle->setWatchdogMenu(&menu);
    }

    // Ticks through the restart step that ends the current round.
    void runRound() {
        for (int i = 0; i < 500 && cycle->pollStep() != 8; ++i)
            cycle->tick();
        ASSERT_EQ(cycle->pollStep(), 8);
        cycle->tick();
        ASSERT_EQ(cycle->pollStep(), 0);
    }

    // Commands the simulator received from the console since the log was last cleared; every
    // one must have come over the one Telnet session.
    Commands received() {
        Commands out;
        for (const sim::LoggedCommand& entry : simulator->commandLog()) {
            EXPECT_EQ(entry.link, "telnet:1") << entry.command;
            out.push_back(entry.command);
        }
        return out;
    }

    void drill(const std::string& line) { ASSERT_EQ(simulator->control(line), "OK") << line; }

    std::string simplePath() const { return (directory / "events.log").string(); }
    std::string detailPath() const { return (directory / "status.log").string(); }

    MemorySettingsStore store;
    testing::FakePrompt prompt;
    testing::FakeClock clock;
    FixedTimeFormatter formatter;
    // The link runs on real time: its silence limit must not be cut short by a fake clock.
    SystemClock linkClock;
    testing::MemoryFileSystem linkFiles;
    std::filesystem::path directory;
    std::unique_ptr<StdFileSystem> files;
    std::unique_ptr<clsLogFile> logFile;
    clsLogging logging{store};
    FakePollTimer timer;
    FakeTree tree;
    FakeWatchdogMenu menu;

    std::unique_ptr<sim::FrameSimulator> simulator;
    std::unique_ptr<frmDebug> channel;
    std::unique_ptr<clsControllerCommands> commands;
    std::unique_ptr<clsCardInventory> inventory;
    std::unique_ptr<clsPollCycle> cycle;
};

// --- Card inventory ---

struct FrameCase {
    const char* file;
    // Slot counts and the slots that do not answer, as the frame file describes them.
    int inputs, outputs, matrices, power, options;
    std::set<int> silentInputs, silentPower, silentOptions;
    const char* frameTypeLine;
};

const FrameCase kFrames[] = {
    {"demo.json",
     8,
     8,
     4,
     19,
     8,
     {8},
     {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
     {6},
     "Frame Type: 7 128x128 HD/SD multirate frame"},
    {"small.json",
     2,
     2,
     1,
     19,
     2,
     {},
     {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 19},
     {},
     "Frame Type: 7 64x64 HD frame"},
};

void PrintTo(const FrameCase& frame, std::ostream* out) {
    *out << frame.file;
}

class InventoryOnFrame : public MonitorAgainstSimulator,
                         public ::testing::WithParamInterface<FrameCase> {};

TEST_P(InventoryOnFrame, CountsEveryCategoryAndPollsEachSlotInOrder) {
    const FrameCase& frame = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOn(frame.file));

    EXPECT_EQ(inventory->inputCount(), frame.inputs);
    EXPECT_EQ(inventory->outputCount(), frame.outputs);
    EXPECT_EQ(inventory->matrixCount(), frame.matrices);
    EXPECT_EQ(inventory->powerCount(), frame.power);
    EXPECT_EQ(inventory->outputOptionCount(), frame.options);

    Commands expected{kVerboseOff};
    const std::pair<const char*, const char*> categories[] = {
        {"I", "IB "}, {"O", "OB "}, {"M", "MB "}, {"S", "SB "}, {"OO", "OOB "}};
    const int counts[] = {frame.inputs, frame.outputs, frame.matrices, frame.power, frame.options};
    for (std::size_t c = 0; c < 5; ++c) {
        expected.push_back(std::string("RC ") + categories[c].first + ",A");
        expected.push_back(std::string("RC ") + categories[c].first + ",B");
        append(expected, numbered(categories[c].second, counts[c]));
    }
    expected.push_back("FT");
    EXPECT_EQ(received(), expected);

    // Absent slots still get a record; it is simply not valid.
    auto validity = [](const clsCardInventory::CardList& list, const std::set<int>& silent) {
        for (std::size_t n = 1; n < list.size(); ++n) {
            ASSERT_NE(list[n], nullptr);
            EXPECT_EQ(list[n]->boardIndex(), static_cast<std::int16_t>(n));
            EXPECT_EQ(list[n]->isBoardValid(), silent.count(static_cast<int>(n)) == 0)
                << list[n]->boardType() << " " << n;
        }
    };
    validity(inventory->inputCards(), frame.silentInputs);
    validity(inventory->outputCards(), {});
    validity(inventory->matrixCards(), {});
    validity(inventory->powerCards(), frame.silentPower);
    validity(inventory->outputOptionCards(), frame.silentOptions);

    ASSERT_NE(inventory->frameRecord(), nullptr);
    EXPECT_EQ(inventory->frameRecord()->getFrameType(), "7");
    EXPECT_EQ(inventory->frameRecord()->getFrameInfo(), frame.frameTypeLine);
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(timer.interval, 200);
    EXPECT_TRUE(prompt.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(FrameFiles, InventoryOnFrame, ::testing::ValuesIn(kFrames),
                         [](const ::testing::TestParamInfo<FrameCase>& param) {
                             std::string name = param.param.file;
                             return name.substr(0, name.find('.'));
                         });

// --- Poll rounds ---

TEST_F(MonitorAgainstSimulator, PollRoundsSendOneStepPerTickInRoundOrder) {
    ASSERT_NO_FATAL_FAILURE(startOn("small.json"));
    simulator->clearCommandLog();

    // The frame-wide steps: controller state, verbose off, alarms, watchdog capability, fan
    // controllers (small.json has one, in slot 18; both slots are read).
    const Commands frameSteps{"AC", kVerboseOff, "AL", "RD", "NF", "SB 18", "SB 19"};
    // The inventory has just polled every input card, so the first round starts by moving on
    // to the output cards.
    Commands firstRound;
    append(firstRound, numbered("OB ", 2));
    append(firstRound, numbered("MB ", 1));
    append(firstRound, numbered("SB ", 16)); // supplies only: not the output monitor
    append(firstRound, frameSteps);
    Commands laterRound = numbered("IB ", 2);
    append(laterRound, firstRound);

    Commands expected = firstRound;
    runRound();
    EXPECT_EQ(received(), expected);
    for (int round = 2; round <= 3; ++round) {
        SCOPED_TRACE(round);
        runRound();
        append(expected, laterRound);
        EXPECT_EQ(received(), expected);
    }

    // A steady frame raises nothing; its watchdog answer ("yes") shows the menu item.
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_TRUE(tree.redraws.empty());
    EXPECT_TRUE(menu.visible);
    EXPECT_TRUE(menu.enabled);
    EXPECT_FALSE(std::filesystem::exists(simplePath()));
}

// --- A card going offline and back ---

struct OfflineCase {
    const char* drillCard; // as the simulator's drills name it
    const char* category;
    std::int16_t slot;
    void (clsLogging::*select)(const std::string&);
    std::string box;       // empty: no box
    std::int16_t treeCode; // RedrawTreeNode's category
    std::string offlineEntry;
    std::string onlineEntry; // empty: not logged
};

void PrintTo(const OfflineCase& card, std::ostream* out) {
    *out << card.drillCard << " " << card.slot;
}

class CardGoesOfflineAndBack : public MonitorAgainstSimulator,
                               public ::testing::WithParamInterface<OfflineCase> {};

TEST_P(CardGoesOfflineAndBack, AlertsRedrawsAndLogsOnceEachWay) {
    const OfflineCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startOn("small.json"));
    logFile->setSimpleFileName("events.log");
    logFile->SimpleLogEnable(true);
    logging.simpleLog(true);
    (logging.*c.select)(std::to_string(c.slot));
    clsQuorvelBoard* card = inventory->card(c.category, c.slot);
    ASSERT_NE(card, nullptr);

    // Two rounds, so that every card, inputs included, has been polled by the cycle.
    runRound();
    runRound();
    ASSERT_TRUE(card->isBoardValid());
    ASSERT_TRUE(prompt.boxes.empty());
    ASSERT_TRUE(tree.redraws.empty());
    const std::string stamp = "May 22 2007 : 2:05:09 PM: ";
    std::string expectedLog = stamp + "New Controller state is: ACTIVE\r\n";
    ASSERT_EQ(readFile(simplePath()), expectedLog);

    drill(std::string("offline ") + c.drillCard + " " + std::to_string(c.slot));
    runRound();
    EXPECT_FALSE(card->isBoardValid());
    if (c.box.empty()) {
        EXPECT_TRUE(prompt.boxes.empty());
    } else {
        ASSERT_EQ(prompt.boxes.size(), 1U);
        EXPECT_EQ(prompt.boxes[0].message, c.box);
        EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::Ok);
    }
    EXPECT_EQ(tree.redraws, (std::vector<TreeRedraw>{{c.treeCode, c.slot, false}}));
    if (!c.offlineEntry.empty())
        expectedLog += stamp + c.offlineEntry + "\r\n";
    EXPECT_EQ(readFile(simplePath()), expectedLog);

    // While it stays silent nothing more is reported.
    runRound();
    EXPECT_EQ(prompt.boxes.size(), c.box.empty() ? 0U : 1U);
    EXPECT_EQ(tree.redraws.size(), 1U);
    EXPECT_EQ(readFile(simplePath()), expectedLog);

    drill(std::string("online ") + c.drillCard + " " + std::to_string(c.slot));
    runRound();
    EXPECT_TRUE(card->isBoardValid());
    EXPECT_EQ(prompt.boxes.size(), c.box.empty() ? 0U : 1U); // coming back raises no box
    EXPECT_EQ(tree.redraws,
              (std::vector<TreeRedraw>{{c.treeCode, c.slot, false}, {c.treeCode, c.slot, true}}));
    if (!c.onlineEntry.empty())
        expectedLog += stamp + c.onlineEntry + "\r\n";
    EXPECT_EQ(readFile(simplePath()), expectedLog);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPolledKind, CardGoesOfflineAndBack,
    ::testing::Values(OfflineCase{"input", "INPUT", 2, &clsLogging::setInputsToLog,
                                  "Input card 2 has gone offline", 2, "INPUT 2 has gone OFFLINE.",
                                  "INPUT 2 has gone ONLINE."},
                      OfflineCase{"output", "OUTPUT", 2, &clsLogging::setOutputsToLog,
                                  "Output card 2 has gone offline", 1, "OUTPUT 2 has gone OFFLINE.",
                                  "OUTPUT 2 has gone ONLINE."},
                      OfflineCase{"matrix", "MATRIX", 1, &clsLogging::setMatricesToLog,
                                  "Matrix card 1 has gone offline", 3, "MATRIX 1 has gone OFFLINE.",
                                  "MATRIX 1 has gone ONLINE."},
                      OfflineCase{"power", "POWER", 1, &clsLogging::setPowerToLog,
                                  "Power supply 1 has gone offline", 4, "POWER 1 has gone OFFLINE.",
                                  "POWER 1 has gone ONLINE."},
                      // Fan controller changes alert and repaint but are never logged.
                      OfflineCase{"power", "POWER", 18, &clsLogging::setPowerToLog,
                                  "Fan controller 1 has gone offline", 5, "", ""}),
    [](const ::testing::TestParamInfo<OfflineCase>& param) {
        return std::string(param.param.drillCard) + std::to_string(param.param.slot);
    });

// --- Log files on disk ---

std::string word4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFFU);
    return text;
}

std::string lines(const std::vector<std::string>& all) {
    std::string out;
    for (const auto& line : all)
        out += line + "\r\n";
    return out;
}

// The four hexadecimal digits of the checksum the controller puts in its status reply. The
// detailed log copies them; they are the simulator's own, so they are read from its answer
// to the same command rather than recomputed here.
std::string controllerChecksum(sim::FrameSimulator& simulator, const std::string& command) {
    const std::string reply = simulator.handleCommand(command);
    const std::size_t at = reply.find("CRC = 0x");
    return at == std::string::npos ? std::string("????") : reply.substr(at + 8, 4);
}

TEST_F(MonitorAgainstSimulator, LogFilesHoldHeadersEntriesAndFootersByteForByte) {
    ASSERT_NO_FATAL_FAILURE(startOn("small.json"));
    // The logging window switches both logs on; only input card 2 is selected.
    ASSERT_TRUE(logFile->setSimpleFileName("events.log"));
    logFile->SimpleLogEnable(true);
    logFile->addSimpleHeader();
    ASSERT_TRUE(logFile->setDetailFileName("status.log"));
    logFile->DetailLogEnable(true);
    logFile->addDetailHeader();
    logging.simpleLog(true);
    logging.detailLog(true);
    logging.setInputsToLog("2");

    auto at = [this](int hour, int minute, int second) {
        clock.local = LocalDateTime{2007, 5, 22, hour, minute, second};
    };

    // Input card 2 of small.json: subtype 6 (the simulator's input card default) with its
    // four rails good (0x00F0) in OD1, its "inputs" mask 0x8001 in OD2, firmware 3 and 52
    // degrees in OD3. Three words: the word count is 5.
    const unsigned od1 = 0x00F0 | 6;
    const unsigned od3 = (3U << 8) | 52U;
    const std::string firstChecksum = controllerChecksum(*simulator, "IB 2");

    runRound(); // inputs are skipped in the first round; the controller state is news
    at(14, 5, 30);
    runRound(); // the cycle's first poll of input 2 sees the status the inventory read

    drill("errors input 2 3");
    drill("inputs 2 0x00FF");
    const std::string secondChecksum = controllerChecksum(*simulator, "IB 2");
    at(14, 6, 0);
    runRound();

    drill("offline input 2");
    at(14, 7, 15);
    runRound();
    drill("online input 2");
    at(15, 0, 0);
    runRound();

    at(15, 0, 1);
    logFile->SimpleLogEnable(false);
    logFile->addSimpleFooter();
    logFile->DetailLogEnable(false);
    logFile->addDetailFooter();
    // With both logs off the cycle writes nothing more.
    drill("errors input 2 1");
    runRound();
    runRound();

    const std::string rule(106, '*');
    const std::string simple = lines({rule, "START Logging", "May 22 2007: 2:05:09 PM", "", rule}) +
                               lines({"May 22 2007 : 2:05:09 PM: New Controller state is: ACTIVE",
                                      "May 22 2007 : 2:06:00 PM: INPUT 2 has 3 New errors.",
                                      "May 22 2007 : 2:07:15 PM: INPUT 2 has gone OFFLINE.",
                                      "May 22 2007 : 3:00:00 PM: INPUT 2 has gone ONLINE."}) +
                               lines({rule, "STOP Logging", "May 22 2007: 3:00:01 PM", "", rule});
    // One line per change of the card's status words: the inventory's first reading, then
    // the new input mask (the error counts alone are no change, and neither is a return to
    // the same words after being offline). Error fields keep the first digit of each count.
    const std::string detail =
        lines({rule, "START Logging", "May 22 2007: 2:05:09 PM", "", "File Format",
               "Date, Time, Command, Total Errors, CRC Error, WC Error, LEN Error, CRC, WC, "
               "OD1...last OD for that command",
               "", rule}) +
        lines({"May 22 2007,2:05:30 PM,IB 2,0,0,0,0," + firstChecksum + ",0005," + word4(od1) +
                   "," + word4(0x8001) + "," + word4(od3),
               "May 22 2007,2:06:00 PM,IB 2,3,3,0,0," + secondChecksum + ",0005," + word4(od1) +
                   "," + word4(0x00FF) + "," + word4(od3)}) +
        lines({rule, "STOP Logging", "May 22 2007: 3:00:01 PM", "", rule});

    EXPECT_EQ(readFile(simplePath()), simple);
    EXPECT_EQ(readFile(detailPath()), detail);
    EXPECT_NE(firstChecksum, secondChecksum);
    EXPECT_EQ(prompt.messages(), (std::vector<std::string>{"Input card 2 has gone offline"}));
}

} // namespace
} // namespace tessivar
