#include "sim/FrameSimulator.h"

#include "sim/Controller.h"
#include "sim/Drills.h"
#include "sim/FrameModel.h"
#include "sim/ReplyPlan.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <list>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace tessivar::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned char kIac = 255;
constexpr unsigned char kSe = 240;
constexpr unsigned char kSb = 250;
constexpr unsigned char kWill = 251;
constexpr unsigned char kDo = 253;
constexpr unsigned char kOptEcho = 1;
constexpr unsigned char kOptSga = 3;
constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kMaxQueued = 1 << 20;

const char* kBanner = "Frame controller (simulated)\r\nEnter access code: ";

enum class ConnKind { Telnet, Serial, Control };
enum class IacState { Data, Iac, Option, Sub, SubIac };

struct Chunk {
    std::string bytes;
    Clock::time_point due;
};

struct Conn {
    int fd = -1;
    ConnKind kind = ConnKind::Telnet;
    std::string name;
    bool loggedIn = false;
    std::string login;
    bool swallowLineEnd = false;
    bool lastWasCr = false;
    bool verbose = true;
    std::string line;
    IacState iac = IacState::Data;
    std::deque<Chunk> out;
    std::size_t queued = 0;
    WirePacer pacer{0};
    bool wantWritable = false;
    bool dead = false;
};

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void setNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

int listenOn(const std::string& address, std::uint16_t port, std::uint16_t& bound);

// Free ports below `limit`, tried from a starting point that differs between processes so that
// simulators started side by side rarely collide.
int listenBelow(const std::string& address, std::uint16_t limit, std::uint16_t& bound) {
    const int low = limit > 20000 ? 20000 : 1024;
    const int span = limit - low;
    if (span <= 0) {
        throw std::runtime_error("no ports to choose from below " + std::to_string(limit));
    }
    const int first =
        static_cast<int>((static_cast<unsigned>(getpid()) * 7919u) % static_cast<unsigned>(span));
    for (int i = 0; i < span; ++i) {
        const auto candidate = static_cast<std::uint16_t>(low + (first + i) % span);
        try {
            return listenOn(address, candidate, bound);
        } catch (const std::runtime_error&) {
            if (errno != EADDRINUSE) {
                throw;
            }
        }
    }
    throw std::runtime_error("no free port below " + std::to_string(limit));
}

int listenOn(const std::string& address, std::uint16_t port, std::uint16_t& bound) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        throw std::runtime_error("not an IPv4 address: " + address);
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::runtime_error(errnoText("socket"));
    }
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0) {
        const int saved = errno;
        const std::string why =
            errnoText("cannot listen on " + address + ":" + std::to_string(port));
        close(fd);
        errno = saved;
        throw std::runtime_error(why);
    }
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    bound = ntohs(addr.sin_port);
    return fd;
}

std::string escapeForLog(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 32 || c >= 127 || c == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string telnetEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        if (static_cast<unsigned char>(c) == kIac) {
            out += c;
        }
    }
    return out;
}

} // namespace

struct FrameSimulator::Impl {
    explicit Impl(Frame f) : frame(std::move(f)), created(Clock::now()) {}

    // Guards frame, log, pending actions and the log output.
    mutable std::mutex mutex;
    Frame frame;
    Clock::time_point created;
    // The newest commands only: an embedded simulator in a demo left running for days must not
    // grow without bound. The --log file keeps everything.
    static constexpr std::size_t kMaxLogged = 100'000;
    std::deque<LoggedCommand> log;
    std::FILE* logOut = nullptr;
    bool ownsLogOut = false;
    DrillActions pending;

    SimulatorOptions options;
    std::thread thread;
    std::atomic<bool> stopping{false};
    bool isRunning = false;
    int wakeRead = -1;
    int wakeWrite = -1;
    int telnetListen = -1;
    int controlListen = -1;
    int ptySlave = -1;
    std::string symlinkMade;
    std::list<Conn> conns; // touched by the I/O thread only once it runs
    int telnetSessions = 0;

    void logCommand(const std::string& link, const std::string& command) {
        // Caller holds the mutex.
        const double t = std::chrono::duration<double>(Clock::now() - created).count();
        log.push_back({t, link, command});
        if (log.size() > kMaxLogged)
            log.pop_front();
        if (logOut != nullptr) {
            std::fprintf(logOut, "%.6f %s %s\n", t, link.c_str(), escapeForLog(command).c_str());
            std::fflush(logOut);
        }
    }

