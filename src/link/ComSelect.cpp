#include "link/ComSelect.h"

#include "common/OperatorPrompt.h"
#include "link/clsConnectionData.h"
#include "link/modUtilities.h"

#include <vector>

namespace tessivar {

namespace {

// A digits-only text read as a number, saturating well above any field's range so a long
// run of digits cannot wrap into an acceptable value.
long digitsValue(const std::string& digits) {
    long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1'000'000)
            return 1'000'000;
    }
    return value;
}

bool containsAny(const std::string& text, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (text.find(w) != std::string::npos)
            return true;
    return false;
}

} // namespace

std::array<std::string, 4> addressBoxesFor(const std::string& storedAddress) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t dot = storedAddress.find('.', start);
        parts.push_back(storedAddress.substr(start, dot == std::string::npos ? std::string::npos
                                                                             : dot - start));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (parts.size() < 4)
        return {};
    std::array<std::string, 4> boxes;
    for (std::size_t i = 0; i < 4; ++i) {
        std::string p = trimSpaces(parts[i]);
        if (!isAllDigits(p) || digitsValue(p) > 32767)
            return {};
        boxes[i] = std::to_string(digitsValue(p));
    }
    return boxes;
}

Checked<SerialChoice> checkSerialFields(const std::string& comPortText) {
    if (comPortText.size() > 3 || !isAllDigits(comPortText))
        return {std::nullopt, kMsgSerialPortText};
    long value = digitsValue(comPortText);
    if (value < 1 || value > 255)
        return {std::nullopt, kMsgSerialPortRange};
    return {SerialChoice{static_cast<std::int16_t>(value)}, {}};
}

Checked<TelnetChoice> checkTelnetFields(const std::string& portText,
                                        const std::array<std::string, 4>& addressTexts,
                                        const std::string& password) {
    if (!isAllDigits(portText))
        return {std::nullopt, kMsgTelnetPort};
    long port = digitsValue(portText);
    // Ports above the 16-bit field are refused like port 0 rather than stored wrapped.
    if (port == 0 || port > 32767)
        return {std::nullopt, kMsgTelnetPort};
    bool allZeroText = true;
    bool all255 = true;
    for (const auto& box : addressTexts) {
        if (!isAllDigits(box) || digitsValue(box) > 255)
            return {std::nullopt, kMsgIpAddress};
        allZeroText = allZeroText && box == "0";
        all255 = all255 && digitsValue(box) == 255;
    }
    if (allZeroText || all255)
        return {std::nullopt, kMsgIpAddress};
    TelnetChoice choice;
    choice.port = static_cast<std::int16_t>(port);
    choice.address =
        addressTexts[0] + "." + addressTexts[1] + "." + addressTexts[2] + "." + addressTexts[3];
    choice.password = password;
    return {choice, {}};
}

bool checkControllerResponds(IConnectionHost& host) {
    host.turnOffVerbose();
    if (containsAny(host.getActiveStatus(), {"ACTIVE", "SINGLE", "STANDBY"}))
        return true;
    return containsAny(host.getActiveStatus(), {"ACTIVE", "SINGLE", "STANDBY"});
}

void checkControllerActive(IConnectionHost& host, IOperatorPrompt& prompt) {
    host.turnOffVerbose();
    std::string state = host.getActiveStatus();
    if (!containsAny(state, {"ACTIVE", "SINGLE"}))
        state = host.getActiveStatus();
    if (containsAny(state, {"ACTIVE", "SINGLE"}))
        return;
    if (prompt.askYesNo(kMsgTakeOver))
        host.doTakeOver();
}

bool runConnect(const ComSelectFields& fields, clsConnectionData& dialogData, IConnectionHost& host,
                IOperatorPrompt& prompt) {
    if (fields.kind == LinkKind::Local) {
        auto checked = checkSerialFields(fields.comPort);
        if (!checked.value) {
            prompt.tell(checked.message);
            return false;
        }
        dialogData.ConnectionType("Serial");
        dialogData.ComPort(checked.value->comPort);
        dialogData.commitParameters();
        host.replaceSettings();
        if (!host.openConnection())
            return false;
        if (!checkControllerResponds(host)) {
            prompt.tell(kMsgNoData);
            return false;
        }
        host.setPollInterval(kSerialPollInterval);
    } else {
        auto checked = checkTelnetFields(fields.telnetPort, fields.address, fields.password);
        if (!checked.value) {
            prompt.tell(checked.message);
            return false;
        }
        dialogData.ConnectionType("Telnet");
        dialogData.TelnetPort(checked.value->port);
        dialogData.TelnetPassword(checked.value->password);
        dialogData.TelnetAddress(checked.value->address);
        dialogData.commitParameters();
        host.replaceSettings();
        host.discardChannel();
        if (!host.openConnection())
            return false;
        host.setPollInterval(kTelnetPollInterval);
    }
    host.hideDialog();
    checkControllerActive(host, prompt);
    host.runInventory();
    return true;
}

Checked<ConnectTarget> parseConnectTarget(const std::string& text) {
    ConnectTarget target;
    const std::string serialPrefix = "serial:";
    const std::string telnetPrefix = "telnet://";
    if (text.rfind(serialPrefix, 0) == 0) {
        target.kind = LinkKind::Local;
        target.comPort = text.substr(serialPrefix.size());
        if (target.comPort.empty())
            return {std::nullopt, "serial: needs a port number, as in serial:1"};
        return {target, {}};
    }
    if (text.rfind(telnetPrefix, 0) != 0)
        return {std::nullopt, "a link is serial:N or telnet://HOST[:PORT]"};
    target.kind = LinkKind::Remote;
    std::string rest = text.substr(telnetPrefix.size());
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    const std::size_t colon = rest.find(':');
    std::string host = rest.substr(0, colon);
    if (colon != std::string::npos) {
        target.telnetPort = rest.substr(colon + 1);
        if (target.telnetPort.empty())
            return {std::nullopt, "telnet:// needs a port number after the colon"};
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = host.find('.', start);
        parts.push_back(
            host.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (host == "localhost")
        parts = {"127", "0", "0", "1"};
    if (parts.size() != 4)
        return {std::nullopt, "the Telnet host must be an IPv4 address such as 10.0.0.5"};
    for (std::size_t i = 0; i < 4; ++i)
        target.address[i] = parts[i];
    return {target, {}};
}

bool confirmExit(IOperatorPrompt& prompt) {
    return prompt.choose(kMsgExitTitle, kMsgExitText, "Back", "Cancel") == 1;
}

} // namespace tessivar
