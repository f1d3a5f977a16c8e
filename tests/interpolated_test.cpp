// "Interpolated": whole pictures written from the output rule, the units
// redrawn on every call and after one-pixel changes, and the named values.
#include "fixture.h"
#include "frame/routines.h"
#include "redraw_check.h"

namespace tovrin::test {
namespace {

struct Form {
    const char* name;
    Shade dark;  // Shade::None: dark rows are left alone
    BlitProc routines[5];
};

const Form kForms[] = {
    {"Interpolated", Shade::None,
     {Interpolated_1x, Interpolated_2x, Interpolated_3x, Interpolated_4x, Interpolated_5x}},
    {"Interpolated 25%", Shade::Quarter,
     {Interpolated25_1x, Interpolated25_2x, Interpolated25_3x, Interpolated25_4x, Interpolated25_5x}},
    {"Interpolated 50%", Shade::Half,
     {Interpolated50_1x, Interpolated50_2x, Interpolated50_3x, Interpolated50_4x, Interpolated50_5x}},
    {"Interpolated 75%", Shade::ThreeQuarters,
     {Interpolated75_1x, Interpolated75_2x, Interpolated75_3x, Interpolated75_4x, Interpolated75_5x}},
};

// The bright-row pixel at output column X of source row y.
uint16_t Bright(const Source& src, int n, int X, int y) {
    const int x = X / n, j = X % n;
    const uint16_t w5 = src.at(x, y), w6 = src.at(x + 1, y);
    if (n == 1) {
        // The pixel read before: the left one, else the last of the row
        // processed before (two rows up when odd rows are skipped), and for
        // the frame's first pixel the pixel itself.
        return RefAverage(x > 0 ? src.at(x - 1, y) : w5, w5);
    }
    const uint16_t m = RefAverage(w5, w6);
    if (n == 4) {
        const uint16_t row[4] = {w5, RefAverage(w5, m), m, RefAverage(m, w6)};
        return row[j];
    }
    return j == n - 1 ? m : w5;
}

// The source column whose pixel feeds an output column as its right
// neighbour, or -1.
int RightNeighbourOf(int n, int X) {
    if (n == 4) return X % 4 ? X / 4 + 1 : -1;
    return X % n == n - 1 ? X / n + 1 : -1;
}

RoutineRules Rules(const Form& form, int n) {
    RoutineRules r;
    r.name = form.name;
    r.routine = form.routines[n - 1];
    r.scale = n;
    r.cacheExtent = [n](const Source& s) -> size_t {
        const size_t w = s.width(), h = s.height();
        switch (n) {
            case 1: return 0;
            case 2: return 4 * (w / 2 + 1) * h;
            case 4: return 2 * (w + 1) * h;
            default: return 2 * w * h + 2;
        }
    };
    const Shade dark = form.dark;
    r.picture = [n, dark](const Source& s, int X, int Y) -> std::optional<uint16_t> {
        const int y = Y / n;
        if (n == 1 && X == 0 && Y > 0) {
            const int before = dark == Shade::None ? Y - 2 : Y - 1;
            const uint16_t v = RefAverage(s.at(s.width() - 1, before), s.at(0, Y));
            if (Y % 2 == 0) return v;
            if (dark == Shade::None) return std::nullopt;
            return RefShade(dark, v);
        }
        if (Y % 2 == 0) return Bright(s, n, X, y);
        if (dark == Shade::None) return std::nullopt;
        return RefShade(dark, Bright(s, n, X, y));
    };
    r.alwaysWritten = [n](const Source& s, int X, int Y) {
        const int w = s.width(), h = s.height();
        switch (n) {
            case 1: return true;  // no cache: everything, every call
            case 2: return X >= 2 * w - 4;  // the last pair of a row meets the spare word
            case 4: return X >= 4 * w - 4;  // the last pixel meets the spare entry
            default:
                // The last group of the frame meets the spare bytes; with padded
                // rows every row's last group meets the next row's first pixel.
                if (X < n * w - 4) return false;
                return Y / n == h - 1 || s.rowBytes() > 2 * w;
        }
    };
    r.rewritten = [n](const Source& s, int X, int Y, const uint16_t* changed) {
        const int y = Y / n;
        auto reads = [&](int x) { return PixelAddress(s, x, y) == changed; };
        if (n == 2) {
            // A pair is compared together with the pair after it.
            const int k = X / 4;
            return reads(2 * k) || reads(2 * k + 1) || reads(2 * k + 2) || reads(2 * k + 3);
        }
        // A 4-pixel unit is redrawn when a pixel it shows differs.
        const int first = X / 4 * 4;
        for (int C = first; C < first + 4; ++C) {
            if (reads(C / n)) return true;
            const int right = RightNeighbourOf(n, C);
            if (right >= 0 && reads(right)) return true;
        }
        return false;
    };
    return r;
}

class InterpolatedDraw : public testing::TestWithParam<std::tuple<int, int, DrawSize>> {};

TEST_P(InterpolatedDraw, FullDrawRepeatAndChanges) {
    const auto [form, n, size] = GetParam();
    for (bool everyColumn : {false, true})
        CheckRoutine(Rules(kForms[form], n), size, 77 + size.width + n, everyColumn);
}

INSTANTIATE_TEST_SUITE_P(Routines, InterpolatedDraw,
                         testing::Combine(testing::Range(0, 4), testing::Range(1, 6),
                                          testing::Values(DrawSize{8, 2, 0, 0, 0}, DrawSize{16, 4, 32, 16, 0},
                                                          DrawSize{24, 6, 0, 0, 3}, DrawSize{32, 4, 16, 48, 0})));

// 2x: 0x001F, 0x0000 give 0x001F, 0x000F, 0x0000; the 25% dark row holds
// 0x0007, 0x0003, 0x0000.
TEST(Interpolated, NamedRowAt2x) {
    Source src(8, 2);
    src.Fill([](int x, int) { return static_cast<uint16_t>(x == 0 ? 0x001F : 0x0000); });
    Dest dst(16, 4);
    Cache cache(HostCacheBytes(8, 2, src.rowBytes()));
    Draw(Interpolated25_2x, src, cache, dst);
    EXPECT_EQ(dst.at(0, 0), 0x001F);
    EXPECT_EQ(dst.at(1, 0), 0x000F);
    EXPECT_EQ(dst.at(2, 0), 0x0000);
    EXPECT_EQ(dst.at(0, 1), 0x0007);
    EXPECT_EQ(dst.at(1, 1), 0x0003);
    EXPECT_EQ(dst.at(2, 1), 0x0000);
}

// One colour: the colour in bright rows, its dimmed forms in dark rows.
TEST(Interpolated, OneColour) {
    const uint16_t c = 0x5A6B;
    for (int form = 0; form < 4; ++form) {
        for (int n = 1; n <= 5; ++n) {
            Source src(16, 4);
            src.Fill([&](int, int) { return c; });
            // The pixel after each row is part of what the last one shows.
            for (int y = 0; y <= 4; ++y) src.at(16, y) = src.at(17, y) = c;
            Dest dst(16 * n, 4 * n);
            Cache cache(HostCacheBytes(16, 4, src.rowBytes()));
            Draw(kForms[form].routines[n - 1], src, cache, dst);
            EXPECT_TRUE(MatchesPicture(dst, [&](int, int Y) -> std::optional<uint16_t> {
                if (Y % 2 == 0) return c;
                if (form == 0) return std::nullopt;
                return RefShade(kForms[form].dark, c);
            })) << kForms[form].name << " " << n << "x";
        }
    }
}

}  // namespace
}  // namespace tovrin::test
