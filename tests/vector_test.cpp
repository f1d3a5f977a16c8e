// The vector routines: whole pictures against the output rules and against
// their scalar twins, the cache of one 16-byte entry per group of eight,
// change detection per group, widths that are not multiples of 8, buffers off
// the 16-byte grid, and the fields of the vector "Interleaved" routines.
#include <array>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "fixture.h"
#include "frame/routines.h"
#include "frame/table.h"
#include "scanline_layout.h"
#include "vector/lanes.h"

namespace tovrin::test {
namespace {

enum class Family { Plain, Horizontal, Vertical, Interleaved };
enum class Dark { Unwritten, Black, Quarter, Half, ThreeQuarters };

struct VectorRoutine {
    const char* name;
    BlitProc routine;
    int scale;
    Family family;
    Dark dark;  // what a dark pixel holds (Horizontal and Vertical)
};

#define ROUTINE(fn, ...) VectorRoutine{#fn, fn, __VA_ARGS__}
constexpr std::array<VectorRoutine, 36> kVector = {{
    ROUTINE(Plain_1x_Vector, 1, Family::Plain, Dark::Unwritten),
    ROUTINE(Plain_3x_Vector, 3, Family::Plain, Dark::Unwritten),
    ROUTINE(Plain_4x_Vector, 4, Family::Plain, Dark::Unwritten),
    ROUTINE(Plain_5x_Vector, 5, Family::Plain, Dark::Unwritten),
    ROUTINE(Horizontal_1x_Vector, 1, Family::Horizontal, Dark::Unwritten),
    ROUTINE(Horizontal25_1x_Vector, 1, Family::Horizontal, Dark::Quarter),
    ROUTINE(Horizontal50_1x_Vector, 1, Family::Horizontal, Dark::Half),
    ROUTINE(Horizontal75_1x_Vector, 1, Family::Horizontal, Dark::ThreeQuarters),
    ROUTINE(Horizontal_2x_Vector, 2, Family::Horizontal, Dark::Unwritten),
    ROUTINE(Horizontal25_2x_Vector, 2, Family::Horizontal, Dark::Quarter),
    ROUTINE(Horizontal50_2x_Vector, 2, Family::Horizontal, Dark::Half),
    ROUTINE(Horizontal75_2x_Vector, 2, Family::Horizontal, Dark::ThreeQuarters),
    ROUTINE(Horizontal_3x_Vector, 3, Family::Horizontal, Dark::Unwritten),
    ROUTINE(Horizontal25_3x_Vector, 3, Family::Horizontal, Dark::Quarter),
    ROUTINE(Horizontal50_3x_Vector, 3, Family::Horizontal, Dark::Half),
    ROUTINE(Horizontal75_3x_Vector, 3, Family::Horizontal, Dark::ThreeQuarters),
    ROUTINE(Horizontal_4x_Vector, 4, Family::Horizontal, Dark::Unwritten),
    ROUTINE(Horizontal25_4x_Vector, 4, Family::Horizontal, Dark::Quarter),
    ROUTINE(Horizontal50_4x_Vector, 4, Family::Horizontal, Dark::Half),
    ROUTINE(Horizontal75_4x_Vector, 4, Family::Horizontal, Dark::ThreeQuarters),
    ROUTINE(Horizontal_5x_Vector, 5, Family::Horizontal, Dark::Unwritten),
    ROUTINE(Horizontal25_5x_Vector, 5, Family::Horizontal, Dark::Quarter),
    ROUTINE(Horizontal50_5x_Vector, 5, Family::Horizontal, Dark::Half),
    ROUTINE(Horizontal75_5x_Vector, 5, Family::Horizontal, Dark::ThreeQuarters),
    ROUTINE(Vertical_2x_Vector, 2, Family::Vertical, Dark::Black),
    ROUTINE(Vertical25_2x_Vector, 2, Family::Vertical, Dark::Quarter),
    ROUTINE(Vertical50_2x_Vector, 2, Family::Vertical, Dark::Half),
    ROUTINE(Vertical75_2x_Vector, 2, Family::Vertical, Dark::ThreeQuarters),
    ROUTINE(Vertical_3x_Vector, 3, Family::Vertical, Dark::Black),
    ROUTINE(Vertical25_3x_Vector, 3, Family::Vertical, Dark::Quarter),
    ROUTINE(Vertical50_3x_Vector, 3, Family::Vertical, Dark::Half),
    ROUTINE(Vertical75_3x_Vector, 3, Family::Vertical, Dark::ThreeQuarters),
    ROUTINE(Interleaved_2x_Vector, 2, Family::Interleaved, Dark::Unwritten),
    ROUTINE(Interleaved_3x_Vector, 3, Family::Interleaved, Dark::Unwritten),
    ROUTINE(Interleaved_4x_Vector, 4, Family::Interleaved, Dark::Unwritten),
    ROUTINE(Interleaved_5x_Vector, 5, Family::Interleaved, Dark::Unwritten),
}};
#undef ROUTINE

const VectorRoutine& Find(BlitProc routine) {
    for (const VectorRoutine& v : kVector)
        if (v.routine == routine) return v;
    throw std::logic_error("not a vector routine");
}

// Channel by channel, from the definitions: k div 4, k div 2, k div 2 + k div 4.
uint16_t Darkened(Dark dark, uint16_t p) {
    const auto perChannel = [p](auto f) {
        return static_cast<uint16_t>((f((p >> 10) & 31) << 10) | (f((p >> 5) & 31) << 5) | f(p & 31));
    };
    switch (dark) {
        case Dark::Black: return 0;
        case Dark::Quarter: return perChannel([](int k) { return k / 4; });
        case Dark::Half: return perChannel([](int k) { return k / 2; });
        case Dark::ThreeQuarters: return perChannel([](int k) { return k / 2 + k / 4; });
        case Dark::Unwritten: break;
    }
    throw std::logic_error("no dark pixel");
}

int Groups(int width) { return width / 8; }

// Bytes of cache a routine uses: one 16-byte entry per group, and for
// "Interleaved" a second plane that starts 2 × width × height bytes in.
size_t CacheExtent(const VectorRoutine& v, int width, int height) {
    if (v.scale == 1) return 0;
    const size_t entries = 16 * static_cast<size_t>(Groups(width)) * height;
    return v.family == Family::Interleaved ? 2 * static_cast<size_t>(width) * height + entries : entries;
}

// Where the cache plane of a field starts (0 for every other routine).
size_t PlaneStart(const VectorRoutine& v, int field, int width, int height) {
    return v.family == Family::Interleaved && field == 1 ? 2 * static_cast<size_t>(width) * height : 0;
}

// The source row that destination row Y shows, or -1 where it shows none
// (the other field of "Interleaved").
int SourceRow(const VectorRoutine& v, int field, int Y) {
    if (v.family != Family::Interleaved) return Y / v.scale;
    if (Y % 2 != field) return -1;
    return (Y - field) / v.scale;
}

// The picture a full draw must leave: every pixel of a whole group and what
// the effect writes there; `field` is the field an "Interleaved" call draws.
Expectation Picture(const VectorRoutine& v, const Source& src, int field = 0) {
    return [&v, &src, field](int X, int Y) -> std::optional<uint16_t> {
        const int n = v.scale;
        if (X >= 8 * n * Groups(src.width())) return std::nullopt;
        const int row = SourceRow(v, field, Y);
        if (row < 0) return std::nullopt;
        const uint16_t p = src.at(X / n, row);
        switch (v.family) {
            case Family::Plain:
            case Family::Interleaved: return p;
            case Family::Horizontal:
                if (Y % 2 == 0) return p;
                if (v.dark == Dark::Unwritten) return std::nullopt;
                return Darkened(v.dark, p);
            case Family::Vertical: return X % 2 ? p : Darkened(v.dark, p);
        }
        return std::nullopt;
    };
}

// The field an "Interleaved" call drew, read off the destination.
int DrawnField(const Dest& dst) {
    for (int Y = 0; Y < dst.height(); ++Y)
        if (dst.Written(0, Y)) return Y % 2;
    return -1;
}

// Every whole group of every row sits in its 16-byte entry of the plane;
// every other byte of the extent is still invalid (0xFF). Scale 1 keeps no
// cache.
testing::AssertionResult CacheHolds(const VectorRoutine& v, const Source& src, const Cache& cache,
                                    const std::vector<int>& fields) {
    std::vector<uint8_t> expected(cache.extent(), 0xFF);
    for (int field : v.scale == 1 ? std::vector<int>{} : fields) {
        const size_t plane = PlaneStart(v, field, src.width(), src.height());
        for (int r = 0; r < src.height(); ++r)
            for (int x = 0; x < 8 * Groups(src.width()); ++x) {
                const uint16_t p = src.at(x, r);
                std::memcpy(&expected[plane + VectorCacheOffset(src.width(), x, r)], &p, 2);
            }
    }
    const std::vector<uint8_t> got = cache.Bytes();
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != expected[i])
            return testing::AssertionFailure() << "cache byte " << i << " is " << Hex(got[i]) << ", want "
                                               << Hex(expected[i]);
    return cache.GuardsIntact();
}

struct Size {
    int width, height, srcPad, dstPad;  // pads in bytes, multiples of 16; 0 = tight
};

constexpr Size kSizes[] = {
    {8, 2, 0, 0}, {16, 6, 32, 16}, {40, 4, 0, 48}, {64, 10, 16, 0}, {200, 4, 48, 32}, {328, 2, 0, 0},
};

Source MakeSource(const Size& size, uint32_t seed) {
    Source src(size.width, size.height, size.srcPad ? 2 * size.width + size.srcPad : 0);
    src.FillRandom(seed);
    return src;
}

Dest MakeDest(const Size& size, int scale) {
    return Dest(size.width * scale, size.height * scale, size.dstPad ? 2 * size.width * scale + size.dstPad : 0);
}

class VectorDraw : public testing::TestWithParam<std::tuple<int, int>> {};

// A full draw over an invalidated cache, a repeated call, and one-pixel
// changes: each rewrites exactly its group's output in the rows the effect
// writes, and only the changed pixel's two cache bytes take a new value.
TEST_P(VectorDraw, FullDrawRepeatAndOnePixelChange) {
    const auto [index, sizeIndex] = GetParam();
    const VectorRoutine& v = kVector[index];
    const Size size = kSizes[sizeIndex];
    const int n = v.scale;
    const bool interleaved = v.family == Family::Interleaved;
    Source src = MakeSource(size, 77 + 13 * index + sizeIndex);
    Dest dst = MakeDest(size, n);
    Cache cache(CacheExtent(v, size.width, size.height));

    Draw(v.routine, src, cache, dst);
    const int field = interleaved ? DrawnField(dst) : 0;
    ASSERT_TRUE(MatchesPicture(dst, Picture(v, src, field))) << v.name;
    ASSERT_TRUE(CacheHolds(v, src, cache, {field})) << v.name;

    // "Interleaved" draws the other field next, from its own, still invalid plane.
    if (interleaved) {
        dst.Reset();
        Draw(v.routine, src, cache, dst);
        ASSERT_TRUE(MatchesPicture(dst, Picture(v, src, 1 - field))) << v.name;
        ASSERT_TRUE(CacheHolds(v, src, cache, {0, 1})) << v.name;
    }

    // The same source again: scale 1 copies everything, the others nothing.
    const std::vector<uint8_t> before = cache.Bytes();
    for (int call = 0; call < (interleaved ? 2 : 1); ++call) {
        dst.Reset();
        Draw(v.routine, src, cache, dst);
        if (n == 1) {
            EXPECT_TRUE(MatchesPicture(dst, Picture(v, src))) << v.name;
        } else {
            EXPECT_TRUE(WroteExactly(dst, [](int, int) { return false; })) << v.name;
            EXPECT_EQ(cache.Bytes(), before) << v.name;
        }
    }
    if (n == 1) return;

    const int w = size.width, h = size.height;
    for (const auto& [x, r] : {std::pair{0, 0}, {w / 2 + 3, h / 2}, {w - 1, h - 1}}) {
        src.at(x, r) ^= 0x0421;
        // "Interleaved" shows the change in one field per call.
        for (int call = 0; call < (interleaved ? 2 : 1); ++call) {
            const std::vector<uint8_t> old = cache.Bytes();
            dst.Reset();
            Draw(v.routine, src, cache, dst);
            const int drawn = interleaved ? (field + call) % 2 : 0;
            const Expectation picture = Picture(v, src, drawn);
            EXPECT_TRUE(WroteExactly(dst, [&](int X, int Y) {
                return SourceRow(v, drawn, Y) == r && X / (8 * n) == x / 8 && picture(X, Y).has_value();
            })) << v.name << ": change at (" << x << ", " << r << ")";
            EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) -> std::optional<uint16_t> {
                return dst.Written(X, Y) ? picture(X, Y) : std::nullopt;
            })) << v.name;
            const std::vector<uint8_t> now = cache.Bytes();
            const size_t at = PlaneStart(v, drawn, w, h) + VectorCacheOffset(w, x, r);
            for (size_t i = 0; i < now.size(); ++i) {
                if (i == at || i == at + 1) continue;
                EXPECT_EQ(now[i], old[i]) << v.name << ": cache byte " << i;
            }
            EXPECT_EQ(cache.PixelAt(at), src.at(x, r)) << v.name;
        }
    }
    EXPECT_TRUE(cache.GuardsIntact()) << v.name;
}

