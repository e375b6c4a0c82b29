#pragma once

#include "link/LinkPorts.h"

#include <QTcpSocket>

#include <libtelnet.h>

#include <string>

namespace tessivar {

// The Telnet link on QTcpSocket, with libtelnet speaking the protocol. Every option the peer
// offers or asks for is refused, IAC bytes are escaped on the way out and unescaped on the
// way in, and callers see only the data bytes. Nothing here runs the Qt event loop: the
// socket is read without waiting, and waits sleep in poll on the socket.
class QtTelnetClient : public ITelnetClient {
public:
    QtTelnetClient();
    ~QtTelnetClient() override;
    QtTelnetClient(const QtTelnetClient&) = delete;
    QtTelnetClient& operator=(const QtTelnetClient&) = delete;

    int connect(const std::string& host, std::int16_t port) override;
    void send(const std::string& bytes) override;
    std::string read(std::size_t maxBytes) override;
    bool isClosed() override;
    bool waitForData(std::chrono::milliseconds timeout) override;
    void disconnect() override;

private:
    static void onTelnetEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void resetProtocol();
    void pull();
    void drainSocket();
    void flushSocket();

    QTcpSocket socket_;
    telnet_t* telnet_ = nullptr;
    std::string data_; // decoded data bytes not yet read
};

} // namespace tessivar
