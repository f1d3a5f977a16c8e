// "Arcade": the dot pattern written from its period, the groups a change
// rewrites, the named white pictures, and heights the 3x and 5x steps end on.
#include "fixture.h"
#include "frame/routines.h"
#include "masked_rules.h"

namespace tovrin::test {
namespace {

struct Form {
    const char* name;
    Shade shade;
    BlitProc routines[6];  // by magnification
};

const Form kForms[] = {
    {"Arcade", Shade::Black, {nullptr, nullptr, Arcade_2x, Arcade_3x, Arcade_4x, Arcade_5x}},
    {"Arcade 25%", Shade::Quarter, {nullptr, nullptr, Arcade25_2x, Arcade25_3x, Arcade25_4x, Arcade25_5x}},
    {"Arcade 50%", Shade::Half, {nullptr, nullptr, Arcade50_2x, Arcade50_3x, Arcade50_4x, Arcade50_5x}},
    {"Arcade 75%", Shade::ThreeQuarters,
     {nullptr, nullptr, Arcade75_2x, Arcade75_3x, Arcade75_4x, Arcade75_5x}},
};

bool Lit(int X, int Y) {
    return (Y % 4 == 0 && X % 4 == 3) || (Y % 4 == 2 && X % 4 == 1) || (X % 2 == 1 && Y % 2 == 1);
}

std::optional<uint16_t> Picture(Shade shade, int n, const Source& s, int X, int Y) {
    const uint16_t p = s.at(X / n, Y / n);
    return Lit(X, Y) ? p : RefShade(shade, p);
}

class ArcadeDraw : public testing::TestWithParam<std::tuple<int, int, DrawSize>> {};

TEST_P(ArcadeDraw, FullDrawRepeatAndChanges) {
    const auto [form, n, size] = GetParam();
    const Shade shade = kForms[form].shade;
    for (bool everyColumn : {false, true})
        CheckRoutine(MaskedRules(kForms[form].name, kForms[form].routines[n], n,
                                 [shade, n](const Source& s, int X, int Y) { return Picture(shade, n, s, X, Y); }),
                     size, 900 + n + size.width, everyColumn);
}

INSTANTIATE_TEST_SUITE_P(Routines, ArcadeDraw,
                         testing::Combine(testing::Range(0, 4), testing::Range(2, 6),
                                          testing::Values(DrawSize{8, 2, 0, 0, 0}, DrawSize{16, 4, 32, 16, 0}, DrawSize{24, 6, 0, 0, 0},
                                                          DrawSize{32, 4, 16, 48, 0})));

// "Arcade" at 2x on white, row by row; the shaded forms on white at every
// magnification.
TEST(Arcade, WhitePictures) {
    Source src(16, 4);
    src.Fill([](int, int) { return uint16_t{0x7FFF}; });
    {
        Dest dst(32, 8);
        Cache cache(MaskedCacheExtent(2, src));
        Draw(Arcade_2x, src, cache, dst);
        const uint16_t rows[4][4] = {{0, 0, 0, 0x7FFF}, {0, 0x7FFF, 0, 0x7FFF}, {0, 0x7FFF, 0, 0}, {0, 0x7FFF, 0, 0x7FFF}};
        EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) { return rows[Y % 4][X % 4]; }));
    }
    const uint16_t shaded[] = {0x0000, 0x1CE7, 0x3DEF, 0x5AD6};
    for (int form = 0; form < 4; ++form) {
        for (int n = 2; n <= 5; ++n) {
            Dest dst(16 * n, 4 * n);
            Cache cache(MaskedCacheExtent(n, src));
            Draw(kForms[form].routines[n], src, cache, dst);
            EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) { return Lit(X, Y) ? 0x7FFF : shaded[form]; }))
                << kForms[form].name << " " << n << "x";
        }
    }
}

// At 3x the lit column 3 of row 0 shows source pixel 1 and the lit column 1
// of row 2 shows source pixel 0.
TEST(Arcade, LitPositionsFollowTheOutputGrid) {
    Source src(8, 2);
    src.FillRandom(12);
    Dest dst(24, 6);
    Cache cache(MaskedCacheExtent(3, src));
    Draw(Arcade_3x, src, cache, dst);
    EXPECT_EQ(dst.at(3, 0), src.at(1, 0));
    EXPECT_EQ(dst.at(1, 2), src.at(0, 0));
    EXPECT_EQ(dst.at(0, 0), 0x0000);
}

TEST(Arcade, ShortPicturesAt3xAnd5x) {
    for (const Form& form : kForms) {
        for (int n : {3, 5}) {
            for (int height : {1, 2, 3}) {
                Source src(16, height);
                src.FillRandom(60 + height);
                Dest dst(16 * n, height * n);
                Cache cache(MaskedCacheExtent(n, src));
                Draw(form.routines[n], src, cache, dst);
                EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) { return Picture(form.shade, n, src, X, Y); }))
                    << form.name << " " << n << "x, height " << height;
                EXPECT_TRUE(cache.GuardsIntact());
            }
        }
    }
}

}  // namespace
}  // namespace tovrin::test