INSTANTIATE_TEST_SUITE_P(AllRoutines, VectorDraw,
                         testing::Combine(testing::Range(0, static_cast<int>(kVector.size())),
                                          testing::Range(0, static_cast<int>(std::size(kSizes)))),
                         [](const testing::TestParamInfo<std::tuple<int, int>>& info) {
                             return std::string(kVector[std::get<0>(info.param)].name) + "_" +
                                    std::to_string(kSizes[std::get<1>(info.param)].width) + "x" +
                                    std::to_string(kSizes[std::get<1>(info.param)].height);
                         });

// Each vector routine against the scalar routine it replaces in the table.
struct Twin {
    BlitProc vector;
    BlitProc scalar;
};

#define TWIN(fn) Twin{fn##_Vector, fn}
const Twin kTwins[] = {
    TWIN(Plain_1x),
    TWIN(Horizontal_1x),
    TWIN(Horizontal25_1x),
    TWIN(Horizontal50_1x),
    TWIN(Horizontal75_1x),
    TWIN(Horizontal_2x),
    TWIN(Horizontal25_2x),
    TWIN(Horizontal50_2x),
    TWIN(Horizontal75_2x),
    TWIN(Vertical_2x),
    TWIN(Vertical25_2x),
    TWIN(Vertical50_2x),
    TWIN(Vertical75_2x),
    TWIN(Interleaved_2x),
    TWIN(Plain_3x),
    TWIN(Horizontal_3x),
    TWIN(Horizontal25_3x),
    TWIN(Horizontal50_3x),
    TWIN(Horizontal75_3x),
    TWIN(Interleaved_3x),
    TWIN(Vertical_3x),
    TWIN(Vertical25_3x),
    TWIN(Vertical50_3x),
    TWIN(Vertical75_3x),
    TWIN(Plain_4x),
    TWIN(Horizontal_4x),
    TWIN(Horizontal25_4x),
    TWIN(Horizontal50_4x),
    TWIN(Horizontal75_4x),
    TWIN(Interleaved_4x),
    TWIN(Plain_5x),
    TWIN(Horizontal_5x),
    TWIN(Horizontal25_5x),
    TWIN(Horizontal50_5x),
    TWIN(Horizontal75_5x),
    TWIN(Interleaved_5x),
};
#undef TWIN

