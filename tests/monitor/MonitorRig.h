#pragma once
// A scripted frame for the monitor engine: the roll call, status replies of every slot and
// the frame-wide answers, plus recording doubles for the main window's timer, tree and
// watchdog menu item.

#include "commands/clsControllerCommands.h"
#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"
#include "monitor/MonitorPorts.h"
#include "monitor/clsCardInventory.h"
#include "monitor/clsPollCycle.h"
#include "support/Fakes.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tessivar::testing {

class FakePollTimer : public IPollTimer {
public:
    void setInterval(int milliseconds) override {
        interval = milliseconds;
        calls.push_back("interval " + std::to_string(milliseconds));
    }
    void start(int milliseconds) override {
        interval = milliseconds;
        active = true;
        calls.push_back("start " + std::to_string(milliseconds));
    }
    void stop() override {
        active = false;
        calls.push_back("stop");
    }
    bool isActive() const override { return active; }

    bool active = false;
    int interval = 0;
    std::vector<std::string> calls;
};

struct TreeRedraw {
    std::int16_t category;
    std::int16_t card;
    bool online;
    bool operator==(const TreeRedraw&) const = default;
};

class FakeTree : public ITreeNodePainter {
public:
    void RedrawTreeNode(std::int16_t category, std::int16_t card, bool online) override {
        redraws.push_back({category, card, online});
    }
    std::vector<TreeRedraw> redraws;
};

class FakeWatchdogMenu : public IWatchdogMenuItem {
public:
    void setVisible(bool on) override {
        visible = on;
        calls.push_back(on ? "visible" : "hidden");
    }
    void setEnabled(bool on) override {
        enabled = on;
        calls.push_back(on ? "enabled" : "disabled");
    }
    bool visible = true;
    bool enabled = true;
    std::vector<std::string> calls;
};

inline std::string hex4(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value) & 0xFFFFU);
    return text;
}

// A status reply the card record reads as complete: word count, OD1..ODn and the total.
inline std::string statusReply(const std::string& command, int words, int total = 0,
                               int od1 = 0x0070) {
    std::string reply = command + "\r\nWC = " + hex4(words);
    for (int k = 1; k <= 10; ++k)
        reply += " OD" + std::to_string(k) + " = " + hex4(k == 1 ? od1 : 0);
    reply += " Total Errors = " + hex4(total) + " \r\n>";
    return reply;
}

inline std::string rollCallReply(int slots) {
    std::string reply = "\r\n";
    for (int i = 0; i < slots; ++i)
        reply += " 0x01";
    return reply + "\r\n>";
}

// The expected word count of a slot, by category and power slot kind.
inline int expectedWords(const std::string& category, int slot) {
    if (category == "INPUT")
        return 5;
    if (category == "OUTPUT")
        return 12;
    if (category == "MATRIX")
        return 4;
    if (category == "OUTPUT_OPTION")
        return 4;
    if (slot == 17)
        return 5;
    if (slot >= 18)
        return 6;
    return 10;
}

inline std::string statusCommand(const std::string& category, int slot) {
    if (category == "INPUT")
        return "IB " + std::to_string(slot);
    if (category == "OUTPUT")
        return "OB " + std::to_string(slot);
    if (category == "MATRIX")
        return "MB " + std::to_string(slot);
    if (category == "POWER")
        return "SB " + std::to_string(slot);
    return "OOB " + std::to_string(slot);
}

struct FrameShape {
    int inputs = 0;
    int outputs = 0;
    int matrices = 0;
    int power = 0;
    int options = 0;
};

// Everything the monitor engine talks to, wired as the main window wires it.
class MonitorRig {
public:
    MonitorRig() {
        clock.local = LocalDateTime{2007, 5, 22, 14, 5, 9};
        inventory.pollInterval(75);
        // No controller state and no alarms unless a test gives them.
        channel.replies["AC"] = "";
        channel.replies["AL"] = "AL\r\nAlarms: none\r\n>";
        channel.replies["RD"] = "RD\r\nNot redundant\r\n>";
        channel.replies["NF"] = "NF\r\nFan Controllers: 0\r\n>";
        channel.replies["FT"] = "FT\r\nFrame Type: 5 (512x512)\r\n>";
    }

    // Scripts the roll call and a good status reply for every slot.
    void scriptFrame(const FrameShape& shape) {
        const std::pair<const char*, int> categories[] = {{"I", shape.inputs},
                                                          {"O", shape.outputs},
                                                          {"M", shape.matrices},
                                                          {"S", shape.power},
                                                          {"OO", shape.options}};
        for (const auto& [letter, slots] : categories) {
            channel.replies["RC " + std::string(letter) + ",A"] = rollCallReply(slots);
            channel.replies["RC " + std::string(letter) + ",B"] = rollCallReply(slots);
        }
        const std::pair<const char*, int> kinds[] = {{"INPUT", shape.inputs},
                                                     {"OUTPUT", shape.outputs},
                                                     {"MATRIX", shape.matrices},
                                                     {"POWER", shape.power},
                                                     {"OUTPUT_OPTION", shape.options}};
        for (const auto& [category, slots] : kinds)
            for (int slot = 1; slot <= slots; ++slot)
                answer(category, slot);
    }

    void answer(const std::string& category, int slot, int total = 0, int od1 = 0x0070) {
        std::string command = statusCommand(category, slot);
        channel.replies[command] = statusReply(command, expectedWords(category, slot), total, od1);
    }
    void silence(const std::string& category, int slot) {
        channel.replies[statusCommand(category, slot)] = "";
    }

    // Simple and detailed logging on, every card selected.
    void logEverything() {
        logFile.setSimpleFileName("events.log");
        logFile.setDetailFileName("status.log");
        logFile.SimpleLogEnable(true);
        logFile.DetailLogEnable(true);
        logging.simpleLog(true);
        logging.detailLog(true);
        for (auto set : {&clsLogging::setInputsToLog, &clsLogging::setOutputsToLog,
                         &clsLogging::setMatricesToLog, &clsLogging::setPowerToLog})
            (logging.*set)("ALL");
    }

    void start(const FrameShape& shape) {
        scriptFrame(shape);
        boot();
    }

    // Inventory on the frame as scripted, then the cycle wired up as after start-up.
    void boot() {
        inventory.InitCardArrays();
        cycle.attachLogging(logFile, logging);
        cycle.setTree(&tree);
        cycle.setWatchdogMenu(&menu);
        channel.commands.clear();
    }

    // Ticks through the restart step that ends the current round.
    void runToRoundEnd() {
        for (int i = 0; i < 1000 && cycle.pollStep() != 8; ++i)
            cycle.tick();
        cycle.tick();
    }

    std::string simpleLog() { return files.files["/opt/tessivar/events.log"]; }
    std::string detailLog() { return files.files["/opt/tessivar/status.log"]; }

    FakeCommandChannel channel;
    clsControllerCommands commands{channel};
    FakePollTimer timer;
    clsCardInventory inventory{channel, commands, timer};
    FakePrompt prompt;
    MemoryFileSystem files;
    MemorySettingsStore settings;
    FakeClock clock;
    FixedTimeFormatter formatter;
    clsLogFile logFile{files, settings, prompt, clock, formatter};
    clsLogging logging{settings};
    FakeTree tree;
    FakeWatchdogMenu menu;
    clsPollCycle cycle{inventory, commands, channel, prompt, timer};
};

} // namespace tessivar::testing
