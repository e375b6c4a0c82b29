#include "sim/ReplyPlan.h"

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

} // namespace tessivar::sim
