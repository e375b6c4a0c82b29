#pragma once

#include "common/Clock.h"

#include <string>

namespace tessivar {

// How dates and times are printed for the operator: log files, the port log and the
// scratchpad header. The desktop build formats by the user's regional settings; core only
// ever sees this interface, so tests can pin the exact text.
class ITimeFormatter {
public:
    virtual ~ITimeFormatter() = default;
    // Abbreviated month name, one space, day without leading zero, one space, four-digit
    // year: "May 22 2007".
    virtual std::string monthDayYear(const LocalDateTime& at) = 0;
    // The system's short date format.
    virtual std::string shortDate(const LocalDateTime& at) = 0;
    // The system's time format: hours, minutes and seconds.
    virtual std::string timeOfDay(const LocalDateTime& at) = 0;
};

// English month names and a fixed time style, whatever the machine's locale. The default
// formatter of core (24-hour clock, "05/22/07" short dates, as the C locale prints them).
class CLocaleTimeFormatter : public ITimeFormatter {
public:
    std::string monthDayYear(const LocalDateTime& at) override;
    std::string shortDate(const LocalDateTime& at) override;
    std::string timeOfDay(const LocalDateTime& at) override;
};

// United States English regional settings: "2:05:09 PM", "5/22/2007". A formatter whose
// output never depends on the machine, for exact-bytes checks.
class FixedTimeFormatter : public ITimeFormatter {
public:
    std::string monthDayYear(const LocalDateTime& at) override;
    std::string shortDate(const LocalDateTime& at) override;
    std::string timeOfDay(const LocalDateTime& at) override;
};

} // namespace tessivar
