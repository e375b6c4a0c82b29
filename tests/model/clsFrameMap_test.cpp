#include "model/clsFrameMap.h"

#include <gtest/gtest.h>

#include <array>

namespace tessivar {
namespace {

std::array<std::int16_t, 4> range(const clsFrameMap& map, std::int16_t slot) {
    std::array<std::int16_t, 4> r{-7, -7, -7, -7};
    map.getMatrixCardIORange(slot, r[0], r[1], r[2], r[3]);
    return r;
}

TEST(FrameMap, StandardLayoutRanges) {
    const clsFrameMap map;
    const std::pair<std::int16_t, std::array<std::int16_t, 4>> cases[] = {
        {1, {1, 64, 1, 64}},       {2, {1, 64, 65, 128}},      {3, {65, 128, 1, 64}},
        {4, {65, 128, 65, 128}},   {5, {1, 64, 129, 192}},     {9, {129, 192, 1, 64}},
        {12, {193, 256, 65, 128}}, {16, {193, 256, 193, 256}}, {17, {1, 64, 257, 320}},
        {33, {257, 320, 1, 64}},   {48, {449, 512, 193, 256}}, {64, {449, 512, 449, 512}},
        {0, {-7, -7, -7, -7}},     {65, {-7, -7, -7, -7}},     {-1, {-7, -7, -7, -7}},
    };
    for (const auto& [slot, expected] : cases)
        EXPECT_EQ(range(map, slot), expected) << slot;
}

TEST(FrameMap, StandardLayoutCoversEveryCrosspointOnce) {
    const clsFrameMap map;
    for (std::int16_t slot = 1; slot <= 64; ++slot) {
        auto r = range(map, slot);
        EXPECT_EQ(map.getMatrixCardSlot(r[0], r[2]), slot);
        EXPECT_EQ(map.getMatrixCardSlot(r[1], r[3]), slot);
    }
    const struct {
        std::int16_t in, out, slot;
    } cases[] = {{200, 100, 12}, {1, 512, 22}, {512, 512, 64}, {0, 1, 0},
                 {1, 513, 0},    {-5, 3, 0},   {32767, 1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(map.getMatrixCardSlot(c.in, c.out), c.slot) << c.in << "," << c.out;
}

TEST(FrameMap, SmallFrameLayout) {
    clsFrameMap map;
    map.setFrameSize(192, 288);
    EXPECT_TRUE(map.isSmallFrame());
    EXPECT_EQ(range(map, 15), (std::array<std::int16_t, 4>{129, 192, 257, 320}));
    EXPECT_EQ(range(map, 13), (std::array<std::int16_t, 4>{1, 64, 257, 320}));
    EXPECT_EQ(range(map, 4), (std::array<std::int16_t, 4>{1, 64, 193, 256}));
    EXPECT_EQ(range(map, 9), (std::array<std::int16_t, 4>{129, 192, 1, 64}));
    EXPECT_EQ(range(map, 16), (std::array<std::int16_t, 4>{-7, -7, -7, -7}));
    EXPECT_EQ(map.getMatrixCardSlot(150, 100), 10);
    EXPECT_EQ(map.getMatrixCardSlot(150, 270), 15);
    EXPECT_EQ(map.getMatrixCardSlot(150, 320), 15);
    for (std::int16_t out : {1, 100, 300, 512})
        EXPECT_EQ(map.getMatrixCardSlot(200, out), 0) << out;

    map.setFrameSize(256, 256);
    EXPECT_FALSE(map.isSmallFrame());
    EXPECT_EQ(map.getMatrixCardSlot(150, 270), 25);
    map.setFrameSize(192, 289);
    EXPECT_FALSE(map.isSmallFrame());
}

} // namespace
} // namespace tessivar
