#pragma once

#include "sim/FrameSimulator.h"

namespace tessivar::ui {

// Starts the simulated frame's Telnet listener on a free loopback port below 32768: the
// connection settings hold the Telnet port in a 16-bit signed field, and the system's
// ephemeral ports lie above it. A control port for fault drills is opened too. Throws
// std::runtime_error when no port can be had.
sim::SimulatorEndpoints startOnLowPort(sim::FrameSimulator& simulator);

} // namespace tessivar::ui
