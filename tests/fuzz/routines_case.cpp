// The routines fuzz case. Input bytes:
//   0     routine (index into TableRoutines, modulo their count)
//   1     width  = 8 * (1 + b % 32)       (8 to 256)
//   2     height = 2 * (1 + b % 32)       (2 to 64)
//   3     source padding 16 * (b & 3) bytes, destination padding 16 * ((b >> 2) & 3)
//   4     palette: bit 3 set = any colour, else 1 + (b & 7) colours;
//         bits 4-5: how often a pixel repeats its left or upper neighbour
//   5-8   seed of the first picture (all readable pixels, margins included)
//   9...  edits of 4 bytes (x, y, value low, value high): y bit 7 clear =
//         first frame (margins included), set = second frame (inside the
//         picture); value bit 15 set = palette colour (low byte) instead
//
// The routine draws the first frame over an invalidated cache, then the
// second through the same cache and destination. The destination must then
// equal a full redraw of the second picture over a fresh cache; a second
// full redraw with other values in the bytes next to the readable margins
// must not differ (the routine read them). The field routines draw each
// frame with two calls, one per field.
#include "fuzz/routines_case.h"

#include <cstdio>
#include <random>
#include <vector>

#include "cache_extents.h"
#include "exact_memory.h"

namespace tovrin::test {
namespace {

constexpr uint16_t kUnwritten = 0xDEAD;  // bit 15 set: no routine writes it from these sources

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    size_t Left() const { return size_ - at_; }

private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

struct Edit {
    int x, y;
    uint16_t value;
};

struct Case {
    const TableRoutine* routine;
    int width, height, srcRowBytes, dstRowBytes;
    std::vector<uint16_t> palette;  // empty: any colour
    int coherence;                  // 0..3 quarters
    uint32_t seed;
    std::vector<Edit> first, second;
};

Case Parse(const uint8_t* data, size_t size) {
    const std::vector<TableRoutine>& routines = TableRoutines();
    Bytes in(data, size);
    Case c{};
    c.routine = &routines[in.Next() % routines.size()];
    c.width = 8 * (1 + in.Next() % 32);
    c.height = 2 * (1 + in.Next() % 32);
    const uint8_t pads = in.Next();
    c.srcRowBytes = 2 * c.width + 16 * (pads & 3);
    c.dstRowBytes = 2 * c.width * c.routine->scale + 16 * ((pads >> 2) & 3);
    const uint8_t colours = in.Next();
    c.coherence = (colours >> 4) & 3;
    for (int i = 0; i < 4; ++i) c.seed = (c.seed << 8) | in.Next();
    std::mt19937 rng(c.seed);
    if (!(colours & 8))
        for (int i = 0; i <= (colours & 7); ++i) c.palette.push_back(static_cast<uint16_t>(rng() & 0x7FFF));
    while (in.Left() >= 4) {
        const uint8_t bx = in.Next(), by = in.Next(), lo = in.Next(), hi = in.Next();
        uint16_t value = static_cast<uint16_t>((lo | hi << 8) & 0x7FFF);
        if ((hi & 0x80) && !c.palette.empty()) value = c.palette[lo % c.palette.size()];
        if (by & 0x80)
            c.second.push_back({bx % c.width, (by & 0x7F) % c.height, value});
        else
            c.first.push_back({bx % (c.width + 3) - 1, by % (c.height + 3) - 1, value});
    }
    return c;
}

void FillFirstFrame(const Case& c, ExactSource& src) {
    std::mt19937 rng(c.seed ^ 0x9E3779B9u);
    for (int y = -1; y <= c.height + 1; ++y) {
        for (int x = -1; x <= c.width + 1; ++x) {
            uint16_t v = c.palette.empty() ? static_cast<uint16_t>(rng() & 0x7FFF) : c.palette[rng() % c.palette.size()];
            if (static_cast<int>(rng() % 4) < c.coherence) {
                if (x > -1 && rng() % 2) v = src.at(x - 1, y);
                else if (y > -1) v = src.at(x, y - 1);
            }
            src.at(x, y) = v;
        }
    }
    for (const Edit& e : c.first) src.at(e.x, e.y) = e.value;
}

std::string Label(const Case& c) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "\"%s\" %dx%s, %d x %d, source stride %d, destination stride %d",
                  c.routine->name.c_str(), c.routine->scale, c.routine->vectorTwin ? " (vector)" : "", c.width,
                  c.height, c.srcRowBytes, c.dstRowBytes);
    return buf;
}

// One frame: one call, or one per field.
void DrawFrame(const Case& c, ExactSource& src, ExactCache& cache, ExactDest& dst) {
    const int calls = DrawsFields(*c.routine) ? 2 : 1;
    for (int i = 0; i < calls; ++i)
        c.routine->routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), c.width,
                           c.height);
}

std::string FirstDifference(const ExactDest& got, const ExactDest& want) {
    for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
            if (got.at(x, y) == want.at(x, y)) continue;
            char buf[120];
            std::snprintf(buf, sizeof buf, "destination pixel (%d, %d) is 0x%04X, a full redraw gives 0x%04X", x, y,
                          got.at(x, y), want.at(x, y));
            return buf;
        }
    }
    return {};
}

}  // namespace

std::string CheckRoutinesInput(const uint8_t* data, size_t size) {
    const Case c = Parse(data, size);
    if (!c.routine->extent) return Label(c) + ": no cache extent known";
    const int s = c.routine->scale;
    const size_t extent =
        c.routine->extent({static_cast<size_t>(c.width), static_cast<size_t>(c.height), static_cast<size_t>(c.srcRowBytes)});

    ExactSource src(c.width, c.height, c.srcRowBytes);
    FillFirstFrame(c, src);
    src.region().FillCanaries(c.seed | 1);
    ExactCache cache(extent);
    ExactDest dst(c.width * s, c.height * s, c.dstRowBytes, kUnwritten);

    std::vector<uint8_t> before = src.region().Snapshot();
    DrawFrame(c, src, cache, dst);
    if (src.region().Snapshot() != before) return Label(c) + ": the first frame wrote to the source";
    for (const Edit& e : c.second) src.at(e.x, e.y) = e.value;
    before = src.region().Snapshot();
    DrawFrame(c, src, cache, dst);
    if (src.region().Snapshot() != before) return Label(c) + ": the second frame wrote to the source";
    if (!dst.region().CanariesIntact()) return Label(c) + ": wrote outside the destination rows";
    if (!cache.region().CanariesIntact()) return Label(c) + ": wrote past the cache extent";

    ExactCache freshCache(extent);
    ExactDest full(c.width * s, c.height * s, c.dstRowBytes, kUnwritten);
    DrawFrame(c, src, freshCache, full);
    if (std::string d = FirstDifference(dst, full); !d.empty())
        return Label(c) + ": after the second frame " + d;

    // The same full redraw with other bytes next to the readable margins.
    src.region().FillCanaries(0);
    ExactCache otherCache(extent);
    ExactDest other(c.width * s, c.height * s, c.dstRowBytes, kUnwritten);
    DrawFrame(c, src, otherCache, other);
    if (std::string d = FirstDifference(other, full); !d.empty())
        return Label(c) + ": reads source memory outside the readable margins: " + d;
    return {};
}

}  // namespace tovrin::test
