// Every routine the table can hand out, over buffers with no slack at all:
// the source readable exactly where a host guarantees it, the destination
// exactly scale times the picture, the cache exactly the routine's extent.
// In the sanitizer build any byte read or written outside is reported where
// it happens; the few bytes the sanitizer cannot mark (and, in other
// builds, all of them) are filled with different values from run to run,
// and the pictures and caches drawn must not change with them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cache_extents.h"
#include "exact_memory.h"
#include "fixture.h"
#include "table_rows.h"

namespace tovrin::test {
namespace {

struct Shape {
    int width, height, srcPad, dstPad;
};

// The smallest legal picture, tight and padded strides, and a wide one.
constexpr Shape kShapes[] = {
    {8, 2, 0, 0}, {8, 2, 16, 16}, {16, 6, 48, 0}, {24, 4, 0, 32}, {40, 8, 32, 16}, {256, 4, 16, 0},
};

struct Outcome {
    std::vector<uint16_t> picture;
    std::vector<uint8_t> cache;
};

// Two frames, each drawn by two calls: the second call repeats the frame
// (nothing to redraw) or, for the field routines, draws the other field;
// an even number of calls leaves their parity bit as it was.
Outcome DrawTwoFrames(const TableRoutine& r, const Shape& shape, uint32_t canarySeed) {
    const int w = shape.width, h = shape.height, s = r.scale;
    ExactSource src(w, h, 2 * w + shape.srcPad);
    std::mt19937 rng(static_cast<uint32_t>(w * 131 + h * 7 + shape.srcPad));
    src.FillReadable(rng);
    src.region().FillCanaries(canarySeed);
    ExactDest dst(w * s, h * s, 2 * w * s + shape.dstPad, kSentinel);
    dst.region().FillCanaries(canarySeed + 1);
    ExactCache cache(r.extent(CacheGeometry{static_cast<size_t>(w), static_cast<size_t>(h),
                                            static_cast<size_t>(src.rowBytes())}));
    cache.region().FillCanaries(canarySeed + 2);

    auto frame = [&] {
        const std::vector<uint8_t> before = src.region().Snapshot();
        for (int call = 0; call < 2; ++call)
            r.routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), w, h);
        EXPECT_EQ(src.region().Snapshot(), before) << "the source was written";
    };
    frame();
    // Change some pixels, the corners among them, and draw again.
    for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        src.at(x, y) ^= 0x2D6B;
    for (int i = 0; i < w * h / 8; ++i) src.at(rng() % w, rng() % h) = static_cast<uint16_t>(rng() & 0x7FFF);
    frame();

    EXPECT_TRUE(src.region().CanariesIntact()) << "written before a source row";
    EXPECT_TRUE(dst.region().CanariesIntact()) << "written outside the destination rows";
    EXPECT_TRUE(cache.region().CanariesIntact()) << "written past the cache extent";
    std::vector<uint8_t> cacheBytes(cache.region().base(), cache.region().base() + cache.extent());
    return {dst.Pixels(), cacheBytes};
}

std::string Label(const TableRoutine& r) {
    return "\"" + r.name + "\" " + std::to_string(r.scale) + "x" + (r.vectorTwin ? " (vector)" : "");
}

TEST(Bounds, EveryRoutineStaysInsideExactBuffers) {
    const std::vector<TableRoutine>& routines = TableRoutines();
    ASSERT_FALSE(routines.empty());
    for (const TableRoutine& r : routines) {
        ASSERT_NE(r.extent, nullptr) << Label(r) << ": no cache extent known for this routine";
        for (const Shape& shape : kShapes) {
            SCOPED_TRACE(Label(r) + ", " + std::to_string(shape.width) + " x " + std::to_string(shape.height) +
                         ", source padding " + std::to_string(shape.srcPad) + ", destination padding " +
                         std::to_string(shape.dstPad));
            // Canaries random, random again, and copies of their neighbours.
            const Outcome a = DrawTwoFrames(r, shape, 11);
            const Outcome b = DrawTwoFrames(r, shape, 23);
            const Outcome c = DrawTwoFrames(r, shape, 0);
            EXPECT_TRUE(a.picture == b.picture && a.picture == c.picture)
                << "the picture depends on source memory outside the readable margins";
            EXPECT_TRUE(a.cache == b.cache && a.cache == c.cache)
                << "the cache depends on source memory outside the readable margins";
        }
    }
}

// The extents are known for every row of the table, in the table's order.
TEST(Bounds, ExtentTableCoversEveryRow) {
    for (size_t i = 0; i < kTableRows.size(); ++i) {
        EXPECT_EQ(kRoutineExtents[i].name, kTableRows[i].name) << "row " << i;
        EXPECT_EQ(kRoutineExtents[i].scale, kTableRows[i].scale) << "row " << i;
        EXPECT_EQ(kRoutineExtents[i].vector != nullptr, kTableRows[i].hasVectorTwin) << "row " << i;
    }
}

// The host's general guarantee covers every routine's extent.
TEST(Bounds, HostCacheCoversEveryExtent) {
    for (const auto& [w, h, pad] : {std::tuple{8, 2, 0}, {16, 6, 48}, {256, 64, 16}}) {
        const CacheGeometry g{static_cast<size_t>(w), static_cast<size_t>(h), static_cast<size_t>(2 * w + pad)};
        for (const RoutineExtent& e : kRoutineExtents) {
            const size_t host = HostCacheBytes(w, h, 2 * w + pad);
            EXPECT_LE(e.scalar(g), host) << e.name << " " << e.scale << "x";
            if (e.vector) {
                EXPECT_LE(e.vector(g), host) << e.name << " " << e.scale << "x (vector)";
            }
        }
    }
}

}  // namespace
}  // namespace tovrin::test
