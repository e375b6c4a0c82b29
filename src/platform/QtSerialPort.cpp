#include "platform/QtSerialPort.h"

#include "link/serialDevicePath.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <thread>

namespace tessivar {

namespace {

// Writes are bounded so a wedged device cannot hold the caller for ever.
constexpr int kWriteWaitMs = 2000;

SerialOpenResult platformError(QSerialPort::SerialPortError error, const QString& description) {
    return {true, static_cast<int>(error), description.toStdString()};
}

} // namespace

std::optional<SerialLineSettings> parseSerialSettings(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(',');
    if (parts.size() != 4)
        return std::nullopt;
    SerialLineSettings s;
    bool ok = false;
    s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return std::nullopt;

    const QString parity = parts[1].trimmed().toUpper();
    if (parity == "N")
        s.parity = QSerialPort::NoParity;
    else if (parity == "E")
        s.parity = QSerialPort::EvenParity;
    else if (parity == "O")
        s.parity = QSerialPort::OddParity;
    else if (parity == "M")
        s.parity = QSerialPort::MarkParity;
    else if (parity == "S")
        s.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return std::nullopt;
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);

    const QString stop = parts[3].trimmed();
    if (stop == "1")
        s.stopBits = QSerialPort::OneStop;
    else if (stop == "1.5")
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == "2")
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}

QtSerialPort::QtSerialPort(ISettingsStore& settings) : settings_(settings) {}

QtSerialPort::~QtSerialPort() {
    close();
}

SerialOpenResult QtSerialPort::open(std::int16_t portNumber, const std::string& settings) {
    const auto line = parseSerialSettings(settings);
    if (!line)
        return platformError(
            QSerialPort::UnsupportedOperationError,
            QString("Invalid port settings \"%1\"").arg(QString::fromStdString(settings)));

    // Opening again (the connection dialog may do so) starts from a closed port rather than
    // failing on the device we already hold.
    close();
    const std::string path = serialDevicePath(settings_, portNumber);
    if (path.empty())
        return {};
    port_.setPortName(QString::fromStdString(path));
    if (!port_.open(QIODevice::ReadWrite))
        return {}; // a device that is missing or busy is reported by isOpen()

    const bool configured = port_.setBaudRate(line->baudRate) && port_.setParity(line->parity) &&
                            port_.setDataBits(line->dataBits) &&
                            port_.setStopBits(line->stopBits) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        SerialOpenResult result = platformError(port_.error(), port_.errorString());
        port_.close();
        return result;
    }
    return {};
}

bool QtSerialPort::isOpen() {
    return port_.isOpen();
}

void QtSerialPort::pull() {
    // Moves what the device holds into the port's buffer without waiting: the port reads
    // the descriptor only from the event loop or inside a wait.
    if (port_.isOpen())
        port_.waitForReadyRead(0);
}

std::size_t QtSerialPort::bytesWaiting() {
    pull();
    return static_cast<std::size_t>(port_.bytesAvailable());
}

std::string QtSerialPort::readAll() {
    pull();
    return port_.readAll().toStdString();
}

void QtSerialPort::clearInput() {
    if (!port_.isOpen())
        return;
    pull();
    port_.readAll();
    port_.clear(QSerialPort::Input);
}

void QtSerialPort::write(const std::string& bytes) {
    if (!port_.isOpen() || bytes.empty())
        return;
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Without an event loop nothing would flush the port's write buffer.
    QDeadlineTimer deadline(kWriteWaitMs);
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
}

bool QtSerialPort::deviceFailed() const {
    return !port_.isOpen() || port_.error() == QSerialPort::ResourceError;
}

bool QtSerialPort::waitForData(std::chrono::milliseconds timeout) {
    if (bytesWaiting() > 0)
        return true;
    QDeadlineTimer deadline(timeout.count() > 0 ? timeout.count() : 0);
    while (!deadline.hasExpired()) {
        if (deviceFailed()) {
            // A port that cannot deliver would return at once from every wait and turn the
            // caller's loop into a spin; sleep out the time instead.
            std::this_thread::sleep_for(std::chrono::milliseconds(deadline.remainingTime()));
            break;
        }
        port_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        if (port_.bytesAvailable() > 0)
            return true;
    }
    return port_.bytesAvailable() > 0;
}

void QtSerialPort::close() {
    if (!port_.isOpen())
        return;
    port_.clear(QSerialPort::Input);
    port_.close();
}

} // namespace tessivar
