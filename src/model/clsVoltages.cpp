#include "model/clsVoltages.h"

#include "link/modUtilities.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace tessivar {

namespace {

using Labels = std::array<const char*, 4>;

constexpr std::array<Labels, clsVoltages::kProfiles> kLabels{{
    {"", "", "", ""},                         // 0
    {"+3.5V", "+4.8V", "+28.0V", "+4.3V"},    // 1 input HD
    {"+3.5V", "+4.8V", "+28.0V", "+4.3V"},    // 2 input SD
    {"+3.3V", "NA", "+28.0V", "NA"},          // 3 input fiber
    {"+5.0V", "-5.0V", "+28.0V", "NA"},       // 4 input analog
    {"+5.0V", "-5.0V", "+28.0V", "NA"},       // 5 input analog high level
    {"+3.4V", "+4.8V", "+28.0V", "+4.08V"},   // 6 output HD
    {"+3.4V", "+4.8V", "+28.0V", "+4.08V"},   // 7 output SD
    {"+5.0V", "-5.0V", "+28.0V", "NA"},       // 8 output analog
    {"+5.0V", "-5.0V", "+28.0V", "+/-12.0V"}, // 9 output analog high level
    {"+3.3V", "+2.5V", "+28.0V", "NA"},       // 10 matrix HD64x64
    {"+5.0V", "-5.0V", "+28.0V", "NA"},       // 11 matrix analog
    {"+2.5V", "+1.2V", "+28.0V", "FAN"},      // 12 large HD matrix cards
    {"+3.3V", "NA", "+28.0V", "NA"},          // 13 output monitor
    {"+3.3V", "+1.2V", "+28.0V", "NA"},       // 14 multirate outputs
    {"+3.3V", "NA", "+28.0V", "NA"},          // 15 input multirate
    {"", "", "", ""},                         // 16
    {"+3.3V", "NA", "+28.0V", "NA"},          // 17 multirate/fiber outputs
}};

struct KindProfile {
    std::string_view type;
    std::string_view subType;
    std::int16_t profile;
};

constexpr KindProfile kKinds[] = {
    {"INPUT", "HD", 1},         {"INPUT", "SD", 2},          {"INPUT", "FIBER", 3},
    {"INPUT", "FIBER/EXP", 3},  {"INPUT", "ANALOG", 4},      {"INPUT", "ANALOGHI", 5},
    {"INPUT", "MULTIRATE", 15}, {"OUTPUT", "HD", 6},         {"OUTPUT", "SD", 7},
    {"OUTPUT", "ANALOG", 8},    {"OUTPUT", "ANALOGHI", 9},   {"OUTPUT", "MR/RECLK", 14},
    {"OUTPUT", "MR/NOCLK", 14}, {"OUTPUT", "MR/BNC", 17},    {"OUTPUT", "MR/FIBER", 17},
    {"OUTPUT", "HD/FIBER", 17}, {"OUTPUT", "SD/BNC", 17},    {"MATRIX", "HD64x64", 10},
    {"MATRIX", "ANALOG", 11},   {"MATRIX", "HD128x128", 12}, {"MATRIX", "HD144x144", 12},
    {"MATRIX", "HD72x72", 12},
};

} // namespace

std::string clsVoltages::label(int profile, int rail) {
    if (profile < 0 || profile >= kProfiles || rail < 1 || rail > 4)
        return {};
    return kLabels[static_cast<std::size_t>(profile)][static_cast<std::size_t>(rail - 1)];
}

int clsVoltages::profileFromText(const std::string& description) {
    const std::string digits = trimSpaces(description);
    if (!isAllDigits(digits) || digits.size() > 5)
        return -1;
    return std::atoi(digits.c_str());
}

std::string clsVoltages::getV1(std::int16_t profile) const {
    return label(profile, 1);
}

std::string clsVoltages::getV2(const std::string& description) const {
    return label(profileFromText(description), 2);
}

std::string clsVoltages::getV3(const std::string& description) const {
    return label(profileFromText(description), 3);
}

std::string clsVoltages::getV4(const std::string& description) const {
    return label(profileFromText(description), 4);
}

std::int16_t clsVoltages::profileFor(const std::string& type, const std::string& subType) {
    if (type == "OUTPUTMONITOR")
        return 13;
    for (const KindProfile& kind : kKinds)
        if (kind.type == type && kind.subType == subType)
            return kind.profile;
    return -1;
}

std::string clsVoltages::getVoltageLabel(const std::string& type, const std::string& subType,
                                         std::int16_t rail) const {
    const std::int16_t profile = profileFor(type, subType);
    if (profile < 0)
        return "NA";
    return label(profile, rail);
}

} // namespace tessivar
