#include "link/clsConnectionData.h"

#include "common/SettingsStore.h"
#include "link/modUtilities.h"

#include <cmath>
#include <limits>

namespace tessivar {

std::optional<std::int64_t> storedNumber(const std::string& text, std::int64_t min,
                                         std::int64_t max) {
    std::optional<double> number = leadingNumber(text);
    if (!number)
        return 0;
    if (!std::isfinite(*number))
        return std::nullopt;
    double rounded = std::nearbyint(*number); // default rounding mode: half to even
    if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max))
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

namespace {

template <typename T> T loadNumber(ISettingsStore& store, const char* key, T fallback) {
    std::string text = store.get(clsConnectionData::kSection, key, std::to_string(fallback));
    auto value = storedNumber(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    return value ? static_cast<T>(*value) : fallback;
}

} // namespace

clsConnectionData::clsConnectionData(ISettingsStore& store) : store_(store) {
    connectionType_ = store_.get(kSection, "ConnectType", "Serial");
    telnetAddress_ = store_.get(kSection, "TelnetAddress", "0.0.0.0");
    telnetPort_ = loadNumber<std::int16_t>(store_, "TelnetPort", 23);
    telnetPassword_ = store_.get(kSection, "TelnetPass", "");
    comPort_ = loadNumber<std::int16_t>(store_, "COMPort", 1);
    baudRate_ = loadNumber<std::int32_t>(store_, "DEBUGBaudRate", 38400);
}

void clsConnectionData::ConnectionType(const std::string& value) {
    if (value == "Serial" || value == "Telnet")
        connectionType_ = value;
}

void clsConnectionData::ComPort(std::int16_t value) {
    if (value > 0)
        comPort_ = value;
}

void clsConnectionData::commitParameters() {
    store_.write(kSection, "ConnectType", connectionType_);
    store_.write(kSection, "COMPort", std::to_string(comPort_));
    store_.write(kSection, "TelnetAddress", telnetAddress_);
    store_.write(kSection, "TelnetPort", std::to_string(telnetPort_));
    store_.write(kSection, "TelnetPass", telnetPassword_);
    store_.write(kSection, "DEBUGBaudRate", std::to_string(baudRate_));
}

} // namespace tessivar
