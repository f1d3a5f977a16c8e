// "Interleaved": one field per call, alternating, each field with its own
// cache half. The field flags live in the module for as long as it is
// loaded, so tests in this process follow the alternation from whatever
// field a routine draws next; what a freshly loaded module draws first is
// checked in a child process that loads the module like a host.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "fixture.h"
#include "frame/routines.h"
#include "platform/gestalt.h"
#include "scanline_layout.h"

namespace tovrin::test {
namespace {

constexpr int kEven = 0, kOdd = 1;

constexpr std::array<BlitProc, 5> kInterleaved = {Interleaved_1x, Interleaved_2x, Interleaved_3x, Interleaved_4x,
                                                  Interleaved_5x};

// The odd field's cache half starts 2 x width x height bytes in.
size_t HalfOffset(int width, int height) { return 2 * static_cast<size_t>(width) * height; }

size_t CacheExtent(int scale, int width, int height) {
    return scale == 1 ? 0 : HalfOffset(width, height) + ScanlineCacheExtent(scale, width, height);
}

// Destination row Y of a field shows source row Y at 1x, (Y - field) div N
// otherwise; columns as the plain scanline routine draws them.
int SourceRow(int scale, int field, int y) { return scale == 1 ? y : (y - field) / scale; }

Expectation FieldPicture(int scale, const Source& src, int field) {
    const int columns = scale == 4 ? 4 * src.width() : scale * 4 * (src.width() / 4);
    return [=, &src](int x, int y) -> std::optional<uint16_t> {
        if (y % 2 != field || x >= columns) return std::nullopt;
        return src.at(x / scale, SourceRow(scale, field, y));
    };
}

// The field a call drew, from the first two destination rows.
int FieldDrawn(const Dest& dst) {
    bool even = false, odd = false;
    for (int x = 0; x < dst.width(); ++x) {
        even = even || dst.Written(x, 0);
        odd = odd || (dst.height() > 1 && dst.Written(x, 1));
    }
    return even == odd ? -1 : (odd ? kOdd : kEven);
}

// Every cached pixel of the given fields' halves at its place; all other
// bytes still 0xFF. The vector twins lay each half out in their own way.
testing::AssertionResult CacheHolds(const Cache& cache, const Source& src, int scale, std::initializer_list<int> fields,
                                    bool vectorTwin = false) {
    std::vector<uint8_t> want(cache.extent(), 0xFF);
    for (int field : fields) {
        for (int r = 0; r < src.height(); ++r) {
            for (int x = 0; x < src.width(); ++x) {
                const long at = vectorTwin ? VectorCacheOffset(src.width(), x, r)
                                           : ScanlineCacheOffset(scale, src.width(), x, r);
                if (at < 0) continue;
                const size_t byte = field * HalfOffset(src.width(), src.height()) + at;
                const uint16_t p = src.at(x, r);
                std::memcpy(&want[byte], &p, 2);
            }
        }
    }
    const std::vector<uint8_t> got = cache.Bytes();
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i])
            return testing::AssertionFailure() << "cache byte " << i << " is " << int(got[i]) << ", want " << int(want[i]);
    return cache.GuardsIntact();
}

struct Size {
    int width, height, srcPad, dstPad;
};

class InterleavedDraw : public testing::TestWithParam<std::tuple<int, Size>> {};

TEST_P(InterleavedDraw, FieldsAlternateEachWithItsCacheHalf) {
    const auto [index, size] = GetParam();
    const int n = index + 1;
    const BlitProc routine = kInterleaved[index];
    Source src(size.width, size.height, size.srcPad ? 2 * size.width + size.srcPad : 0);
    src.FillRandom(700 + size.width + size.height * 3);
    Dest dst(size.width * n, size.height * n, size.dstPad ? 2 * size.width * n + size.dstPad : 0);
    Cache cache(CacheExtent(n, size.width, size.height));

    Draw(routine, src, cache, dst);
    const int first = FieldDrawn(dst);
    ASSERT_NE(first, -1);
    const int second = 1 - first;
    ASSERT_TRUE(MatchesPicture(dst, FieldPicture(n, src, first)));
    if (n > 1) {
        EXPECT_TRUE(CacheHolds(cache, src, n, {first}));
    }

    dst.Reset();
    Draw(routine, src, cache, dst);
    ASSERT_TRUE(MatchesPicture(dst, FieldPicture(n, src, second)));
    if (n > 1) {
        EXPECT_TRUE(CacheHolds(cache, src, n, {kEven, kOdd}));
    }

    // The first field again, same source: nothing to do except at 1x, which
    // keeps no cache and redraws its field.
    dst.Reset();
    Draw(routine, src, cache, dst);
    if (n == 1) {
        EXPECT_TRUE(MatchesPicture(dst, FieldPicture(n, src, first)));
        return;
    }
    EXPECT_TRUE(WroteExactly(dst, [](int, int) { return false; }));
    EXPECT_TRUE(CacheHolds(cache, src, n, {kEven, kOdd}));

    // A changed pixel is redrawn in each field in turn, because each field
    // compares with its own half.
    const int x = std::min(5, 4 * (size.width / 4) - 1), r = size.height - 1;
    src.at(x, r) ^= 0x2A5;
    for (int field : {second, first}) {
        dst.Reset();
        Draw(routine, src, cache, dst);
        EXPECT_TRUE(WroteExactly(dst, [&](int X, int Y) {
            const int block = X / 4 * 4;
            return Y % 2 == field && SourceRow(n, field, Y) == r && block / n <= x && x <= (block + 3) / n;
        })) << "field " << field;
        const Expectation picture = FieldPicture(n, src, field);
        EXPECT_TRUE(MatchesPicture(dst, [&](int X, int Y) { return dst.Written(X, Y) ? picture(X, Y) : std::nullopt; }));
    }
    EXPECT_TRUE(CacheHolds(cache, src, n, {kEven, kOdd}));
}

