// "Blur": whole pictures written from the block rules, the blocks redrawn on
// every call and after one-pixel changes, and the named blocks.
#include "fixture.h"
#include "frame/routines.h"
#include "redraw_check.h"

namespace tovrin::test {
namespace {

const BlitProc kBlur[] = {Blur_1x, Blur_2x, Blur_3x, Blur_4x};

// The 3x weights in 36ths of (w5, w6, w8, w9), by block row and column.
constexpr int kWeights3x[3][3][4] = {
    {{36, 0, 0, 0}, {24, 12, 0, 0}, {12, 24, 0, 0}},
    {{24, 0, 12, 0}, {12, 9, 9, 6}, {9, 12, 6, 9}},
    {{12, 0, 24, 0}, {9, 6, 12, 9}, {6, 9, 9, 12}},
};

// Weighted mean per channel, rounded to nearest with ties up.
uint16_t Mean36(const int (&weight)[4], const uint16_t (&w)[4]) {
    return PerChannel([&](int c) {
        int sum = 0;
        for (int i = 0; i < 4; ++i) sum += weight[i] * Channel(w[i], c);
        return (2 * sum + 36) / 72;
    });
}

uint16_t BlockPixel(int n, int i, int j, uint16_t w5, uint16_t w6, uint16_t w8, uint16_t w9) {
    const bool flat = w5 == w6 && w5 == w8 && w5 == w9;
    if (n == 2) {
        const uint16_t block[2][2] = {{w5, RefAverage(w5, w6)},
                                      {RefAverage(w5, w8), flat ? w5 : RefAverage4(w5, w6, w8, w9)}};
        return block[i][j];
    }
    if (n == 3) return i == 0 && j == 0 ? w5 : Mean36(kWeights3x[i][j], {w5, w6, w8, w9});
    if (flat) return w5;
    const uint16_t u = RefAverage(w5, w6), v = RefAverage(w5, w8), e = RefAverage4(w5, w6, w8, w9);
    const uint16_t g = RefAverage(w6, w9), h = RefAverage(w8, w9);
    const uint16_t block[4][4] = {
        {w5, RefAverage(w5, u), u, RefAverage(w6, u)},
        {RefAverage(w5, v), RefAverage4(w5, u, v, e), RefAverage(u, e), RefAverage4(w6, u, e, g)},
        {v, RefAverage(v, e), e, RefAverage(g, e)},
        {RefAverage(w8, v), RefAverage4(v, h, w8, e), RefAverage(h, e), RefAverage4(w9, e, g, h)},
    };
    return block[i][j];
}

RoutineRules Rules(int n) {
    RoutineRules r;
    r.name = "Blur";
    r.routine = kBlur[n - 1];
    r.scale = n;
    r.cacheExtent = [n](const Source& s) -> size_t {
        return n == 1 ? 0 : 2 * static_cast<size_t>(s.width()) * (s.height() + 1) + 2;
    };
    r.picture = [n](const Source& s, int X, int Y) -> std::optional<uint16_t> {
        const int x = X / n, y = Y / n;
        if (n == 1) {
            // The pixel before: to the left, else the last of the row above;
            // the frame's first pixel stands for its own predecessor.
            const uint16_t w4 = x > 0 ? s.at(x - 1, y) : y > 0 ? s.at(s.width() - 1, y - 1) : s.at(0, 0);
            return RefAverage(w4, s.at(x, y));
        }
        return BlockPixel(n, Y % n, X % n, s.at(x, y), s.at(x + 1, y), s.at(x, y + 1), s.at(x + 1, y + 1));
    };
    r.alwaysWritten = [n](const Source& s, int X, int Y) {
        if (n == 1) return true;
        const int w = s.width(), h = s.height(), x = X / n, y = Y / n;
        // The row after the picture is compared with cache entries that are
        // never written; with padded rows the pixel after a row's end is
        // compared with the next row's first pixel.
        if (y == h - 1) return true;
        if (x == w - 1 && (y == h - 2 || s.rowBytes() > 2 * w)) return true;
        return false;
    };
    r.rewritten = [n](const Source& s, int X, int Y, const uint16_t* changed) {
        const int x = X / n, y = Y / n;
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                if (PixelAddress(s, x + dx, y + dy) == changed) return true;
        return false;
    };
    return r;
}

class BlurDraw : public testing::TestWithParam<std::tuple<int, DrawSize>> {};

TEST_P(BlurDraw, FullDrawRepeatAndChanges) {
    const auto [n, size] = GetParam();
    for (bool everyColumn : {false, true}) CheckRoutine(Rules(n), size, 311 + size.width + n, everyColumn);
}

INSTANTIATE_TEST_SUITE_P(Routines, BlurDraw,
                         testing::Combine(testing::Range(1, 5),
                                          testing::Values(DrawSize{8, 2, 0, 0, 0}, DrawSize{16, 4, 32, 16, 0},
                                                          DrawSize{24, 6, 0, 0, 2}, DrawSize{32, 5, 16, 48, 0})));

// Draws one block at n from a 8 x 2 picture whose first block reads the
// given four pixels, and returns its rows.
std::vector<std::vector<uint16_t>> FirstBlock(int n, uint16_t w5, uint16_t w6, uint16_t w8, uint16_t w9) {
    Source src(8, 2);
    src.Fill([](int, int) { return uint16_t{0}; });
    src.at(0, 0) = w5;
    src.at(1, 0) = w6;
    src.at(0, 1) = w8;
    src.at(1, 1) = w9;
    Dest dst(8 * n, 2 * n);
    Cache cache(HostCacheBytes(8, 2, src.rowBytes()));
    Draw(kBlur[n - 1], src, cache, dst);
    std::vector<std::vector<uint16_t>> rows(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) rows[i].push_back(dst.at(j, i));
    return rows;
}

using Rows = std::vector<std::vector<uint16_t>>;

TEST(Blur, NamedBlocks) {
    EXPECT_EQ(FirstBlock(2, 0x7C00, 0, 0, 0), (Rows{{0x7C00, 0x3C00}, {0x3C00, 0x1C00}}));
    EXPECT_EQ(FirstBlock(4, 0x001F, 0, 0, 0)[0], (std::vector<uint16_t>{0x001F, 0x0017, 0x000F, 0x0007}));
    EXPECT_EQ(FirstBlock(3, 24, 12, 0, 12), (Rows{{24, 20, 16}, {16, 13, 13}, {8, 11, 11}}));
}

// The 3x rounding: to nearest, ties up, in every channel independently.
TEST(Blur, ThreeTimesRoundsToNearest) {
    const uint16_t one = FromChannels(1, 1, 1), three = FromChannels(3, 3, 3);
    const Rows rows = FirstBlock(3, one, 0, 0, three);
    EXPECT_EQ(rows[0][1], one);  // 24/36 -> 1
    EXPECT_EQ(rows[0][2], 0);    // 12/36 -> 0
    EXPECT_EQ(rows[1][1], one);  // (12 + 6 * 3)/36 = 30/36 -> 1
    EXPECT_EQ(rows[2][2], one);  // (6 + 12 * 3)/36 = 42/36 -> 1
    // A tie: (2, 1) weighs w6 by 6/36, so w6 = 3 gives exactly one half.
    EXPECT_EQ(FirstBlock(3, 0, three, 0, 0)[2][1], one);
}

TEST(Blur, OneColourAtEveryMagnification) {
    for (int n = 1; n <= 4; ++n) {
        Source src(16, 4);
        src.Fill([](int, int) { return uint16_t{0x2D6B}; });
        for (int y = 0; y <= 5; ++y)
            for (int x = 0; x <= 17; ++x) src.at(x, y) = 0x2D6B;
        Dest dst(16 * n, 4 * n);
        Cache cache(HostCacheBytes(16, 4, src.rowBytes()));
        Draw(kBlur[n - 1], src, cache, dst);
        EXPECT_TRUE(MatchesPicture(dst, [](int, int) { return uint16_t{0x2D6B}; })) << n << "x";
    }
}

TEST(Blur, OneTapRow) {
    Source src(8, 2);
    src.Fill([](int x, int) { return static_cast<uint16_t>(x % 2 ? 0x0000 : 0x001F); });
    Dest dst(8, 2);
    Cache cache(0);
    Draw(Blur_1x, src, cache, dst);
    EXPECT_EQ(dst.at(0, 0), 0x001F);
    EXPECT_EQ(dst.at(1, 0), 0x000F);
    EXPECT_EQ(dst.at(2, 0), 0x000F);
}

}  // namespace
}  // namespace tovrin::test
