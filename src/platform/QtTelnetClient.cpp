#include "platform/QtTelnetClient.h"

#include <QDeadlineTimer>

#include <thread>

namespace tessivar {

namespace {

constexpr int kConnectWaitMs = 5000;
constexpr int kWriteWaitMs = 2000;
constexpr int kDisconnectWaitMs = 1000;

// No option is supported: libtelnet answers every WILL with DONT and every DO with WONT.
const telnet_telopt_t kNoOptions[] = {{-1, 0, 0}};

} // namespace

QtTelnetClient::QtTelnetClient() {
    resetProtocol();
}

QtTelnetClient::~QtTelnetClient() {
    socket_.abort();
    if (telnet_)
        telnet_free(telnet_);
}

void QtTelnetClient::resetProtocol() {
    // Each session starts with fresh negotiation state.
    if (telnet_)
        telnet_free(telnet_);
    telnet_ = telnet_init(kNoOptions, &QtTelnetClient::onTelnetEvent, 0, this);
    data_.clear();
}

void QtTelnetClient::onTelnetEvent(telnet_t*, telnet_event_t* event, void* self) {
    auto* client = static_cast<QtTelnetClient*>(self);
    switch (event->type) {
    case TELNET_EV_DATA:
        client->data_.append(event->data.buffer, event->data.size);
        break;
    case TELNET_EV_SEND:
        client->socket_.write(event->data.buffer, static_cast<qint64>(event->data.size));
        break;
    default:
        // Negotiation is answered by libtelnet itself; warnings and errors concern only the
        // protocol stream, and the data around them is still delivered.
        break;
    }
}

int QtTelnetClient::connect(const std::string& host, std::int16_t port) {
    socket_.abort();
    resetProtocol();
    if (port <= 0)
        return static_cast<int>(QAbstractSocket::UnsupportedSocketOperationError) + 1;
    socket_.connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
    if (socket_.waitForConnected(kConnectWaitMs))
        return 0;
    const auto error = socket_.error();
    socket_.abort();
    // The error values start at -1 (unknown); keep every failure non-zero.
    return error == QAbstractSocket::UnknownSocketError ? -1 : static_cast<int>(error) + 1;
}

void QtTelnetClient::flushSocket() {
    // Without an event loop nothing would flush the socket's write buffer.
    QDeadlineTimer deadline(kWriteWaitMs);
    while (socket_.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!socket_.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
    // A write wait may have read incoming bytes into the socket's buffer.
    drainSocket();
}

void QtTelnetClient::send(const std::string& bytes) {
    if (socket_.state() != QAbstractSocket::ConnectedState || bytes.empty())
        return;
    telnet_send(telnet_, bytes.data(), bytes.size());
    flushSocket();
}

void QtTelnetClient::drainSocket() {
    // Negotiation answers produced while decoding are queued on the socket by the event
    // handler and sent on the next flush.
    while (socket_.bytesAvailable() > 0) {
        const QByteArray raw = socket_.readAll();
        telnet_recv(telnet_, raw.constData(), static_cast<std::size_t>(raw.size()));
    }
}

void QtTelnetClient::pull() {
    drainSocket();
    if (socket_.state() == QAbstractSocket::ConnectedState)
        socket_.waitForReadyRead(0);
    drainSocket();
    if (socket_.bytesToWrite() > 0 && socket_.state() == QAbstractSocket::ConnectedState)
        flushSocket();
}

std::string QtTelnetClient::read(std::size_t maxBytes) {
    pull();
    const std::size_t n = std::min(maxBytes, data_.size());
    std::string out = data_.substr(0, n);
    data_.erase(0, n);
    return out;
}

bool QtTelnetClient::isClosed() {
    pull();
    return socket_.state() != QAbstractSocket::ConnectedState;
}

bool QtTelnetClient::waitForData(std::chrono::milliseconds timeout) {
    pull();
    QDeadlineTimer deadline(timeout.count() > 0 ? timeout.count() : 0);
    while (data_.empty() && !deadline.hasExpired()) {
        if (socket_.state() != QAbstractSocket::ConnectedState) {
            // A closed session would return at once from every wait and turn the caller's
            // loop into a spin; sleep out the time instead.
            std::this_thread::sleep_for(std::chrono::milliseconds(deadline.remainingTime()));
            break;
        }
        socket_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        pull();
    }
    return !data_.empty();
}

void QtTelnetClient::disconnect() {
    if (socket_.state() != QAbstractSocket::UnconnectedState) {
        socket_.disconnectFromHost();
        if (socket_.state() != QAbstractSocket::UnconnectedState)
            socket_.waitForDisconnected(kDisconnectWaitMs);
    }
    socket_.abort();
    data_.clear();
}

} // namespace tessivar