// The load entry applies exactly these 36 pairs, in this stored order, and
// the list ends with a pair of null pointers.
TEST(VectorTwins, SubstitutionListInStoredOrder) {
    const VectorPair* pair = VectorSubstitutionList();
    for (const Twin& twin : kTwins) {
        ASSERT_NE(pair->scalar, nullptr) << "list ends before " << Find(twin.vector).name;
        EXPECT_EQ(pair->scalar, twin.scalar) << Find(twin.vector).name;
        EXPECT_EQ(pair->vector, twin.vector) << Find(twin.vector).name;
        ++pair;
    }
    EXPECT_EQ(pair->scalar, nullptr);
    EXPECT_EQ(pair->vector, nullptr);
}

// Pixel for pixel and written-or-not, plus both destinations' guards.
testing::AssertionResult SameDrawing(const Dest& got, const Dest& want) {
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (got.at(x, y) != want.at(x, y))
                return testing::AssertionFailure()
                       << "(" << x << ", " << y << "): vector "
                       << (got.Written(x, y) ? Hex(got.at(x, y)) : std::string("unwritten")) << ", scalar "
                       << (want.Written(x, y) ? Hex(want.at(x, y)) : std::string("unwritten"));
    if (!want.GuardsIntact()) return testing::AssertionFailure() << "scalar: " << want.GuardsIntact().message();
    return got.GuardsIntact();
}

