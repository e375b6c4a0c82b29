#pragma once
// Link ports driven by a script on a FakeClock: bytes arrive at given times, and a wait
// moves the clock to the next arrival or by the whole timeout, as a real device would.

#include "link/LinkPorts.h"
#include "support/Fakes.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tessivar::testing {

class ScriptedLink {
public:
    explicit ScriptedLink(FakeClock& clock) : clock_(clock) {}

    // Bytes that arrive after the given delay from now.
    void arriveAfter(IClock::Millis delay, std::string bytes) {
        pending.push_back({clock_.now + delay, std::move(bytes)});
        std::stable_sort(pending.begin(), pending.end(),
                         [](const Arrival& a, const Arrival& b) { return a.at < b.at; });
    }
    void arriveNow(std::string bytes) { arriveAfter(IClock::Millis{0}, std::move(bytes)); }

    bool waitForData(IClock::Millis timeout) {
        waits.push_back(timeout);
        deliverDue();
        if (!buffer.empty())
            return true;
        if (pending.empty() || pending.front().at > clock_.now + timeout) {
            clock_.now += timeout;
            deliverDue();
            return !buffer.empty();
        }
        clock_.now = pending.front().at;
        deliverDue();
        return true;
    }

    void deliverDue() {
        while (!pending.empty() && pending.front().at <= clock_.now) {
            buffer += pending.front().bytes;
            pending.pop_front();
        }
    }

    std::string take(std::size_t max) {
        deliverDue();
        std::string out = buffer.substr(0, max);
        buffer.erase(0, out.size());
        return out;
    }

    void written(const std::string& bytes) {
        writes.push_back(bytes);
        if (onWrite)
            onWrite(bytes);
    }

    struct Arrival {
        IClock::Millis at;
        std::string bytes;
    };
    std::deque<Arrival> pending;
    std::string buffer;
    std::vector<std::string> writes;
    std::vector<IClock::Millis> waits;
    // Kept here as well as in the ports, since the ports die with the channel that owns them.
    int serialCloses = 0;
    int telnetDisconnects = 0;
    // Lets a test answer what the console writes, like a controller would.
    std::function<void(const std::string&)> onWrite;

private:
    FakeClock& clock_;
};

class ScriptedSerialPort : public ISerialPort {
public:
    explicit ScriptedSerialPort(ScriptedLink& link) : link_(link) {}
    SerialOpenResult open(std::int16_t portNumber, const std::string& settings) override {
        openedPort = portNumber;
        openedSettings = settings;
        if (!openResult.platformError)
            open_ = opens;
        return openResult;
    }
    bool isOpen() override { return open_; }
    std::size_t bytesWaiting() override {
        link_.deliverDue();
        return link_.buffer.size();
    }
    std::string readAll() override { return link_.take(std::string::npos); }
    void clearInput() override {
        link_.deliverDue();
        link_.buffer.clear();
        ++clears;
    }
    void write(const std::string& bytes) override { link_.written(bytes); }
    bool waitForData(std::chrono::milliseconds timeout) override {
        return link_.waitForData(timeout);
    }
    void close() override {
        open_ = false;
        ++closes;
        ++link_.serialCloses;
    }

    bool opens = true;
    SerialOpenResult openResult;
    std::int16_t openedPort = 0;
    std::string openedSettings;
    int clears = 0;
    int closes = 0;

private:
    ScriptedLink& link_;
    bool open_ = false;
};

class ScriptedTelnetClient : public ITelnetClient {
public:
    explicit ScriptedTelnetClient(ScriptedLink& link) : link_(link) {}
    int connect(const std::string& host, std::int16_t port) override {
        connects.push_back(host + ":" + std::to_string(port));
        if (onConnect)
            onConnect();
        closed = connectCode != 0;
        return connectCode;
    }
    void send(const std::string& bytes) override { link_.written(bytes); }
    std::string read(std::size_t maxBytes) override {
        ++reads;
        return link_.take(maxBytes);
    }
    bool isClosed() override { return closed; }
    bool waitForData(std::chrono::milliseconds timeout) override {
        return link_.waitForData(timeout);
    }
    void disconnect() override {
        closed = true;
        ++disconnects;
        ++link_.telnetDisconnects;
    }

    int connectCode = 0;
    bool closed = true;
    int reads = 0;
    int disconnects = 0;
    std::vector<std::string> connects;
    std::function<void()> onConnect;

private:
    ScriptedLink& link_;
};

} // namespace tessivar::testing