    void wake() const {
        if (wakeWrite >= 0) {
            const char c = 1;
            [[maybe_unused]] const auto n = write(wakeWrite, &c, 1);
        }
    }

    std::string control(const std::string& line) {
        std::string trimmed = line;
        while (!trimmed.empty() &&
               (trimmed.back() == '\r' || trimmed.back() == '\n' || trimmed.back() == ' ')) {
            trimmed.pop_back();
        }
        std::lock_guard lock(mutex);
        if (trimmed == "log") {
            std::ostringstream out;
            for (const auto& e : log) {
                char t[32];
                std::snprintf(t, sizeof t, "%.6f", e.seconds);
                out << t << ' ' << e.link << ' ' << escapeForLog(e.command) << '\n';
            }
            return out.str() + "OK";
        }
        if (trimmed == "clearlog") {
            log.clear();
            return "OK";
        }
        DrillActions actions;
        std::string result = runDrill(frame, trimmed, actions);
        if (isRunning) {
            pending.dropNow = pending.dropNow || actions.dropNow;
            pending.garbage += actions.garbage;
            pending.notices.insert(pending.notices.end(), actions.notices.begin(),
                                   actions.notices.end());
            wake();
        }
        return result;
    }

    // ---- I/O thread ----

    void enqueue(Conn& c, std::string bytes, Clock::time_point due) {
        if (bytes.empty()) {
            return;
        }
        if (c.kind == ConnKind::Telnet) {
            bytes = telnetEscape(bytes);
        }
        if (c.queued + bytes.size() > kMaxQueued) {
            return; // nobody is reading (an unopened pseudo-terminal); drop rather than grow
        }
        if (!c.out.empty()) {
            due = std::max(due, c.out.back().due);
        }
        c.queued += bytes.size();
        c.out.push_back({std::move(bytes), due});
    }

    void sendReply(Conn& c, std::string reply, const LinkFaults& faults) {
        const auto now = Clock::now();
        for (auto& w : planReply(std::move(reply), faults)) {
            enqueue(c, std::move(w.bytes), now + w.at);
        }
    }

    void onCommand(Conn& c, const std::string& command) {
        std::string reply;
        LinkFaults faults;
        {
            std::lock_guard lock(mutex);
            logCommand(c.name, command);
            if (frame.faults.dropNext) {
                // A pseudo-terminal cannot hang up: its command is lost instead.
                frame.faults.dropNext = false;
                c.dead = c.kind == ConnKind::Telnet;
                return;
            }
            reply = respond(frame, command);
            faults = frame.faults;
        }
        sendReply(c, std::move(reply), faults);
    }

    void onVerbose(Conn& c, char ch) {
        {
            std::lock_guard lock(mutex);
            logCommand(c.name, std::string(1, ch));
        }
        c.verbose = ch == kVerboseOn;
    }

    void acceptLogin(Conn& c) {
        c.loggedIn = true;
        c.login.clear();
        c.swallowLineEnd = true;
        enqueue(c, "\r\nAccess granted\r\n>", Clock::now());
    }

    void rejectLogin(Conn& c) {
        c.login.clear();
        enqueue(c,
                std::string("\r\nInvalid access code\r\n") + "Enter access code: ", Clock::now());
    }

    void onData(Conn& c, const std::string& data) {
        const std::string& code = options.accessCode;
        for (char ch : data) {
            const bool lineEnd = ch == '\r' || ch == '\n';
            if (ch == '\0' || (ch == '\n' && c.lastWasCr) || (c.swallowLineEnd && lineEnd)) {
                c.lastWasCr = ch == '\r' || (ch == '\0' && c.lastWasCr);
                continue;
            }
            c.swallowLineEnd = false;
            c.lastWasCr = ch == '\r';
            if (!c.loggedIn) {
                if (lineEnd) {
                    if (code.empty() || c.login == code) {
                        acceptLogin(c);
                    } else {
                        rejectLogin(c);
                    }
                } else if (c.login.size() < kMaxLine) {
                    c.login += ch;
                    // The console sends a non-empty code with no line end at all.
                    if (!code.empty() && c.login == code) {
                        acceptLogin(c);
                    }
                }
                continue;
            }
            if (ch == kVerboseOff || ch == kVerboseOn) {
                onVerbose(c, ch);
            } else if (lineEnd) {
                const std::string command = std::move(c.line);
                c.line.clear();
                onCommand(c, command);
                if (c.dead) {
                    return;
                }
            } else if (c.line.size() < kMaxLine) {
                c.line += ch;
            }
        }
        // A wrong code typed without a line end is refused once the read holds no more of it.
        if (!c.loggedIn && !code.empty() && !c.login.empty() && code.rfind(c.login, 0) != 0) {
            rejectLogin(c);
        }
    }

