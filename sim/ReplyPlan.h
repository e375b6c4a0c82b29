#pragma once
// How a reply travels under the link faults in force: which bytes are written when, counted
// from the moment the command was read.

#include "sim/FrameModel.h"

#include <chrono>
#include <string>
#include <vector>

namespace tessivar::sim {

struct TimedWrite {
    std::chrono::milliseconds at;
    std::string bytes;
};

// One write per element, in order; empty when the link is silent.
std::vector<TimedWrite> planReply(std::string reply, const LinkFaults& faults);

} // namespace tessivar::sim
