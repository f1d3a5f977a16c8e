// "2xSaI", "Super 2xSaI" and "Super Eagle" at 2x and 4x: whole pictures
// against a per-pixel expectation written here from the output rules (window
// positions outside the picture repeat the nearest picture pixel), the worked
// pictures, flat pictures, the two-pass 4x form and its use of the cache, and
// the symmetries the rules have.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

#include "fixture.h"
#include "frame/routines.h"

namespace tovrin::test {
namespace {

// ---- Expectation, independent of the library's helpers ----------------------

// A picture by value; reads outside it repeat the nearest pixel.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint16_t> px;
    Picture(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height) {}
    uint16_t& operator()(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    uint16_t at(int x, int y) const {
        return px[static_cast<size_t>(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)];
    }
};

Picture FromSource(const Source& src) {
    Picture p(src.width(), src.height());
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) p(x, y) = src.at(x, y);
    return p;
}

int Channel(uint16_t p, int shift) { return (p >> shift) & 31; }

uint16_t FromChannels(int r, int g, int b) { return static_cast<uint16_t>(r << 10 | g << 5 | b); }

// Mean of two pixels per channel, rounded down; equal pixels stay as they are.
uint16_t Mean(uint16_t p, uint16_t q) {
    if (p == q) return p;
    return FromChannels((Channel(p, 10) + Channel(q, 10)) / 2, (Channel(p, 5) + Channel(q, 5)) / 2,
                        (Channel(p, 0) + Channel(q, 0)) / 2);
}

uint16_t Mean4(uint16_t p, uint16_t q, uint16_t r, uint16_t s) {
    auto c = [&](int shift) { return (Channel(p, shift) + Channel(q, shift) + Channel(r, shift) + Channel(s, shift)) / 4; };
    return FromChannels(c(10), c(5), c(0));
}

struct Win {
    uint16_t A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P;
};

Win WindowAt(const Picture& p, int x, int y) {
    auto v = [&](int dx, int dy) { return p.at(x + dx, y + dy); };
    return Win{v(-1, -1), v(0, -1), v(1, -1), v(2, -1), v(-1, 0), v(0, 0), v(1, 0), v(2, 0),
               v(-1, 1),  v(0, 1),  v(1, 1),  v(2, 1),  v(-1, 2), v(0, 2), v(1, 2), v(2, 2)};
}

// Top-left, top-right, bottom-left, bottom-right.
using Quad = std::array<uint16_t, 4>;

int Vote(const Win& w) {
    int t = 0;
    for (auto [a, b] : {std::pair{w.E, w.B}, {w.C, w.H}, {w.I, w.N}, {w.L, w.O}}) {
        if (a == w.F && b == w.F) ++t;
        if (a == w.G && b == w.G) --t;
    }
    return t;
}

Quad TwoXSaIRule(const Win& w) {
    const auto [A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P] = w;
    if (F == K && G != J) {
        const bool tr = (F == B && G == L) || (F == J && F == C && G != B && G == D);
        const bool bl = (F == E && J == O) || (F == G && F == I && E != J && J == M);
        return {F, tr ? F : Mean(F, G), bl ? F : Mean(F, J), F};
    }
    if (G == J && F != K) {
        const bool tr = (G == C && F == I) || (G == B && G == K && F != C && F == A);
        const bool bl = (J == I && F == C) || (J == E && J == K && F != I && F == A);
        return {F, tr ? G : Mean(F, G), bl ? J : Mean(F, J), G};
    }
    if (F == K && G == J) {
        if (F == G) return {F, F, F, F};
        const int t = Vote(w);
        return {F, Mean(F, G), Mean(F, J), t < 0 ? F : t > 0 ? G : Mean4(F, G, J, K)};
    }
    uint16_t tr = Mean(F, G), bl = Mean(F, J);
    if (F == J && F == C && G != B && G == D) tr = F;
    else if (G == B && G == K && F != C && F == A) tr = G;
    if (F == G && F == I && E != J && J == M) bl = F;
    else if (J == E && J == K && F != I && F == A) bl = J;
    return {F, tr, bl, Mean4(F, G, J, K)};
}

Quad SuperTwoXSaIRule(const Win& w) {
    const auto [A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P] = w;
    uint16_t tr, br;
    if (G == J && F != K) {
        tr = br = J;
    } else if (F == K && G != J) {
        tr = br = F;
    } else if (F == K && G == J && F != G) {
        const int t = Vote(w);
        tr = br = t > 0 ? G : t < 0 ? F : Mean(F, G);
    } else {
        br = Mean(J, K);
        if (G == K && K == N && J != O && K != M) br = Mean4(K, K, K, J);
        else if (F == J && J == O && N != K && J != P) br = Mean4(J, J, J, K);
        tr = Mean(F, G);
        if (G == K && G == B && F != C && G != A) tr = Mean4(G, G, G, F);
        else if (F == J && F == C && B != G && F != D) tr = Mean4(F, F, F, G);
    }
    const bool blendBl = (F == K && J != G && E == F && F != O) || (F == I && G == F && E != J && F != M);
    const bool blendTl = (J == G && F != K && I == J && J != C) || (E == J && K == J && I != F && J != A);
    return {blendTl ? Mean(J, F) : F, tr, blendBl ? Mean(J, F) : J, br};
}

Quad SuperEagleRule(const Win& w) {
    const auto [A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P] = w;
    auto threeToOne = [](uint16_t p, uint16_t q) { return Mean(p, Mean(p, q)); };
    if (G == J && F != K) {
        if ((I == J && G == H) || (J == N && G == C)) return {threeToOne(J, F), J, J, threeToOne(J, K)};
        return {Mean(F, G), J, J, Mean(J, K)};
    }
    if (F == K && G != J) {
        if ((B == F && K == O) || (E == F && K == L)) return {F, threeToOne(F, G), threeToOne(F, J), F};
        return {F, Mean(F, G), Mean(J, K), F};
    }
    if (F == K && G == J && F != G) {
        const int t = Vote(w);
        if (t > 0) return {Mean(F, G), J, J, Mean(F, G)};
        if (t < 0) return {F, Mean(F, G), Mean(F, G), F};
        return {F, J, J, F};
    }
    if (J == F || K == G) return {F, G, J, K};
    const uint16_t fg = Mean(F, G), jk = Mean(J, K);
    return {Mean(F, fg), Mean(G, fg), Mean(J, jk), Mean(K, jk)};
}

using Rule = Quad (*)(const Win&);

Picture Expected2x(const Picture& src, Rule rule) {
    Picture out(2 * src.w, 2 * src.h);
    for (int y = 0; y < src.h; ++y) {
        for (int x = 0; x < src.w; ++x) {
            const Quad q = rule(WindowAt(src, x, y));
            out(2 * x, 2 * y) = q[0];
            out(2 * x + 1, 2 * y) = q[1];
            out(2 * x, 2 * y + 1) = q[2];
            out(2 * x + 1, 2 * y + 1) = q[3];
        }
    }
    return out;
}

Expectation Showing(const Picture& p) {
    return [&p](int x, int y) -> std::optional<uint16_t> { return p.at(x, y); };
}

struct Filter {
    const char* name;
    BlitProc x2, x4;
    Rule rule;
};

const std::array<Filter, 3> kFilters = {{
    {"2xSaI", TwoXSaI_2x, TwoXSaI_4x, TwoXSaIRule},
    {"Super 2xSaI", SuperTwoXSaI_2x, SuperTwoXSaI_4x, SuperTwoXSaIRule},
    {"Super Eagle", SuperEagle_2x, SuperEagle_4x, SuperEagleRule},
}};

size_t IntermediateRowBytes(int width) { return 4 * static_cast<size_t>(width) + 8; }

size_t IntermediateBytes(int width, int height) { return IntermediateRowBytes(width) * 2 * height; }

// Bytes the cache starts with in the 4x tests: anything but 0xFF, so bytes
// the routine must leave alone cannot pass by chance.
uint8_t CachePattern(size_t i) { return static_cast<uint8_t>(i * 37 + 11); }

// ---- Whole pictures against the expectation ----------------------------------

enum class Colours { Random, Few, Bit15, Patches };

struct Size {
    int width, height, srcPad, dstPad;
};

void FillPicture(Source& src, Colours colours, uint32_t seed) {
    if (colours == Colours::Random) return src.FillRandom(seed);
    if (colours == Colours::Few) return src.FillRandom(seed, 3);
    std::mt19937 rng(seed);
    if (colours == Colours::Patches) {
        // Flat rectangles, some with bit 15 set, and a sprinkle of odd pixels:
        // runs of flat centre blocks next to every case.
        const uint16_t palette[] = {0x1234, 0x9234, 0x4321, 0x7FFF, 0x0000};
        src.Fill([&](int x, int y) { return palette[(x / 11 + y / 3) % 5]; });
        for (int i = 0; i < src.width() * src.height() / 12; ++i)
            src.at(rng() % src.width(), rng() % src.height()) = palette[rng() % 5];
        return;
    }
    // Colours that differ only in bit 15 are different colours.
    const uint16_t palette[] = {0x1234, 0x9234, 0x4321, 0xC321};
    src.Fill([&](int, int) { return palette[rng() % 4]; });
}

class EdgeDraw : public testing::TestWithParam<std::tuple<int, Size, Colours>> {};

TEST_P(EdgeDraw, TwoAndFourTimesMatchTheRules) {
    const auto [index, size, colours] = GetParam();
    const Filter& filter = kFilters[index];
    const int w = size.width, h = size.height;
    Source src(w, h, size.srcPad ? 2 * w + size.srcPad : 0);
    FillPicture(src, colours, 77 + 13 * w + h + 5 * index);
    const Picture expected2 = Expected2x(FromSource(src), filter.rule);
    const Picture expected4 = Expected2x(expected2, filter.rule);

    // 2x: every destination pixel written, the cache neither read nor written.
    Dest dst2(2 * w, 2 * h, size.dstPad ? 4 * w + size.dstPad : 0);
    Cache none(0);
    Draw(filter.x2, src, none, dst2);
    EXPECT_TRUE(MatchesPicture(dst2, Showing(expected2))) << filter.name << " 2x";
    EXPECT_TRUE(none.GuardsIntact());

    // 4x over a cache holding arbitrary bytes, with room after the
    // intermediate picture: the picture lands at its stride, the 8 spare
    // bytes of each row and everything after it keep their bytes.
    const size_t midBytes = IntermediateBytes(w, h);
    Cache cache(midBytes + 64);
    auto* bytes = static_cast<uint8_t*>(cache.data());
    for (size_t i = 0; i < cache.extent(); ++i) bytes[i] = CachePattern(i);
    Dest dst4(4 * w, 4 * h, size.dstPad ? 8 * w + size.dstPad : 0);
    Draw(filter.x4, src, cache, dst4);
    EXPECT_TRUE(MatchesPicture(dst4, Showing(expected4))) << filter.name << " 4x";
    EXPECT_TRUE(cache.GuardsIntact());
    int wrong = 0;
    for (size_t i = 0; i < cache.extent(); ++i) {
        const size_t row = i / IntermediateRowBytes(w), column = i % IntermediateRowBytes(w);
        uint8_t want = CachePattern(i);
        if (row < static_cast<size_t>(2 * h) && column < 4 * static_cast<size_t>(w)) {
            const uint16_t pixel = expected2.at(static_cast<int>(column / 2), static_cast<int>(row));
            uint8_t pixelBytes[2];
            std::memcpy(pixelBytes, &pixel, 2);
            want = pixelBytes[column % 2];
        }
        if (bytes[i] != want && ++wrong <= 5)
            ADD_FAILURE() << filter.name << " 4x cache byte " << i << " (row " << row << ", byte " << column
                          << "): " << Hex(bytes[i]) << ", want " << Hex(want);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, EdgeDraw,
    testing::Combine(testing::Range(0, 3),
                     testing::Values(Size{8, 2, 0, 0}, Size{16, 6, 32, 16}, Size{24, 4, 8, 0},
                                     Size{40, 10, 0, 48}, Size{64, 8, 16, 4}, Size{96, 12, 0, 0},
                                     // Beyond the host's guarantees the clamping still holds.
                                     Size{1, 1, 0, 0}, Size{2, 3, 0, 0}, Size{3, 1, 0, 0}),
                     testing::Values(Colours::Random, Colours::Few, Colours::Bit15, Colours::Patches)));

// The 4x routine is its 2x routine applied twice, whatever the stride of the
// picture in between.
TEST(EdgeFourTimes, EqualsTwoTimesTwice) {
    for (const Filter& filter : kFilters) {
        for (int seed = 0; seed < 4; ++seed) {
            const int w = 16 + 8 * seed, h = 4 + 2 * seed;
            Source src(w, h, seed % 2 ? 2 * w + 16 : 0);
            src.FillRandom(900 + seed, seed < 2 ? 4 : 0);
            Cache cache(IntermediateBytes(w, h));
            Dest direct(4 * w, 4 * h);
            Draw(filter.x4, src, cache, direct);
            for (const int midRowBytes : {4 * w, 4 * w + 8, 4 * w + 24}) {
                Dest mid(2 * w, 2 * h, midRowBytes);
                Cache unused(0);
                Draw(filter.x2, src, unused, mid);
                Dest twice(4 * w, 4 * h);
                filter.x2(mid.pixels(), mid.rowBytes(), nullptr, twice.pixels(), twice.rowBytes(), 2 * w, 2 * h);
                ASSERT_TRUE(twice.GuardsIntact());
                EXPECT_TRUE(MatchesPicture(direct, [&](int x, int y) -> std::optional<uint16_t> {
                    return twice.at(x, y);
                })) << filter.name << " seed " << seed << " stride " << midRowBytes;
            }
        }
    }
}

// Buffers of exactly the picture's size on the heap: a read or write outside
// them trips the address sanitizer. The cache even lacks the spare bytes of
// the last intermediate row, which pass 2 must not read.
TEST(EdgeFourTimes, TouchOnlyThePicturesTheyAreGiven) {
    for (const Filter& filter : kFilters) {
        const int w = 24, h = 6;
        std::vector<uint16_t> src(static_cast<size_t>(w) * h);
        std::mt19937 rng(41);
        for (uint16_t& p : src) p = static_cast<uint16_t>(rng() % 3 * 0x1111);
        const Picture expected2 = [&] {
            Picture p(w, h);
            p.px = src;
            return Expected2x(p, filter.rule);
        }();
        std::vector<uint16_t> dst2(4 * static_cast<size_t>(w) * h);
        filter.x2(src.data(), 2 * w, nullptr, dst2.data(), 4 * w, w, h);
        EXPECT_EQ(dst2, expected2.px) << filter.name;

        std::vector<uint8_t> cache(IntermediateBytes(w, h) - 8);
        std::vector<uint16_t> dst4(16 * static_cast<size_t>(w) * h);
        filter.x4(src.data(), 2 * w, cache.data(), dst4.data(), 8 * w, w, h);
        EXPECT_EQ(dst4, Expected2x(expected2, filter.rule).px) << filter.name;
    }
}

// ---- Flat pictures and empty calls -------------------------------------------

TEST(EdgeFlat, OneColourEverywhereBordersIncluded) {
    for (const uint16_t colour : {uint16_t{0x0000}, uint16_t{0x7FFF}, uint16_t{0x3C0F}, uint16_t{0x9234}}) {
        Source src(16, 6);
        src.Fill([&](int, int) { return colour; });
        for (const Filter& filter : kFilters) {
            for (const int scale : {2, 4}) {
                Dest dst(16 * scale, 6 * scale);
                Cache cache(IntermediateBytes(16, 6));
                Draw(scale == 2 ? filter.x2 : filter.x4, src, cache, dst);
                EXPECT_TRUE(MatchesPicture(dst, [&](int, int) -> std::optional<uint16_t> { return colour; }))
                    << filter.name << " " << scale << "x, colour " << Hex(colour);
            }
        }
    }
}

TEST(EdgeEmpty, ZeroWidthOrHeightWritesNothing) {
    for (const Filter& filter : kFilters) {
        for (const auto& [w, h] : {std::pair{0, 4}, {8, 0}, {0, 0}}) {
            for (const BlitProc routine : {filter.x2, filter.x4}) {
                Source src(8, 4);
                src.FillRandom(5);
                Dest dst(32, 16);
                Cache cache(IntermediateBytes(8, 4));
                routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), w, h);
                EXPECT_TRUE(WroteExactly(dst, [](int, int) { return false; })) << filter.name;
                EXPECT_EQ(cache.Bytes(), std::vector<uint8_t>(cache.extent(), 0xFF)) << filter.name;
            }
        }
    }
}

