// "Horizontal" and "Vertical" at every variant and magnification: whole
// pictures over invalidated caches, the cache layouts, repeated calls, the
// exact blocks a one-pixel change rewrites, and the named cases.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "fixture.h"
#include "frame/routines.h"
#include "scanline_layout.h"

namespace tovrin::test {
namespace {

enum class Lines { Rows, Columns };  // "Horizontal" darkens rows, "Vertical" columns
enum class Dark { Plain, Quarter, Half, ThreeQuarters };

struct Routine {
    const char* name;
    Lines lines;
    Dark dark;
    int scale;
    BlitProc proc;
};

constexpr std::array<Routine, 40> kRoutines = {{
    {"Horizontal_1x", Lines::Rows, Dark::Plain, 1, Horizontal_1x},
    {"Horizontal_2x", Lines::Rows, Dark::Plain, 2, Horizontal_2x},
    {"Horizontal_3x", Lines::Rows, Dark::Plain, 3, Horizontal_3x},
    {"Horizontal_4x", Lines::Rows, Dark::Plain, 4, Horizontal_4x},
    {"Horizontal_5x", Lines::Rows, Dark::Plain, 5, Horizontal_5x},
    {"Horizontal25_1x", Lines::Rows, Dark::Quarter, 1, Horizontal25_1x},
    {"Horizontal25_2x", Lines::Rows, Dark::Quarter, 2, Horizontal25_2x},
    {"Horizontal25_3x", Lines::Rows, Dark::Quarter, 3, Horizontal25_3x},
    {"Horizontal25_4x", Lines::Rows, Dark::Quarter, 4, Horizontal25_4x},
    {"Horizontal25_5x", Lines::Rows, Dark::Quarter, 5, Horizontal25_5x},
    {"Horizontal50_1x", Lines::Rows, Dark::Half, 1, Horizontal50_1x},
    {"Horizontal50_2x", Lines::Rows, Dark::Half, 2, Horizontal50_2x},
    {"Horizontal50_3x", Lines::Rows, Dark::Half, 3, Horizontal50_3x},
    {"Horizontal50_4x", Lines::Rows, Dark::Half, 4, Horizontal50_4x},
    {"Horizontal50_5x", Lines::Rows, Dark::Half, 5, Horizontal50_5x},
    {"Horizontal75_1x", Lines::Rows, Dark::ThreeQuarters, 1, Horizontal75_1x},
    {"Horizontal75_2x", Lines::Rows, Dark::ThreeQuarters, 2, Horizontal75_2x},
    {"Horizontal75_3x", Lines::Rows, Dark::ThreeQuarters, 3, Horizontal75_3x},
    {"Horizontal75_4x", Lines::Rows, Dark::ThreeQuarters, 4, Horizontal75_4x},
    {"Horizontal75_5x", Lines::Rows, Dark::ThreeQuarters, 5, Horizontal75_5x},
    {"Vertical_1x", Lines::Columns, Dark::Plain, 1, Vertical_1x},
    {"Vertical_2x", Lines::Columns, Dark::Plain, 2, Vertical_2x},
    {"Vertical_3x", Lines::Columns, Dark::Plain, 3, Vertical_3x},
    {"Vertical_4x", Lines::Columns, Dark::Plain, 4, Vertical_4x},
    {"Vertical_5x", Lines::Columns, Dark::Plain, 5, Vertical_5x},
    {"Vertical25_1x", Lines::Columns, Dark::Quarter, 1, Vertical25_1x},
    {"Vertical25_2x", Lines::Columns, Dark::Quarter, 2, Vertical25_2x},
    {"Vertical25_3x", Lines::Columns, Dark::Quarter, 3, Vertical25_3x},
    {"Vertical25_4x", Lines::Columns, Dark::Quarter, 4, Vertical25_4x},
    {"Vertical25_5x", Lines::Columns, Dark::Quarter, 5, Vertical25_5x},
    {"Vertical50_1x", Lines::Columns, Dark::Half, 1, Vertical50_1x},
    {"Vertical50_2x", Lines::Columns, Dark::Half, 2, Vertical50_2x},
    {"Vertical50_3x", Lines::Columns, Dark::Half, 3, Vertical50_3x},
    {"Vertical50_4x", Lines::Columns, Dark::Half, 4, Vertical50_4x},
    {"Vertical50_5x", Lines::Columns, Dark::Half, 5, Vertical50_5x},
    {"Vertical75_1x", Lines::Columns, Dark::ThreeQuarters, 1, Vertical75_1x},
    {"Vertical75_2x", Lines::Columns, Dark::ThreeQuarters, 2, Vertical75_2x},
    {"Vertical75_3x", Lines::Columns, Dark::ThreeQuarters, 3, Vertical75_3x},
    {"Vertical75_4x", Lines::Columns, Dark::ThreeQuarters, 4, Vertical75_4x},
    {"Vertical75_5x", Lines::Columns, Dark::ThreeQuarters, 5, Vertical75_5x},
}};

const Routine& Find(const std::string& name) {
    for (const Routine& r : kRoutines)
        if (name == r.name) return r;
    throw std::logic_error("no routine " + name);
}

// The dark pixel, channel by channel, from the variant's brightness.
std::optional<uint16_t> DarkPixel(const Routine& routine, uint16_t p) {
    int (*channel)(int) = nullptr;
    switch (routine.dark) {
        case Dark::Plain: return routine.lines == Lines::Rows ? std::nullopt : std::optional<uint16_t>(0);
        case Dark::Quarter: channel = [](int k) { return k / 4; }; break;
        case Dark::Half: channel = [](int k) { return k / 2; }; break;
        case Dark::ThreeQuarters: channel = [](int k) { return k / 2 + k / 4; }; break;
    }
    return static_cast<uint16_t>(channel((p >> 10) & 31) << 10 | channel((p >> 5) & 31) << 5 | channel(p & 31));
}

// Destination columns drawn in a bright (dark) row or column pattern: whole
// quads, except the pair-wise 1x passes and the pixel-wise 4x routines.
int DrawnColumns(const Routine& routine, int width, int y) {
    const int n = routine.scale;
    if (n == 4) return 4 * width;
    if (n == 1 && (routine.lines == Lines::Columns || y % 2 == 1)) return 2 * (width / 2);
    return n * 4 * (width / 4);
}

bool Bright(const Routine& routine, int x, int y) {
    if (routine.lines == Lines::Rows) return y % 2 == 0;
    return routine.scale == 1 ? x % 2 == 0 : x % 2 == 1;
}

Expectation Picture(const Routine& routine, const Source& src) {
    return [&routine, &src](int x, int y) -> std::optional<uint16_t> {
        if (x >= DrawnColumns(routine, src.width(), y)) return std::nullopt;
        const uint16_t p = src.at(x / routine.scale, y / routine.scale);
        return Bright(routine, x, y) ? std::optional<uint16_t>(p) : DarkPixel(routine, p);
    };
}

// A changed pixel rewrites the blocks that show it, in the rows of its
// source row that the effect writes at all.
bool Rewritten(const Routine& routine, int x, int r, int X, int Y) {
    const int n = routine.scale;
    if (Y / n != r) return false;
    if (routine.lines == Lines::Rows && routine.dark == Dark::Plain && Y % 2 == 1) return false;
    const int first = X / 4 * 4;
    return first / n <= x && x <= (first + 3) / n;
}

struct Size {
    int width, height, srcPad, dstPad;
};

class ScanlineDraw : public testing::TestWithParam<std::tuple<int, Size>> {};

TEST_P(ScanlineDraw, FullDrawCacheRepeatAndOnePixelChanges) {
    const auto [index, size] = GetParam();
    const Routine& routine = kRoutines[index];
    const int n = routine.scale;
    Source src(size.width, size.height, size.srcPad ? 2 * size.width + size.srcPad : 0);
    src.FillRandom(99 + size.width * 5 + size.height);
    Dest dst(size.width * n, size.height * n, size.dstPad ? 2 * size.width * n + size.dstPad : 0);
    Cache cache(ScanlineCacheExtent(n, size.width, size.height));

    Draw(routine.proc, src, cache, dst);
    ASSERT_TRUE(MatchesPicture(dst, Picture(routine, src)));
    ASSERT_TRUE(cache.GuardsIntact());

    std::vector<bool> used(cache.extent(), false);
    for (int r = 0; r < src.height(); ++r) {
        for (int x = 0; x < src.width(); ++x) {
            const long at = ScanlineCacheOffset(n, src.width(), x, r);
            if (at < 0) continue;
            EXPECT_EQ(cache.PixelAt(at), src.at(x, r)) << "p(" << x << ", " << r << ")";
            used[at] = used[at + 1] = true;
        }
    }
    const std::vector<uint8_t> bytes = cache.Bytes();
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!used[i]) {
            EXPECT_EQ(bytes[i], 0xFF) << "cache byte " << i << " holds no pixel";
        }
    }

