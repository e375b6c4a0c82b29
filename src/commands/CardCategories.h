#pragma once
// The five card categories and the letters the frame controller uses for each of them in
// its commands. Shared by the command set, the card records, the inventory, the poll cycle
// and the windows, so that no command letter is spelled in more than one place.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessivar {

inline constexpr std::string_view kCategoryInput = "INPUT";
inline constexpr std::string_view kCategoryOutput = "OUTPUT";
inline constexpr std::string_view kCategoryMatrix = "MATRIX";
inline constexpr std::string_view kCategoryPower = "POWER";
inline constexpr std::string_view kCategoryOutputOption = "OUTPUT_OPTION";

struct CardCategoryInfo {
    std::string_view word;           // "INPUT"
    std::string_view rollCallPrefix; // "RC I,"  (+ "A" / "B")
    std::string_view clearErrors;    // "CL I"   (+ "," + card when card > 0)
    std::string_view powerLetter;    // "I"      ("PM " + letter + "," + card ...)
    std::string_view statusCommand;  // "IB "    (+ card number)
    std::int16_t highestSlot;        // largest slot number a record accepts
};

inline constexpr std::array<CardCategoryInfo, 5> kCardCategories{{
    {kCategoryInput, "RC I,", "CL I", "I", "IB ", 64},
    {kCategoryOutput, "RC O,", "CL O", "O", "OB ", 64},
    {kCategoryMatrix, "RC M,", "CL M", "M", "MB ", 64},
    {kCategoryPower, "RC S,", "CL P", "P", "SB ", 19},
    {kCategoryOutputOption, "RC OO,", "CL OO", "OO", "OOB ", 64},
}};

// The output monitor card is power slot 17 but answers to its own power letter.
inline constexpr std::string_view kMonitorPowerLetter = "S";
inline constexpr std::int16_t kOutputMonitorSlot = 17;
inline constexpr std::int16_t kFirstFanControllerSlot = 18;
inline constexpr std::int16_t kLastFanControllerSlot = 19;
inline constexpr std::int16_t kPowerSupplySlots = 16;

// ASCII upper case; the controller's words are plain ASCII.
std::string toUpperAscii(std::string_view text);

// The category whose word equals text compared in upper case; nullptr for anything else.
const CardCategoryInfo* findCardCategory(std::string_view text);

} // namespace tessivar
