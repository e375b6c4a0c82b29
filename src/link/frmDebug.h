#pragma once

#include "common/Clock.h"
#include "link/CommandChannel.h"
#include "link/LinkPorts.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace tessivar {

class clsConnectionData;
class IFileSystem;
class IOperatorPrompt;

// The one object through which every byte goes to and from the frame controller. It owns a
// serial port and a Telnet client, of which the held connection settings choose one, sends
// one command line at a time and collects the reply up to the controller's prompt.
//
// The caller is blocked while a command is outstanding (no events are handled, so commands
// never overlap), but the wait sleeps on the port for the remaining silence time instead of
// spinning, and silence is measured on the monotonic clock.
class frmDebug : public ICommandChannel {
public:
    // A reply is cut at this size and a command's whole wait at this time, so a controller
    // that trickles data forever cannot hold the console forever.
    static constexpr std::size_t kMaxReplyBytes = 1024 * 1024;
    static constexpr IClock::Millis kMaxCommandWait{60'000};
    static constexpr std::size_t kReadChunk = 2048;

    using TimeOfDayFormatter = std::function<std::string(const LocalDateTime&)>;

    frmDebug(std::unique_ptr<ISerialPort> serial, std::unique_ptr<ITelnetClient> telnet,
             IOperatorPrompt& prompt, IClock& clock, IFileSystem& files);
    // Disconnects the Telnet client or closes the serial port, as the held settings say.
    ~frmDebug() override;

    frmDebug(const frmDebug&) = delete;
    frmDebug& operator=(const frmDebug&) = delete;

    // Keeps the settings and opens the Telnet session when their type is exactly "Telnet",
    // the serial port otherwise. False when the link is not ready; the reason has been shown.
    bool openConnection(std::shared_ptr<clsConnectionData> settings);

    void turnOffVerbose() override;
    void turnOnVerbose() override;

    // Port logging (serial path only): two lines per command in the file at path.
    void setPortLogging(bool activate, const std::string& path, bool clean);
    bool portLogging() const { return portLogging_; }
    const std::string& portLogPath() const { return portLogPath_; }

    // Whether the serial port is open.
    bool statusCOMPort();

    // How the port log prints the time of day (the system's time format).
    void setTimeOfDayFormatter(TimeOfDayFormatter formatter) { formatTime_ = std::move(formatter); }

    const std::shared_ptr<clsConnectionData>& settings() const { return settings_; }

protected:
    std::string sendCommand(const std::string& command, float& timeout) override;

private:
    bool usesSerial() const;
    // A control character sent alone, with no line end and no reply read.
    void sendAlone(char control);
    bool openSerialPort();
    void closeSerialPort();
    bool openTelnetSession();
    // Reads the Telnet client until found(text read) says so or the time budget is spent.
    template <typename Found> bool readUntil(IClock::Millis budget, Found found);
    std::string sendSerial(const std::string& line, IClock::Millis silence);
    std::string sendTelnet(const std::string& line, IClock::Millis silence);
    // Collects the reply that began at `began`: until the prompt, the silence timeout, the
    // whole-command limit or the size cap.
    template <typename Port, typename Read>
    std::string collectReply(Port& port, Read readSome, IClock::Millis began,
                             IClock::Millis silence);
    // Waits on the link for more of the reply; false when the silence or the whole-command
    // limit has run out.
    template <typename Port>
    bool waitForMore(Port& port, IClock::Millis lastData, IClock::Millis began,
                     IClock::Millis silence);

    std::unique_ptr<ISerialPort> serial_;
    std::unique_ptr<ITelnetClient> telnet_;
    IOperatorPrompt& prompt_;
    IClock& clock_;
    IFileSystem& files_;
    std::shared_ptr<clsConnectionData> settings_;
    bool portLogging_ = false;
    std::string portLogPath_;
    TimeOfDayFormatter formatTime_;
};

// The reply holds the controller's prompt: a line feed directly followed by ">". from is
// where a new read began, so a prompt straddling two reads is still seen.
bool replyHasPrompt(const std::string& reply, std::size_t from);

} // namespace tessivar