    // Same source again: 1x redraws everything, the others write nothing.
    dst.Reset();
    Draw(routine.proc, src, cache, dst);
    if (n == 1) {
        EXPECT_TRUE(MatchesPicture(dst, Picture(routine, src)));
        return;
    }
    EXPECT_TRUE(WroteExactly(dst, [](int, int) { return false; }));
    EXPECT_EQ(cache.Bytes(), bytes);

    const int cached = n == 4 ? size.width : 4 * (size.width / 4);
    for (const auto& [x, r] : {std::pair{0, 0}, {1, 0}, {cached / 2 + 1, size.height / 2}, {cached - 1, size.height - 1}}) {
        src.at(x, r) ^= 0x1234;
        dst.Reset();
        Draw(routine.proc, src, cache, dst);
        EXPECT_TRUE(WroteExactly(dst, [&](int X, int Y) { return Rewritten(routine, x, r, X, Y); }))
            << "change at (" << x << ", " << r << ")";
        const Expectation full = Picture(routine, src);
        EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) -> std::optional<uint16_t> {
            return dst.Written(X, Y) ? full(X, Y) : std::nullopt;
        }));
        EXPECT_EQ(cache.PixelAt(ScanlineCacheOffset(n, src.width(), x, r)), src.at(x, r));
    }
    EXPECT_TRUE(cache.GuardsIntact());
}

