#include "common/TimeFormatter.h"

#include <array>
#include <cstdio>

namespace tessivar {

namespace {

std::string englishMonthDayYear(const LocalDateTime& at) {
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* month =
        (at.month >= 1 && at.month <= 12) ? kMonths[static_cast<std::size_t>(at.month - 1)] : "???";
    return std::string(month) + " " + std::to_string(at.day) + " " + std::to_string(at.year);
}

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

} // namespace

std::string CLocaleTimeFormatter::monthDayYear(const LocalDateTime& at) {
    return englishMonthDayYear(at);
}

std::string CLocaleTimeFormatter::shortDate(const LocalDateTime& at) {
    return twoDigits(at.month) + "/" + twoDigits(at.day) + "/" + twoDigits(at.year % 100);
}

std::string CLocaleTimeFormatter::timeOfDay(const LocalDateTime& at) {
    return twoDigits(at.hour) + ":" + twoDigits(at.minute) + ":" + twoDigits(at.second);
}

std::string FixedTimeFormatter::monthDayYear(const LocalDateTime& at) {
    return englishMonthDayYear(at);
}

std::string FixedTimeFormatter::shortDate(const LocalDateTime& at) {
    return std::to_string(at.month) + "/" + std::to_string(at.day) + "/" + std::to_string(at.year);
}

std::string FixedTimeFormatter::timeOfDay(const LocalDateTime& at) {
    int hour12 = at.hour % 12 == 0 ? 12 : at.hour % 12;
    return std::to_string(hour12) + ":" + twoDigits(at.minute) + ":" + twoDigits(at.second) +
           (at.hour < 12 ? " AM" : " PM");
}

} // namespace tessivar
