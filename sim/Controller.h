#pragma once
// The frame controller's command interpreter: one command line in, the complete reply out
// (optional echo, reply lines each ended by CR LF, then the prompt ">"). It changes the frame as
// the commands ask. Not thread-safe: the caller holds the frame's lock.

#include "sim/FrameModel.h"

#include <string>

namespace tessivar::sim {

inline constexpr char kVerboseOff = 20;
inline constexpr char kVerboseOn = 22;

// The reply to one command (without its carriage return).
std::string respond(Frame& frame, const std::string& command);

// Building blocks, exposed so tests can check a layout against what the console extracts.
std::string statusReply(const Frame& frame, Category category, int slot);
std::string alarmText(const Frame& frame);

} // namespace tessivar::sim