std::string RoutineAndSize(const testing::TestParamInfo<std::tuple<int, Size>>& info) {
    const auto& [index, size] = info.param;
    return std::string(kRoutines[index].name) + "_" + std::to_string(size.width) + "x" + std::to_string(size.height) +
           (size.srcPad || size.dstPad ? "_padded" : "");
}

// Hosts pass widths that are multiples of 8 and even heights; the odd sizes
// show the partial-group columns and that odd heights are drawn whole.
INSTANTIATE_TEST_SUITE_P(
    Sizes, ScanlineDraw,
    testing::Combine(testing::Range(0, static_cast<int>(kRoutines.size())),
                     testing::Values(Size{8, 2, 0, 0}, Size{16, 6, 32, 16}, Size{24, 4, 0, 48}, Size{40, 10, 16, 0},
                                     Size{18, 4, 0, 0}, Size{16, 5, 0, 0}, Size{13, 3, 16, 32})),
    RoutineAndSize);

struct Pixel {
    int x, y;
    std::optional<uint16_t> value;
};

// The values named for these effects, checked literally.
TEST(Scanlines, NamedPixels) {
    const std::optional<uint16_t> unwritten;
    struct Case {
        const char* routine;
        int width, height;
        std::function<uint16_t(int, int)> source;
        std::vector<Pixel> pixels;
    };
    const auto white = [](int, int) -> uint16_t { return 0x7FFF; };
    const auto ramp = [](int x, int) -> uint16_t { return static_cast<uint16_t>(0x1111 * (x % 4 + 1)); };
    const auto twoRows = [](int, int y) -> uint16_t { return y == 0 ? 0x1234 : 0x2345; };
    const Case cases[] = {
        {"Horizontal50_1x", 4, 2, white, {{0, 0, 0x7FFF}, {3, 0, 0x7FFF}, {0, 1, 0x3DEF}, {3, 1, 0x3DEF}}},
        {"Horizontal75_1x", 4, 2, white, {{0, 1, 0x5AD6}, {3, 1, 0x5AD6}}},
        {"Horizontal25_1x", 4, 2, white, {{0, 1, 0x1CE7}, {3, 1, 0x1CE7}}},
        {"Horizontal_1x", 4, 2, white, {{0, 0, 0x7FFF}, {0, 1, unwritten}, {3, 1, unwritten}}},
        {"Horizontal25_3x", 16, 2, twoRows,
         {{0, 0, 0x1234}, {0, 1, 0x0485}, {47, 2, 0x1234}, {0, 3, 0x08C1}, {5, 4, 0x2345}, {47, 5, 0x08C1}}},
        {"Vertical_1x", 8, 2, ramp, {{0, 0, 0x1111}, {1, 0, 0x0000}, {2, 0, 0x3333}, {3, 0, 0x0000}}},
        {"Vertical50_1x", 8, 2, ramp, {{0, 1, 0x1111}, {1, 1, 0x1101}, {2, 1, 0x3333}, {3, 1, 0x2022}}},
        {"Vertical_2x", 8, 2, ramp,
         {{0, 0, 0x0000}, {1, 0, 0x1111}, {2, 1, 0x0000}, {3, 1, 0x2222}, {4, 0, 0x0000}, {5, 1, 0x3333},
          {6, 0, 0x0000}, {7, 0, 0x4444}}},
        {"Vertical25_3x", 8, 2, white, {{0, 0, 0x1CE7}, {1, 1, 0x7FFF}, {2, 2, 0x1CE7}, {11, 2, 0x7FFF}}},
    };
    for (const Case& c : cases) {
        const Routine& routine = Find(c.routine);
        Source src(c.width, c.height);
        src.Fill(c.source);
        Dest dst(c.width * routine.scale, c.height * routine.scale);
        Cache cache(HostCacheBytes(c.width, c.height, src.rowBytes()));
        Draw(routine.proc, src, cache, dst);
        for (const Pixel& p : c.pixels) {
            if (p.value) {
                EXPECT_EQ(Hex(dst.at(p.x, p.y)), Hex(*p.value)) << c.routine << " (" << p.x << ", " << p.y << ")";
            } else {
                EXPECT_FALSE(dst.Written(p.x, p.y)) << c.routine << " (" << p.x << ", " << p.y << ")";
            }
        }
        EXPECT_TRUE(dst.GuardsIntact()) << c.routine;
    }
}

