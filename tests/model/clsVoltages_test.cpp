#include "model/clsVoltages.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

TEST(Voltages, LabelByCardKind) {
    const clsVoltages v;
    const struct {
        const char* type;
        const char* subType;
        std::int16_t rail;
        const char* label;
    } cases[] = {
        {"OUTPUT", "ANALOGHI", 4, "+/-12.0V"},
        {"OUTPUT", "ANALOG", 4, "NA"},
        {"MATRIX", "HD72x72", 4, "FAN"},
        {"MATRIX", "HD64x64", 2, "+2.5V"},
        {"POWER", "HD", 1, "NA"},
        {"INPUT", "unknown", 1, "NA"},
        {"INPUT", "HD", 5, ""},
        {"INPUT", "HD", 0, ""},
        {"INPUT", "HD", 4, "+4.3V"},
        {"INPUT", "FIBER/EXP", 1, "+3.3V"},
        {"INPUT", "MULTIRATE", 2, "NA"},
        {"OUTPUT", "MR/NOCLK", 2, "+1.2V"},
        {"OUTPUT", "SD/BNC", 3, "+28.0V"},
        {"OUTPUT", "SD", 4, "+4.08V"},
        {"OUTPUTMONITOR", "anything", 1, "+3.3V"},
        {"input", "HD", 1, "NA"}, // compared exactly
        {"", "", 1, "NA"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(v.getVoltageLabel(c.type, c.subType, c.rail), c.label)
            << c.type << " " << c.subType << " " << c.rail;
}

TEST(Voltages, LabelByProfileNumber) {
    const clsVoltages v;
    EXPECT_EQ(v.getV1(16), "");
    EXPECT_EQ(v.getV1(0), "");
    EXPECT_EQ(v.getV1(9), "+5.0V");
    EXPECT_EQ(v.getV1(17), "+3.3V");
    EXPECT_EQ(v.getV3("12"), "+28.0V");
    EXPECT_EQ(v.getV4("12"), "FAN");
    EXPECT_EQ(v.getV2("6"), "+4.8V");
    EXPECT_EQ(v.getV2(" 14 "), "+1.2V");
    // Numbers that name no profile give the empty text rather than failing.
    for (const char* text : {"18", "-1", "", "abc", "1.5", "99999999999"})
        EXPECT_EQ(v.getV4(text), "") << text;
    for (std::int16_t profile : {-1, 18, 32767, -32768})
        EXPECT_EQ(v.getV1(profile), "") << profile;
}

} // namespace
} // namespace tessivar
