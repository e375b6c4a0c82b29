#pragma once

#include "common/SettingsStore.h"
#include "link/LinkPorts.h"

#include <QSerialPort>

#include <optional>

namespace tessivar {

// Line settings as written in the connection settings: "speed,parity,data bits,stop bits",
// for example "38400,N,8,1". Parity is one of N, E, O, M, S; stop bits 1, 1.5 or 2.
struct SerialLineSettings {
    qint32 baudRate = 38400;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
std::optional<SerialLineSettings> parseSerialSettings(const std::string& text);

// The serial link on QSerialPort. The port number is mapped to a device through the
// settings store (see serialDevicePath). Nothing here runs the Qt event loop: reads pull
// what the device holds without waiting, and waitForData sleeps in poll on the device.
class QtSerialPort : public ISerialPort {
public:
    explicit QtSerialPort(ISettingsStore& settings);
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    SerialOpenResult open(std::int16_t portNumber, const std::string& settings) override;
    bool isOpen() override;
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    void clearInput() override;
    void write(const std::string& bytes) override;
    bool waitForData(std::chrono::milliseconds timeout) override;
    void close() override;

    // The device the last open used, for display next to the port number.
    QString devicePath() const { return port_.portName(); }

private:
    void pull();
    bool deviceFailed() const;

    ISettingsStore& settings_;
    QSerialPort port_;
};

} // namespace tessivar