// The rewritten rectangles named for a change of p(x, 0) on a 16 x 4 picture.
TEST(Scanlines, RewrittenBlocksOfNamedChanges) {
    struct Case {
        const char* routine;
        int x, firstColumn, lastColumn;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"Horizontal25_3x", 1, 0, 7, {0, 1, 2}},      {"Horizontal_3x", 1, 0, 7, {0, 2}},
        {"Horizontal50_5x", 1, 4, 11, {0, 1, 2, 3, 4}}, {"Horizontal_5x", 1, 4, 11, {0, 2, 4}},
        {"Horizontal75_2x", 1, 0, 3, {0, 1}},        {"Horizontal_2x", 1, 0, 3, {0}},
        {"Horizontal25_4x", 1, 4, 7, {0, 1, 2, 3}},   {"Horizontal_4x", 1, 4, 7, {0, 2}},
        {"Vertical_3x", 0, 0, 3, {0, 1, 2}},         {"Vertical50_5x", 0, 0, 7, {0, 1, 2, 3, 4}},
        {"Vertical75_3x", 1, 0, 7, {0, 1, 2}},       {"Vertical_5x", 1, 4, 11, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        const Routine& routine = Find(c.routine);
        const int n = routine.scale;
        Source src(16, 4);
        src.FillRandom(21);
        Dest dst(16 * n, 4 * n);
        Cache cache(HostCacheBytes(16, 4, src.rowBytes()));
        Draw(routine.proc, src, cache, dst);
        const std::vector<uint8_t> before = cache.Bytes();
        src.at(c.x, 0) ^= 0x0421;
        dst.Reset();
        Draw(routine.proc, src, cache, dst);
        EXPECT_TRUE(WroteExactly(dst, [&](int X, int Y) {
            return X >= c.firstColumn && X <= c.lastColumn && std::find(c.rows.begin(), c.rows.end(), Y) != c.rows.end();
        })) << c.routine << ", p(" << c.x << ", 0)";
        // The whole compare unit goes to the cache, nothing else changes.
        const std::vector<uint8_t> after = cache.Bytes();
        const long unit = ScanlineCacheOffset(n, 16, c.x, 0);
        for (size_t i = 0; i < after.size(); ++i) {
            if (static_cast<long>(i) == unit || static_cast<long>(i) == unit + 1) continue;
            EXPECT_EQ(after[i], before[i]) << c.routine << " cache byte " << i;
        }
        EXPECT_EQ(cache.PixelAt(unit), src.at(c.x, 0)) << c.routine;
    }
}

