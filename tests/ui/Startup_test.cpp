// The console started as the operator starts it, against a simulated frame over Telnet on
// loopback: connection, inventory, tree, watchdog menu and the running poll cycle.
#include "common/Clock.h"
#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "link/frmDebug.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTelnetClient.h"
#include "sim/FrameSimulator.h"
#include "support/Fakes.h"
#include "ui/Console.h"
#include "ui/DemoFrame.h"
#include "ui/frmTree.h"
#include "ui/mdiMain.h"

#include <QAction>
#include <QFile>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace tessivar {
namespace {

using testing::FakePrompt;
using testing::MemoryFileSystem;

std::string demoFrame() {
    QFile file(QStringLiteral(":/frames/demo.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class RunningConsole {
public:
    explicit RunningConsole(const std::string& frameJson)
        : sim_(sim::FrameSimulator::fromJson(frameJson)) {
        ui::Console::Services services{
            store,
            prompt,
            files,
            clock,
            formatter,
            [this] {
                return std::make_unique<frmDebug>(std::make_unique<QtSerialPort>(store),
                                                  std::make_unique<QtTelnetClient>(), prompt, clock,
                                                  files);
            },
            [](int) { return std::string(); },
            [this] { ++ended; },
        };
        console = std::make_unique<ui::Console>(services);
    }

    bool start() {
        const auto endpoints = ui::startOnLowPort(sim_);
        ConnectTarget target;
        target.kind = LinkKind::Remote;
        target.address = {"127", "0", "0", "1"};
        target.telnetPort = std::to_string(endpoints.telnetPort);
        return startWith(target);
    }

    // The serial link over the simulator's pseudo-terminal, named as COM7 in the store.
    bool startSerial() {
        sim::SimulatorOptions simOptions;
        simOptions.serial = true;
        const auto endpoints = sim_.start(simOptions);
        store.write("Ports", "COM7", endpoints.serialDevice);
        ConnectTarget target;
        target.kind = LinkKind::Local;
        target.comPort = "7";
        return startWith(target);
    }

    bool startWith(const ConnectTarget& target) {
        ui::StartOptions options;
        options.connect = target;
        options.silentConnect = true;
        options.showSplash = false;
        const bool started = console->Main(options);
        // Ticks are driven by the test, one at a time.
        console->main().timUpdate.stop();
        return started;
    }

    // Ticks until the condition holds; false when a few rounds of the cycle did not bring it.
    template <typename Condition> bool tickUntil(Condition condition) {
        for (int tick = 0; tick < 200; ++tick) {
            if (condition())
                return true;
            console->main().timUpdate_Timer();
        }
        return condition();
    }
    void tickRounds(int ticks) {
        for (int tick = 0; tick < ticks; ++tick)
            console->main().timUpdate_Timer();
    }

    QColor colour(const std::string& key) {
        QTreeWidgetItem* item = console->tree()->item(key);
        EXPECT_NE(item, nullptr) << key;
        return item ? item->foreground(0).color() : QColor();
    }

    std::string drill(const std::string& line) { return sim_.control(line); }

    MemorySettingsStore store;
    FakePrompt prompt;
    MemoryFileSystem files;
    SystemClock clock;
    FixedTimeFormatter formatter;
    int ended = 0;
    std::unique_ptr<ui::Console> console;

private:
    sim::FrameSimulator sim_;
};

const QColor kSilver(192, 192, 192);
const QColor kBlack(Qt::black);

TEST(ConsoleStartup, ConnectsOverTelnetAndShowsTheDemoFrameInTheTree) {
    RunningConsole run(demoFrame());
    ASSERT_TRUE(run.start());
    EXPECT_TRUE(run.prompt.boxes.empty()) << run.prompt.messages().front();
    EXPECT_EQ(run.store.get("Parms", "ConnectType", ""), "Telnet");
    EXPECT_EQ(run.console->inventory().pollInterval(), 200);
    EXPECT_TRUE(run.console->main().isVisible());
    ASSERT_NE(run.console->logFile(), nullptr);
    ASSERT_NE(run.console->logging(), nullptr);
    ASSERT_NE(run.console->voltages(), nullptr);

    std::vector<std::string> keys;
    for (const auto& node : run.console->tree()->table().nodes())
        keys.push_back(node.key);
    std::vector<std::string> expected = {"Root", "FCStatus", "Input"};
    for (int n = 1; n <= 8; ++n)
        expected.push_back("IC" + std::to_string(n));
    expected.push_back("Output");
    for (int n = 1; n <= 8; ++n)
        expected.push_back("OC" + std::to_string(n));
    expected.push_back("Matrix");
    for (int n = 1; n <= 4; ++n)
        expected.push_back("MC" + std::to_string(n));
    expected.push_back("Power");
    for (int n = 1; n <= 16; ++n)
        expected.push_back("PC" + std::to_string(n));
    for (const char* k :
         {"OutputMonitor", "FC18", "FC19", "CommSummary", "RouterStatus", "CommandLine", "Logging"})
        expected.push_back(k);
    EXPECT_EQ(keys, expected);

    EXPECT_EQ(run.colour("IC7"), kBlack);
    EXPECT_EQ(run.colour("IC8"), kSilver); // absent slot
    EXPECT_EQ(run.colour("OC8"), kBlack);
    EXPECT_EQ(run.colour("PC4"), kBlack);
    EXPECT_EQ(run.colour("PC5"), kSilver);
    EXPECT_EQ(run.colour("PC16"), kSilver);
    EXPECT_EQ(run.colour("FC19"), kBlack);
    EXPECT_EQ(run.console->tree()->item("FC19")->text(0), "Fan Controller 2");
    // the watchdog item for a frame that answers YES
    EXPECT_TRUE(run.console->main().mnuRedundantMatrix->isVisible());
    EXPECT_TRUE(run.console->main().mnuRedundantMatrix->isEnabled());
}

TEST(ConsoleStartup, WatchdogMenuItemFollowsTheFramesAnswer) {
    struct Case {
        const char* mode;
        bool visible;
        bool enabled;
    };
    const Case cases[] = {{"capable", true, false}, {"no", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        RunningConsole run(
            replaced(demoFrame(), R"("mode": "yes")", std::string(R"("mode": ")") + c.mode + "\""));
        ASSERT_TRUE(run.start());
        EXPECT_EQ(run.console->main().mnuRedundantMatrix->isVisible(), c.visible);
        EXPECT_EQ(run.console->main().mnuRedundantMatrix->isEnabled(), c.enabled);
    }
}

TEST(ConsoleStartup, PollCycleReportsAnOutputCardGoingOfflineOnceAndRecolours) {
    RunningConsole run(demoFrame());
    ASSERT_TRUE(run.start());
    ASSERT_EQ(run.drill("offline output 3"), "OK");
    const std::string box = "Output card 3 has gone offline";
    auto boxes = [&] {
        const auto m = run.prompt.messages();
        return std::count(m.begin(), m.end(), box);
    };
    ASSERT_TRUE(run.tickUntil([&] { return boxes() > 0; }));
    EXPECT_EQ(run.colour("OC3"), kSilver);
    EXPECT_EQ(run.colour("IC3"), kBlack);
    EXPECT_EQ(run.colour("MC3"), kBlack);
    run.tickRounds(60); // more than a whole round while the card stays silent
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(run.colour("OC3"), kSilver);

    ASSERT_EQ(run.drill("online output 3"), "OK");
    ASSERT_TRUE(run.tickUntil([&] { return run.colour("OC3") == kBlack; }));
    EXPECT_EQ(boxes(), 1); // coming back raises no box
    EXPECT_EQ(run.prompt.boxes.size(), 1U);
}

TEST(ConsoleStartup, ConnectsOverASerialLink) {
    RunningConsole run(demoFrame());
    ASSERT_TRUE(run.startSerial());
    EXPECT_TRUE(run.prompt.boxes.empty()) << run.prompt.messages().front();
    EXPECT_EQ(run.store.get("Parms", "ConnectType", ""), "Serial");
    EXPECT_EQ(run.store.get("Parms", "COMPort", ""), "7");
    EXPECT_EQ(run.console->inventory().pollInterval(), 75);
    EXPECT_EQ(run.console->inventory().outputCount(), 8);
    EXPECT_EQ(run.colour("IC8"), kSilver);
}

TEST(ConsoleStartup, ReinitializeRebuildsTheTreeFromTheNewInventory) {
    RunningConsole run(demoFrame());
    ASSERT_TRUE(run.start());
    EXPECT_EQ(run.colour("IC8"), kSilver);
    ASSERT_EQ(run.drill("present input 8 on"), "OK");
    run.console->main().mnuReinitialize->trigger();
    EXPECT_EQ(run.colour("IC8"), kBlack);
    EXPECT_TRUE(run.console->main().timUpdate.isActive());

    run.console->main().mnuFrameType->trigger();
    ASSERT_EQ(run.prompt.boxes.size(), 1U);
    EXPECT_NE(run.prompt.boxes[0].message.find("128x128"), std::string::npos)
        << run.prompt.boxes[0].message;
}

} // namespace
} // namespace tessivar