    std::string stripTelnet(Conn& c, const char* buf, std::size_t n) {
        std::string data;
        for (std::size_t i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(buf[i]);
            switch (c.iac) {
            case IacState::Data:
                if (b == kIac) {
                    c.iac = IacState::Iac;
                } else {
                    data += static_cast<char>(b);
                }
                break;
            case IacState::Iac:
                if (b == kIac) {
                    data += static_cast<char>(b);
                    c.iac = IacState::Data;
                } else if (b >= kWill) {
                    c.iac = IacState::Option;
                } else if (b == kSb) {
                    c.iac = IacState::Sub;
                } else {
                    c.iac = IacState::Data;
                }
                break;
            case IacState::Option:
                c.iac = IacState::Data;
                break;
            case IacState::Sub:
                c.iac = b == kIac ? IacState::SubIac : IacState::Sub;
                break;
            case IacState::SubIac:
                c.iac = b == kSe ? IacState::Data : IacState::Sub;
                break;
            }
        }
        return data;
    }

    void onControlData(Conn& c, const std::string& data) {
        for (char ch : data) {
            if (ch == '\n') {
                std::string l = std::move(c.line);
                c.line.clear();
                if (!l.empty() && l.back() == '\r') {
                    l.pop_back();
                }
                if (l.find_first_not_of(' ') == std::string::npos) {
                    continue;
                }
                enqueue(c, control(l) + "\n", Clock::now());
            } else if (c.line.size() < kMaxLine) {
                c.line += ch;
            }
        }
    }

