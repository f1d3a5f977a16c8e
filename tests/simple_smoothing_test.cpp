// "Simple Smoothing": whole pictures written from the neighbourhood rules,
// exactly the blocks that read a changed pixel redrawn (ring around the
// picture included), random change sequences against fresh full draws, and
// the named neighbourhoods.
#include <random>

#include "fixture.h"
#include "frame/routines.h"
#include "redraw_check.h"

namespace tovrin::test {
namespace {

const BlitProc kSmoothing[] = {nullptr, nullptr, SimpleSmoothing_2x, SimpleSmoothing_3x};

size_t CacheExtent(int n, const Source& s) {
    const size_t plane = 2 * static_cast<size_t>(s.width()) * s.height();
    return 4 * plane + (n == 3 ? 8 : 0);
}

// Neighbourhood of (x, y) in reading order, w[1] to w[9]; w[0] unused.
struct Window {
    uint16_t w[10];
};

Window WindowAt(const Source& s, int x, int y) {
    Window win{};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) win.w[5 + 3 * dy + dx] = s.at(x + dx, y + dy);
    return win;
}

uint16_t Pixel2x(const Window& win, int i, int j) {
    const uint16_t w2 = win.w[2], w4 = win.w[4], w5 = win.w[5], w6 = win.w[6], w8 = win.w[8];
    if ((w6 == w2 && (w4 == w6 || w8 == w6)) || (w4 == w8 && (w4 == w2 || w4 == w6))) return w5;
    const uint16_t block[2][2] = {{w4 == w2 ? w2 : w5, w2 == w6 ? w6 : w5},
                                  {w4 == w8 ? w4 : w5, w8 == w6 ? w8 : w5}};
    return block[i][j];
}

bool UsesCornerRules(const Window& win) { return win.w[2] != win.w[8] && win.w[4] != win.w[6]; }

uint16_t Pixel3x(const Window& win, int i, int j) {
    const uint16_t w1 = win.w[1], w2 = win.w[2], w3 = win.w[3], w4 = win.w[4], w5 = win.w[5];
    const uint16_t w6 = win.w[6], w7 = win.w[7], w8 = win.w[8], w9 = win.w[9];
    if (!UsesCornerRules(win)) return w5;
    const uint16_t block[3][3] = {
        {w4 == w2 ? w4 : w5, (w4 == w2 && w5 != w3) || (w2 == w6 && w5 != w1) ? w2 : w5, w2 == w6 ? w6 : w5},
        {(w4 == w2 && w5 != w7) || (w4 == w8 && w5 != w1) ? w4 : w5, w5,
         (w2 == w6 && w5 != w9) || (w8 == w6 && w5 != w3) ? w6 : w5},
        {w4 == w8 ? w4 : w5, (w4 == w8 && w5 != w9) || (w8 == w6 && w5 != w7) ? w8 : w5, w8 == w6 ? w6 : w5},
    };
    return block[i][j];
}

uint16_t Expected(int n, const Source& s, int X, int Y) {
    const Window win = WindowAt(s, X / n, Y / n);
    return n == 2 ? Pixel2x(win, Y % 2, X % 2) : Pixel3x(win, Y % 3, X % 3);
}

// Whether the block of (x, y) reads the memory at `changed`: its side
// neighbours and itself, and at 3x its diagonal neighbours when it uses the
// corner rules.
bool BlockReads(int n, const Source& s, int x, int y, const uint16_t* changed) {
    const bool corners = n == 3 && UsesCornerRules(WindowAt(s, x, y));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if ((dx == 0 || dy == 0 || corners) && PixelAddress(s, x + dx, y + dy) == changed) return true;
    return false;
}

RoutineRules Rules(int n) {
    RoutineRules r;
    r.name = "Simple Smoothing";
    r.routine = kSmoothing[n];
    r.scale = n;
    r.cacheExtent = [n](const Source& s) { return CacheExtent(n, s); };
    r.picture = [n](const Source& s, int X, int Y) -> std::optional<uint16_t> { return Expected(n, s, X, Y); };
    r.alwaysWritten = [](const Source&, int, int) { return false; };
    r.rewritten = [n](const Source& s, int X, int Y, const uint16_t* changed) {
        return BlockReads(n, s, X / n, Y / n, changed);
    };
    return r;
}

class SimpleSmoothingDraw : public testing::TestWithParam<std::tuple<int, DrawSize>> {};

TEST_P(SimpleSmoothingDraw, FullDrawRepeatAndChanges) {
    const auto [n, size] = GetParam();
    CheckRoutine(Rules(n), size, 1700 + n + size.width);
}

INSTANTIATE_TEST_SUITE_P(Routines, SimpleSmoothingDraw,
                         testing::Combine(testing::Values(2, 3),
                                          testing::Values(DrawSize{8, 2, 0, 0, 3}, DrawSize{16, 4, 32, 16, 2},
                                                          DrawSize{24, 6, 0, 0, 3}, DrawSize{32, 5, 16, 48, 4},
                                                          DrawSize{16, 4, 0, 0, 0})));

// Random small changes, in the picture and in the ring around it, frame
// after frame: each call redraws exactly the blocks that read a changed
// pixel, and the destination always equals a fresh full draw.
TEST(SimpleSmoothing, RandomChangesMatchFreshDraws) {
    for (int n : {2, 3}) {
        for (const DrawSize& size : {DrawSize{8, 2, 0, 0, 3}, DrawSize{16, 6, 16, 0, 3}, DrawSize{24, 3, 0, 32, 2}}) {
            SCOPED_TRACE(testing::Message() << n << "x " << size.width << "x" << size.height);
            Source src(size.width, size.height, size.srcPad ? 2 * size.width + size.srcPad : 0);
            src.FillRandom(4242 + n, size.colours);
            std::mt19937 rng(31 * n + size.width);
            const uint16_t palette[] = {src.at(0, 0), src.at(1, 0), src.at(2, 1), 0x1234};
            Dest dst(size.width * n, size.height * n, size.dstPad ? 2 * size.width * n + size.dstPad : 0);
            Cache cache(CacheExtent(n, src));
            Draw(kSmoothing[n], src, cache, dst);
            for (int frame = 0; frame < 200; ++frame) {
                std::vector<uint16_t> shown(static_cast<size_t>(dst.width()) * dst.height());
                for (int Y = 0; Y < dst.height(); ++Y)
                    for (int X = 0; X < dst.width(); ++X) shown[Y * dst.width() + X] = dst.at(X, Y);
                // One to three pixels of the picture or its ring change.
                std::vector<std::pair<const uint16_t*, uint16_t>> touched;
                const int count = 1 + rng() % 3;
                for (int k = 0; k < count; ++k) {
                    const int x = static_cast<int>(rng() % (size.width + 2)) - 1;
                    const int y = static_cast<int>(rng() % (size.height + 2)) - 1;
                    touched.emplace_back(&src.at(x, y), src.at(x, y));
                }
                for (const auto& [at, before] : touched) *const_cast<uint16_t*>(at) = palette[rng() % 4];
                std::vector<const uint16_t*> changed;
                for (size_t k = 0; k < touched.size(); ++k) {
                    // A pixel touched twice counts once, by its value before the frame.
                    bool first = true;
                    for (size_t j = 0; j < k; ++j) first = first && touched[j].first != touched[k].first;
                    if (first && *touched[k].first != touched[k].second) changed.push_back(touched[k].first);
                }
                dst.Reset();
                Draw(kSmoothing[n], src, cache, dst);
                ASSERT_TRUE(WroteExactly(dst, [&](int X, int Y) {
                    for (const uint16_t* c : changed)
                        if (BlockReads(n, src, X / n, Y / n, c)) return true;
                    return false;
                })) << "frame " << frame;
                // Put back what the call left alone, then compare with a fresh draw.
                for (int Y = 0; Y < dst.height(); ++Y)
                    for (int X = 0; X < dst.width(); ++X)
                        if (!dst.Written(X, Y))
                            dst.pixels()[Y * dst.rowBytes() / 2 + X] = shown[Y * dst.width() + X];
                Dest fresh(dst.width(), dst.height());
                Cache freshCache(CacheExtent(n, src));
                Draw(kSmoothing[n], src, freshCache, fresh);
                ASSERT_TRUE(MatchesPicture(dst, [&](int X, int Y) { return fresh.at(X, Y); })) << "frame " << frame;
            }
            EXPECT_TRUE(cache.GuardsIntact());
        }
    }
}

// Draws the block of (2, 1) of an 8 x 4 picture whose neighbourhood is `w`
// (w[1] to w[9]); the rest of the picture is arbitrary.
std::vector<std::vector<uint16_t>> BlockOf(int n, const std::array<uint16_t, 10>& w) {
    Source src(8, 4);
    src.FillRandom(8);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) src.at(2 + dx, 1 + dy) = w[5 + 3 * dy + dx];
    Dest dst(8 * n, 4 * n);
    Cache cache(CacheExtent(n, src));
    Draw(kSmoothing[n], src, cache, dst);
    std::vector<std::vector<uint16_t>> rows(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) rows[i].push_back(dst.at(2 * n + j, n + i));
    return rows;
}