std::string ScaleAndSize(const testing::TestParamInfo<std::tuple<int, Size>>& info) {
    const auto& [index, size] = info.param;
    return "Interleaved_" + std::to_string(index + 1) + "x_" + std::to_string(size.width) + "x" +
           std::to_string(size.height) + (size.srcPad || size.dstPad ? "_padded" : "");
}

INSTANTIATE_TEST_SUITE_P(Sizes, InterleavedDraw,
                         testing::Combine(testing::Range(0, 5),
                                          testing::Values(Size{8, 4, 0, 0}, Size{16, 6, 32, 16}, Size{24, 2, 0, 48},
                                                          Size{40, 10, 16, 0})),
                         ScaleAndSize);

// The cases named for "Interleaved" at 2x and 3x, with the field each call
// draws taken from its output.
TEST(Interleaved, NamedCases) {
    {
        // 8 x 4 at 2x: the odd field fills cache bytes 68 to 131, the even
        // one bytes 4 to 67.
        Source src(8, 4);
        src.Fill([](int x, int y) { return static_cast<uint16_t>(0x1000 + 16 * y + x); });  // no 0xFF byte
        Dest dst(16, 8);
        Cache cache(CacheExtent(2, 8, 4));
        for (int call = 0; call < 2; ++call) {
            const std::vector<uint8_t> before = cache.Bytes();
            dst.Reset();
            Draw(Interleaved_2x, src, cache, dst);
            const int field = FieldDrawn(dst);
            const size_t low = field == kOdd ? 68 : 4, high = field == kOdd ? 131 : 67;
            const std::vector<uint8_t> after = cache.Bytes();
            for (size_t i = 0; i < after.size(); ++i)
                EXPECT_EQ(after[i] != before[i], i >= low && i <= high) << "call " << call << ", byte " << i;
        }
    }
    {
        // 3x on four rows: the odd field's rows 1, 3, ..., 11 show source
        // rows 0, 0, 1, 2, 2, 3.
        Source src(8, 4);
        src.Fill([](int x, int y) { return static_cast<uint16_t>(0x100 * y + x); });
        Dest dst(24, 12);
        Cache cache(CacheExtent(3, 8, 4));
        Draw(Interleaved_3x, src, cache, dst);
        if (FieldDrawn(dst) == kEven) {
            dst.Reset();
            Draw(Interleaved_3x, src, cache, dst);
        }
        const int rows[] = {0, 0, 1, 2, 2, 3};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Hex(dst.at(7, 2 * i + 1)), Hex(0x100 * rows[i] + 2)) << "row " << 2 * i + 1;
    }
}

// Each routine has its own flag: calls of the others leave its alternation
// alone.
TEST(Interleaved, RoutinesAlternateIndependently) {
    Source src(8, 4);
    src.FillRandom(41);
    std::array<int, 5> next{};
    for (int i = 0; i < 5; ++i) {
        Dest dst(8 * (i + 1), 4 * (i + 1));
        Cache cache(HostCacheBytes(8, 4, src.rowBytes()));
        Draw(kInterleaved[i], src, cache, dst);
        next[i] = 1 - FieldDrawn(dst);
    }
    // Calls of different routines, interleaved unevenly.
    for (const int i : {1, 1, 2, 0, 4, 4, 4, 3, 1, 0, 2, 2}) {
        Dest dst(8 * (i + 1), 4 * (i + 1));
        Cache cache(HostCacheBytes(8, 4, src.rowBytes()));
        Draw(kInterleaved[i], src, cache, dst);
        EXPECT_EQ(FieldDrawn(dst), next[i]) << "Interleaved_" << i + 1 << "x";
        next[i] = 1 - next[i];
    }
}