    void readFrom(Conn& c) {
        char buf[4096];
        const ssize_t n = read(c.fd, buf, sizeof buf);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            if (c.kind != ConnKind::Serial) {
                c.dead = true;
            }
            return;
        }
        if (n < 0) {
            return;
        }
        const auto len = static_cast<std::size_t>(n);
        if (c.kind == ConnKind::Control) {
            onControlData(c, std::string(buf, len));
        } else if (c.kind == ConnKind::Telnet) {
            onData(c, stripTelnet(c, buf, len));
        } else {
            onData(c, std::string(buf, len));
        }
    }

    // Writes what is due; returns when the connection next needs attention (max() if never).
    Clock::time_point writeTo(Conn& c, bool& wantWritable) {
        wantWritable = false;
        const auto now = Clock::now();
        while (!c.out.empty()) {
            Chunk& front = c.out.front();
            if (front.due > now) {
                c.pacer.idle();
                return front.due;
            }
            const std::size_t allowed = c.pacer.allowance(now, front.bytes.size());
            if (allowed == 0) {
                return c.pacer.nextAt();
            }
            const ssize_t n = c.kind == ConnKind::Serial
                                  ? write(c.fd, front.bytes.data(), allowed)
                                  : send(c.fd, front.bytes.data(), allowed, MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR) {
                    wantWritable = true;
                    return Clock::time_point::max();
                }
                if (c.kind != ConnKind::Serial) {
                    c.dead = true;
                }
                return Clock::time_point::max();
            }
            const auto written = static_cast<std::size_t>(n);
            c.queued -= written;
            c.pacer.sent(written);
            front.bytes.erase(0, written);
            if (front.bytes.empty()) {
                c.out.pop_front();
            }
        }
        c.pacer.idle();
        return Clock::time_point::max();
    }

    void acceptOn(int listenFd, ConnKind kind) {
        const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        Conn c;
        c.fd = fd;
        c.kind = kind;
        if (kind == ConnKind::Telnet) {
            c.name = "telnet:" + std::to_string(++telnetSessions);
            {
                std::lock_guard lock(mutex);
                c.verbose = frame.verbose;
            }
            conns.push_back(std::move(c));
            Conn& added = conns.back();
            if (options.telnetNegotiation) {
                const std::string offer{
                    static_cast<char>(kIac), static_cast<char>(kWill), static_cast<char>(kOptEcho),
                    static_cast<char>(kIac), static_cast<char>(kWill), static_cast<char>(kOptSga),
                    static_cast<char>(kIac), static_cast<char>(kDo),   static_cast<char>(kOptSga)};
                added.out.push_back({offer, Clock::now()}); // raw: not escaped
                added.queued += offer.size();
            }
            enqueue(added, kBanner, Clock::now());
        } else {
            c.name = "control";
            conns.push_back(std::move(c));
        }
    }

    void applyPending() {
        DrillActions actions;
        {
            std::lock_guard lock(mutex);
            std::swap(actions, pending);
        }
        const auto now = Clock::now();
        for (Conn& c : conns) {
            if (c.kind == ConnKind::Control) {
                continue;
            }
            if (actions.dropNow && c.kind == ConnKind::Telnet) {
                c.dead = true;
                continue;
            }
            if (!c.loggedIn) {
                continue;
            }
            enqueue(c, actions.garbage, now);
            if (c.verbose) {
                for (const auto& notice : actions.notices) {
                    enqueue(c, notice + "\r\n", now);
                }
            }
        }
    }

    void run() {
        while (!stopping.load()) {
            applyPending();
            auto next = Clock::time_point::max();
            for (Conn& c : conns) {
                next = std::min(next, writeTo(c, c.wantWritable));
            }
            reap();
            std::vector<pollfd> fds{{wakeRead, POLLIN, 0}};
            for (int l : {telnetListen, controlListen}) {
                if (l >= 0) {
                    fds.push_back({l, POLLIN, 0});
                }
            }
            const std::size_t firstConn = fds.size();
            std::vector<Conn*> polled;
            for (Conn& c : conns) {
                fds.push_back(
                    {c.fd, static_cast<short>(POLLIN | (c.wantWritable ? POLLOUT : 0)), 0});
                polled.push_back(&c);
            }
            int timeout = -1;
            if (next != Clock::time_point::max()) {
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
                timeout = static_cast<int>(std::max<long long>(0, wait.count()));
            }
            if (poll(fds.data(), fds.size(), timeout) < 0) {
                continue;
            }
            if (fds[0].revents != 0) {
                char drain[64];
                while (read(wakeRead, drain, sizeof drain) > 0) {
                }
            }
            // A drill finished before a command was sent must act before that command's reply.
            applyPending();
            std::size_t i = 1;
            for (int l : {telnetListen, controlListen}) {
                if (l >= 0) {
                    if (fds[i].revents & POLLIN) {
                        acceptOn(l, l == telnetListen ? ConnKind::Telnet : ConnKind::Control);
                    }
                    ++i;
                }
            }
            for (std::size_t k = firstConn; k < fds.size(); ++k) {
                Conn& c = *polled[k - firstConn];
                if (!c.dead && (fds[k].revents & (POLLIN | POLLHUP | POLLERR))) {
                    readFrom(c);
                }
            }
            reap();
        }
    }

    void reap() {
        for (auto it = conns.begin(); it != conns.end();) {
            if (it->dead) {
                close(it->fd);
                it = conns.erase(it);
            } else {
                ++it;
            }
        }
    }

    void closeAll() {
        for (Conn& c : conns) {
            close(c.fd);
        }
        conns.clear();
        for (int* fd : {&telnetListen, &controlListen, &ptySlave, &wakeRead, &wakeWrite}) {
            if (*fd >= 0) {
                close(*fd);
                *fd = -1;
            }
        }
        if (!symlinkMade.empty()) {
            unlink(symlinkMade.c_str());
            symlinkMade.clear();
        }
        if (logOut != nullptr && ownsLogOut) {
            std::fclose(logOut);
        }
        logOut = nullptr;
        ownsLogOut = false;
    }

    SimulatorEndpoints start(const SimulatorOptions& opts) {
        if (isRunning) {
            throw std::runtime_error("the simulator is already running");
        }
        options = opts;
        SimulatorEndpoints ends;
        try {
            int pipeFds[2];
            if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
                throw std::runtime_error(errnoText("pipe"));
            }
            wakeRead = pipeFds[0];
            wakeWrite = pipeFds[1];
            auto listener = [&](std::uint16_t port, std::uint16_t& bound) {
                return port == 0 && opts.freePortBelow != 0
                           ? listenBelow(opts.bindAddress, opts.freePortBelow, bound)
                           : listenOn(opts.bindAddress, port, bound);
            };
            if (opts.telnetPort) {
                telnetListen = listener(*opts.telnetPort, ends.telnetPort);
            }
            if (opts.controlPort) {
                controlListen = listener(*opts.controlPort, ends.controlPort);
            }
            if (opts.serial || !opts.serialLink.empty()) {
                ends.serialDevice = openSerial(opts.serialLink);
            }
            if (opts.logFile == "-") {
                logOut = stdout;
            } else if (!opts.logFile.empty()) {
                logOut = std::fopen(opts.logFile.c_str(), "a");
                if (logOut == nullptr) {
                    throw std::runtime_error(errnoText("cannot open log " + opts.logFile));
                }
                ownsLogOut = true;
            }
        } catch (...) {
            closeAll();
            throw;
        }
        stopping = false;
        {
            std::lock_guard lock(mutex);
            isRunning = true;
        }
        thread = std::thread([this] { run(); });
        return ends;
    }

    std::string openSerial(const std::string& link) {
        int master = -1;
        char name[256] = {};
        if (openpty(&master, &ptySlave, name, nullptr, nullptr) != 0) {
            throw std::runtime_error(errnoText("openpty"));
        }
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(ptySlave, F_SETFD, FD_CLOEXEC);
        termios raw{};
        tcgetattr(ptySlave, &raw);
        cfmakeraw(&raw);
        cfsetispeed(&raw, B38400);
        cfsetospeed(&raw, B38400);
        tcsetattr(ptySlave, TCSANOW, &raw);
        setNonBlocking(master);
        Conn c;
        c.fd = master;
        c.kind = ConnKind::Serial;
        c.name = "serial";
        c.pacer = WirePacer(options.serialBaud);
        c.loggedIn = true;
        {
            std::lock_guard lock(mutex);
            c.verbose = frame.verbose;
        }
        conns.push_back(std::move(c));
        if (!link.empty()) {
            struct stat st {};
            if (lstat(link.c_str(), &st) == 0) {
                if (!S_ISLNK(st.st_mode)) {
                    throw std::runtime_error(link + " exists and is not a symbolic link");
                }
                unlink(link.c_str());
            }
            if (symlink(name, link.c_str()) != 0) {
                throw std::runtime_error(errnoText("cannot link " + link));
            }
            symlinkMade = link;
        }
        return name;
    }

    void stop() {
        if (thread.joinable()) {
            stopping = true;
            wake();
            thread.join();
        }
        std::lock_guard lock(mutex);
        if (isRunning || wakeRead >= 0) {
            closeAll();
        }
        isRunning = false;
        pending = DrillActions{};
    }
};

