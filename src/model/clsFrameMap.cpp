#include "model/clsFrameMap.h"

namespace tessivar {

namespace {

std::int16_t blockStart(int block) {
    return static_cast<std::int16_t>(64 * block + 1);
}
std::int16_t blockEnd(int block) {
    return static_cast<std::int16_t>(64 * block + 64);
}

} // namespace

clsFrameMap::clsFrameMap() {
    for (int slot = 1; slot <= kStandardSlots; ++slot) {
        const int t = slot - 1;
        // Interleaved bits: odd bits give the input block, even bits the output block.
        const int in = ((t >> 1) & 1) + 2 * ((t >> 3) & 1) + 4 * ((t >> 5) & 1);
        const int out = (t & 1) + 2 * ((t >> 2) & 1) + 4 * ((t >> 4) & 1);
        standard_[static_cast<std::size_t>(slot)] = {blockStart(in), blockEnd(in), blockStart(out),
                                                     blockEnd(out)};
    }
    for (int slot = 1; slot <= 12; ++slot) {
        const int in = (slot - 1) / 4;
        const int out = (slot - 1) % 4;
        small_[static_cast<std::size_t>(slot)] = {blockStart(in), blockEnd(in), blockStart(out),
                                                  blockEnd(out)};
    }
    for (int slot = 13; slot <= kSmallFrameSlots; ++slot)
        small_[static_cast<std::size_t>(slot)] = {blockStart(slot - 13), blockEnd(slot - 13),
                                                  blockStart(4), blockEnd(4)};
}

void clsFrameMap::setFrameSize(std::int16_t frameIns, std::int16_t frameOuts) {
    frameSize192x288_ = frameIns == 192 && frameOuts == 288;
}

void clsFrameMap::getMatrixCardIORange(std::int16_t matrixCard, std::int16_t& firstIn,
                                       std::int16_t& lastIn, std::int16_t& firstOut,
                                       std::int16_t& lastOut) const {
    const std::int16_t slots = frameSize192x288_ ? kSmallFrameSlots : kStandardSlots;
    if (matrixCard < 1 || matrixCard > slots)
        return;
    const Range& r = frameSize192x288_ ? small_[static_cast<std::size_t>(matrixCard)]
                                       : standard_[static_cast<std::size_t>(matrixCard)];
    firstIn = r.firstIn;
    lastIn = r.lastIn;
    firstOut = r.firstOut;
    lastOut = r.lastOut;
}

std::int16_t clsFrameMap::getMatrixCardSlot(std::int16_t input, std::int16_t output) const {
    const std::int16_t slots = frameSize192x288_ ? kSmallFrameSlots : kStandardSlots;
    for (std::int16_t slot = 1; slot <= slots; ++slot) {
        const Range& r = frameSize192x288_ ? small_[static_cast<std::size_t>(slot)]
                                           : standard_[static_cast<std::size_t>(slot)];
        if (input >= r.firstIn && input <= r.lastIn && output >= r.firstOut && output <= r.lastOut)
            return slot;
    }
    return 0;
}

} // namespace tessivar
