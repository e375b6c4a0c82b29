#include "platform/QtSerialPort.h"

#include "platform/QtTestApp.h"
#include "platform/TestPeers.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <termios.h>

namespace tessivar {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

class QtSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApplication();
        settings.write("Ports", "COM7", pty.slavePath());
    }

    // Everything the port receives until `count` bytes have come or the line goes quiet.
    std::string receive(std::size_t count) {
        std::string got;
        while (got.size() < count && port.waitForData(std::chrono::milliseconds(testing::kGuardMs)))
            got += port.readAll();
        return got;
    }

    PtyPair pty;
    MemorySettingsStore settings;
    QtSerialPort port{settings};
};

TEST_F(QtSerialPortTest, CarriesEveryByteValueBothWays) {
    const SerialOpenResult result = port.open(7, "38400,N,8,1");
    ASSERT_FALSE(result.platformError) << result.errorDescription;
    ASSERT_TRUE(port.isOpen());

    // A raw line: no CR/LF translation, no echo, no stripping of the eighth bit or of NUL.
    const std::string command = std::string("OB 3\r\n\x00\x7f\x80\xff\x11\x13", 12);
    port.write(command);
    EXPECT_EQ(testing::readUntil(pty.master, "\x13"), command);

    const std::string reply = std::string("\x00WC=1F\r\n\xff\x13\x11>", 13);
    testing::writeAllTo(pty.master, reply);
    EXPECT_EQ(receive(reply.size()), reply);
}

TEST_F(QtSerialPortTest, WaitWakesOnDataAndTimesOutWhenSilent) {
    ASSERT_FALSE(port.open(7, "38400,N,8,1").platformError);
    EXPECT_FALSE(port.waitForData(30ms));
    EXPECT_EQ(port.bytesWaiting(), 0U);

    testing::writeAllTo(pty.master, ">");
    EXPECT_TRUE(port.waitForData(std::chrono::milliseconds(testing::kGuardMs)));
    EXPECT_EQ(port.bytesWaiting(), 1U);
    // Data already taken from the device but not read still counts as waiting.
    EXPECT_TRUE(port.waitForData(0ms));
    EXPECT_EQ(port.readAll(), ">");
    EXPECT_EQ(port.readAll(), "");
}

// Stale input may sit in the kernel's queue or already in the port's own buffer; both must go.
class QtSerialPortClearInput : public QtSerialPortTest,
                               public ::testing::WithParamInterface<bool> {};

TEST_P(QtSerialPortClearInput, DropsStaleBytesWhereverTheySit) {
    const bool pulledIntoPortBuffer = GetParam();
    ASSERT_FALSE(port.open(7, "38400,N,8,1").platformError);

    testing::writeAllTo(pty.master, "late reply\r\n>");
    ASSERT_TRUE(pty.slaveHasInput());
    if (pulledIntoPortBuffer) {
        ASSERT_GT(port.bytesWaiting(), 0U);
    }
    port.clearInput();
    EXPECT_EQ(port.bytesWaiting(), 0U);

    testing::writeAllTo(pty.master, "fresh");
    EXPECT_EQ(receive(5), "fresh");
}

INSTANTIATE_TEST_SUITE_P(Where, QtSerialPortClearInput, ::testing::Values(false, true),
                         [](const auto& param) {
                             return param.param ? std::string("InPortBuffer")
                                                : std::string("InKernelQueue");
                         });

