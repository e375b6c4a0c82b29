#pragma once

#include <chrono>

namespace tessivar {

// Local calendar time, as the log files and the port log print it.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Time as core sees it. Waits are measured on the monotonic clock so that neither midnight
// nor a change of the wall clock can disturb them; the calendar is only for printing.
class IClock {
public:
    using Millis = std::chrono::milliseconds;
    virtual ~IClock() = default;
    virtual Millis monotonicNow() = 0;
    virtual void sleepFor(Millis duration) = 0;
    virtual LocalDateTime localNow() = 0;
};

// The real clock of the machine.
class SystemClock : public IClock {
public:
    Millis monotonicNow() override;
    void sleepFor(Millis duration) override;
    LocalDateTime localNow() override;
};

} // namespace tessivar
