#include "commands/clsControllerCommands.h"

#include "commands/CardCategories.h"
#include "link/modUtilities.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tessivar {

namespace {

bool contains(const std::string& text, std::string_view what) {
    return text.find(what) != std::string::npos;
}

// Text from a 0-based index to the end; empty when the index lies past the end.
std::string from(const std::string& text, std::size_t index) {
    return index < text.size() ? text.substr(index) : std::string{};
}

std::string cutBeforePrompt(const std::string& text) {
    std::size_t prompt = text.find('>');
    return prompt == std::string::npos ? text : text.substr(0, prompt);
}

// Codes of the "0x" entries of a roll call reply, each read from its own digits.
std::vector<std::int32_t> rollCallEntries(const std::string& reply) {
    std::vector<std::int32_t> codes;
    std::size_t at = 0;
    while ((at = reply.find("0x", at)) != std::string::npos) {
        at += 2;
        std::size_t end = at;
        while (end < reply.size() && std::isxdigit(static_cast<unsigned char>(reply[end])) &&
               end - at < 8)
            ++end;
        codes.push_back(end > at ? parseHexValue(reply.substr(at, end - at)) : 0x7FFFFFFF);
    }
    return codes;
}

} // namespace

std::string clsControllerCommands::send(const std::string& command) {
    float timeout = 0;
    return channel_->SendDEBUGCmd(command, timeout);
}

std::int16_t clsControllerCommands::getRollCall(const std::string& category) {
    const CardCategoryInfo* info = findCardCategory(category);
    if (info == nullptr) {
        presence_.clear();
        return 0;
    }
    const std::string prefix(info->rollCallPrefix);
    const std::vector<std::int32_t> a = rollCallEntries(send(prefix + "A"));
    const std::vector<std::int32_t> b = rollCallEntries(send(prefix + "B"));

    presence_.assign(std::max(a.size(), b.size()) + 1, false);
    for (std::size_t i = 0; i < a.size(); ++i)
        presence_[i + 1] = presence_[i + 1] || a[i] < 0xFF;
    for (std::size_t i = 0; i < b.size(); ++i)
        presence_[i + 1] = presence_[i + 1] || b[i] < 0xFF;

    // A frame has at most highestSlot slots of a category; a garbled reply full of "0x"
    // must not make the inventory create and poll thousands of records.
    return static_cast<std::int16_t>(
        std::min<std::size_t>(b.size(), static_cast<std::size_t>(info->highestSlot)));
}

std::string clsControllerCommands::stateQuery(const std::string& command,
                                              const std::string& stateMarker,
                                              const std::string& echoMarker) {
    const std::string reply = send(command);
    if (contains(reply, stateMarker) || !contains(reply, echoMarker)) {
        std::size_t cr = reply.find('\r');
        if (cr == std::string::npos)
            return reply;
        return trimSpaces(reply.substr(0, cr));
    }
    // An echo but no state word on its line: keep the line ends around the state.
    std::size_t cr = reply.find('\r');
    std::string rest = trimSpaces(cr == std::string::npos ? reply : reply.substr(cr));
    return cutBeforePrompt(rest);
}

std::string clsControllerCommands::getActiveStatus() {
    return stateQuery("AC", "ACTIVE", "AC");
}

std::string clsControllerCommands::getSyncStatus(std::int16_t syncNumber) {
    return stateQuery("SY " + std::to_string(syncNumber), "SYNC", "SY");
}

std::string clsControllerCommands::getAlarm() {
    const std::string reply = send("AL");
    std::size_t at = reply.find("Alarms:");
    if (at == std::string::npos)
        return {};
    std::string list = cutBeforePrompt(trimSpaces(from(reply, at + 8)));
    return contains(list, ":") ? list : std::string{};
}

std::int16_t clsControllerCommands::getStatus(std::int16_t output, bool monitor) {
    std::string command = "SS " + std::to_string(output);
    if (monitor)
        command += ",M";
    const std::string reply = send(command);
    std::size_t at = reply.find("Input:");
    if (at == std::string::npos)
        return 0;
    std::optional<double> number = leadingNumber(trimSpaces(from(reply, at + 7)));
    if (!number || !std::isfinite(*number))
        return 0;
    double rounded = std::nearbyint(*number);
    if (rounded < -32768.0 || rounded > 32767.0)
        return 0;
    return static_cast<std::int16_t>(rounded);
}

std::int32_t clsControllerCommands::temperatureAfter(const std::string& marker) {
    const std::string reply = send("ST");
    std::size_t at = reply.find(marker);
    if (at == std::string::npos)
        return 0;
    std::int32_t value = parseHexValue(from(reply, at + marker.size()));
    return value > 200 ? 0 : value;
}

std::int32_t clsControllerCommands::getFCTemp() {
    return temperatureAfter("Frame Controller:");
}

std::int32_t clsControllerCommands::getMonitorTemp() {
    return temperatureAfter("Output Monitor:");
}

