#include "sim/ReplyPlan.h"

#include <algorithm>

namespace tessivar::sim {

std::vector<TimedWrite> planReply(std::string reply, const LinkFaults& faults) {
    std::vector<TimedWrite> plan;
    if (faults.silent || reply.empty()) {
        return plan;
    }
    if (faults.noPrompt && reply.back() == '>') {
        reply.pop_back();
    }
    auto at = std::chrono::milliseconds(faults.delayMs);
    if (faults.trickleMs > 0) {
        for (char ch : reply) {
            plan.push_back({at, std::string(1, ch)});
            at += std::chrono::milliseconds(faults.trickleMs);
        }
        return plan;
    }
    if (faults.splitPromptMs > 0 && reply.size() >= 2 && reply.back() == '>') {
        plan.push_back({at, reply.substr(0, reply.size() - 1)});
        plan.push_back({at + std::chrono::milliseconds(faults.splitPromptMs), ">"});
        return plan;
    }
    plan.push_back({at, std::move(reply)});
    return plan;
}

WirePacer::WirePacer(unsigned baud) {
    if (baud > 0) {
        charTime_ =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / baud));
    }
}

std::size_t WirePacer::allowance(Clock::time_point now, std::size_t wanted) {
    if (!paced()) {
        return wanted;
    }
    if (idle_) {
        freeAt_ = std::max(freeAt_, now);
        idle_ = false;
    }
    if (freeAt_ > now) {
        return 0;
    }
    return std::min(wanted, static_cast<std::size_t>((now - freeAt_) / charTime_) + 1);
}

} // namespace tessivar::sim
