#include "sim/Controller.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace tessivar::sim {

namespace {

using Lines = std::vector<std::string>;

std::string upper(std::string s) {
    for (char& ch : s) {
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    return s;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) {
        return {};
    }
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::vector<std::string> splitArgs(const std::string& s) {
    std::vector<std::string> out;
    if (trim(s).empty()) {
        return out;
    }
    std::size_t start = 0;
    while (true) {
        const auto comma = s.find(',', start);
        out.push_back(trim(s.substr(start, comma - start)));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return out;
}

// Decimal whole number as the console writes them: digits only.
std::optional<int> decimal(const std::string& s) {
    if (s.empty() || s.size() > 6 ||
        !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return std::stoi(s);
}

std::string hex(unsigned value, int width, bool prefix) {
    char buf[32];
    std::snprintf(buf, sizeof buf, prefix ? "0x%0*X" : "%0*X", width, value);
    return buf;
}

std::string error(const std::string& why) {
    return "Error: " + why;
}

std::uint16_t crc16(const std::vector<std::uint16_t>& words) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint16_t w : words) {
        for (int shift : {8, 0}) {
            crc ^= static_cast<std::uint16_t>(((w >> shift) & 0xFF) << 8);
            for (int bit = 0; bit < 8; ++bit) {
                crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
            }
        }
    }
    return crc;
}

unsigned raw10(double x) {
    return static_cast<unsigned>(std::clamp(std::lround(x), 0L, 1023L));
}

// Inverse of the console's supply current curve 0.0001 x^2 + 0.06954 x - 0.16834.
unsigned supplyCurrentRaw(double amps) {
    if (amps <= 0) {
        return 0;
    }
    const double a = 0.0001;
    const double b = 0.06954;
    const double c = -0.16834 - amps;
    return raw10((-b + std::sqrt(b * b - 4 * a * c)) / (2 * a));
}

// Signal code (0..8) to the card's signal byte; bit 7 marks a forced reclock rate and bit 6 a
// locked reclocker.
unsigned signalByte(int code, const std::string& reclock) {
    static const unsigned bytes[9] = {0x00, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x10, 0x20};
    unsigned b = bytes[std::clamp(code, 0, 8)];
    if (!reclock.empty() && reclock != "AUTO") {
        b |= 0x80;
    }
    if (code != 0) {
        b |= 0x40;
    }
    return b;
}

int outputSignalCode(const Frame& f, int output) {
    const Card* c = f.card(Category::Output, (output - 1) / kPerCard + 1);
    if (output < 1 || c == nullptr || !c->answers()) {
        return 0;
    }
    return c->signals[static_cast<std::size_t>((output - 1) % kPerCard)];
}

std::uint16_t firstWord(const Frame& f, const Card& c, CardKind kind) {
    unsigned w = static_cast<unsigned>(c.subtype) & 0xF;
    for (unsigned i = 0; i < 4; ++i) {
        if (c.rails[i]) {
            w |= 0x10u << i;
        }
    }
    if (kind == CardKind::Output) {
        w |= (static_cast<unsigned>(c.option) & 7u) << 12;
    }
    if (f.portB) {
        w |= 0x8000;
    }
    return static_cast<std::uint16_t>(w);
}

std::vector<std::uint16_t> statusWords(const Frame& f, const Card& c, CardKind kind) {
    const auto tempWord = static_cast<std::uint16_t>((c.firmware << 8) | (c.temperature & 0xFF));
    std::vector<std::uint16_t> w{firstWord(f, c, kind)};
    switch (kind) {
    case CardKind::Input:
        w.push_back(c.presence);
        w.push_back(tempWord);
        break;
    case CardKind::Output:
        for (int k = 0; k < 8; ++k) {
            const auto lo = static_cast<std::size_t>(2 * k);
            w.push_back(static_cast<std::uint16_t>(
                signalByte(c.signals[lo], c.reclock[lo]) |
                (signalByte(c.signals[lo + 1], c.reclock[lo + 1]) << 8)));
        }
        w.push_back(tempWord);
        break;
    case CardKind::Matrix:
    case CardKind::OutputOption:
        w.push_back(tempWord);
        break;
    case CardKind::Supply:
        w.push_back(static_cast<std::uint16_t>(raw10(c.fanAmps[0] * 1082)));
        w.push_back(static_cast<std::uint16_t>(raw10(c.fanVolts[0] * 34.5561)));
        w.push_back(static_cast<std::uint16_t>(raw10(c.fanAmps[1] * 1082)));
        w.push_back(static_cast<std::uint16_t>(raw10(c.fanVolts[1] * 34.5561)));
        w.push_back(static_cast<std::uint16_t>(raw10(c.volts * 34.5561)));
        w.push_back(static_cast<std::uint16_t>(supplyCurrentRaw(c.amps)));
        w.push_back(tempWord);
        break;
    case CardKind::Monitor:
        w.push_back(static_cast<std::uint16_t>(
            signalByte(outputSignalCode(f, f.monitorRoutes[0]), "AUTO") |
            (signalByte(outputSignalCode(f, f.monitorRoutes[1]), "AUTO") << 8)));
        w.push_back(tempWord);
        break;
    case CardKind::FanController: {
        unsigned failed = 0;
        for (unsigned i = 0; i < 8; ++i) {
            failed |= c.fans[i] ? 0u : 1u << i;
        }
        w.push_back(static_cast<std::uint16_t>((c.fanActive ? 1 : 0) | (c.fanError ? 2 : 0)));
        w.push_back(tempWord);
        w.push_back(static_cast<std::uint16_t>(failed));
        break;
    }
    }
    return w;
}

Lines rollCall(const Frame& f, Category cat) {
    const int n = f.slotCount(cat);
    if (n == 0) {
        return {"No cards"};
    }
    Lines lines;
    std::string line;
    for (int s = 1; s <= n; ++s) {
        const Card* c = f.card(cat, s);
        const unsigned code = c->answers() ? static_cast<unsigned>(c->subtype) : 0xFF;
        line += (line.empty() ? "" : " ") + hex(code, 2, true);
        if (s % 8 == 0 || s == n) {
            lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

// "SYNC" must head a good reply so the console takes its first line.
std::string syncLine(const Frame& f, int n) {
    const std::string& state = f.sync[static_cast<std::size_t>(n - 1)];
    std::string line = "SYNC " + std::to_string(n) + " " + state;
    if (state == "OK") {
        line += " " + f.syncFormat;
    }
    return line;
}

std::string padded(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

// Values start 14 characters after each label, the label padded to 12 and followed by "= ".
Lines ethernet(const Frame& f) {
    return {
        padded("DHCP", 12) + "= " + (f.dhcp ? "ON " : "OFF"),
        padded("IP address", 12) + "= " + padded(f.ip, 15),
        padded("Subnet mask", 12) + "= " + padded(f.mask, 15),
        padded("Gateway", 12) + "= " + padded(f.gateway, 15),
        padded("MAC address", 12) + "= " + f.mac,
    };
}

int blockOf(int input, int output) {
    auto isStart = [](int n) { return n == 1 || n == 129 || n == 257 || n == 385; };
    if (!isStart(input) || !isStart(output)) {
        return 0;
    }
    return (input - 1) / 128 * 4 + (output - 1) / 128 + 1;
}

int blockInputStart(int block) {
    return 128 * ((block - 1) / 4) + 1;
}
int blockOutputStart(int block) {
    return 128 * ((block - 1) % 4) + 1;
}

std::string blockRange(int start) {
    return std::to_string(start) + "-" + std::to_string(start + 127);
}

Lines redundancy(const Frame& f) {
    if (f.watchdog == WatchdogMode::No) {
        return {"Watchdog NOT INSTALLED"};
    }
    std::string line = f.watchdog == WatchdogMode::Capable ? "Watchdog CAPABLE" : "Watchdog blocks";
    for (int b = 1; b <= 16; ++b) {
        if (f.watchdogCapable[static_cast<std::size_t>(b)]) {
            line += " " + blockRange(blockInputStart(b)) + "," + blockRange(blockOutputStart(b));
        }
    }
    return {line};
}

Lines switchedBlocks(const Frame& f) {
    int capable = 0;
    int switched = 0;
    std::string list;
    for (int b = 1; b <= 16; ++b) {
        const auto i = static_cast<std::size_t>(b);
        capable += f.watchdogCapable[i] ? 1 : 0;
        if (f.watchdogSwitched[i]) {
            ++switched;
            list += (list.empty() ? "" : " ") + std::to_string(blockInputStart(b)) + "," +
                    std::to_string(blockOutputStart(b));
        }
    }
    if (switched == 0) {
        return {"0"};
    }
    if (switched == capable) {
        return {"4095"};
    }
    return {list};
}

std::string autoSwitchLine(const Frame& f) {
    return std::string("Auto switchover ") + (f.autoSwitch ? "Enabled" : "Disabled");
}

Lines powerState(Frame& f, Category cat, int slot, const std::vector<std::string>& args) {
    Card* c = f.card(cat, slot);
    if (c == nullptr || !c->present) {
        return {error("slot empty")};
    }
    if (args.size() > 2) {
        const std::string want = upper(args[2]);
        if (want != "ON" && want != "OFF") {
            return {error("expected ON or OFF")};
        }
        c->powered = want == "ON";
    }
    return {std::string("Power ") + (c->powered ? "ON" : "OFF")};
}

void clearErrors(Card& c) {
    c.crcErrors = c.wcErrors = c.lenErrors = c.otherErrors = 0;
}

Lines clear(Frame& f, const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) {
        return {error("expected CL letter[,card]")};
    }
    const std::string letter = upper(args[0]);
    std::optional<int> slot;
    if (args.size() == 2) {
        slot = decimal(args[1]);
        if (!slot) {
            return {error("bad card number")};
        }
    }
    std::vector<Card*> targets;
    if (letter == "S") {
        // The system: the fan controllers.
        for (int s = kFirstFanSlot; s <= kFirstFanSlot + 1; ++s) {
            if (Card* c = f.card(Category::Power, s); c != nullptr && (!slot || *slot == s)) {
                targets.push_back(c);
            }
        }
    } else {
        const auto cat = parseCategory(letter);
        if (!cat || letter == "POWER") {
            return {error("unknown card letter")};
        }
        for (int s = 1; s <= f.slotCount(*cat); ++s) {
            if (!slot || *slot == s) {
                targets.push_back(f.card(*cat, s));
            }
        }
        if (slot && targets.empty()) {
            return {error("no such card")};
        }
    }
    for (Card* c : targets) {
        clearErrors(*c);
    }
    return {"Errors cleared"};
}

Lines converter(Frame& f, const std::vector<std::string>& args) {
    const auto out = args.empty() ? std::nullopt : decimal(args[0]);
    if (!out || *out < 1 || *out > f.outputCount()) {
        return {error("bad output number")};
    }
    if (!f.hasConverter(*out)) {
        return {"no converter on output " + std::to_string(*out)};
    }
    std::string& opts = f.converters.emplace(*out, "S-,C-,4+,F-").first->second;
    if (args.size() == 5) {
        static const char letters[4] = {'S', 'C', '4', 'F'};
        std::string next;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::string field = upper(args[i + 1]);
            if (field.size() != 2 || field[0] != letters[i] ||
                (field[1] != '+' && field[1] != '-')) {
                return {error("expected S+/-,C+/-,4+/-,F+/-")};
            }
            next += (i == 0 ? "" : ",") + field;
        }
        opts = next;
    } else if (args.size() != 1) {
        return {error("expected AS output[,S+/-,C+/-,4+/-,F+/-]")};
    }
    return {std::to_string(*out) + "," + opts};
}

Lines doSwitch(Frame& f, const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 4) {
        return {error("expected SW output,input[,M][,sync]")};
    }
    const auto out = decimal(args[0]);
    const auto in = decimal(args[1]);
    bool monitor = false;
    std::size_t next = 2;
    if (args.size() > 2 && upper(args[2]) == "M") {
        monitor = true;
        ++next;
    }
    if (next < args.size()) {
        const auto sync = decimal(args[next]);
        if (!sync || *sync < 1 || *sync > 2 || next + 1 != args.size()) {
            return {error("bad sync reference")};
        }
    }
    if (!out || !in) {
        return {error("bad number")};
    }
    if (monitor) {
        if (*out < 1 || *out > 2 || *in < 1 || *in > f.outputCount()) {
            return {error("bad monitor or output number")};
        }
        f.monitorRoutes[static_cast<std::size_t>(*out - 1)] = *in;
        return {"Monitor " + std::to_string(*out) + " Output: " + std::to_string(*in)};
    }
    if (*out < 1 || *out > f.outputCount() || *in < 1 || *in > f.inputCount()) {
        return {error("bad output or input number")};
    }
    f.routes[static_cast<std::size_t>(*out - 1)] = *in;
    return {"Output " + std::to_string(*out) + " switched to " + std::to_string(*in)};
}

Lines routeStatus(const Frame& f, const std::vector<std::string>& args) {
    const auto n = args.empty() ? std::nullopt : decimal(args[0]);
    if (!n) {
        return {error("expected SS output[,M]")};
    }
    if (args.size() == 2 && upper(args[1]) == "M") {
        if (*n < 1 || *n > 2) {
            return {error("bad monitor number")};
        }
        return {"Monitor " + std::to_string(*n) +
                " Input: " + std::to_string(f.monitorRoutes[static_cast<std::size_t>(*n - 1)])};
    }
    if (args.size() != 1 || *n < 1 || *n > f.outputCount()) {
        return {error("bad output number")};
    }
    return {"Output " + std::to_string(*n) +
            " Input: " + std::to_string(f.routes[static_cast<std::size_t>(*n - 1)])};
}

Lines reclock(Frame& f, const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3) {
        return {error("expected LR card,output[,rate]")};
    }
    const auto cardNo = decimal(args[0]);
    const auto out = decimal(args[1]);
    Card* c = cardNo ? f.card(Category::Output, *cardNo) : nullptr;
    if (c == nullptr || !out || *out < 1 || *out > kPerCard) {
        return {error("bad card or output number")};
    }
    if (!c->answers()) {
        return {"comm error"};
    }
    std::string& rate = c->reclock[static_cast<std::size_t>(*out - 1)];
    if (args.size() == 3) {
        const std::string want = upper(args[2]);
        if (!isReclockRate(want)) {
            return {error("unknown reclock rate")};
        }
        rate = want;
    }
    return {"Reclock " + std::to_string(*cardNo) + "," + std::to_string(*out) + " " + rate};
}

Lines moveBlock(Frame& f, const std::vector<std::string>& args, bool single) {
    if (args.size() != 3) {
        return {
            error(single ? "expected SM output,input,matrix" : "expected SR output,input,matrix")};
    }
    const auto out = decimal(args[0]);
    const auto in = decimal(args[1]);
    const auto matrix = decimal(args[2]);
    if (!out || !in || !matrix || (*matrix != 1 && *matrix != 2)) {
        return {error("bad number")};
    }
    const std::string where = *matrix == 2 ? "watchdog matrix" : "primary matrix";
    if (single) {
        if (*out < 1 || *out > f.outputCount() || *in < 1 || *in > f.inputCount()) {
            return {error("bad output or input number")};
        }
        f.routes[static_cast<std::size_t>(*out - 1)] = *in;
        f.outputOnWatchdog[static_cast<std::size_t>(*out - 1)] = *matrix == 2;
        return {"Output " + std::to_string(*out) + " on " + where};
    }
    const int block = blockOf(*in, *out);
    if (block == 0) {
        return {error("not a block start")};
    }
    if (f.watchdog == WatchdogMode::No || !f.watchdogCapable[static_cast<std::size_t>(block)]) {
        return {error("block " + std::to_string(block) + " has no watchdog card")};
    }
    f.watchdogSwitched[static_cast<std::size_t>(block)] = *matrix == 2;
    return {"Block " + std::to_string(block) + " on " + where};
}

Lines fanController(const Frame& f, const std::vector<std::string>& args) {
    auto n = args.size() == 1 ? decimal(args[0]) : std::nullopt;
    if (n && (*n == 1 || *n == 2)) {
        *n += kFirstFanSlot - 1;
    }
    const Card* c = n ? f.card(Category::Power, *n) : nullptr;
    if (c == nullptr || *n < kFirstFanSlot) {
        return {error("expected FC 1, 2, 18 or 19")};
    }
    if (!c->answers()) {
        return {"Fan controller " + std::to_string(*n - kFirstFanSlot + 1) + " comm error"};
    }
    return {std::string("Active: ") + (c->fanActive ? "YES" : "NO"),
            std::string("Error: ") + (c->fanError ? "YES" : "NO")};
}

std::optional<Category> statusCategory(const std::string& word) {
    if (word == "IB") {
        return Category::Input;
    }
    if (word == "OB") {
        return Category::Output;
    }
    if (word == "MB") {
        return Category::Matrix;
    }
    if (word == "SB") {
        return Category::Power;
    }
    if (word == "OOB") {
        return Category::OutputOption;
    }
    return std::nullopt;
}

std::string join(const Lines& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l + "\r\n";
    }
    return out;
}

Lines body(Frame& f, const std::string& command) {
    const std::string line = trim(command);
    if (line.empty()) {
        return {""};
    }
    const auto space = line.find(' ');
    const std::string word = upper(line.substr(0, space));
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    const auto args = splitArgs(rest);

    if (const auto cat = statusCategory(word)) {
        const auto slot = args.size() == 1 ? decimal(args[0]) : std::nullopt;
        if (!slot) {
            return {error("expected " + word + " card")};
        }
        return {statusReply(f, *cat, *slot)};
    }
    if (word == "RC") {
        const auto cat = args.size() == 2 ? parseCategory(args[0]) : std::nullopt;
        const std::string half = args.size() == 2 ? upper(args[1]) : "";
        if (!cat || (half != "A" && half != "B")) {
            return {error("expected RC letter,A or RC letter,B")};
        }
        return rollCall(f, *cat);
    }
    if (word == "AC" && args.empty()) {
        return {f.state};
    }
    if (word == "DT" && args.empty()) {
        if (f.state == "STANDBY") {
            f.state = "ACTIVE";
        }
        return {f.state};
    }
    if (word == "SY") {
        const auto n = args.size() == 1 ? decimal(args[0]) : std::nullopt;
        if (!n || *n < 1 || *n > 2) {
            return {error("expected SY 1 or SY 2")};
        }
        return {syncLine(f, *n)};
    }
    if (word == "AL" && args.empty()) {
        const std::string a = alarmText(f);
        return {a.empty() ? "Alarms: none" : "Alarms: " + a.substr(0, a.size() - 2)};
    }
    if (word == "SS") {
        return routeStatus(f, args);
    }
    if (word == "SW") {
        return doSwitch(f, args);
    }
    if (word == "ST" && args.empty()) {
        const Card* mon = f.card(Category::Power, kMonitorSlot);
        return {"Frame Controller: " + hex(static_cast<unsigned>(f.controllerTemp), 2, true),
                "Output Monitor: " + (mon != nullptr && mon->answers()
                                          ? hex(static_cast<unsigned>(mon->temperature), 2, true)
                                          : std::string("n/a"))};
    }
    if (word == "VE" && args.empty()) {
        return {"Firmware Version " + f.firmware, "FPGA Version " + f.fpga};
    }
    if (word == "ET" && args.empty()) {
        return ethernet(f);
    }
    if (word == "RD" && args.empty()) {
        return redundancy(f);
    }
    if (word == "GR" && args.empty()) {
        return switchedBlocks(f);
    }
    if (word == "AT") {
        if (args.size() == 1) {
            const auto v = decimal(args[0]);
            if (!v || *v > 1) {
                return {error("expected AT 0 or AT 1")};
            }
            f.autoSwitch = *v == 1;
        } else if (!args.empty()) {
            return {error("expected AT [0|1]")};
        }
        return {autoSwitchLine(f)};
    }
    if (word == "SR" || word == "SM") {
        return moveBlock(f, args, word == "SM");
    }
    if (word == "NF" && args.empty()) {
        return {"Fan Controllers: " + std::to_string(f.fanControllerCount())};
    }
    if (word == "FC") {
        return fanController(f, args);
    }
    if (word == "FT" && args.empty()) {
        // The console drops the last five characters (the blank line and the prompt).
        return {"Frame Type: " + f.frameTypeCode + " " + f.frameTypeText, ""};
    }
    if (word == "AS") {
        return converter(f, args);
    }
    if (word == "PM") {
        const auto cat = !args.empty() ? parseCategory(args[0]) : std::nullopt;
        const auto slot = args.size() >= 2 ? decimal(args[1]) : std::nullopt;
        if (!cat || !slot || args.size() > 3 || upper(args[0]).size() > 2) {
            return {error("expected PM letter,card[,ON|OFF]")};
        }
        return powerState(f, *cat, *slot, args);
    }
    if (word == "CL") {
        return clear(f, args);
    }
    if (word == "VT") {
        if (args.size() == 1 && (upper(args[0]) == "A" || upper(args[0]) == "B")) {
            f.portB = upper(args[0]) == "B";
        } else if (!args.empty()) {
            return {error("expected VT A or VT B")};
        }
        return {std::string("Port ") + (f.portB ? "B" : "A")};
    }
    if (word == "LR") {
        return reclock(f, args);
    }
    if (word == "RE" && args.empty()) {
        return {"Reset"};
    }
    return {error("unknown command")};
}

} // namespace