// ---- The worked pictures -----------------------------------------------------

constexpr uint16_t X = 0x7C00, Y = 0x001F, XY = 0x3C0F, Y3X = 0x1C17, X15 = Y | 0x8000;
constexpr int kSide = 16;

using Fill = uint16_t (*)(int x, int y);
// The block a source pixel must give, where the picture states it.
using Blocks = std::function<std::optional<Quad>(int x, int y)>;

const Fill kChecker = [](int x, int y) { return (x + y) % 2 ? Y : X; };
const Fill kIsolated = [](int x, int y) { return x == 6 && y == 6 ? X : Y; };
const Fill kIsolatedBit15 = [](int x, int y) { return x == 6 && y == 6 ? X15 : Y; };
const Fill kMainDiagonal = [](int x, int y) { return x == y ? X : Y; };
const Fill kAntiDiagonal = [](int x, int y) { return x + y == 15 ? X : Y; };
const Fill kVerticalEdge = [](int x, int) { return x < 8 ? X : Y; };
const Fill kHorizontalEdge = [](int, int y) { return y < 8 ? X : Y; };

constexpr Quad kAllY = {Y, Y, Y, Y};

// Flat blocks on either side of an edge at column or row 7 | 8.
Blocks EdgeBlocks(bool vertical, Quad lastX) {
    return [=](int x, int y) -> std::optional<Quad> {
        const int at = vertical ? x : y;
        if (at == 7) return lastX;
        return at < 7 ? Quad{X, X, X, X} : kAllY;
    };
}

