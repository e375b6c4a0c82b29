#pragma once
// Labels of the four supply rails a card reports, per voltage profile (card kind). "NA"
// marks a rail the card kind does not have; profiles 0 and 16 are blank.

#include <cstdint>
#include <string>

namespace tessivar {

class clsVoltages {
public:
    static constexpr std::int16_t kProfiles = 18;

    // Label V1 of a profile; the empty text for a profile outside 0..17.
    std::string getV1(std::int16_t profile) const;
    // Labels V2..V4, the profile given as decimal text ("12"); the empty text when the
    // text is not a profile number.
    std::string getV2(const std::string& description) const;
    std::string getV3(const std::string& description) const;
    std::string getV4(const std::string& description) const;

    // Rail 1..4 of the card kind (category and subtype compared exactly); "NA" for a card
    // kind without a profile, the empty text for a rail number outside 1..4.
    std::string getVoltageLabel(const std::string& type, const std::string& subType,
                                std::int16_t rail) const;

    // The profile of a card kind, or -1 when it has none.
    static std::int16_t profileFor(const std::string& type, const std::string& subType);

private:
    static std::string label(int profile, int rail);
    static int profileFromText(const std::string& description);
};

} // namespace tessivar
