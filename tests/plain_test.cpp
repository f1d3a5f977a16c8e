// "Plain": whole pictures over invalidated caches, repeated calls, the exact
// blocks a one-pixel change rewrites, and the cache layouts.
#include <array>

#include "fixture.h"
#include "frame/routines.h"

namespace tovrin::test {
namespace {

struct PlainRoutine {
    int scale;
    BlitProc routine;
};

constexpr std::array<PlainRoutine, 5> kPlain = {{
    {1, Plain_1x}, {2, Plain_2x}, {3, Plain_3x}, {4, Plain_4x}, {5, Plain_5x},
}};

// Bytes of the cache each magnification uses; the guard after it catches
// anything written further.
size_t CacheExtent(int scale, int width, int height, int srcRowBytes) {
    const size_t q = width / 4;
    switch (scale) {
        case 1: return 0;
        case 2: return static_cast<size_t>(srcRowBytes) * height;
        case 4: return 2 + 2 * static_cast<size_t>(width) * height;
        default: return 8 * q * height;
    }
}

// Byte offset of p(x, r) in the cache, or -1 when the pixel is not cached.
long CacheOffset(int scale, int width, int srcRowBytes, int x, int r) {
    const long q = width / 4;
    switch (scale) {
        case 1: return -1;
        case 2: return static_cast<long>(r) * srcRowBytes + 2 * x;
        case 4: return 2 + 2L * (static_cast<long>(width) * r + x);
        default: return x < 4 * q ? 8 * q * r + 2L * x : -1;
    }
}

// Destination columns drawn: the whole quads, except at 4x (every pixel).
int DrawnColumns(int scale, int width) { return scale == 4 ? 4 * width : scale * 4 * (width / 4); }

Expectation PlainPicture(const Source& src, int scale) {
    const int columns = DrawnColumns(scale, src.width());
    return [&src, scale, columns](int x, int y) -> std::optional<uint16_t> {
        if (x >= columns) return std::nullopt;
        return src.at(x / scale, y / scale);
    };
}

// 4-pixel destination blocks (by index within the source row's output) that
// a change of the pixel in column x rewrites.
bool BlockRewritten(int scale, int x, int block) {
    switch (scale) {
        case 2: return block == x / 2;
        case 4: return block == x;
        case 3: {
            const int q = x / 4, firstPair = (x % 4) < 2;
            return firstPair ? (block == 3 * q || block == 3 * q + 1) : (block == 3 * q + 1 || block == 3 * q + 2);
        }
        case 5: {
            const int q = x / 4, i = x % 4, b = block - 5 * q;
            // Block b of a quad shows pixels b - 1 and b (clipped to 0..3).
            return b >= 0 && b < 5 && (i == b || i == b - 1);
        }
    }
    return false;
}

struct Size {
    int width, height, srcPad, dstPad;
};

class PlainDraw : public testing::TestWithParam<std::tuple<int, Size>> {};

TEST_P(PlainDraw, FullDrawRepeatAndOnePixelChange) {
    const auto [index, size] = GetParam();
    const PlainRoutine plain = kPlain[index];
    const int s = plain.scale;
    Source src(size.width, size.height, size.srcPad ? 2 * size.width + size.srcPad : 0);
    src.FillRandom(1234 + size.width * 7 + size.height);
    Dest dst(size.width * s, size.height * s, size.dstPad ? 2 * size.width * s + size.dstPad : 0);
    Cache cache(CacheExtent(s, size.width, size.height, src.rowBytes()));

    Draw(plain.routine, src, cache, dst);
    ASSERT_TRUE(MatchesPicture(dst, PlainPicture(src, s)));
    ASSERT_TRUE(cache.GuardsIntact());

    // The cache holds each drawn pixel at its stated offset, nothing else.
    std::vector<bool> used(cache.extent(), false);
    for (int r = 0; r < src.height(); ++r) {
        for (int x = 0; x < src.width(); ++x) {
            const long at = CacheOffset(s, src.width(), src.rowBytes(), x, r);
            if (at < 0) continue;
            EXPECT_EQ(cache.PixelAt(at), src.at(x, r)) << "p(" << x << ", " << r << ")";
            used[at] = used[at + 1] = true;
        }
    }
    const std::vector<uint8_t> bytes = cache.Bytes();
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (used[i]) continue;
        EXPECT_EQ(bytes[i], 0xFF) << "cache byte " << i << " is not a cached pixel";
    }

    // Same source again: 1x copies everything, the others write nothing.
    dst.Reset();
    Draw(plain.routine, src, cache, dst);
    if (s == 1) {
        EXPECT_TRUE(MatchesPicture(dst, PlainPicture(src, s)));
    } else {
        EXPECT_TRUE(WroteExactly(dst, [](int, int) { return false; }));
        EXPECT_EQ(cache.Bytes(), bytes);
    }
    if (s == 1) return;