struct Worked {
    int filter;
    const char* picture;
    Fill fill;
    Blocks blocks;
};

std::vector<Worked> WorkedPictures() {
    return {
        // 2xSaI
        {0, "checkerboard", kChecker,
         [](int x, int y) { return Quad{(x + y) % 2 ? Y : X, XY, XY, XY}; }},
        {0, "isolated pixel", kIsolated,
         [](int x, int y) {
             if (x == 6 && y == 6) return Quad{X, XY, XY, Y};
             if (x == 5 && y == 6) return Quad{Y, XY, Y, Y};
             if (x == 6 && y == 5) return Quad{Y, Y, XY, Y};
             return kAllY;
         }},
        {0, "main diagonal", kMainDiagonal,
         [](int x, int y) {
             if (x == y) return Quad{X, XY, XY, X};
             if (x == y + 1) return Quad{Y, Y, XY, Y};
             if (y == x + 1) return Quad{Y, XY, Y, Y};
             return kAllY;
         }},
        {0, "anti-diagonal", kAntiDiagonal,
         [](int x, int y) {
             if (x + y == 15) return Quad{X, XY, XY, Y};
             if (x + y == 14) return Quad{Y, XY, XY, X};
             return kAllY;
         }},
        {0, "vertical edge", kVerticalEdge, EdgeBlocks(true, {X, XY, X, XY})},
        {0, "horizontal edge", kHorizontalEdge, EdgeBlocks(false, {X, X, XY, XY})},
        {0, "bit 15", kIsolatedBit15,
         [](int x, int y) { return x == 6 && y == 6 ? Quad{X15, Y, Y, Y} : kAllY; }},
        // Super 2xSaI
        {1, "checkerboard", kChecker,
         [](int x, int y) { return (x + y) % 2 ? Quad{Y, XY, X, XY} : Quad{X, XY, Y, XY}; }},
        {1, "isolated pixel", kIsolated,
         [](int x, int y) {
             if (x == 6 && y == 6) return Quad{X, Y, Y, Y};
             if (x == 6 && y == 5) return Quad{Y, Y, X, Y};
             return kAllY;
         }},
        {1, "main diagonal", kMainDiagonal,
         [](int x, int y) {
             if (x == y) return Quad{X, X, Y, X};
             if (x == y + 1) return Quad{Y, Y, X, Y};
             return kAllY;
         }},
        {1, "anti-diagonal", kAntiDiagonal,
         [](int x, int y) {
             if (x + y == 15) return Quad{X, Y, Y, Y};
             if (x + y == 14) return Quad{Y, X, X, X};
             return kAllY;
         }},
        {1, "vertical edge", kVerticalEdge, EdgeBlocks(true, {X, XY, X, XY})},
        {1, "horizontal edge", kHorizontalEdge, EdgeBlocks(false, {X, X, Y, Y})},
        {1, "bit 15", kIsolatedBit15,
         [](int x, int y) {
             if (x == 6 && y == 6) return Quad{X15, Y, Y, Y};
             if (x == 6 && y == 5) return Quad{Y, Y, X15, Y};
             return kAllY;
         }},
        // Super Eagle
        {2, "checkerboard", kChecker,
         [](int x, int y) { return (x + y) % 2 ? Quad{Y, X, X, Y} : Quad{X, Y, Y, X}; }},
        {2, "isolated pixel", kIsolated,
         [](int x, int y) {
             if (x == 6 && y == 6) return Quad{Y3X, Y, Y, Y};
             if (x == 5 && y == 6) return Quad{Y, Y3X, Y, Y};
             if (x == 6 && y == 5) return Quad{Y, Y, Y3X, Y};
             if (x == 5 && y == 5) return Quad{Y, Y, Y, Y3X};
             return kAllY;
         }},
        {2, "main diagonal", kMainDiagonal,
         [](int x, int y) -> std::optional<Quad> {
             if (x == y) return Quad{X, XY, XY, X};
             if (x == y + 1) return Quad{Y, Y, XY, Y};
             if (y == x + 1) return Quad{Y, XY, Y, Y};
             return std::nullopt;
         }},
        {2, "anti-diagonal", kAntiDiagonal,
         [](int x, int y) -> std::optional<Quad> {
             if (x + y == 15) return Quad{XY, Y, Y, Y};
             if (x + y == 14) return Quad{XY, X, X, XY};
             if (x + y == 13) return Quad{Y, Y, Y, XY};
             return std::nullopt;
         }},
        {2, "vertical edge", kVerticalEdge, EdgeBlocks(true, {X, Y, X, Y})},
        {2, "horizontal edge", kHorizontalEdge, EdgeBlocks(false, {X, X, Y, Y})},
        // The bit-15 pixel's blends with its field lose bit 15 and equal the field.
        {2, "bit 15", kIsolatedBit15, [](int, int) { return kAllY; }},
    };
}

