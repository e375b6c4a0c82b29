#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessivar {

class ISettingsStore;

// The parameters of the one command link: serial port or Telnet session. An instance loads
// itself from the settings store when created and writes itself back on commitParameters;
// the store is the only channel between the connection dialog and the command channel.
class clsConnectionData {
public:
    static constexpr const char* kSection = "Parms";

    explicit clsConnectionData(ISettingsStore& store);

    const std::string& ConnectionType() const { return connectionType_; }
    // Only exactly "Serial" or "Telnet" is taken; anything else leaves the value.
    void ConnectionType(const std::string& value);

    std::int16_t ComPort() const { return comPort_; }
    // 0 or less is ignored.
    void ComPort(std::int16_t value);

    const std::string& TelnetAddress() const { return telnetAddress_; }
    void TelnetAddress(const std::string& value) { telnetAddress_ = value; }

    std::int16_t TelnetPort() const { return telnetPort_; }
    void TelnetPort(std::int16_t value) { telnetPort_ = value; }

    const std::string& TelnetPassword() const { return telnetPassword_; }
    void TelnetPassword(const std::string& value) { telnetPassword_ = value; }

    std::int32_t baudRate() const { return baudRate_; }
    void baudRate(std::int32_t value) { baudRate_ = value; }

    // Writes all six fields back, as decimal text for numbers.
    void commitParameters();

private:
    ISettingsStore& store_;
    std::string connectionType_;
    std::int16_t comPort_ = 1;
    std::string telnetAddress_;
    std::int16_t telnetPort_ = 23;
    std::string telnetPassword_;
    std::int32_t baudRate_ = 38400;
};

// A stored decimal number as the settings read it: a text that does not begin with a number
// reads as 0, a fraction rounds half to even, and a value outside [min, max] gives nothing
// (the caller then falls back to the key's default).
std::optional<std::int64_t> storedNumber(const std::string& text, std::int64_t min,
                                         std::int64_t max);

} // namespace tessivar
