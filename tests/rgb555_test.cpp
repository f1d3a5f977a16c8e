// Colour arithmetic: every operation per channel over all channel values,
// with the other channels and bit 15 varied so that any carry between
// channels shows, plus the named examples.
#include <gtest/gtest.h>

#include "pixel/rgb555.h"

namespace tovrin {
namespace {

constexpr uint16_t Rgb(int r, int g, int b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); }
constexpr int R(uint16_t p) { return (p >> 10) & 31; }
constexpr int G(uint16_t p) { return (p >> 5) & 31; }
constexpr int B(uint16_t p) { return p & 31; }

TEST(Rgb555, SinglePixelOperationsOnEveryInput) {
    for (uint32_t v = 0; v <= 0xFFFF; ++v) {
        const uint16_t p = static_cast<uint16_t>(v);
        const uint16_t half = Rgb555_Half(p), quarter = Rgb555_Quarter(p), three = Rgb555_ThreeQuarters(p);
        ASSERT_EQ(half, Rgb(R(p) / 2, G(p) / 2, B(p) / 2)) << v;
        ASSERT_EQ(half, (p >> 1) & kHalfShiftedMask) << v;
        ASSERT_EQ(quarter, Rgb(R(p) / 4, G(p) / 4, B(p) / 4)) << v;
        ASSERT_EQ(quarter, (p >> 2) & kQuarterShiftedMask) << v;
        ASSERT_EQ(three, Rgb(R(p) / 2 + R(p) / 4, G(p) / 2 + G(p) / 4, B(p) / 2 + B(p) / 4)) << v;
    }
}

TEST(Rgb555, PairOperationsMatchEachHalf) {
    for (uint32_t v = 0; v <= 0xFFFF; ++v) {
        const uint16_t lo = static_cast<uint16_t>(v);
        const uint16_t hi = static_cast<uint16_t>(v * 40503u + 0x9E37);
        const uint32_t pair = (static_cast<uint32_t>(hi) << 16) | lo;
        ASSERT_EQ(Rgb555_Half2(pair), (static_cast<uint32_t>(Rgb555_Half(hi)) << 16) | Rgb555_Half(lo));
        ASSERT_EQ(Rgb555_Quarter2(pair), (static_cast<uint32_t>(Rgb555_Quarter(hi)) << 16) | Rgb555_Quarter(lo));
        ASSERT_EQ(Rgb555_ThreeQuarters2(pair),
                  (static_cast<uint32_t>(Rgb555_ThreeQuarters(hi)) << 16) | Rgb555_ThreeQuarters(lo));
    }
}

// Each channel takes every pair of values, in all three positions at once
// (permuted), with bit 15 set on some inputs.
TEST(Rgb555, AverageOfTwoIsTheFlooredMeanPerChannel) {
    for (int a = 0; a < 32; ++a) {
        for (int b = 0; b < 32; ++b) {
            for (int top = 0; top < 4; ++top) {
                const uint16_t x = Rgb(a, b, (a + 5) % 32) | ((top & 1) << 15);
                const uint16_t y = Rgb(b, (a * 3) % 32, (b + 11) % 32) | ((top >> 1) << 15);
                const uint16_t got = Rgb555_Average(x, y);
                if (x == y) {
                    ASSERT_EQ(got, x);
                    continue;
                }
                ASSERT_EQ(got, Rgb((R(x) + R(y)) / 2, (G(x) + G(y)) / 2, (B(x) + B(y)) / 2))
                    << x << " " << y;
            }
        }
    }
}

TEST(Rgb555, AverageOfFourIsTheFlooredMeanPerChannel) {
    for (int v = 0; v < 32 * 32 * 32 * 32; ++v) {
        const int k[4] = {v & 31, (v >> 5) & 31, (v >> 10) & 31, (v >> 15) & 31};
        uint16_t in[4];
        for (int i = 0; i < 4; ++i) in[i] = Rgb(k[i], k[(i + 1) % 4], k[(i + 2) % 4]) | ((v >> i) & 1 ? 0x8000 : 0);
        const uint16_t got = Rgb555_Average4(in[0], in[1], in[2], in[3]);
        const int sr = R(in[0]) + R(in[1]) + R(in[2]) + R(in[3]);
        const int sg = G(in[0]) + G(in[1]) + G(in[2]) + G(in[3]);
        const int sb = B(in[0]) + B(in[1]) + B(in[2]) + B(in[3]);
        ASSERT_EQ(got, Rgb(sr / 4, sg / 4, sb / 4)) << v;
    }
}

TEST(Rgb555, NamedExamples) {
    EXPECT_EQ(Rgb555_Half(0x7FFF), 0x3DEF);
    EXPECT_EQ(Rgb555_Quarter(0x7FFF), 0x1CE7);
    EXPECT_EQ(Rgb555_ThreeQuarters(0x7FFF), 0x5AD6);
    EXPECT_EQ(Rgb555_Half(0xFFFF), 0x3DEF);
    EXPECT_EQ(Rgb555_Half2(0x7FFF7FFFu), 0x3DEF3DEFu);
    EXPECT_EQ(Rgb555_Quarter2(0x7FFF7FFFu), 0x1CE71CE7u);
    EXPECT_EQ(Rgb555_Average(0x0001, 0x0003), 0x0002);
    EXPECT_EQ(Rgb555_Average(0x7FFF, 0x0000), 0x3DEF);
    EXPECT_EQ(Rgb555_Average(0x8000, 0x8000), 0x8000);
    EXPECT_EQ(Rgb555_Average(0x8001, 0x8003), 0x0002);
    EXPECT_EQ(Rgb555_Average4(0x1234, 0x1234, 0x1234, 0x1234), 0x1234);
    EXPECT_EQ(Rgb555_Average4(0x9234, 0x9234, 0x9234, 0x9234), 0x1234);
    EXPECT_EQ(Rgb555_Average4(0x7FFF, 0x7FFF, 0x7FFF, 0x0000), 0x5EF7);
    // Three quarters is half plus quarter, one short for these channel values.
    for (const auto& [k, want] : {std::pair{3, 1}, {7, 4}, {11, 7}, {15, 10}, {19, 13}, {23, 16}, {27, 19}, {31, 22}})
        EXPECT_EQ(Rgb555_ThreeQuarters(Rgb(0, 0, k)), want);
}

}  // namespace
}  // namespace tovrin