// Calls an "Interleaved" routine on a throwaway picture until its next call
// draws `field`.
void MoveToField(BlitProc routine, int scale, int field) {
    Source src(8, 2);
    src.FillRandom(1);
    for (;;) {
        Dest probe(8 * scale, 2 * scale);
        Cache cache(HostCacheBytes(8, 2, src.rowBytes()));
        Draw(routine, src, cache, probe);
        if (DrawnField(probe) != field) return;
    }
}

// Over invalidated caches, on many random pictures and sizes with tight and
// padded strides, the vector routine draws exactly what its twin draws. The
// "Interleaved" pairs are first brought to the same field and then compared
// call by call: odd field, even field, and an unchanged frame. Heights are
// even, as hosts promise, except for one odd height.
TEST(VectorTwins, DrawTheSamePictures) {
    for (const Twin& twin : kTwins) {
        const VectorRoutine& v = Find(twin.vector);
        const bool interleaved = v.family == Family::Interleaved;
        std::vector<std::pair<int, int>> sizes;
        for (int width = 8; width <= 328; width += width < 64 ? 8 : 88) sizes.emplace_back(width, 2 + 2 * ((width / 8) % 3));
        sizes.emplace_back(24, 3);  // an odd height, outside the guarantees: the same, and nothing outside
        for (const auto& [width, height] : sizes) {
            for (const bool padded : {false, true}) {
                const Size size{width, height, padded ? 32 : 0, padded ? 16 : 0};
                const Source src = MakeSource(size, width * 31 + padded);
                Dest fromVector = MakeDest(size, v.scale), fromScalar = MakeDest(size, v.scale);
                Cache vectorCache(CacheExtent(v, width, height));
                Cache scalarCache(HostCacheBytes(width, height, src.rowBytes()));
                if (interleaved) {
                    MoveToField(twin.vector, v.scale, 1);
                    MoveToField(twin.scalar, v.scale, 1);
                }
                for (int call = 0; call < (interleaved ? 3 : 1); ++call) {
                    fromVector.Reset();
                    fromScalar.Reset();
                    Draw(twin.vector, src, vectorCache, fromVector);
                    Draw(twin.scalar, src, scalarCache, fromScalar);
                    EXPECT_TRUE(SameDrawing(fromVector, fromScalar))
                        << v.name << ", " << width << "x" << height << (padded ? " padded" : "") << ", call " << call;
                }
                EXPECT_TRUE(vectorCache.GuardsIntact()) << v.name;
            }
        }
    }
}

