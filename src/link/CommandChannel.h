#pragma once

#include <string>

namespace tessivar {

// What the command set, the card records and the windows need of the command channel: one
// command at a time, the caller blocked until the reply's prompt or the silence timeout.
class ICommandChannel {
public:
    virtual ~ICommandChannel() = default;

    // Sends command + CR and returns the reply as read (echo, line ends and prompt kept).
    // A timeout of 0 or less means 5 s of silence and 5 is written back to the caller.
    std::string SendDEBUGCmd(const std::string& command, float& timeout) {
        return sendCommand(command, timeout);
    }
    std::string SendDEBUGCmd(const std::string& command) {
        float timeout = 0;
        return sendCommand(command, timeout);
    }

    virtual void turnOffVerbose() = 0;
    virtual void turnOnVerbose() = 0;

protected:
    virtual std::string sendCommand(const std::string& command, float& timeout) = 0;
};

} // namespace tessivar
