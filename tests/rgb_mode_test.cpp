// "RGB Mode": the tinted grid written from its row kinds, the groups a change
// rewrites, the named tints and rows, and heights the 3x and 5x steps end on.
#include "fixture.h"
#include "frame/routines.h"
#include "masked_rules.h"

namespace tovrin::test {
namespace {

const BlitProc kRgbMode[] = {nullptr, nullptr, RgbMode_2x, RgbMode_3x, RgbMode_4x, RgbMode_5x};

// Factors in 128ths for red, green, blue.
struct Tint {
    int red, green, blue;
};
constexpr Tint kDim{89, 89, 89}, kRed{128, 74, 111}, kGreen{111, 128, 74}, kBlue{74, 111, 128};

uint16_t Tinted(const Tint& t, uint16_t p) {
    const int factor[3] = {t.blue, t.green, t.red};
    return PerChannel([&](int c) { return Channel(p, c) * factor[c] / 128; });
}

// 'T' triad row, 'E' dark-even row, 'O' dark-odd row.
char KindOfRow(int n, int Y) {
    switch (n) {
        case 3: return "ETO"[Y % 3];
        case 5: return "ETOTT"[Y % 5];
        default: return "ETOT"[Y % 4];
    }
}

std::optional<uint16_t> Picture(int n, const Source& s, int X, int Y) {
    const uint16_t p = s.at(X / n, Y / n);
    const int group = X / 4;
    const char kind = KindOfRow(n, Y);
    const bool dark = (kind == 'E' && group % 2 == 0) || (kind == 'O' && group % 2 == 1);
    if (dark) return Tinted(kDim, p);
    const Tint triad[4] = {kGreen, kBlue, kRed, kDim};
    return Tinted(triad[X % 4], p);
}

class RgbModeDraw : public testing::TestWithParam<std::tuple<int, DrawSize>> {};

TEST_P(RgbModeDraw, FullDrawRepeatAndChanges) {
    const auto [n, size] = GetParam();
    for (bool everyColumn : {false, true})
        CheckRoutine(MaskedRules("RGB Mode", kRgbMode[n], n,
                                 [n](const Source& s, int X, int Y) { return Picture(n, s, X, Y); }),
                     size, 500 + n + size.width, everyColumn);
}

INSTANTIATE_TEST_SUITE_P(Routines, RgbModeDraw,
                         testing::Combine(testing::Range(2, 6),
                                          testing::Values(DrawSize{8, 2, 0, 0, 0}, DrawSize{16, 4, 32, 16, 0}, DrawSize{24, 6, 0, 0, 0},
                                                          DrawSize{32, 4, 16, 48, 0})));

TEST(RgbMode, NamedTints) {
    Source src(8, 2);
    src.Fill([](int x, int) { return static_cast<uint16_t>(x < 4 ? 0x7FFF : 0x0000); });
    Dest dst(16, 4);
    Cache cache(MaskedCacheExtent(2, src));
    Draw(RgbMode_2x, src, cache, dst);
    // Row 1 is a triad row: green, blue, red, dim.
    EXPECT_EQ(dst.at(0, 1), 0x6BF1);
    EXPECT_EQ(dst.at(1, 1), 0x475F);
    EXPECT_EQ(dst.at(2, 1), 0x7E3A);
    EXPECT_EQ(dst.at(3, 1), 0x56B5);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 8; X < 16; ++X) EXPECT_EQ(dst.at(X, Y), 0x0000);
}

// 2x on white: rows 4k dark then triad groups, odd rows all triads, rows
// 4k + 2 triad then dark groups.
TEST(RgbMode, WhiteRowsAt2x) {
    Source src(16, 4);
    src.Fill([](int, int) { return uint16_t{0x7FFF}; });
    Dest dst(32, 8);
    Cache cache(MaskedCacheExtent(2, src));
    Draw(RgbMode_2x, src, cache, dst);
    const uint16_t triad[4] = {0x6BF1, 0x475F, 0x7E3A, 0x56B5};
    EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) -> std::optional<uint16_t> {
        const bool darkGroup = (Y % 4 == 0 && (X / 4) % 2 == 0) || (Y % 4 == 2 && (X / 4) % 2 == 1);
        return darkGroup ? 0x56B5 : triad[X % 4];
    }));
}

// 3x: group 3 (columns 12 to 15) of a triad group shows source pixel 4
// under green, blue, red and source pixel 5 dimmed.
TEST(RgbMode, GroupAcrossTwoPixelsAt3x) {
    Source src(8, 2);
    src.FillRandom(3);
    Dest dst(24, 6);
    Cache cache(MaskedCacheExtent(3, src));
    Draw(RgbMode_3x, src, cache, dst);
    for (int Y : {0, 1, 3, 4}) {  // dark-even and triad rows: odd groups are triads
        const int y = Y / 3;
        EXPECT_EQ(dst.at(12, Y), Tinted(kGreen, src.at(4, y)));
        EXPECT_EQ(dst.at(13, Y), Tinted(kBlue, src.at(4, y)));
        EXPECT_EQ(dst.at(14, Y), Tinted(kRed, src.at(4, y)));
        EXPECT_EQ(dst.at(15, Y), Tinted(kDim, src.at(5, y)));
    }
}

// Heights 1, 2 and 3 at 3x and 5x are drawn completely and the call ends.
TEST(RgbMode, ShortPicturesAt3xAnd5x) {
    for (int n : {3, 5}) {
        for (int height : {1, 2, 3}) {
            Source src(16, height);
            src.FillRandom(40 + height);
            Dest dst(16 * n, height * n);
            Cache cache(MaskedCacheExtent(n, src));
            Draw(kRgbMode[n], src, cache, dst);
            EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) { return Picture(n, src, X, Y); }))
                << n << "x, height " << height;
            EXPECT_TRUE(cache.GuardsIntact());
        }
    }
}

}  // namespace
}  // namespace tovrin::test