// Widths outside the host's guarantees: the pixels after the last whole group
// are neither cached nor drawn, and nothing past the exact cache extent or the
// destination is written. A width below 8 draws nothing.
TEST(Vector, PartialGroupsAreLeftAlone) {
    for (const VectorRoutine& v : kVector) {
        for (const int width : {4, 12, 20, 63}) {
            Source src(width, 4);
            src.FillRandom(width);
            Dest dst(width * v.scale, 4 * v.scale);
            Cache cache(CacheExtent(v, width, 4));
            Draw(v.routine, src, cache, dst);
            const int field = v.family == Family::Interleaved ? DrawnField(dst) : 0;
            if (width < 8) {
                EXPECT_EQ(dst.CountWritten(), 0) << v.name;
                EXPECT_TRUE(dst.GuardsIntact()) << v.name;
                EXPECT_TRUE(cache.GuardsIntact()) << v.name;
                continue;
            }
            EXPECT_TRUE(MatchesPicture(dst, Picture(v, src, field))) << v.name << ", width " << width;
            EXPECT_TRUE(CacheHolds(v, src, cache, {field})) << v.name << ", width " << width;
        }
    }
}

// Buffers and strides off the 16-byte grid are outside the contract; the
// routines still draw the right picture and touch nothing outside it.
TEST(Vector, MisalignedBuffersStayInside) {
    for (const VectorRoutine& v : kVector) {
        const int width = 24, height = 4, n = v.scale;
        Source src(width + 1, height, 2 * (width + 1) + 2);  // stride 52: not a multiple of 16
        src.FillRandom(3);
        Dest dst(width * n + 1, height * n, 2 * (width * n + 1) + 6);
        Cache cache(CacheExtent(v, width, height) + 2);
        v.routine(&src.at(1, 0), src.rowBytes(), static_cast<uint8_t*>(cache.data()) + 2, dst.pixels() + 1,
                  dst.rowBytes(), width, height);
        const Source& shown = src;
        Expectation inner = [&](int X, int Y) -> std::optional<uint16_t> {
            const int drawn = v.family == Family::Interleaved ? (dst.Written(1, 0) ? 0 : 1) : 0;
            const int row = SourceRow(v, drawn, Y);
            if (row < 0 || X >= 8 * n * 3) return std::nullopt;
            // Column X of the shifted picture shows source column X / n + 1.
            const uint16_t p = shown.at(X / n + 1, row);
            if (v.family == Family::Vertical) return X % 2 ? p : Darkened(v.dark, p);
            if (v.family == Family::Horizontal && Y % 2) {
                if (v.dark == Dark::Unwritten) return std::nullopt;
                return Darkened(v.dark, p);
            }
            return p;
        };
        EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) -> std::optional<uint16_t> {
            if (X == 0) return std::nullopt;
            return inner(X - 1, Y);
        })) << v.name;
        EXPECT_EQ(cache.PixelAt(0), 0xFFFF) << v.name;
        EXPECT_TRUE(cache.GuardsIntact()) << v.name;
    }
}

