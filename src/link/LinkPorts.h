#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tessivar {

// The result of opening the serial port: a raised platform error carries its number and
// description; otherwise the caller reads isOpen().
struct SerialOpenResult {
    bool platformError = false;
    int errorNumber = 0;
    std::string errorDescription;
};

// The serial link to the frame controller. Reads never wait; waitForData sleeps on the
// device so that a command waiting for a reply costs no processor time.
class ISerialPort {
public:
    virtual ~ISerialPort() = default;
    // settings: speed then ",N,8,1", for example "38400,N,8,1".
    virtual SerialOpenResult open(std::int16_t portNumber, const std::string& settings) = 0;
    virtual bool isOpen() = 0;
    virtual std::size_t bytesWaiting() = 0;
    virtual std::string readAll() = 0;
    // Throws away anything received and not yet read.
    virtual void clearInput() = 0;
    virtual void write(const std::string& bytes) = 0;
    // Sleeps until data is waiting or the time is up; true when data is waiting.
    virtual bool waitForData(std::chrono::milliseconds timeout) = 0;
    virtual void close() = 0;
};

// The Telnet link: the client speaks the protocol; callers see only data bytes.
class ITelnetClient {
public:
    virtual ~ITelnetClient() = default;
    // 0 on success, otherwise a non-zero code naming the failure.
    virtual int connect(const std::string& host, std::int16_t port) = 0;
    virtual void send(const std::string& bytes) = 0;
    // What has arrived, at most maxBytes; empty when nothing has. Never waits.
    virtual std::string read(std::size_t maxBytes) = 0;
    virtual bool isClosed() = 0;
    virtual bool waitForData(std::chrono::milliseconds timeout) = 0;
    virtual void disconnect() = 0;
};

} // namespace tessivar
