#include "sim/Drills.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <random>
#include <sstream>

namespace tessivar::sim {

namespace {

std::string lower(std::string s) {
    for (char& ch : s) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return s;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        out.push_back(w);
    }
    return out;
}

std::optional<long> whole(const std::string& s, long lo, long hi) {
    if (s.empty() || s.size() > 9 ||
        !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    const long n = std::stol(s);
    if (n < lo || n > hi) {
        return std::nullopt;
    }
    return n;
}

std::optional<bool> onOff(const std::string& s) {
    const std::string w = lower(s);
    if (w == "on" || w == "1" || w == "true") {
        return true;
    }
    if (w == "off" || w == "0" || w == "false") {
        return false;
    }
    return std::nullopt;
}

// The text after the first n words of the line, as typed.
std::string tail(const std::string& line, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n; ++i) {
        pos = line.find_first_not_of(' ', pos);
        pos = line.find(' ', pos);
        if (pos == std::string::npos) {
            return {};
        }
    }
    const auto b = line.find_first_not_of(' ', pos);
    return b == std::string::npos ? std::string() : line.substr(b);
}

const char* kHelp = R"(help                              this list
offline CAT N | online CAT N      card stops answering / answers again (CAT: input, output,
                                  matrix, power, option; power 17 is the output monitor,
                                  18 and 19 the fan controllers)
present CAT N on|off              insert or remove a card
power CAT N on|off                switch a card's power (as PM does)
commerror CAT N on|off            the card's status replies carry "comm error"
errors CAT N COUNT [crc|wc|len]   add communication errors (crc by default)
temp CAT N DEGREES                set a card's temperature (temp controller DEGREES for the
                                  frame controller)
signal OUTPUT CODE                signal code 0..8 of a frame output
inputs CARD MASK                  input presence of an input card (16-bit, e.g. 0xFF00)
fan SLOT FAN good|bad             one fan of fan controller 18 or 19
alarm raise overtemp|power|fan TEXT
alarm clear [overtemp|power|fan [TEXT]]
sync 1|2 OK|BAD|NO SYNC           state of a sync reference
state ACTIVE|STANDBY|SINGLE       the controller's redundancy state
echo on|off                       echo commands at the start of each reply
delay MS                          wait before each reply (0: off)
trickle MS                        send replies one character at a time (0: off)
splitprompt MS                    send the final ">" MS later in a write of its own (0: off)
silent on|off                     read commands but answer nothing
noprompt on|off                   answer without the final ">"
drop [next]                       close the Telnet sessions now, or the next session that
                                  sends a command (serial: that command goes unanswered)
garbage [N]                       send N (16) random bytes (never ">") to every session now
faults clear                      switch every link fault off
log | clearlog                    show or clear the command log)";

} // namespace

std::string drillHelp() {
    return kHelp;
}