// The values named for the vector routines, on one group.
TEST(Vector, NamedValues) {
    struct Case {
        BlitProc routine;
        std::array<uint16_t, 8> row;
        int Y;
        std::vector<uint16_t> first;  // destination row Y from column 0
    };
    const std::array<uint16_t, 8> white = {0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF};
    const Case cases[] = {
        {Vertical_2x_Vector, {0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0x7777, 0x0421}, 1,
         {0, 0x1111, 0, 0x2222, 0, 0x3333, 0, 0x4444, 0, 0x5555, 0, 0x6666, 0, 0x7777, 0, 0x0421}},
        {Vertical25_3x_Vector, white, 2, {0x1CE7, 0x7FFF, 0x1CE7, 0x7FFF, 0x1CE7, 0x7FFF}},
        {Vertical75_2x_Vector, white, 0, {0x5AD6, 0x7FFF, 0x5AD6, 0x7FFF}},
        {Horizontal75_2x_Vector, white, 0, {0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF}},
        {Horizontal75_2x_Vector, white, 1, {0x5AD6, 0x5AD6, 0x5AD6, 0x5AD6}},
        {Horizontal50_1x_Vector, white, 1, {0x3DEF, 0x3DEF}},
        {Horizontal25_1x_Vector, white, 1, {0x1CE7, 0x1CE7}},
    };
    for (const Case& c : cases) {
        const VectorRoutine& v = Find(c.routine);
        Source src(8, 2);
        src.Fill([&](int x, int) { return c.row[x]; });
        Dest dst(8 * v.scale, 2 * v.scale);
        Cache cache(CacheExtent(v, 8, 2));
        Draw(v.routine, src, cache, dst);
        for (size_t X = 0; X < c.first.size(); ++X)
            EXPECT_EQ(dst.at(static_cast<int>(X), c.Y), c.first[X]) << v.name << " (" << X << ", " << c.Y << ")";
    }
}