TEST(EdgeWorked, BlocksOfThePictures) {
    for (const Worked& worked : WorkedPictures()) {
        const Filter& filter = kFilters[worked.filter];
        Source src(kSide, kSide);
        src.Fill(worked.fill);
        Dest dst(2 * kSide, 2 * kSide);
        Cache none(0);
        Draw(filter.x2, src, none, dst);
        // Blocks whose window lies wholly inside the picture.
        for (int y = 1; y < kSide - 2; ++y) {
            for (int x = 1; x < kSide - 2; ++x) {
                const std::optional<Quad> want = worked.blocks(x, y);
                if (!want) continue;
                const Quad got = {dst.at(2 * x, 2 * y), dst.at(2 * x + 1, 2 * y), dst.at(2 * x, 2 * y + 1),
                                  dst.at(2 * x + 1, 2 * y + 1)};
                if (got == *want) continue;
                ADD_FAILURE() << filter.name << ", " << worked.picture << ": block of (" << x << ", " << y
                              << ") is " << Hex(got[0]) << ' ' << Hex(got[1]) << " / " << Hex(got[2]) << ' '
                              << Hex(got[3]) << ", want " << Hex((*want)[0]) << ' ' << Hex((*want)[1]) << " / "
                              << Hex((*want)[2]) << ' ' << Hex((*want)[3]);
            }
        }
    }
}

