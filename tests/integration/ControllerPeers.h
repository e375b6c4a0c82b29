#pragma once
// Stand-ins for the frame controller at the far end of a real link: they read command lines
// (text up to a carriage return) and answer with whatever the test's script writes. The
// Telnet one logs callers in first ("Enter access code", the code, ">") and offers options
// the console must refuse.

#include "platform/TestPeers.h"

#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tessivar::testing {

namespace telnet {
inline constexpr char IAC = '\xff';
inline constexpr char WILL = '\xfb';
inline constexpr char WONT = '\xfc';
inline constexpr char DO = '\xfd';
inline constexpr char DONT = '\xfe';
inline constexpr char ECHO_ = '\x01';
inline constexpr char TTYPE = '\x18';
inline constexpr char NAWS = '\x1f';
inline std::string cmd(char verb, char option) {
    return {IAC, verb, option};
}
} // namespace telnet

// One connection's byte stream as the controller sees it: Telnet commands taken out and
// remembered, doubled IAC bytes made single again.
class TelnetStream {
public:
    explicit TelnetStream(int fd) : fd_(fd) {}

    void write(const std::string& raw) { writeAllTo(fd_, raw); }

    // A command line without its carriage return; nothing when the caller hung up.
    std::optional<std::string> readLine() {
        for (;;) {
            if (auto cr = data_.find('\r'); cr != std::string::npos) {
                std::string line = data_.substr(0, cr);
                data_.erase(0, cr + 1);
                return line;
            }
            if (!pump())
                return std::nullopt;
        }
    }
    // The next `n` data bytes exactly.
    std::optional<std::string> readData(std::size_t n) {
        while (data_.size() < n)
            if (!pump())
                return std::nullopt;
        std::string out = data_.substr(0, n);
        data_.erase(0, n);
        return out;
    }
    // Waits until the caller has sent the given Telnet command (IAC verb option).
    bool awaitCommand(const std::string& command) {
        while (negotiations_.find(command) == std::string::npos)
            if (!pump())
                return false;
        return true;
    }
    const std::string& negotiations() const { return negotiations_; }
    const std::string& pendingData() const { return data_; }

private:
    bool pump() {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kGuardMs) <= 0)
            return false;
        char buf[512];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0)
            return false;
        raw_.append(buf, static_cast<std::size_t>(n));
        std::size_t i = 0;
        while (i < raw_.size()) {
            if (raw_[i] != telnet::IAC) {
                data_ += raw_[i++];
                continue;
            }
            if (i + 1 >= raw_.size())
                break;
            const char verb = raw_[i + 1];
            if (verb == telnet::IAC) {
                data_ += telnet::IAC;
                i += 2;
            } else if (verb >= telnet::WILL && verb <= telnet::DONT) {
                if (i + 2 >= raw_.size())
                    break;
                negotiations_ += raw_.substr(i, 3);
                i += 3;
            } else {
                i += 2;
            }
        }
        raw_.erase(0, i);
        return true;
    }

    int fd_;
    std::string raw_;
    std::string data_;
    std::string negotiations_;
};

// A Telnet service on loopback. Each session: options offered, the login, then every command
// line goes to the script, until the script returns false (the controller hangs up) or the
// caller disconnects. Runs up to maxSessions sessions.
class TelnetController {
public:
    using Script = std::function<bool(TelnetStream&, const std::string& command)>;

    TelnetController(std::string accessCode, Script script, int maxSessions = 1)
        : accessCode_(std::move(accessCode)), script_(std::move(script)),
          thread_([this, maxSessions] {
              for (int s = 0; s < maxSessions; ++s) {
                  const int fd = listener_.accept();
                  if (fd < 0)
                      return;
                  serve(fd);
                  ::close(fd);
              }
          }) {}
    ~TelnetController() { join(); }
    TelnetController(const TelnetController&) = delete;
    TelnetController& operator=(const TelnetController&) = delete;

    std::int16_t port() const { return listener_.port(); }
    void join() {
        if (thread_.joinable())
            thread_.join();
    }
    // Read these only after join().
    std::vector<std::string> commands;
    std::vector<std::string> accessCodes;
    int sessions = 0;

private:
    void serve(int fd) {
        ++sessions;
        TelnetStream stream(fd);
        stream.write(telnet::cmd(telnet::WILL, telnet::ECHO_) +
                     telnet::cmd(telnet::DO, telnet::TTYPE) + "\r\nEnter access code: ");
        // The code comes alone: an empty one as CR LF, any other without a line end.
        const std::size_t codeLength = accessCode_.empty() ? 2 : accessCode_.size();
        auto code = stream.readData(codeLength);
        if (!code)
            return;
        accessCodes.push_back(*code);
        stream.write("\r\n>");
        while (auto line = stream.readLine()) {
            commands.push_back(*line);
            if (!script_(stream, *line))
                return;
        }
    }

    std::string accessCode_;
    Script script_;
    LoopbackListener listener_;
    std::thread thread_;
};

// The controller's end of a serial line (a pseudo-terminal master): answers a fixed number
// of command lines through the script, then stops.
class SerialController {
public:
    using Script = std::function<void(int masterFd, const std::string& command)>;

    SerialController(int masterFd, int commandCount, Script script)
        : thread_([this, masterFd, commandCount, script = std::move(script)] {
              std::string pending;
              for (int i = 0; i < commandCount; ++i) {
                  while (pending.find('\r') == std::string::npos) {
                      const std::string more = readUntil(masterFd, "\r");
                      if (more.empty())
                          return;
                      pending += more;
                  }
                  const std::size_t cr = pending.find('\r');
                  commands.push_back(pending.substr(0, cr));
                  pending.erase(0, cr + 1);
                  script(masterFd, commands.back());
              }
          }) {}
    ~SerialController() { join(); }
    SerialController(const SerialController&) = delete;
    SerialController& operator=(const SerialController&) = delete;
    void join() {
        if (thread_.joinable())
            thread_.join();
    }
    // Read only after join().
    std::vector<std::string> commands;

private:
    std::thread thread_;
};

} // namespace tessivar::testing
