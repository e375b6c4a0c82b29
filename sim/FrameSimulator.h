#pragma once
// A simulated frame controller: answers the console's command set over Telnet and a serial
// pseudo-terminal from a frame description, changes the frame as the commands ask, and lets an
// engineer rehearse faults through a small control language. It runs its own I/O thread, so it
// can be embedded in another process (the console's demo mode, integration tests, benchmarks).

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessivar::sim {

// A frame description that cannot be read or makes no sense.
class FrameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SimulatorOptions {
    // Address the TCP listeners bind to. Loopback unless an engineer asks otherwise.
    std::string bindAddress = "127.0.0.1";
    // Telnet listener: no value means none, 0 means any free port.
    std::optional<std::uint16_t> telnetPort;
    // With port 0: choose a free port below this one rather than the kernel's choice (which is
    // usually above 32767, more than a 16-bit signed port field holds). 0 leaves it to the kernel.
    std::uint16_t freePortBelow = 0;
    // Access code the Telnet login asks for; empty accepts any line.
    std::string accessCode;
    // Offer Telnet options (WILL ECHO, WILL/DO SUPPRESS-GO-AHEAD) when a client connects.
    bool telnetNegotiation = false;
    // Serial link over a pseudo-terminal.
    bool serial = false;
    // When not empty, a symbolic link to the pseudo-terminal's device (replaced if it exists).
    std::string serialLink;
    // Pace serial output at this many bits per second (10 bits a character); 0 sends at once.
    unsigned serialBaud = 0;
    // Fault drill control port: no value means none, 0 means any free port.
    std::optional<std::uint16_t> controlPort;
    // Where the command log goes as text lines: empty keeps it in memory only, "-" is
    // standard output, anything else a file (appended).
    std::string logFile;
};

// What start() opened.
struct SimulatorEndpoints {
    std::uint16_t telnetPort = 0;  // 0 when no Telnet listener
    std::string serialDevice;      // empty when no serial link
    std::uint16_t controlPort = 0; // 0 when no control port
};

// One command as the controller received it.
struct LoggedCommand {
    double seconds = 0;  // monotonic time since the simulator was created
    std::string link;    // "telnet:1" (session number), "serial" or "direct"
    std::string command; // the text without its line end; 20/22 appear as those characters
};

class FrameSimulator {
public:
    // Both throw FrameError for an unreadable or inconsistent description.
    static FrameSimulator fromJson(const std::string& jsonText);
    static FrameSimulator fromFile(const std::string& path);

    FrameSimulator(FrameSimulator&&) noexcept;
    FrameSimulator& operator=(FrameSimulator&&) noexcept;
    FrameSimulator(const FrameSimulator&) = delete;
    FrameSimulator& operator=(const FrameSimulator&) = delete;
    ~FrameSimulator(); // stops

    // Opens the listeners and starts the I/O thread. Throws std::runtime_error when a listener
    // cannot be opened or the simulator is already running.
    SimulatorEndpoints start(const SimulatorOptions& options);
    // Closes every connection and listener and joins the thread. Safe to call twice.
    void stop();
    bool running() const;

    // Runs one fault drill line (the control port's language; "help" lists it). Returns "OK",
    // the requested text followed by "OK", or a line starting with "ERROR". Thread-safe.
    std::string control(const std::string& line);

    // Answers one command as a link would (without delays or other link faults): the complete
    // reply text including the final prompt. Logged with link "direct". Thread-safe.
    std::string handleCommand(const std::string& command);

    // The commands received so far (the newest 100000), oldest first. Thread-safe.
    std::vector<LoggedCommand> commandLog() const;
    void clearCommandLog();

    // Exposed for the control language's documentation and the executable's --help.
    static std::string controlHelp();

    struct Impl;

private:
    explicit FrameSimulator(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace tessivar::sim
