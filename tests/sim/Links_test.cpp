// The simulator's links over real loopback sockets and a real pseudo-terminal: login, command
// framing, Telnet option handling, the command log and the control port.

#include "SimClient.h"
#include "sim/FrameSimulator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tessivar::sim {
namespace {

using testing::framePath;
using testing::LinkClient;
using testing::waitForLogged;

const std::string kIacDoEcho{'\xFF', '\xFD', '\x01'};

struct Running {
    explicit Running(SimulatorOptions options = {})
        : sim(FrameSimulator::fromFile(framePath("small.json"))) {
        if (!options.telnetPort) {
            options.telnetPort = 0;
        }
        options.controlPort = 0;
        ends = sim.start(options);
    }
    LinkClient session(const std::string& code = "") {
        LinkClient c = LinkClient::tcp(ends.telnetPort);
        c.login(code);
        return c;
    }
    FrameSimulator sim;
    SimulatorEndpoints ends;
};

TEST(TelnetLogin, EmptyCodeAcceptsTheConsolesLineEndWithoutAStrayPrompt) {
    Running r;
    LinkClient c = LinkClient::tcp(r.ends.telnetPort);
    const std::string greeting = c.login();
    EXPECT_NE(greeting.find("Enter access code"), std::string::npos);
    EXPECT_EQ(greeting.back(), '>');
    // The LF after the CR must not count as a second, empty line.
    EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>");
}

TEST(TelnetLogin, CodeSentWithoutLineEndIsAcceptedAtOnce) {
    SimulatorOptions o;
    o.accessCode = "4711";
    Running r(o);
    LinkClient c = LinkClient::tcp(r.ends.telnetPort);
    EXPECT_NE(c.login("4711").find("Access granted"), std::string::npos);
    EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>");
}

TEST(TelnetLogin, WrongCodeIsRefusedAndAskedAgain) {
    SimulatorOptions o;
    o.accessCode = "4711";
    Running r(o);
    LinkClient c = LinkClient::tcp(r.ends.telnetPort);
    c.readUntil("Enter access code");
    c.send("1234");
    const std::string refusal = c.readUntil("Enter access code");
    EXPECT_NE(refusal.find("Invalid access code"), std::string::npos);
    EXPECT_EQ(refusal.find('>'), std::string::npos);
    // A typed code with its line end works as well.
    c.send("4711\r\n");
    EXPECT_NE(c.readUntil(">").find("Access granted"), std::string::npos);
    EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>");
    EXPECT_TRUE(r.sim.commandLog().size() == 1); // the code is not a command
}

TEST(TelnetLink, OptionNegotiationIsDroppedAndEscapedDataKept) {
    SimulatorOptions o;
    o.telnetNegotiation = true;
    Running r(o);
    LinkClient c = LinkClient::tcp(r.ends.telnetPort);
    const std::string greeting = c.readUntil("Enter access code");
    EXPECT_EQ(greeting.substr(0, 3), std::string("\xFF\xFB\x01", 3)); // WILL ECHO
    c.send(kIacDoEcho + "\r\n");
    c.readUntil(">");
    // Commands interleaved with negotiation and a subnegotiation still arrive whole.
    c.send("A" + std::string("\xFF\xFA\x18\x00xterm\xFF\xF0", 11) + "C" + kIacDoEcho + "\r");
    EXPECT_EQ(c.readUntil("\n>"), "ACTIVE\r\n>");
    // An escaped 0xFF is one data byte of the command.
    c.send("X\xFF\xFFY\r");
    c.readUntil("\n>");
    ASSERT_TRUE(waitForLogged(r.sim, 2));
    EXPECT_EQ(r.sim.commandLog().back().command, "X\xFFY");
}

TEST(TelnetLink, VerboseCharactersAreLoggedAndSilenceNotices) {
    Running r;
    LinkClient quiet = r.session();
    LinkClient chatty = r.session();
    quiet.send(std::string(1, '\x14'));
    ASSERT_TRUE(waitForLogged(r.sim, 1));
    EXPECT_EQ(r.sim.control("offline input 1"), "OK");
    // The verbose session hears about it; the quiet one answers its next command cleanly.
    EXPECT_NE(chatty.readUntil("OFFLINE\r\n").find("INPUT 1 OFFLINE"), std::string::npos);
    EXPECT_EQ(quiet.command("AC"), "ACTIVE\r\n>");

    const auto log = r.sim.commandLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].command, "\x14");
    EXPECT_EQ(log[0].link, "telnet:1");
    EXPECT_EQ(log[1].command, "AC");
    EXPECT_LE(log[0].seconds, log[1].seconds);
}