TEST_F(QtSerialPortTest, MissingDeviceIsNotOpenWithoutPlatformError) {
    settings.write("Ports", "COM3", "/nonexistent/ttyTessivar");
    const SerialOpenResult mapped = port.open(3, "38400,N,8,1");
    EXPECT_FALSE(mapped.platformError);
    EXPECT_FALSE(port.isOpen());

    // No mapping and no such built-in port.
    const SerialOpenResult builtIn = port.open(250, "38400,N,8,1");
    EXPECT_FALSE(builtIn.platformError);
    EXPECT_FALSE(port.isOpen());

    const SerialOpenResult none = port.open(0, "38400,N,8,1");
    EXPECT_FALSE(none.platformError);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(QtSerialPortTest, OpeningAgainReplacesTheOpenPort) {
    ASSERT_FALSE(port.open(7, "38400,N,8,1").platformError);
    ASSERT_FALSE(port.open(7, "9600,N,8,1").platformError);
    ASSERT_TRUE(port.isOpen());
    port.write("x");
    EXPECT_EQ(testing::readUntil(pty.master, "x"), "x");
    port.close();
    EXPECT_FALSE(port.isOpen());
}

struct LineCase {
    const char* name;
    const char* settings;
    speed_t speed;
    // Which parity: PARODD and CMSPAR. A pseudo-terminal always forces 8 bits without parity
    // (PARENB off), so data bits and the parity switch itself cannot be seen here.
    tcflag_t parityKind;
    bool twoStopBits;
};

class QtSerialPortLine : public QtSerialPortTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(QtSerialPortLine, ConfiguresTheDevice) {
    const LineCase& c = GetParam();
    const SerialOpenResult result = port.open(7, c.settings);
    ASSERT_FALSE(result.platformError) << result.errorDescription;
    ASSERT_TRUE(port.isOpen());

    termios t{};
    ASSERT_EQ(::tcgetattr(pty.slave, &t), 0);
    EXPECT_EQ(::cfgetispeed(&t), c.speed);
    EXPECT_EQ(::cfgetospeed(&t), c.speed);
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.parityKind);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0U) << "no hardware handshake";
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0U) << "no software handshake";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, QtSerialPortLine,
    ::testing::Values(LineCase{"Default", "38400,N,8,1", B38400, 0, false},
                      LineCase{"TwoStop", "9600,N,8,2", B9600, 0, true},
                      LineCase{"OddLowerCase", "19200,o,8,1", B19200, PARODD, false},
                      LineCase{"Mark", "115200,M,8,1", B115200, PARODD | CMSPAR, false},
                      LineCase{"Space", "38400,S,8,1", B38400, CMSPAR, false}),
    [](const auto& param) { return param.param.name; });

TEST_F(QtSerialPortTest, DeviceRefusingTheSettingsIsAPlatformError) {
    // A pseudo-terminal carries 8 data bits only: configuring 7 fails inside the port.
    const SerialOpenResult result = port.open(7, "38400,E,7,1");
    EXPECT_TRUE(result.platformError);
    EXPECT_NE(result.errorNumber, 0);
    EXPECT_FALSE(result.errorDescription.empty());
    EXPECT_FALSE(port.isOpen());
}

// Even parity and short characters cannot be set on a pseudo-terminal; the parsed form shows
// they are asked for.
TEST(SerialSettingsText, EvenParityAndShortCharacters) {
    const auto line = parseSerialSettings(" 1200 , e , 7 , 1.5 ");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->baudRate, 1200);
    EXPECT_EQ(line->parity, QSerialPort::EvenParity);
    EXPECT_EQ(line->dataBits, QSerialPort::Data7);
    EXPECT_EQ(line->stopBits, QSerialPort::OneAndHalfStop);
}

class QtSerialPortBadSettings : public QtSerialPortTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(QtSerialPortBadSettings, ArePlatformErrorsAndLeaveThePortClosed) {
    const SerialOpenResult result = port.open(7, GetParam());
    EXPECT_TRUE(result.platformError);
    EXPECT_NE(result.errorNumber, 0);
    EXPECT_FALSE(result.errorDescription.empty());
    EXPECT_FALSE(port.isOpen());
}

INSTANTIATE_TEST_SUITE_P(Texts, QtSerialPortBadSettings,
                         ::testing::Values("", "38400", "38400,N,8", "fast,N,8,1", "0,N,8,1",
                                           "-9600,N,8,1", "38400,X,8,1", "38400,N,9,1",
                                           "38400,N,4,1", "38400,N,8,3", "38400,N,8,1,0"));

} // namespace
} // namespace tessivar
