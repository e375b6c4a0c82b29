#include "common/Clock.h"

#include <ctime>
#include <thread>

namespace tessivar {

IClock::Millis SystemClock::monotonicNow() {
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::sleepFor(Millis duration) {
    std::this_thread::sleep_for(duration);
}

LocalDateTime SystemClock::localNow() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return LocalDateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                         parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

} // namespace tessivar