// ---- Symmetries ----------------------------------------------------------------

// 2xSaI treats rows and columns alike: transposing the picture transposes the
// output, borders included (the clamping is symmetric too).
TEST(EdgeSymmetry, TwoXSaITransposes) {
    for (int seed = 0; seed < 6; ++seed) {
        const int w = 16, h = 8;
        Source src(w, h), transposed(h, w);
        src.FillRandom(300 + seed, 2 + seed % 3);
        transposed.Fill([&](int x, int y) { return src.at(y, x); });
        Dest out(2 * w, 2 * h), outT(2 * h, 2 * w);
        Cache none(0);
        Draw(TwoXSaI_2x, src, none, out);
        Draw(TwoXSaI_2x, transposed, none, outT);
        EXPECT_TRUE(MatchesPicture(outT, [&](int x, int y) -> std::optional<uint16_t> { return out.at(y, x); }))
            << "seed " << seed;
    }
}

// Super Eagle reads a window that a half turn maps onto itself, with the
// centre block swapping corners: turning the picture half round turns the
// output half round about a point one output pixel up and left of the centre.
// Super 2xSaI (left and right columns follow different rules) and 2xSaI
// (which reads A but not P) have no such symmetry.
TEST(EdgeSymmetry, SuperEagleHalfTurn) {
    for (int seed = 0; seed < 6; ++seed) {
        const int w = 16, h = 8;
        Source src(w, h), turned(w, h);
        src.FillRandom(500 + seed, 2 + seed % 3);
        turned.Fill([&](int x, int y) { return src.at(w - 1 - x, h - 1 - y); });
        Dest out(2 * w, 2 * h), outT(2 * w, 2 * h);
        Cache none(0);
        Draw(SuperEagle_2x, src, none, out);
        Draw(SuperEagle_2x, turned, none, outT);
        for (int y = 0; y <= 2 * h - 3; ++y)
            for (int x = 0; x <= 2 * w - 3; ++x)
                ASSERT_EQ(outT.at(x, y), out.at(2 * w - 3 - x, 2 * h - 3 - y))
                    << "seed " << seed << " at (" << x << ", " << y << ")";
    }
}

}  // namespace
}  // namespace tovrin::test
