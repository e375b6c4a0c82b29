#pragma once
// A small blocking client for the simulator's links (TCP or a pseudo-terminal). Every wait is
// bounded by poll(2) with a limit; a test that waits in vain fails instead of hanging.

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace tessivar::sim::testing {

using namespace std::chrono_literals;

class LinkClient {
public:
    static LinkClient tcp(std::uint16_t port) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            if (fd >= 0) {
                close(fd);
            }
            throw std::runtime_error("cannot connect to port " + std::to_string(port));
        }
        return LinkClient(fd);
    }

    static LinkClient pty(const std::string& device) {
        const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            throw std::runtime_error("cannot open " + device);
        }
        termios raw{};
        tcgetattr(fd, &raw);
        cfmakeraw(&raw);
        tcsetattr(fd, TCSANOW, &raw);
        return LinkClient(fd);
    }

    LinkClient(LinkClient&& other) noexcept
        : fd_(other.fd_), buffered_(std::move(other.buffered_)) {
        other.fd_ = -1;
    }
    LinkClient& operator=(LinkClient&&) = delete;
    ~LinkClient() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                throw std::runtime_error("write failed");
            }
            done += static_cast<std::size_t>(n);
        }
    }

    // Everything up to and including the first `marker`; what came after stays buffered for the
    // next read. On timeout or end of stream: everything read so far.
    std::string readUntil(const std::string& marker, std::chrono::milliseconds limit = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (true) {
            const auto at = buffered_.find(marker);
            if (at != std::string::npos) {
                std::string out = buffered_.substr(0, at + marker.size());
                buffered_.erase(0, at + marker.size());
                return out;
            }
            if (!fill(deadline)) {
                std::string out;
                out.swap(buffered_);
                return out;
            }
        }
    }

    // True when the other side closed the connection within the limit.
    bool waitClosed(std::chrono::milliseconds limit = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (fill(deadline)) {
        }
        return closed_;
    }

    // One command and its reply up to the controller's prompt.
    std::string command(const std::string& text) {
        send(text + "\r");
        return readUntil("\n>");
    }

    // The console's login: the banner, then the code (no line end) or CR LF when empty.
    std::string login(const std::string& code = "") {
        std::string seen = readUntil("Enter access code");
        send(code.empty() ? std::string("\r\n") : code);
        return seen + readUntil(">");
    }

private:
    explicit LinkClient(int fd) : fd_(fd) {}

    bool fill(std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || closed_) {
            return false;
        }
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char buf[4096];
        const ssize_t n = read(fd_, buf, sizeof buf);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        buffered_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    std::string buffered_;
    bool closed_ = false;
};

// A frame description shipped in sim/frames.
inline std::string framePath(const std::string& name) {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "sim" /
            "frames" / name)
        .string();
}

// Waits (bounded) until the simulator has logged `count` commands.
template <typename Sim> bool waitForLogged(Sim& sim, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (sim.commandLog().size() < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

} // namespace tessivar::sim::testing
