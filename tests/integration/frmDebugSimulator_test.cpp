// The command channel over the real links against the frame simulator.

#include "link/clsConnectionData.h"
#include "link/frmDebug.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTelnetClient.h"
#include "platform/QtTestApp.h"
#include "sim/FrameSimulator.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace tessivar {
namespace {

std::string smallFrame() {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "sim" /
            "frames" / "small.json")
        .string();
}

class SimulatorLink : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApplication();
        sim::SimulatorOptions options;
        options.accessCode = "4711";
        options.telnetNegotiation = true;
        options.serial = true;
        // The console keeps the Telnet port as a 16-bit signed number, so the simulator gets
        // a port below 32768 rather than the kernel's choice.
        for (int i = 0; i < 200 && ends.telnetPort == 0; ++i) {
            options.telnetPort =
                static_cast<std::uint16_t>(20000 + (::getpid() * 13 + i * 11) % 12000);
            try {
                ends = simulator.start(options);
            } catch (const std::runtime_error&) {
                simulator.stop();
            }
        }
        ASSERT_NE(ends.telnetPort, 0);
        ASSERT_FALSE(ends.serialDevice.empty());

        store.write("Parms", "TelnetAddress", "127.0.0.1");
        store.write("Parms", "TelnetPort", std::to_string(ends.telnetPort));
        store.write("Parms", "TelnetPass", "4711");
        store.write("Parms", "COMPort", "7");
        store.write("Ports", "COM7", ends.serialDevice);
    }

    std::unique_ptr<frmDebug> openChannel(const std::string& type) {
        store.write("Parms", "ConnectType", type);
        auto channel =
            std::make_unique<frmDebug>(std::make_unique<QtSerialPort>(store),
                                       std::make_unique<QtTelnetClient>(), prompt, clock, files);
        EXPECT_TRUE(channel->openConnection(std::make_shared<clsConnectionData>(store)));
        return channel;
    }

    sim::FrameSimulator simulator = sim::FrameSimulator::fromFile(smallFrame());
    sim::SimulatorEndpoints ends;
    MemorySettingsStore store;
    testing::FakePrompt prompt;
    SystemClock clock;
    testing::MemoryFileSystem files;
};

TEST_F(SimulatorLink, RepliesMatchTheControllersOwnOnBothLinks) {
    for (const std::string type : {"Telnet", "Serial"}) {
        SCOPED_TRACE(type);
        auto channel = openChannel(type);
        channel->turnOffVerbose();
        for (const std::string command : {"AC", "RC I,B", "OB 1"}) {
            const std::string reply = channel->SendDEBUGCmd(command);
            EXPECT_EQ(reply, simulator.handleCommand(command)) << command;
            EXPECT_EQ(reply.substr(reply.size() - 2), "\n>") << command;
        }
    }
    EXPECT_TRUE(prompt.boxes.empty());

    std::vector<std::string> seen;
    for (const auto& logged : simulator.commandLog())
        if (logged.link != "direct")
            seen.push_back(logged.link.substr(0, 6) + " " + logged.command);
    EXPECT_EQ(seen, (std::vector<std::string>{"telnet \x14", "telnet AC", "telnet RC I,B",
                                              "telnet OB 1", "serial \x14", "serial AC",
                                              "serial RC I,B", "serial OB 1"}));
}

} // namespace
} // namespace tessivar