std::string clsControllerCommands::getFCVersion() {
    const std::string reply = send("VE");
    std::size_t at = reply.find("FPGA");
    // The version field starts 12 characters into the "FPGA" line (11 into the reply when
    // the label is missing, as if it stood at position 0).
    std::size_t start = at == std::string::npos ? 11 : at + 12;
    std::string rest = trimSpaces(from(reply, start));
    std::size_t cr = rest.find('\r');
    if (cr == std::string::npos)
        return {};
    return rest.substr(0, cr + 1);
}

std::string clsControllerCommands::getEthernetConfig(const std::string& field) {
    const std::string reply = send("ET");
    struct Field {
        const char* name;
        const char* label;
        std::size_t skip;
        std::size_t length;
    };
    static constexpr Field kFields[] = {
        {"MACAddress", "MAC address", 14, 17},
        {"IPAddress", "IP address", 13, 15},
        {"SubnetMask", "Subnet mask", 13, 15},
        {"DHCP", "DHCP", 14, 3},
    };
    for (const Field& f : kFields) {
        if (field != f.name)
            continue;
        std::size_t at = reply.find(f.label);
        if (at == std::string::npos)
            return {};
        return trimSpaces(from(reply, at + f.skip)).substr(0, f.length);
    }
    return {};
}

std::string clsControllerCommands::isRedundantFrame() {
    const std::string reply = toUpperAscii(send("RD"));
    if (contains(reply, "ERROR") || contains(reply, "NOT"))
        return "NO";
    if (contains(reply, "CAPABLE"))
        return "CAPABLE";
    return "YES";
}

std::int16_t clsControllerCommands::hasFanControllers() {
    const std::string reply = send("NF");
    if (reply.empty() || contains(toUpperAscii(reply), "ERROR"))
        return 0;
    std::size_t colon = reply.find(':');
    std::size_t p = colon == std::string::npos ? 0 : colon + 1; // 1-based, 0 when absent
    std::string text = trimNonPrintable(reply.substr(0, reply.size() - 1));
    // The number is what follows ": "; a reply starting with line ends can make that
    // length negative, and anything that is not a plain number counts as no controllers.
    if (text.size() < p + 1)
        return 0;
    std::string number = trimSpaces(text.substr(p + 1));
    if (!isAllDigits(number) || number.size() > 5)
        return 0;
    long value = std::stol(number);
    return value > 32767 ? std::int16_t{0} : static_cast<std::int16_t>(value);
}

std::string clsControllerCommands::getConverterCardOptions(std::int16_t output) {
    return send("AS " + std::to_string(output));
}

std::string clsControllerCommands::getPowerManagement(const std::string& powerLetter,
                                                      std::int16_t card) {
    return send("PM " + powerLetter + "," + std::to_string(card));
}

void clsControllerCommands::doSwitch(std::int16_t output, std::int16_t input, bool monitor,
                                     std::int16_t sync) {
    std::string command = "SW " + std::to_string(output) + "," + std::to_string(input);
    if (monitor)
        command += ",M";
    if (sync > 0)
        command += "," + std::to_string(sync);
    send(command);
}

void clsControllerCommands::doClearErrors(const std::string& category, std::int16_t card) {
    const std::string suffix = card > 0 ? "," + std::to_string(card) : std::string{};
    if (const CardCategoryInfo* info = findCardCategory(category)) {
        send(std::string(info->clearErrors) + suffix);
        return;
    }
    if (toUpperAscii(category) == "SYSTEM") {
        send("CL S" + suffix);
        return;
    }
    for (const char* command : {"CL I", "CL O", "CL M", "CL S"})
        send(command);
}

void clsControllerCommands::doPowerManagement(const std::string& powerLetter, std::int16_t card,
                                              const std::string& state) {
    send("PM " + powerLetter + "," + std::to_string(card) + "," + state);
}

void clsControllerCommands::doTakeOver() {
    send("DT");
}

void clsControllerCommands::doSetPort(const std::string& port) {
    if (port != "a" && port != "A" && port != "b" && port != "B")
        return;
    for (int i = 0; i < 3; ++i)
        doVT(port);
}

void clsControllerCommands::doVT(const std::string& port) {
    if (port == "a" || port == "A")
        send("VT A");
    else if (port == "b" || port == "B")
        send("VT B");
    else
        send("VT");
}

void clsControllerCommands::doManualReclock(std::int16_t card, std::int16_t output,
                                            const std::string& rateCode) {
    send("LR " + std::to_string(card) + "," + std::to_string(output) + "," + rateCode);
}

void clsControllerCommands::doSetConverterCardOptions(const std::string& option) {
    send("AS " + option);
}

void clsControllerCommands::doSetConvOptions(const std::string& option) {
    send("AS " + option);
}

void clsControllerCommands::doReset() {
    send("RE");
    send("RE");
}

} // namespace tessivar
