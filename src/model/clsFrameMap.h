#pragma once
// Which matrix card slot carries a crosspoint: the standard 512 x 512 layout of 64 slots
// of 64 x 64, numbered along a nested quarter pattern, or the 192 x 288 frame's 15 slots
// numbered row by row.

#include <array>
#include <cstdint>

namespace tessivar {

class clsFrameMap {
public:
    static constexpr std::int16_t kStandardSlots = 64;
    static constexpr std::int16_t kSmallFrameSlots = 15;

    clsFrameMap();

    // Exactly 192 inputs by 288 outputs selects the small-frame layout.
    void setFrameSize(std::int16_t frameIns, std::int16_t frameOuts);
    bool isSmallFrame() const { return frameSize192x288_; }

    // The slot's ranges; the four out-parameters are left as they were for a slot the
    // layout in use does not have.
    void getMatrixCardIORange(std::int16_t matrixCard, std::int16_t& firstIn, std::int16_t& lastIn,
                              std::int16_t& firstOut, std::int16_t& lastOut) const;

    // Lowest slot whose ranges hold the crosspoint; 0 when none does.
    std::int16_t getMatrixCardSlot(std::int16_t input, std::int16_t output) const;

private:
    struct Range {
        std::int16_t firstIn;
        std::int16_t lastIn;
        std::int16_t firstOut;
        std::int16_t lastOut;
    };

    bool frameSize192x288_ = false;
    std::array<Range, kStandardSlots + 1> standard_{};
    std::array<Range, kSmallFrameSlots + 1> small_{};
};

} // namespace tessivar
