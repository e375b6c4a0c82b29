// tessivar-framesim: a simulated frame controller for demos, integration tests, benchmarks and
// fault rehearsal.

#include "sim/FrameSimulator.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <string>

namespace {

const char* kUsage = R"(usage: tessivar-framesim --frame FILE [options]

Simulates the frame controller of one routing frame described by FILE (JSON; see
sim/frames/*.json). On start it prints one line per listener ("telnet port N",
"serial device PATH", "control port N") and runs until SIGINT or SIGTERM. Every command
received is logged with a monotonic time stamp.

  --frame FILE          frame description (required)
  --telnet-port N       Telnet listener on port N (0: any free port); when neither a Telnet
                        nor a serial link is asked for, Telnet listens on any free port
  --access-code CODE    access code the Telnet login asks for (default: none, any line)
  --telnet-negotiate    offer Telnet options (WILL ECHO, WILL/DO SUPPRESS-GO-AHEAD)
  --serial              serial link over a pseudo-terminal
  --serial-link PATH    serial link, with a symbolic link PATH to its device
  --baud N              pace serial output at N bits/s (10 bits a character)
  --pace                pace serial output at 38400 bits/s
  --control-port N      fault drill control port (0: any free port); send "help" to it
  --bind ADDR           address the TCP listeners bind to (default 127.0.0.1)
  --log FILE            command log file (default: standard output)
  --help                this text

Fault drills (one per line on the control port, each answered "OK" or "ERROR: ..."):
)";

bool needsValue(const std::string& flag) {
    return flag == "--frame" || flag == "--telnet-port" || flag == "--access-code" ||
           flag == "--serial-link" || flag == "--baud" || flag == "--control-port" ||
           flag == "--bind" || flag == "--log";
}

std::uint16_t port(const std::string& flag, const std::string& value) {
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < 0 || n > 65535) {
        throw std::invalid_argument(flag + " needs a port number 0..65535");
    }
    return static_cast<std::uint16_t>(n);
}

} // namespace

int main(int argc, char** argv) {
    using namespace tessivar::sim;
    std::string frameFile;
    SimulatorOptions options;
    options.logFile = "-";
    bool pace = false;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string flag = argv[i];
            if (flag == "--help" || flag == "-h") {
                std::cout << kUsage << FrameSimulator::controlHelp() << "\n";
                return 0;
            }
            if (needsValue(flag) && i + 1 >= argc) {
                throw std::invalid_argument(flag + " needs a value");
            }
            if (flag == "--frame") {
                frameFile = argv[++i];
            } else if (flag == "--telnet-port") {
                options.telnetPort = port(flag, argv[++i]);
            } else if (flag == "--access-code") {
                options.accessCode = argv[++i];
            } else if (flag == "--telnet-negotiate") {
                options.telnetNegotiation = true;
            } else if (flag == "--serial") {
                options.serial = true;
            } else if (flag == "--serial-link") {
                options.serial = true;
                options.serialLink = argv[++i];
            } else if (flag == "--baud") {
                const std::string v = argv[++i];
                char* end = nullptr;
                const long n = std::strtol(v.c_str(), &end, 10);
                if (v.empty() || *end != '\0' || n < 50 || n > 4000000) {
                    throw std::invalid_argument("--baud needs a rate 50..4000000");
                }
                options.serialBaud = static_cast<unsigned>(n);
            } else if (flag == "--pace") {
                pace = true;
            } else if (flag == "--control-port") {
                options.controlPort = port(flag, argv[++i]);
            } else if (flag == "--bind") {
                options.bindAddress = argv[++i];
            } else if (flag == "--log") {
                options.logFile = argv[++i];
            } else {
                throw std::invalid_argument("unknown option " + flag + " (see --help)");
            }
        }
        if (frameFile.empty()) {
            throw std::invalid_argument("--frame FILE is required (see --help)");
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "tessivar-framesim: " << e.what() << "\n";
        return 2;
    }
    if (pace && options.serialBaud == 0) {
        options.serialBaud = 38400;
    }
    if (!options.telnetPort && !options.serial) {
        options.telnetPort = 0;
    }

    // Block the stop signals before the I/O thread starts so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        FrameSimulator sim = FrameSimulator::fromFile(frameFile);
        const SimulatorEndpoints ends = sim.start(options);
        if (ends.telnetPort != 0) {
            std::printf("telnet port %u\n", static_cast<unsigned>(ends.telnetPort));
        }
        if (!ends.serialDevice.empty()) {
            std::printf("serial device %s\n", ends.serialDevice.c_str());
        }
        if (ends.controlPort != 0) {
            std::printf("control port %u\n", static_cast<unsigned>(ends.controlPort));
        }
        std::fflush(stdout);
        int received = 0;
        sigwait(&stopSignals, &received);
        sim.stop();
    } catch (const std::exception& e) {
        std::cerr << "tessivar-framesim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
