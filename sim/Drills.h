#pragma once
// The fault drill language of the control port. A drill changes the frame (cards, alarms,
// controller state) or the link faults; actions that need the link itself (dropping sessions,
// sending garbage, unsolicited verbose notices) are handed back to the caller.

#include "sim/FrameModel.h"

#include <string>
#include <vector>

namespace tessivar::sim {

struct DrillActions {
    bool dropNow = false;             // close every command session now
    std::string garbage;              // bytes to send to every session now
    std::vector<std::string> notices; // verbose-mode notices, one line each
};

// Runs one drill line. Returns "OK", help text followed by "OK", or "ERROR: ...".
// Not thread-safe: the caller holds the frame's lock.
std::string runDrill(Frame& frame, const std::string& line, DrillActions& actions);

std::string drillHelp();

} // namespace tessivar::sim