std::string runDrill(Frame& f, const std::string& line, DrillActions& actions) {
    const auto w = words(line);
    if (w.empty()) {
        return "ERROR: empty command";
    }
    const std::string verb = lower(w[0]);
    auto bad = [&](const std::string& usage) { return "ERROR: usage: " + usage; };

    if (verb == "help") {
        return drillHelp() + "\nOK";
    }
    if (verb == "offline" || verb == "online" || verb == "present" || verb == "power" ||
        verb == "commerror" || verb == "errors" || (verb == "temp" && w.size() == 4)) {
        const char* usage = verb == "offline" || verb == "online" ? "offline|online CAT N"
                            : verb == "errors" ? "errors CAT N COUNT [crc|wc|len]"
                            : verb == "temp"   ? "temp CAT N DEGREES"
                                               : "present|power|commerror CAT N on|off";
        const bool flagVerb = verb == "present" || verb == "power" || verb == "commerror";
        if (w.size() < 3) {
            return bad(usage);
        }
        const auto cat = parseCategory(w[1]);
        const auto slot = whole(w[2], 1, 64);
        Card* c = cat && slot ? f.card(*cat, static_cast<int>(*slot)) : nullptr;
        if (c == nullptr) {
            return "ERROR: no slot " + w[2] + " in category " + w[1];
        }
        const std::string name = std::string(categoryName(*cat)) + " " + w[2];
        if (verb == "offline" || verb == "online") {
            if (w.size() != 3) {
                return bad(usage);
            }
            c->offline = verb == "offline";
            actions.notices.push_back(name + (c->offline ? " OFFLINE" : " ONLINE"));
            return "OK";
        }
        if (flagVerb) {
            const auto v = w.size() == 4 ? onOff(w[3]) : std::nullopt;
            if (!v) {
                return bad(usage);
            }
            (verb == "present" ? c->present : verb == "power" ? c->powered : c->commError) = *v;
            return "OK";
        }
        if (verb == "errors") {
            const auto n = w.size() >= 4 ? whole(w[3], 0, 0xFFFFFF) : std::nullopt;
            const std::string kind = w.size() == 5 ? lower(w[4]) : "crc";
            if (!n || w.size() > 5 || (kind != "crc" && kind != "wc" && kind != "len")) {
                return bad(usage);
            }
            auto& counter = kind == "crc"  ? c->crcErrors
                            : kind == "wc" ? c->wcErrors
                                           : c->lenErrors;
            counter += static_cast<std::uint32_t>(*n);
            return "OK";
        }
        const auto t = whole(w[3], 0, 255);
        if (!t) {
            return bad(usage);
        }
        c->temperature = static_cast<int>(*t);
        return "OK";
    }
    if (verb == "temp") {
        const auto t =
            w.size() == 3 && lower(w[1]) == "controller" ? whole(w[2], 0, 255) : std::nullopt;
        if (!t) {
            return bad("temp CAT N DEGREES | temp controller DEGREES");
        }
        f.controllerTemp = static_cast<int>(*t);
        return "OK";
    }
    if (verb == "signal") {
        const auto out = w.size() == 3 ? whole(w[1], 1, f.outputCount()) : std::nullopt;
        const auto code = w.size() == 3 ? whole(w[2], 0, 8) : std::nullopt;
        if (!out || !code) {
            return bad("signal OUTPUT CODE (output 1.." + std::to_string(f.outputCount()) +
                       ", code 0..8)");
        }
        Card* c = f.card(Category::Output, static_cast<int>((*out - 1) / kPerCard + 1));
        c->signals[static_cast<std::size_t>((*out - 1) % kPerCard)] = static_cast<int>(*code);
        return "OK";
    }
    if (verb == "inputs") {
        const auto cardNo = w.size() == 3 ? whole(w[1], 1, 64) : std::nullopt;
        Card* c = cardNo ? f.card(Category::Input, static_cast<int>(*cardNo)) : nullptr;
        if (c == nullptr) {
            return bad("inputs CARD MASK");
        }
        try {
            std::size_t used = 0;
            const unsigned long mask = std::stoul(w[2], &used, 0);
            if (used != w[2].size() || mask > 0xFFFF) {
                return bad("inputs CARD MASK");
            }
            c->presence = static_cast<std::uint16_t>(mask);
        } catch (const std::logic_error&) {
            return bad("inputs CARD MASK");
        }
        return "OK";
    }
    if (verb == "fan") {
        const auto slot =
            w.size() == 4 ? whole(w[1], kFirstFanSlot, kFirstFanSlot + 1) : std::nullopt;
        const auto fan = w.size() == 4 ? whole(w[2], 1, 8) : std::nullopt;
        const std::string state = w.size() == 4 ? lower(w[3]) : "";
        Card* c = slot ? f.card(Category::Power, static_cast<int>(*slot)) : nullptr;
        if (c == nullptr || !fan || (state != "good" && state != "bad")) {
            return bad("fan 18|19 FAN(1..8) good|bad");
        }
        c->fans[static_cast<std::size_t>(*fan - 1)] = state == "good";
        return "OK";
    }
    if (verb == "alarm") {
        const std::string op = w.size() > 1 ? lower(w[1]) : "";
        const std::string group = w.size() > 2 ? lower(w[2]) : "";
        std::vector<std::string>* list = group == "overtemp" ? &f.overtempAlarms
                                         : group == "power"  ? &f.powerAlarms
                                         : group == "fan"    ? &f.fanAlarms
                                                             : nullptr;
        const std::string text = tail(line, 3);
        if (op == "raise" && list != nullptr && !text.empty()) {
            list->push_back(text);
            actions.notices.push_back("ALARM " + text);
            return "OK";
        }
        if (op == "clear" && w.size() == 2) {
            f.overtempAlarms.clear();
            f.powerAlarms.clear();
            f.fanAlarms.clear();
            return "OK";
        }
        if (op == "clear" && list != nullptr) {
            if (text.empty()) {
                list->clear();
                return "OK";
            }
            const auto it = std::find(list->begin(), list->end(), text);
            if (it == list->end()) {
                return "ERROR: no such alarm: " + text;
            }
            list->erase(it);
            return "OK";
        }
        return bad("alarm raise overtemp|power|fan TEXT | alarm clear [GROUP [TEXT]]");
    }
    if (verb == "sync") {
        const auto n = w.size() >= 3 ? whole(w[1], 1, 2) : std::nullopt;
        std::string state = tail(line, 2);
        for (char& ch : state) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        if (!n || (state != "OK" && state != "BAD" && state != "NO SYNC")) {
            return bad("sync 1|2 OK|BAD|NO SYNC");
        }
        f.sync[static_cast<std::size_t>(*n - 1)] = state;
        return "OK";
    }
    if (verb == "state") {
        std::string s = w.size() == 2 ? w[1] : "";
        for (char& ch : s) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        if (s != "ACTIVE" && s != "STANDBY" && s != "SINGLE") {
            return bad("state ACTIVE|STANDBY|SINGLE");
        }
        f.state = s;
        actions.notices.push_back("CONTROLLER " + s);
        return "OK";
    }
    if (verb == "echo" || verb == "silent" || verb == "noprompt") {
        const auto v = w.size() == 2 ? onOff(w[1]) : std::nullopt;
        if (!v) {
            return bad(verb + " on|off");
        }
        (verb == "echo" ? f.echo : verb == "silent" ? f.faults.silent : f.faults.noPrompt) = *v;
        return "OK";
    }
    if (verb == "delay" || verb == "trickle" || verb == "splitprompt") {
        const auto ms = w.size() == 2 ? whole(w[1], 0, 600000) : std::nullopt;
        if (!ms) {
            return bad(verb + " MS");
        }
        (verb == "delay"     ? f.faults.delayMs
         : verb == "trickle" ? f.faults.trickleMs
                             : f.faults.splitPromptMs) = static_cast<int>(*ms);
        return "OK";
    }
    if (verb == "drop") {
        if (w.size() == 1) {
            actions.dropNow = true;
            return "OK";
        }
        if (w.size() == 2 && lower(w[1]) == "next") {
            f.faults.dropNext = true;
            return "OK";
        }
        return bad("drop [next]");
    }
    if (verb == "garbage") {
        const auto n = w.size() == 2 ? whole(w[1], 1, 65536)
                                     : (w.size() == 1 ? std::optional<long>(16) : std::nullopt);
        if (!n) {
            return bad("garbage [N]");
        }
        static std::mt19937 rng(20);
        std::uniform_int_distribution<int> byte(0, 255);
        // Never a prompt character: garbage must not complete a reply by accident.
        while (static_cast<long>(actions.garbage.size()) < *n) {
            const int b = byte(rng);
            if (b != '>') {
                actions.garbage.push_back(static_cast<char>(b));
            }
        }
        return "OK";
    }
    if (verb == "faults" && w.size() == 2 && lower(w[1]) == "clear") {
        f.faults = LinkFaults{};
        return "OK";
    }
    return "ERROR: unknown drill \"" + w[0] + "\" (help lists them)";
}

} // namespace tessivar::sim
