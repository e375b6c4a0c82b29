#include "ui/DemoFrame.h"

#include <QRandomGenerator>

#include <stdexcept>

namespace tessivar::ui {

sim::SimulatorEndpoints startOnLowPort(sim::FrameSimulator& simulator) {
    // A random start keeps two consoles (or test runs) from racing for the same port.
    const int first = 20000 + static_cast<int>(QRandomGenerator::global()->bounded(10000));
    for (int port = first;; ++port) {
        sim::SimulatorOptions options;
        options.telnetPort = static_cast<std::uint16_t>(port);
        try {
            return simulator.start(options);
        } catch (const std::runtime_error&) {
            if (port >= 32767 || port - first >= 200)
                throw;
        }
    }
}

} // namespace tessivar::ui
