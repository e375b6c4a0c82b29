#pragma once
// The far ends of the real links in tests: a pseudo-terminal standing in for the serial
// line, and a loopback TCP listener standing in for the Telnet service. Reads are bounded
// by a generous guard so a broken link fails the test instead of hanging it.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessivar::testing {

inline constexpr int kGuardMs = 10'000;

inline void writeAllTo(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            throw std::runtime_error("write to test peer failed");
        done += static_cast<std::size_t>(n);
    }
}

// Reads until done(what came so far) says so, the far end closes or the guard runs out;
// returns everything read.
template <typename Done> std::string readWhileNot(int fd, Done done) {
    std::string got;
    while (!done(got)) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kGuardMs) <= 0)
            break;
        char buf[512];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

// Reads until `wanted` has been received (and returns everything read), or the far end
// closed or the guard ran out (returns what came).
inline std::string readUntil(int fd, const std::string& wanted) {
    return readWhileNot(
        fd, [&wanted](const std::string& got) { return got.find(wanted) != std::string::npos; });
}

// Reads until the far end closes (or the guard runs out).
inline std::string readToEnd(int fd) {
    return readWhileNot(fd, [](const std::string&) { return false; });
}

// A pseudo-terminal: the code under test opens slavePath() as its serial device; the test
// talks through master. The slave stays open here too, so the line never hangs up between
// opens.
class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        path_ = name;
    }
    ~PtyPair() {
        ::close(master);
        ::close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return path_; }
    // Blocks until the slave side has input queued (without taking it).
    bool slaveHasInput() const {
        pollfd p{slave, POLLIN, 0};
        return ::poll(&p, 1, kGuardMs) == 1;
    }

    int master = -1;
    int slave = -1;

private:
    std::string path_;
};

// A listening loopback socket on a free port.
class LoopbackListener {
public:
    // Telnet ports are 16-bit signed in the connection settings, so the port is chosen below
    // 32768, out of the kernel's ephemeral range.
    LoopbackListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int reuse = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        const int base = 20000 + (::getpid() * 37) % 10000;
        for (int i = 0; i < 2000 && port_ == 0; ++i) {
            const auto candidate = static_cast<std::uint16_t>(20000 + (base + i * 7) % 12000);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            addr.sin_port = htons(candidate);
            if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
                port_ = candidate;
        }
        if (port_ == 0 || ::listen(fd_, 4) != 0)
            throw std::runtime_error("cannot listen on loopback");
    }
    ~LoopbackListener() { close(); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    std::int16_t port() const { return static_cast<std::int16_t>(port_); }
    // The next connection, or -1 when none came within the guard.
    int accept() {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kGuardMs) != 1)
            return -1;
        return ::accept(fd_, nullptr, nullptr);
    }
    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

} // namespace tessivar::testing
