#pragma once

#include "common/TimeFormatter.h"

namespace tessivar::ui {

// Dates and times by the user's regional settings (QLocale::system()).
class QtTimeFormatter : public ITimeFormatter {
public:
    std::string monthDayYear(const LocalDateTime& at) override;
    std::string shortDate(const LocalDateTime& at) override;
    std::string timeOfDay(const LocalDateTime& at) override;
};

} // namespace tessivar::ui
