#include "ui/DemoFrame.h"

namespace tessivar::ui {

sim::SimulatorEndpoints startOnLowPort(sim::FrameSimulator& simulator) {
    sim::SimulatorOptions options;
    options.telnetPort = 0;
    options.controlPort = 0;
    options.freePortBelow = 32768;
    return simulator.start(options);
}

} // namespace tessivar::ui