FrameSimulator::FrameSimulator(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FrameSimulator::FrameSimulator(FrameSimulator&&) noexcept = default;
FrameSimulator& FrameSimulator::operator=(FrameSimulator&& other) noexcept {
    if (this != &other) {
        if (impl_) {
            impl_->stop();
        }
        impl_ = std::move(other.impl_);
    }
    return *this;
}
FrameSimulator::~FrameSimulator() {
    if (impl_) {
        impl_->stop();
    }
}

FrameSimulator FrameSimulator::fromJson(const std::string& jsonText) {
    return FrameSimulator(std::make_unique<Impl>(parseFrame(jsonText)));
}

FrameSimulator FrameSimulator::fromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FrameError("cannot read frame description " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return fromJson(text.str());
    } catch (const FrameError& e) {
        throw FrameError(path + ": " + e.what());
    }
}

SimulatorEndpoints FrameSimulator::start(const SimulatorOptions& options) {
    return impl_->start(options);
}

void FrameSimulator::stop() {
    impl_->stop();
}

bool FrameSimulator::running() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->isRunning;
}

std::string FrameSimulator::control(const std::string& line) {
    return impl_->control(line);
}

std::string FrameSimulator::handleCommand(const std::string& command) {
    std::lock_guard lock(impl_->mutex);
    impl_->logCommand("direct", command);
    return respond(impl_->frame, command);
}

std::vector<LoggedCommand> FrameSimulator::commandLog() const {
    std::lock_guard lock(impl_->mutex);
    return {impl_->log.begin(), impl_->log.end()};
}

void FrameSimulator::clearCommandLog() {
    std::lock_guard lock(impl_->mutex);
    impl_->log.clear();
}

std::string FrameSimulator::controlHelp() {
    return drillHelp();
}

} // namespace tessivar::sim