std::string statusReply(const Frame& f, Category category, int slot) {
    const Card* c = f.card(category, slot);
    if (c == nullptr || !c->answers()) {
        return "comm error";
    }
    const auto words = statusWords(f, *c, cardKind(category, slot));
    Lines lines{"CRC = " + hex(crc16(words), 4, true),
                "WC = " + hex(static_cast<unsigned>(words.size() + 2), 4, true)};
    for (std::size_t i = 0; i < words.size(); ++i) {
        lines.push_back("OD" + std::to_string(i + 1) + " = " + hex(words[i], 4, true));
    }
    // Counts are hexadecimal without a prefix: the console's detail log keeps their first digit.
    lines.push_back("Total Errors = " + hex(c->totalErrors(), 1, false));
    lines.push_back("CRC Error = " + hex(c->crcErrors, 1, false));
    lines.push_back("WC Error = " + hex(c->wcErrors, 1, false));
    lines.push_back("LEN Error = " + hex(c->lenErrors, 1, false));
    if (c->commError) {
        lines.push_back("comm error");
    }
    std::string out = join(lines);
    return out.substr(0, out.size() - 2);
}

std::string alarmText(const Frame& f) {
    // Keyword order the console's alarm window walks the over-temperature lines in.
    static const char* order[] = {"IN ", "OUT ", "MAT ", "POW ", "MFC", "MON"};
    auto rank = [](const std::string& a) {
        for (int i = 0; i < 6; ++i) {
            if (a.rfind(order[i], 0) == 0) {
                return i;
            }
        }
        return 6;
    };
    std::vector<std::string> over = f.overtempAlarms;
    std::stable_sort(over.begin(), over.end(),
                     [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
    // The first heading follows "Alarms: "; later headings and every alarm are indented by two
    // spaces so that the console's fixed cuts land on the next keyword.
    std::string out;
    auto section = [&](const char* heading, const std::vector<std::string>& items) {
        if (items.empty()) {
            return;
        }
        out += (out.empty() ? "" : "  ") + std::string(heading) + "\r\n";
        for (const auto& item : items) {
            out += "  " + item + "\r\n";
        }
    };
    section("OVERTEMP:", over);
    section("POWER:", f.powerAlarms);
    section("FAN:", f.fanAlarms);
    return out;
}

std::string respond(Frame& frame, const std::string& command) {
    std::string out = frame.echo ? command + "\r\n" : std::string();
    out += join(body(frame, command));
    return out + ">";
}

} // namespace tessivar::sim