TEST(TelnetLink, CommandsAreAnsweredAndLoggedInOrder) {
    Running r;
    LinkClient c = r.session();
    // Several commands in one write, then one split across writes.
    c.send("AC\rSS 1\rNF\r");
    EXPECT_EQ(c.readUntil("\n>"), "ACTIVE\r\n>");
    EXPECT_EQ(c.readUntil("\n>"), "Output 1 Input: 2\r\n>");
    EXPECT_EQ(c.readUntil("\n>"), "Fan Controllers: 1\r\n>");
    c.send("S");
    c.send("S 17\r");
    EXPECT_EQ(c.readUntil("\n>"), "Output 17 Input: 32\r\n>");
    std::vector<std::string> commands;
    for (const auto& e : r.sim.commandLog()) {
        commands.push_back(e.command);
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"AC", "SS 1", "NF", "SS 17"}));
    r.sim.clearCommandLog();
    EXPECT_TRUE(r.sim.commandLog().empty());
}

TEST(SerialLink, AnswersOverThePseudoTerminalAndItsLink) {
    const std::string link =
        (std::filesystem::temp_directory_path() / ("framesim-" + std::to_string(getpid())))
            .string();
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    SimulatorOptions o;
    o.serial = true;
    o.serialLink = link;
    o.serialBaud = 115200;
    const auto ends = sim.start(o);
    ASSERT_FALSE(ends.serialDevice.empty());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), ends.serialDevice);
    {
        LinkClient c = LinkClient::pty(link);
        c.send("\x14");
        EXPECT_EQ(c.command("RC I,B"), "0x06 0x06\r\n>");
        const std::string status = c.command("OB 1");
        EXPECT_NE(status.find("WC = 0x000C\r\n"), std::string::npos);
        EXPECT_EQ(status.substr(status.size() - 3), "\r\n>");
        // A pseudo-terminal cannot hang up: the dropped command goes unanswered, the link stays.
        ASSERT_EQ(sim.control("drop next"), "OK");
        c.send("AC\r");
        ASSERT_TRUE(waitForLogged(sim, 4));
        EXPECT_EQ(c.command("SS 1"), "Output 1 Input: 2\r\n>");
    }
    EXPECT_EQ(sim.commandLog()[1].link, "serial");
    sim.stop();
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST(ControlPort, RunsDrillsLineByLine) {
    Running r;
    LinkClient control = LinkClient::tcp(r.ends.controlPort);
    control.send("help\n");
    const std::string help = control.readUntil("OK\n");
    for (const char* drill : {"offline", "commerror", "errors", "temp", "alarm", "delay", "silent",
                              "trickle", "splitprompt", "drop", "garbage", "state"}) {
        EXPECT_NE(help.find(drill), std::string::npos) << drill;
    }
    control.send("errors output 1 3\r\n");
    EXPECT_EQ(control.readUntil("\n"), "OK\n");
    control.send("nonsense\n");
    EXPECT_EQ(control.readUntil("\n").rfind("ERROR", 0), 0u);

    LinkClient c = r.session();
    EXPECT_NE(c.command("OB 1").find("Total Errors = 3\r\n"), std::string::npos);
    control.send("log\n");
    EXPECT_NE(control.readUntil("OK\n").find(" telnet:1 OB 1\n"), std::string::npos);
    control.send("clearlog\n");
    EXPECT_EQ(control.readUntil("\n"), "OK\n");
    EXPECT_TRUE(r.sim.commandLog().empty());
}

TEST(Lifecycle, StartsOnceStopsTwiceAndRestarts) {
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    SimulatorOptions o;
    o.telnetPort = 0;
    sim.start(o);
    EXPECT_TRUE(sim.running());
    EXPECT_THROW(sim.start(o), std::runtime_error);
    sim.stop();
    sim.stop();
    EXPECT_FALSE(sim.running());
    const auto again = sim.start(o);
    LinkClient c = LinkClient::tcp(again.telnetPort);
    c.login();
    EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>");
}

TEST(Lifecycle, FreePortsBelowALimitSkipPortsInUse) {
    SimulatorOptions o;
    o.telnetPort = 0;
    o.freePortBelow = 32768;
    auto first = FrameSimulator::fromFile(framePath("small.json"));
    auto second = FrameSimulator::fromFile(framePath("small.json"));
    const auto a = first.start(o);
    const auto b = second.start(o); // same process: same first candidate, which is taken
    EXPECT_LT(a.telnetPort, 32768);
    EXPECT_LT(b.telnetPort, 32768);
    EXPECT_NE(a.telnetPort, b.telnetPort);
    LinkClient c = LinkClient::tcp(b.telnetPort);
    c.login();
    EXPECT_EQ(c.command("AC"), "ACTIVE\r\n>");
}

TEST(Lifecycle, UnusableListenersAreReported) {
    auto sim = FrameSimulator::fromFile(framePath("small.json"));
    SimulatorOptions o;
    o.telnetPort = 0;
    o.bindAddress = "not-an-address";
    EXPECT_THROW(sim.start(o), std::runtime_error);
    EXPECT_FALSE(sim.running());
    o.bindAddress = "127.0.0.1";
    o.logFile = "/nonexistent-dir/framesim.log";
    EXPECT_THROW(sim.start(o), std::runtime_error);
}

} // namespace
} // namespace tessivar::sim