using Rows = std::vector<std::vector<uint16_t>>;

TEST(SimpleSmoothing, NamedNeighbourhoods) {
    const uint16_t X = 0x7C00, Y = 0x03E0, Z = 0x001F, P = 0x1111, Q = 0x2222;
    //                               w1 w2 w3 w4 w5 w6 w7 w8 w9
    EXPECT_EQ(BlockOf(2, {0, Q, X, Q, X, Y, Y, Q, Y, Q}), (Rows{{X, Y}, {Y, Y}}));
    EXPECT_EQ(BlockOf(2, {0, Q, X, Q, X, Z, X, Q, Y, Q}), (Rows{{Z, Z}, {Z, Z}}));
    EXPECT_EQ(BlockOf(3, {0, X, X, Y, X, Y, Y, Y, Y, Y}), (Rows{{X, Y, Y}, {Y, Y, Y}, {Y, Y, Y}}));
    EXPECT_EQ(BlockOf(3, {0, Q, Y, Q, X, P, Z, Q, X, Q}), (Rows{{P, P, P}, {X, P, P}, {X, X, P}}));
}

TEST(SimpleSmoothing, OneColour) {
    for (int n : {2, 3}) {
        Source src(16, 4);
        for (int y = -1; y <= 4; ++y)
            for (int x = -1; x <= 16; ++x) src.at(x, y) = 0x4321;
        Dest dst(16 * n, 4 * n);
        Cache cache(CacheExtent(n, src));
        Draw(kSmoothing[n], src, cache, dst);
        EXPECT_TRUE(MatchesPicture(dst, [](int, int) { return uint16_t{0x4321}; })) << n << "x";
    }
}

// The planes, and at 3x the four ring corners, fit in what every host gives.
TEST(SimpleSmoothing, CacheFitsTheHostsCache) {
    for (const auto& [w, h] : {std::pair{8, 2}, {64, 2}, {320, 240}}) {
        Source src(w, h);
        EXPECT_LE(CacheExtent(3, src), HostCacheBytes(w, h, src.rowBytes()));
    }
}

}  // namespace
}  // namespace tovrin::test