// "Horizontal" at 1x never reads the odd source rows: filling them with
// anything changes nothing.
TEST(Vector, PlainScanlinesSkipOddSourceRows) {
    Source a(16, 4), b(16, 4);
    a.FillRandom(1);
    b.Fill([&](int x, int y) { return y % 2 ? static_cast<uint16_t>(x) : a.at(x, y); });
    Dest da(16, 4), db(16, 4);
    Cache cache(0);
    Draw(Horizontal_1x_Vector, a, cache, da);
    Draw(Horizontal_1x_Vector, b, cache, db);
    EXPECT_TRUE(MatchesPicture(db, [&](int x, int y) -> std::optional<uint16_t> {
        return da.Written(x, y) ? std::optional<uint16_t>(da.at(x, y)) : std::nullopt;
    }));
}

// The four vector "Interleaved" routines keep separate fields: calls of one
// never shift another's alternation.
TEST(Vector, InterleavedFieldsAreSeparate) {
    Source src(8, 2);
    src.FillRandom(4);
    const auto nextField = [&](const VectorRoutine& v) {
        Dest dst(8 * v.scale, 2 * v.scale);
        Cache cache(CacheExtent(v, 8, 2));
        Draw(v.routine, src, cache, dst);
        return DrawnField(dst);
    };
    const VectorRoutine& two = Find(Interleaved_2x_Vector);
    const int first = nextField(two);
    ASSERT_GE(first, 0);
    for (const VectorRoutine& other : {Find(Interleaved_3x_Vector), Find(Interleaved_4x_Vector), Find(Interleaved_5x_Vector)})
        nextField(other);
    EXPECT_EQ(nextField(two), 1 - first);
    EXPECT_EQ(nextField(two), first);
}

// The layer's permutes: output k of the replication by N holds source lanes
// (8k + j) div N, and the all-lanes test sees a change in any bit of any lane.
TEST(VectorLayer, ReplicationAndAllEqual) {
    const vec::Lanes lanes = {0, 1, 2, 3, 4, 5, 6, 7};
    const auto check = [&](auto replicated, int n) {
        for (int k = 0; k < n; ++k)
            for (int j = 0; j < 8; ++j)
                EXPECT_EQ(replicated.out[k][j], (8 * k + j) / n) << n << "x, vector " << k << ", lane " << j;
    };
    check(vec::Replicate<2>(lanes), 2);
    check(vec::Replicate<3>(lanes), 3);
    check(vec::Replicate<4>(lanes), 4);
    check(vec::Replicate<5>(lanes), 5);
    for (int lane = 0; lane < 8; ++lane)
        for (int bit = 0; bit < 16; ++bit) {
            vec::Lanes other = lanes;
            other[lane] ^= static_cast<uint16_t>(1u << bit);
            EXPECT_FALSE(vec::AllEqual(lanes, other)) << "lane " << lane << ", bit " << bit;
        }
    EXPECT_TRUE(vec::AllEqual(lanes, lanes));
}

}  // namespace
}  // namespace tovrin::test
