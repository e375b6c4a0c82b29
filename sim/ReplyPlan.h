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

// Paces output like a serial wire of a given bit rate (10 bits a character): characters leave
// one character time apart while there is something to send, and a late wake-up sends the
// characters the wire would have carried meanwhile.
class WirePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit WirePacer(unsigned baud);
    bool paced() const { return charTime_ > Clock::duration::zero(); }
    // How many of `wanted` characters may be written at `now`; 0 means wait until nextAt().
    std::size_t allowance(Clock::time_point now, std::size_t wanted);
    void sent(std::size_t count) { freeAt_ += charTime_ * static_cast<long>(count); }
    // Nothing to send for now: the next character starts whenever it comes.
    void idle() { idle_ = true; }
    Clock::time_point nextAt() const { return freeAt_; }

private:
    Clock::duration charTime_{};
    Clock::time_point freeAt_{};
    bool idle_ = true;
};

} // namespace tessivar::sim
