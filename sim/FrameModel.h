#pragma once
// The simulated frame's state: its card slots, routes, controller settings, alarms and the link
// faults an engineer has switched on. Everything the controller reports is derived from here.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessivar::sim {

enum class Category { Input = 0, Output, Matrix, Power, OutputOption };
inline constexpr int kCategoryCount = 5;
inline constexpr int kPerCard = 16; // inputs or outputs per input/output card slot
inline constexpr int kMonitorSlot = 17;
inline constexpr int kFirstFanSlot = 18;

// "input", "output", "matrix", "power", "option" (also the controller's letters and the
// console's category words), case-insensitive.
std::optional<Category> parseCategory(const std::string& word);
const char* categoryName(Category c);

enum class CardKind { Input, Output, Matrix, Supply, Monitor, FanController, OutputOption };
CardKind cardKind(Category c, int slot);

struct Card {
    bool present = true;    // a card sits in the slot
    bool powered = true;    // switched on (PM)
    bool offline = false;   // drill: the card stops answering
    bool commError = false; // drill: the card's replies carry "comm error"
    int subtype = 0;        // low nibble of the first status word
    std::array<bool, 4> rails{true, true, true, true}; // rails V1..V4 healthy
    int temperature = 35;                              // degrees, 0..255
    int firmware = 3;                                  // revision, 0..255
    std::uint32_t crcErrors = 0;
    std::uint32_t wcErrors = 0;
    std::uint32_t lenErrors = 0;
    std::uint32_t otherErrors = 0;
    // Input card: bit i-1 set when input i carries a signal.
    std::uint16_t presence = 0xFFFF;
    // Output card: signal code (0..8) per output, the option card code (0..7) and the forced
    // reclock rate per output ("AUTO" when none is forced).
    std::array<int, kPerCard> signals{};
    int option = 0;
    std::array<std::string, kPerCard> reclock{};
    // Power supply.
    std::array<double, 2> fanVolts{12.0, 12.0};
    std::array<double, 2> fanAmps{0.35, 0.35};
    double volts = 28.0;
    double amps = 40.0;
    // Fan controller.
    std::array<bool, 8> fans{true, true, true, true, true, true, true, true};
    bool fanActive = true;
    bool fanError = false;

    std::uint32_t totalErrors() const { return crcErrors + wcErrors + lenErrors + otherErrors; }
    bool answers() const { return present && powered && !offline; }
};

// Link faults: they shape how replies travel, not what they say.
struct LinkFaults {
    int delayMs = 0;       // wait before a reply starts
    int trickleMs = 0;     // send the reply one character at a time, this far apart
    int splitPromptMs = 0; // send the final ">" in a later write, this much later (0: off)
    bool silent = false;   // read commands, answer nothing
    bool noPrompt = false; // answer without the final ">"
    bool dropNext = false; // close the connection on the next command instead of answering
};

enum class WatchdogMode { Yes, No, Capable };

struct Frame {
    std::array<std::vector<Card>, kCategoryCount> slots; // index 0 is slot 1

    std::string frameTypeCode = "7";
    std::string frameTypeText = "256x256 HD frame";
    std::string state = "ACTIVE"; // ACTIVE, STANDBY or SINGLE
    std::string firmware = "4.2.1";
    std::string fpga = "3.07";
    int controllerTemp = 38;
    std::array<std::string, 2> sync{"OK", "OK"}; // OK, BAD or NO SYNC
    std::string syncFormat = "1080i/59.94";
    bool dhcp = false;
    std::string ip = "192.168.10.20";
    std::string mask = "255.255.255.0";
    std::string gateway = "192.168.10.1";
    std::string mac = "00:0B:5E:10:22:31";
    bool portB = false; // the controller port the cards listen to
    bool echo = false;
    bool verbose = true; // verbose mode of a new session

    // Alarm texts, each beginning with its keyword (IN, OUT, MAT, POW, MFC, MON; PWR).
    std::vector<std::string> overtempAlarms;
    std::vector<std::string> powerAlarms;
    std::vector<std::string> fanAlarms;

    std::vector<int> routes;                // index o-1: input routed to frame output o
    std::array<int, 2> monitorRoutes{1, 1}; // frame output watched by monitor 1 and 2
    std::vector<bool> outputOnWatchdog;     // index o-1: output moved to the watchdog matrix

    WatchdogMode watchdog = WatchdogMode::No;
    std::array<bool, 17> watchdogCapable{}; // blocks 1..16
    std::array<bool, 17> watchdogSwitched{};
    bool autoSwitch = false;

    std::map<int, std::string> converters; // frame output -> "S+,C-,4+,F-"

    LinkFaults faults;

    int slotCount(Category c) const { return static_cast<int>(slots[static_cast<int>(c)].size()); }
    Card* card(Category c, int slot);
    const Card* card(Category c, int slot) const;
    int inputCount() const { return slotCount(Category::Input) * kPerCard; }
    int outputCount() const { return slotCount(Category::Output) * kPerCard; }
    // Frame outputs whose output card carries an HD-to-SD converter.
    bool hasConverter(int output) const;
    int fanControllerCount() const;
};

// Throws FrameError with a message that names the offending field.
Frame parseFrame(const std::string& jsonText);

// Reclock rate codes the controller accepts.
bool isReclockRate(const std::string& rate);

} // namespace tessivar::sim