// "Horizontal" at 1x reads only the even source rows: the odd ones sit on
// pages that cannot be read, so any read of them ends the child process.
TEST(ScanlinesDeathTest, PlainHorizontal1xNeverReadsAnOddSourceRow) {
    const long page = sysconf(_SC_PAGESIZE);
    constexpr int kWidth = 20, kHeight = 6;
    EXPECT_EXIT(
        {
            auto* base = static_cast<uint8_t*>(mmap(nullptr, page * (kHeight + 1), PROT_READ | PROT_WRITE,
                                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
            if (base == MAP_FAILED) _exit(3);
            for (int r = 0; r < kHeight; ++r)
                for (int x = 0; x < kWidth; ++x)
                    reinterpret_cast<uint16_t*>(base + r * page)[x] = static_cast<uint16_t>(x + 32 * r);
            for (int r = 1; r < kHeight + 1; r += 2) mprotect(base + r * page, page, PROT_NONE);
            Dest dst(kWidth, kHeight);
            Horizontal_1x(reinterpret_cast<const uint16_t*>(base), static_cast<int32_t>(page), nullptr, dst.pixels(),
                          dst.rowBytes(), kWidth, kHeight);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const bool want = y % 2 == 0;
                    if (dst.Written(x, y) != want || (want && dst.at(x, y) != x + 32 * y)) {
                        std::fprintf(stderr, "wrong pixel (%d, %d)\n", x, y);
                        _exit(2);
                    }
                }
            if (!dst.GuardsIntact()) {
                std::fprintf(stderr, "guard touched\n");
                _exit(2);
            }
            _exit(0);
        },
        testing::ExitedWithCode(0), "");
}

// Replication copies all 16 bits; darkened pixels come out with bit 15 clear.
TEST(Scanlines, BrightPixelsKeepBit15) {
    Source src(8, 2);
    src.Fill([](int x, int y) { return static_cast<uint16_t>(0x8000 | (0x0421 * (x + 1) + y)); });
    for (const Routine& routine : kRoutines) {
        Dest dst(8 * routine.scale, 2 * routine.scale);
        Cache cache(HostCacheBytes(8, 2, src.rowBytes()));
        Draw(routine.proc, src, cache, dst);
        EXPECT_TRUE(MatchesPicture(dst, Picture(routine, src))) << routine.name;
    }
}

}  // namespace
}  // namespace tovrin::test
