#include "sim/FrameModel.h"

#include "sim/FrameSimulator.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <set>

namespace tessivar::sim {

using nlohmann::json;

namespace {

std::string upper(std::string s) {
    for (char& ch : s) {
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    return s;
}

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    throw FrameError(where + ": " + what);
}

void checkKeys(const json& obj, const std::string& where, std::initializer_list<const char*> keys) {
    if (!obj.is_object()) {
        fail(where, "expected an object");
    }
    for (const auto& item : obj.items()) {
        if (std::find_if(keys.begin(), keys.end(),
                         [&](const char* k) { return item.key() == k; }) == keys.end()) {
            fail(where, "unknown field \"" + item.key() + "\"");
        }
    }
}

// Numbers may be written as JSON numbers or as "0x.." texts (status words read better in hex).
long long number(const json& v, const std::string& where, long long lo, long long hi) {
    long long n = 0;
    if (v.is_number_integer()) {
        n = v.get<long long>();
    } else if (v.is_string()) {
        const std::string s = v.get<std::string>();
        try {
            std::size_t used = 0;
            n = std::stoll(s, &used, 0);
            if (used != s.size()) {
                fail(where, "not a number: \"" + s + "\"");
            }
        } catch (const std::logic_error&) {
            fail(where, "not a number: \"" + s + "\"");
        }
    } else {
        fail(where, "expected a whole number");
    }
    if (n < lo || n > hi) {
        fail(where,
             std::to_string(n) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    }
    return n;
}

int integer(const json& v, const std::string& where, int lo, int hi) {
    return static_cast<int>(number(v, where, lo, hi));
}

double real(const json& v, const std::string& where, double lo, double hi) {
    if (!v.is_number()) {
        fail(where, "expected a number");
    }
    const double d = v.get<double>();
    if (d < lo || d > hi) {
        fail(where, "outside " + std::to_string(lo) + ".." + std::to_string(hi));
    }
    return d;
}

bool boolean(const json& v, const std::string& where) {
    if (!v.is_boolean()) {
        fail(where, "expected true or false");
    }
    return v.get<bool>();
}

std::string text(const json& v, const std::string& where) {
    if (!v.is_string()) {
        fail(where, "expected a text");
    }
    return v.get<std::string>();
}

std::vector<std::string> texts(const json& v, const std::string& where) {
    if (!v.is_array()) {
        fail(where, "expected a list of texts");
    }
    std::vector<std::string> out;
    for (const auto& item : v) {
        out.push_back(text(item, where));
    }
    return out;
}

// A per-slot table of 16 values may be written as one value for all or as a list of 16.
template <typename T, typename F>
void perOutput(const json& v, const std::string& where, std::array<T, kPerCard>& out, F read) {
    if (v.is_array()) {
        if (v.size() != kPerCard) {
            fail(where, "expected 16 entries");
        }
        for (int i = 0; i < kPerCard; ++i) {
            out[static_cast<std::size_t>(i)] = read(v[static_cast<std::size_t>(i)]);
        }
    } else {
        out.fill(read(v));
    }
}

void applyCard(Card& card, const json& obj, const std::string& where, CardKind kind) {
    checkKeys(obj, where,
              {"present",     "powered",  "offline", "commError", "subtype",  "rails",
               "temperature", "firmware", "errors",  "crcErrors", "wcErrors", "lenErrors",
               "inputs",      "signals",  "option",  "reclock",   "fanVolts", "fanAmps",
               "volts",       "amps",     "fans",    "active",    "error"});
    for (const auto& [key, v] : obj.items()) {
        const std::string at = where + "." + key;
        if (key == "present") {
            card.present = boolean(v, at);
        } else if (key == "powered") {
            card.powered = boolean(v, at);
        } else if (key == "offline") {
            card.offline = boolean(v, at);
        } else if (key == "commError") {
            card.commError = boolean(v, at);
        } else if (key == "subtype") {
            card.subtype = integer(v, at, 0, 15);
        } else if (key == "rails") {
            if (!v.is_array() || v.size() != 4) {
                fail(at, "expected four true/false entries (rails V1..V4)");
            }
            for (std::size_t i = 0; i < 4; ++i) {
                card.rails[i] = boolean(v[i], at);
            }
        } else if (key == "temperature") {
            card.temperature = integer(v, at, 0, 255);
        } else if (key == "firmware") {
            card.firmware = integer(v, at, 0, 127);
        } else if (key == "errors") {
            card.otherErrors = static_cast<std::uint32_t>(number(v, at, 0, 0xFFFFFFF));
        } else if (key == "crcErrors") {
            card.crcErrors = static_cast<std::uint32_t>(number(v, at, 0, 0xFFFFFFF));
        } else if (key == "wcErrors") {
            card.wcErrors = static_cast<std::uint32_t>(number(v, at, 0, 0xFFFFFFF));
        } else if (key == "lenErrors") {
            card.lenErrors = static_cast<std::uint32_t>(number(v, at, 0, 0xFFFFFFF));
        } else if (key == "inputs") {
            if (kind != CardKind::Input) {
                fail(at, "only input cards have inputs");
            }
            if (v.is_array()) {
                card.presence = 0;
                for (const auto& n : v) {
                    card.presence |= static_cast<std::uint16_t>(1u << (integer(n, at, 1, 16) - 1));
                }
            } else {
                card.presence = static_cast<std::uint16_t>(number(v, at, 0, 0xFFFF));
            }
        } else if (key == "signals") {
            if (kind != CardKind::Output) {
                fail(at, "only output cards have signals");
            }
            perOutput(v, at, card.signals, [&](const json& x) { return integer(x, at, 0, 8); });
        } else if (key == "option") {
            if (kind != CardKind::Output) {
                fail(at, "only output cards carry an option card");
            }
            card.option = integer(v, at, 0, 7);
        } else if (key == "reclock") {
            if (kind != CardKind::Output) {
                fail(at, "only output cards reclock");
            }
            perOutput(v, at, card.reclock, [&](const json& x) {
                std::string rate = upper(text(x, at));
                if (!isReclockRate(rate)) {
                    fail(at, "unknown reclock rate \"" + rate + "\"");
                }
                return rate;
            });
        } else if (key == "fanVolts" || key == "fanAmps") {
            if (kind != CardKind::Supply) {
                fail(at, "only power supplies (slots 1..16) have fans to report");
            }
            if (!v.is_array() || v.size() != 2) {
                fail(at, "expected two numbers (fan 1, fan 2)");
            }
            auto& dst = key == "fanVolts" ? card.fanVolts : card.fanAmps;
            const double hi = key == "fanVolts" ? 29.6 : 0.94;
            for (std::size_t i = 0; i < 2; ++i) {
                dst[i] = real(v[i], at, 0, hi);
            }
        } else if (key == "volts") {
            if (kind != CardKind::Supply) {
                fail(at, "only power supplies report an output voltage");
            }
            card.volts = real(v, at, 0, 29.6);
        } else if (key == "amps") {
            if (kind != CardKind::Supply) {
                fail(at, "only power supplies report an output current");
            }
            card.amps = real(v, at, 0, 175.0);
        } else if (key == "fans") {
            if (kind != CardKind::FanController) {
                fail(at, "only fan controllers (slots 18, 19) have fans");
            }
            if (!v.is_array() || v.size() != 8) {
                fail(at, "expected eight true/false entries (fan good)");
            }
            for (std::size_t i = 0; i < 8; ++i) {
                card.fans[i] = boolean(v[i], at);
            }
        } else if (key == "active" || key == "error") {
            if (kind != CardKind::FanController) {
                fail(at, "only fan controllers (slots 18, 19) report this");
            }
            (key == "active" ? card.fanActive : card.fanError) = boolean(v, at);
        }
    }
}

Card defaultCard(CardKind kind) {
    Card card;
    switch (kind) {
    case CardKind::Input:
        card.subtype = 6; // multirate
        break;
    case CardKind::Output:
        card.subtype = 6; // multirate with reclocking
        card.signals.fill(7);
        break;
    case CardKind::Matrix:
        card.subtype = 0;
        card.temperature = 41;
        break;
    case CardKind::Supply:
        card.temperature = 44;
        break;
    case CardKind::Monitor:
    case CardKind::FanController:
    case CardKind::OutputOption:
        break;
    }
    card.reclock.fill("AUTO");
    return card;
}

const char* categoryKey(Category c) {
    switch (c) {
    case Category::Input:
        return "input";
    case Category::Output:
        return "output";
    case Category::Matrix:
        return "matrix";
    case Category::Power:
        return "power";
    case Category::OutputOption:
        return "outputOption";
    }
    return "";
}

void parseCategoryBlock(Frame& frame, Category c, const json& obj) {
    const std::string where = categoryKey(c);
    checkKeys(obj, where, {"slots", "absent", "card", "cards"});
    const int maxSlots = c == Category::Power ? 19 : 64;
    const int slots =
        obj.contains("slots") ? integer(obj["slots"], where + ".slots", 0, maxSlots) : 0;
    auto& list = frame.slots[static_cast<int>(c)];
    list.clear();
    for (int s = 1; s <= slots; ++s) {
        const CardKind kind = cardKind(c, s);
        Card card = defaultCard(kind);
        // Shared defaults only apply to cards of the same kind (power slots mix kinds).
        if (obj.contains("card") && (c != Category::Power || kind == CardKind::Supply)) {
            applyCard(card, obj["card"], where + ".card", kind);
        }
        list.push_back(card);
    }
    if (obj.contains("absent")) {
        if (!obj["absent"].is_array()) {
            fail(where + ".absent", "expected a list of slot numbers");
        }
        for (const auto& n : obj["absent"]) {
            list[static_cast<std::size_t>(integer(n, where + ".absent", 1, slots) - 1)].present =
                false;
        }
    }
    if (obj.contains("cards") && !obj["cards"].is_object()) {
        fail(where + ".cards", "expected an object of slot numbers");
    }
}

void parseCards(Frame& frame, Category c, const json& obj) {
    if (!obj.contains("cards")) {
        return;
    }
    const std::string where = std::string(categoryKey(c)) + ".cards";
    auto& list = frame.slots[static_cast<int>(c)];
    for (const auto& [key, v] : obj["cards"].items()) {
        const int slot = integer(json(key), where, 1, static_cast<int>(list.size()));
        applyCard(list[static_cast<std::size_t>(slot - 1)], v, where + "." + key,
                  cardKind(c, slot));
    }
}

} // namespace

std::optional<Category> parseCategory(const std::string& word) {
    const std::string w = upper(word);
    if (w == "INPUT" || w == "I") {
        return Category::Input;
    }
    if (w == "OUTPUT" || w == "O") {
        return Category::Output;
    }
    if (w == "MATRIX" || w == "M") {
        return Category::Matrix;
    }
    if (w == "POWER" || w == "P" || w == "S") {
        return Category::Power;
    }
    if (w == "OUTPUT_OPTION" || w == "OPTION" || w == "OO") {
        return Category::OutputOption;
    }
    return std::nullopt;
}

const char* categoryName(Category c) {
    switch (c) {
    case Category::Input:
        return "INPUT";
    case Category::Output:
        return "OUTPUT";
    case Category::Matrix:
        return "MATRIX";
    case Category::Power:
        return "POWER";
    case Category::OutputOption:
        return "OUTPUT_OPTION";
    }
    return "";
}

CardKind cardKind(Category c, int slot) {
    switch (c) {
    case Category::Input:
        return CardKind::Input;
    case Category::Output:
        return CardKind::Output;
    case Category::Matrix:
        return CardKind::Matrix;
    case Category::OutputOption:
        return CardKind::OutputOption;
    case Category::Power:
        break;
    }
    if (slot == kMonitorSlot) {
        return CardKind::Monitor;
    }
    return slot >= kFirstFanSlot ? CardKind::FanController : CardKind::Supply;
}

Card* Frame::card(Category c, int slot) {
    auto& list = slots[static_cast<int>(c)];
    if (slot < 1 || slot > static_cast<int>(list.size())) {
        return nullptr;
    }
    return &list[static_cast<std::size_t>(slot - 1)];
}

const Card* Frame::card(Category c, int slot) const {
    return const_cast<Frame*>(this)->card(c, slot);
}

bool Frame::hasConverter(int output) const {
    if (converters.count(output) != 0) {
        return true;
    }
    const Card* c = card(Category::Output, (output - 1) / kPerCard + 1);
    // Option code 3 is the HD-to-SD converter, except behind analogue cards.
    return output >= 1 && c != nullptr && c->present && c->option == 3 && c->subtype != 4 &&
           c->subtype != 5;
}

int Frame::fanControllerCount() const {
    int n = 0;
    for (int s = kFirstFanSlot; s <= kFirstFanSlot + 1; ++s) {
        const Card* c = card(Category::Power, s);
        n += c != nullptr && c->present ? 1 : 0;
    }
    return n;
}

bool isReclockRate(const std::string& rate) {
    static const std::set<std::string> rates{"143", "177", "270",    "360",
                                             "540", "HD",  "BYPASS", "AUTO"};
    return rates.count(rate) != 0;
}

Frame parseFrame(const std::string& jsonText) {
    json doc;
    try {
        doc = json::parse(jsonText, nullptr, true, true);
    } catch (const json::parse_error& e) {
        throw FrameError(std::string("frame description is not valid JSON: ") + e.what());
    }
    checkKeys(doc, "frame",
              {"name",   "frameType",  "state",    "firmware", "fpga",        "controllerTemp",
               "sync",   "syncFormat", "network",  "port",     "echo",        "verbose",
               "alarms", "routes",     "monitors", "watchdog", "converters",  "faults",
               "input",  "output",     "matrix",   "power",    "outputOption"});
    Frame f;
    for (int i = 0; i < kCategoryCount; ++i) {
        const auto c = static_cast<Category>(i);
        if (doc.contains(categoryKey(c))) {
            parseCategoryBlock(f, c, doc[categoryKey(c)]);
        }
    }
    for (int i = 0; i < kCategoryCount; ++i) {
        const auto c = static_cast<Category>(i);
        if (doc.contains(categoryKey(c))) {
            parseCards(f, c, doc[categoryKey(c)]);
        }
    }
    if (doc.contains("frameType")) {
        const json& ft = doc["frameType"];
        checkKeys(ft, "frameType", {"code", "text"});
        if (ft.contains("code")) {
            f.frameTypeCode = text(ft["code"], "frameType.code");
            if (f.frameTypeCode.empty() || f.frameTypeCode.find(' ') != std::string::npos) {
                fail("frameType.code", "must be one word");
            }
        }
        if (ft.contains("text")) {
            f.frameTypeText = text(ft["text"], "frameType.text");
        }
    }
    if (doc.contains("state")) {
        f.state = upper(text(doc["state"], "state"));
        if (f.state != "ACTIVE" && f.state != "STANDBY" && f.state != "SINGLE") {
            fail("state", "expected ACTIVE, STANDBY or SINGLE");
        }
    }
    if (doc.contains("firmware")) {
        f.firmware = text(doc["firmware"], "firmware");
    }
    if (doc.contains("fpga")) {
        f.fpga = text(doc["fpga"], "fpga");
    }
    if (doc.contains("controllerTemp")) {
        f.controllerTemp = integer(doc["controllerTemp"], "controllerTemp", 0, 255);
    }
    if (doc.contains("sync")) {
        const auto states = texts(doc["sync"], "sync");
        if (states.size() != 2) {
            fail("sync", "expected two states (sync 1, sync 2)");
        }
        for (std::size_t i = 0; i < 2; ++i) {
            f.sync[i] = upper(states[i]);
            if (f.sync[i] != "OK" && f.sync[i] != "BAD" && f.sync[i] != "NO SYNC") {
                fail("sync", "expected OK, BAD or NO SYNC");
            }
        }
    }
    if (doc.contains("syncFormat")) {
        f.syncFormat = text(doc["syncFormat"], "syncFormat");
    }
    if (doc.contains("network")) {
        const json& n = doc["network"];
        checkKeys(n, "network", {"dhcp", "ip", "mask", "gateway", "mac"});
        if (n.contains("dhcp")) {
            f.dhcp = boolean(n["dhcp"], "network.dhcp");
        }
        if (n.contains("ip")) {
            f.ip = text(n["ip"], "network.ip");
        }
        if (n.contains("mask")) {
            f.mask = text(n["mask"], "network.mask");
        }
        if (n.contains("gateway")) {
            f.gateway = text(n["gateway"], "network.gateway");
        }
        if (n.contains("mac")) {
            f.mac = text(n["mac"], "network.mac");
        }
        if (f.ip.size() > 15 || f.mask.size() > 15 || f.mac.size() != 17) {
            fail("network", "addresses are at most 15 characters, the MAC address exactly 17");
        }
    }
    if (doc.contains("port")) {
        const std::string p = upper(text(doc["port"], "port"));
        if (p != "A" && p != "B") {
            fail("port", "expected A or B");
        }
        f.portB = p == "B";
    }
    if (doc.contains("echo")) {
        f.echo = boolean(doc["echo"], "echo");
    }
    if (doc.contains("verbose")) {
        f.verbose = boolean(doc["verbose"], "verbose");
    }
    if (doc.contains("alarms")) {
        const json& a = doc["alarms"];
        checkKeys(a, "alarms", {"overtemp", "power", "fan"});
        if (a.contains("overtemp")) {
            f.overtempAlarms = texts(a["overtemp"], "alarms.overtemp");
        }
        if (a.contains("power")) {
            f.powerAlarms = texts(a["power"], "alarms.power");
        }
        if (a.contains("fan")) {
            f.fanAlarms = texts(a["fan"], "alarms.fan");
        }
    }
    const int outputs = f.outputCount();
    const int inputs = f.inputCount();
    f.routes.assign(static_cast<std::size_t>(outputs), 0);
    f.outputOnWatchdog.assign(static_cast<std::size_t>(outputs), false);
    for (int o = 1; o <= outputs; ++o) {
        f.routes[static_cast<std::size_t>(o - 1)] = inputs > 0 ? (o - 1) % inputs + 1 : 0;
    }
    if (doc.contains("routes")) {
        if (!doc["routes"].is_object()) {
            fail("routes", "expected an object of frame outputs");
        }
        for (const auto& [key, v] : doc["routes"].items()) {
            const int o = integer(json(key), "routes", 1, std::max(outputs, 1));
            if (o > outputs) {
                fail("routes", "the frame has no outputs");
            }
            f.routes[static_cast<std::size_t>(o - 1)] =
                integer(v, "routes." + key, 1, std::max(inputs, 1));
        }
    }
    if (doc.contains("monitors")) {
        const json& m = doc["monitors"];
        if (!m.is_array() || m.size() != 2) {
            fail("monitors", "expected two frame outputs (monitor 1, monitor 2)");
        }
        for (std::size_t i = 0; i < 2; ++i) {
            f.monitorRoutes[i] = integer(m[i], "monitors", 1, std::max(outputs, 1));
        }
    }
    if (doc.contains("watchdog")) {
        const json& w = doc["watchdog"];
        checkKeys(w, "watchdog", {"mode", "blocks", "switched", "auto"});
        if (w.contains("mode")) {
            const std::string m = upper(text(w["mode"], "watchdog.mode"));
            if (m == "YES") {
                f.watchdog = WatchdogMode::Yes;
            } else if (m == "NO") {
                f.watchdog = WatchdogMode::No;
            } else if (m == "CAPABLE") {
                f.watchdog = WatchdogMode::Capable;
            } else {
                fail("watchdog.mode", "expected yes, no or capable");
            }
        }
        for (const char* key : {"blocks", "switched"}) {
            if (!w.contains(key)) {
                continue;
            }
            const std::string at = std::string("watchdog.") + key;
            if (!w[key].is_array()) {
                fail(at, "expected a list of block numbers 1..16");
            }
            for (const auto& b : w[key]) {
                const int block = integer(b, at, 1, 16);
                (std::string(key) == "blocks"
                     ? f.watchdogCapable
                     : f.watchdogSwitched)[static_cast<std::size_t>(block)] = true;
            }
        }
        for (int b = 1; b <= 16; ++b) {
            if (f.watchdogSwitched[static_cast<std::size_t>(b)] &&
                !f.watchdogCapable[static_cast<std::size_t>(b)]) {
                fail("watchdog.switched", "block " + std::to_string(b) + " has no watchdog card");
            }
        }
        if (w.contains("auto")) {
            f.autoSwitch = boolean(w["auto"], "watchdog.auto");
        }
    }
    if (doc.contains("converters")) {
        if (!doc["converters"].is_object()) {
            fail("converters", "expected an object of frame outputs");
        }
        for (const auto& [key, v] : doc["converters"].items()) {
            const int o = integer(json(key), "converters", 1, std::max(outputs, 1));
            const std::string opts = upper(text(v, "converters." + key));
            if (opts.size() != 11 || opts[0] != 'S' || opts[3] != 'C' || opts[6] != '4' ||
                opts[9] != 'F') {
                fail("converters." + key, "expected the form S+,C-,4+,F-");
            }
            f.converters[o] = opts;
        }
    }
    if (doc.contains("faults")) {
        const json& x = doc["faults"];
        checkKeys(x, "faults", {"delayMs", "trickleMs", "splitPromptMs", "silent", "noPrompt"});
        if (x.contains("delayMs")) {
            f.faults.delayMs = integer(x["delayMs"], "faults.delayMs", 0, 600000);
        }
        if (x.contains("trickleMs")) {
            f.faults.trickleMs = integer(x["trickleMs"], "faults.trickleMs", 0, 60000);
        }
        if (x.contains("splitPromptMs")) {
            f.faults.splitPromptMs = integer(x["splitPromptMs"], "faults.splitPromptMs", 0, 60000);
        }
        if (x.contains("silent")) {
            f.faults.silent = boolean(x["silent"], "faults.silent");
        }
        if (x.contains("noPrompt")) {
            f.faults.noPrompt = boolean(x["noPrompt"], "faults.noPrompt");
        }
    }
    return f;
}

} // namespace tessivar::sim