    // One changed pixel rewrites exactly its blocks in its source row's rows.
    for (const auto& [x, r] : {std::pair{0, 0}, {size.width / 2 + 1, size.height / 2}, {size.width - 1, size.height - 1}}) {
        if (x >= DrawnColumns(s, size.width) / s) continue;
        src.at(x, r) ^= 0x1234;
        dst.Reset();
        Draw(plain.routine, src, cache, dst);
        EXPECT_TRUE(WroteExactly(dst, [&](int X, int Y) {
            return Y / s == r && BlockRewritten(s, x, X / 4);
        })) << "change at (" << x << ", " << r << ")";
        EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) -> std::optional<uint16_t> {
            if (!dst.Written(X, Y)) return std::nullopt;
            return src.at(X / s, Y / s);
        }));
        EXPECT_EQ(cache.PixelAt(CacheOffset(s, src.width(), src.rowBytes(), x, r)), src.at(x, r));
    }
    EXPECT_TRUE(cache.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PlainDraw,
    testing::Combine(testing::Range(0, 5),
                     testing::Values(Size{8, 2, 0, 0}, Size{16, 6, 32, 16}, Size{24, 4, 0, 48},
                                     Size{40, 10, 16, 0}, Size{64, 8, 0, 0})));

// The changes named for "Plain": p(5, 1) and p(2, 0) on a 16 x 4 picture.
TEST(Plain, RewrittenBlocksOfNamedChanges) {
    struct Case {
        int scale, x, r, firstColumn, lastColumn;
    };
    const Case cases[] = {
        {2, 5, 1, 8, 11},   {3, 5, 1, 12, 19}, {4, 5, 1, 20, 23},
        {5, 5, 1, 24, 31},  {3, 2, 0, 4, 11},  {5, 2, 0, 8, 15},
    };
    for (const Case& c : cases) {
        Source src(16, 4);
        src.FillRandom(7);
        Dest dst(16 * c.scale, 4 * c.scale);
        Cache cache(HostCacheBytes(16, 4, src.rowBytes()));
        Draw(kPlain[c.scale - 1].routine, src, cache, dst);
        src.at(c.x, c.r) ^= 0x0421;
        dst.Reset();
        Draw(kPlain[c.scale - 1].routine, src, cache, dst);
        EXPECT_TRUE(WroteExactly(dst, [&](int X, int Y) {
            return Y / c.scale == c.r && X >= c.firstColumn && X <= c.lastColumn;
        })) << c.scale << "x, p(" << c.x << ", " << c.r << ")";
    }
}

// Widths outside the host's guarantees: the last partial quad is left alone
// by the quad routines, while 4x draws every pixel.
TEST(Plain, PartialQuads) {
    for (const auto& [scale, width, columns] : {std::tuple{1, 10, 8}, {3, 10, 24}, {5, 10, 40}, {4, 17, 68}, {3, 3, 0}}) {
        Source src(width, 2);
        src.FillRandom(99);
        Dest dst(width * scale, 2 * scale);
        Cache cache(HostCacheBytes(width, 2, src.rowBytes()));
        Draw(kPlain[scale - 1].routine, src, cache, dst);
        EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) -> std::optional<uint16_t> {
            if (X >= columns) return std::nullopt;
            return src.at(X / scale, Y / scale);
        })) << scale << "x, width " << width;
    }
}

// Where each layout puts row 1 and p(0, 0).
TEST(Plain, CacheLayouts) {
    {
        Source src(8, 2, 48);
        src.FillRandom(5);
        Dest dst(16, 4);
        Cache cache(48 * 2);
        Draw(Plain_2x, src, cache, dst);
        EXPECT_EQ(cache.PixelAt(48), src.at(0, 1));
        EXPECT_EQ(cache.PixelAt(48 + 14), src.at(7, 1));
    }
    {
        Source src(8, 2);
        src.FillRandom(6);
        Dest dst(24, 6);
        Cache cache(32);
        Draw(Plain_3x, src, cache, dst);
        EXPECT_EQ(cache.PixelAt(16), src.at(0, 1));
    }
    {
        Source src(8, 2);
        src.FillRandom(8);
        Dest dst(32, 8);
        Cache cache(2 + 32);
        Draw(Plain_4x, src, cache, dst);
        EXPECT_EQ(cache.PixelAt(0), 0xFFFF);
        EXPECT_EQ(cache.PixelAt(2), src.at(0, 0));
    }
}

// Bit 15 is copied as it stands: replication moves whole pixels.
TEST(Plain, CopiesAllSixteenBits) {
    Source src(8, 2);
    src.Fill([](int x, int y) { return static_cast<uint16_t>(0x8000 | (x + 8 * y)); });
    for (const PlainRoutine& plain : kPlain) {
        Dest dst(8 * plain.scale, 2 * plain.scale);
        Cache cache(HostCacheBytes(8, 2, src.rowBytes()));
        Draw(plain.routine, src, cache, dst);
        EXPECT_TRUE(MatchesPicture(dst, PlainPicture(src, plain.scale))) << plain.scale << "x";
    }
}

}  // namespace
}  // namespace tovrin::test