// Odd heights are outside what hosts pass; whatever is drawn is right and
// stays inside the destination. At 2x and 4x the two fields still make the
// whole picture.
TEST(Interleaved, OddHeightsStayInside) {
    for (int i = 0; i < 5; ++i) {
        const int n = i + 1;
        for (const int height : {1, 3, 5}) {
            Source src(8, height);
            src.FillRandom(51 + height);
            Dest dst(8 * n, height * n);
            Cache cache(CacheExtent(n, 8, height));
            std::array<bool, 2> drawn{};
            for (int call = 0; call < 2; ++call) {
                dst.Reset();
                Draw(kInterleaved[i], src, cache, dst);
                const int field = FieldDrawn(dst);
                if (field == -1) continue;  // an odd field with nothing left to draw
                drawn[field] = true;
                const Expectation picture = FieldPicture(n, src, field);
                if (n % 2 == 0) {
                    EXPECT_TRUE(MatchesPicture(dst, picture)) << n << "x, height " << height;
                } else {
                    EXPECT_TRUE(MatchesPicture(dst, [&](int x, int y) {
                        return dst.Written(x, y) ? picture(x, y) : std::nullopt;
                    })) << n << "x, height " << height;
                }
                EXPECT_TRUE(cache.GuardsIntact()) << n << "x, height " << height;
            }
            EXPECT_TRUE(drawn[kEven]) << n << "x, height " << height;
            if (n % 2 == 0) {
                EXPECT_TRUE(drawn[kOdd]) << n << "x, height " << height;
            }
        }
    }
}

// A freshly loaded module: the first call of every "Interleaved" routine
// draws the odd field, the second the even field, and a third with the same
// source nothing (1x: the odd field again). The five routines are called in
// turn, so a shared flag would show. Runs in the child; the exit code tells.
int CheckFreshModule() {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);  // the load banner
    void* module = dlopen(TOVRIN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "dlopen: %s\n", dlerror());
        return 3;
    }
    const auto load = reinterpret_cast<const ScalerEntry* (*)()>(dlsym(module, "Tovrin_Load"));
    // Where the platform reports the vector unit, the table holds the vector
    // twins of "Interleaved" at 2x to 5x.
    int32_t features = 0;
    const bool vectorTwins = Gestalt(0x70706366, &features) == 0 && (features & 0x10) != 0;
    std::array<BlitProc, 6> routines{};
    for (const ScalerEntry* e = load(); e->scale != 0; ++e)
        if (std::strcmp(e->name, "Interleaved") == 0) routines[e->scale] = e->routine;
    Source src(16, 4);
    src.FillRandom(61);
    std::vector<Dest> dsts;
    std::vector<Cache> caches;
    for (int n = 1; n <= 5; ++n) {
        if (!routines[n]) return 4;
        dsts.emplace_back(16 * n, 4 * n);
        caches.emplace_back(CacheExtent(n, 16, 4));
    }
    bool ok = true;
    for (int call = 0; call < 3; ++call) {
        for (int n = 1; n <= 5; ++n) {
            Dest& dst = dsts[n - 1];
            dst.Reset();
            Draw(routines[n], src, caches[n - 1], dst);
            const testing::AssertionResult result =
                call == 2 && n > 1 ? WroteExactly(dst, [](int, int) { return false; })
                                   : MatchesPicture(dst, FieldPicture(n, src, call == 1 ? kEven : kOdd));
            if (!result) {
                std::fprintf(stderr, "call %d of Interleaved_%dx: %s\n", call + 1, n, result.message());
                ok = false;
            }
            // The odd field was drawn from the second cache half.
            if (n == 1) continue;
            const testing::AssertionResult cached =
                call == 0 ? CacheHolds(caches[n - 1], src, n, {kOdd}, vectorTwins)
                          : CacheHolds(caches[n - 1], src, n, {kEven, kOdd}, vectorTwins);
            if (!cached) {
                std::fprintf(stderr, "call %d of Interleaved_%dx: %s\n", call + 1, n, cached.message());
                ok = false;
            }
        }
    }
    return ok ? 0 : 1;
}

TEST(InterleavedDeathTest, FreshModuleStartsWithTheOddField) {
    EXPECT_EXIT(_exit(CheckFreshModule()), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tovrin::test
