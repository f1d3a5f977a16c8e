// Shared pieces of the replicating scalers ("Plain" and the scanline and
// column-line effects): the darkened shades and the change-driven walk over a
// source row in the compare unit and cache layout of each magnification.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/memory.h"
#include "frame/routines.h"
#include "frame/unchanged.h"
#include "pixel/rgb555.h"

namespace tovrin {

// What a dark pixel holds. `None` is the plain variant: scanlines leave
// their dark rows alone, column lines paint their dark columns black.
enum class Shade { None, Quarter, Half, ThreeQuarters };

template <Shade S>
constexpr uint32_t DarkenPair(uint32_t pair) {
    if constexpr (S == Shade::Quarter) return Rgb555_Quarter2(pair);
    else if constexpr (S == Shade::Half) return Rgb555_Half2(pair);
    else if constexpr (S == Shade::ThreeQuarters) return Rgb555_ThreeQuarters2(pair);
    else return 0;
}

// Pixels 0 and 2 of a block darkened with one pair operation. The masks are
// the same in both halves of a pair, so the packing order does not matter.
template <Shade S>
inline Block DarkenEvenPixels(Block block) {
    uint16_t two[2] = {block.px[0], block.px[2]};
    StoreAt(two, DarkenPair<S>(LoadAt<uint32_t>(two)));
    block.px[0] = two[0];
    block.px[2] = two[1];
    return block;
}

// Every pixel of a block darkened, two pairs at a time.
template <Shade S>
inline Block DarkenBlock(Block block) {
    StoreAt(block.px, DarkenPair<S>(LoadAt<uint32_t>(block.px)));
    StoreAt(block.px + 2, DarkenPair<S>(LoadAt<uint32_t>(block.px + 2)));
    return block;
}

// Block b of a unit's replicated span (destination columns 4b to 4b + 3,
// counted from the unit's first column) at magnification N.
template <int N>
inline Block ReplicatedBlock(const uint16_t* p, int b) {
    return MakeBlock(p[(4 * b) / N], p[(4 * b + 1) / N], p[(4 * b + 2) / N], p[(4 * b + 3) / N]);
}

// Walks source row r with the compare unit and cache layout of magnification
// N (2 to 5) and calls write(column, block) for every 4-pixel destination
// block that shows a pixel differing from the cache, in order from the left,
// after the changed unit has been stored into the cache. `block` is the
// plain replicated block; the caller applies its effect. At 2x and 4x an
// unchanged unit is followed by a run test over the next units (the quad
// forms are cheap enough per pixel already).
//   2x: pairs of whole quads, cache + 4 + 8Q * r + 2x
//   3x, 5x: quads, then pixel by pixel, cache + 8Q * r + 2x
//   4x: every pixel, cache + 2 + 2 * (width * r + x)
template <int N, typename Write>
inline void ForEachChangedBlock(const uint16_t* row, void* cache, int32_t width, int32_t r, Write&& write) {
    const int32_t quads = width / 4;
    if constexpr (N == 2) {
        uint8_t* cached = BytesAt(cache, 4 + intptr_t{8} * quads * r);
        // Runs of eight pairs (32 bytes) skipped after an unchanged pair.
        constexpr int32_t kRun = 8;
        const int32_t pairs = 2 * quads;
        for (int32_t k = 0; k < pairs;) {
            const uint32_t pair = LoadAt<uint32_t>(row + 2 * k);
            if (pair == LoadAt<uint32_t>(cached + 4 * k)) [[unlikely]] {
                k = SkipUnchangedRuns<kRun>(k + 1, pairs, [=](int32_t i) {
                    return SameBytes<4 * kRun>(row + 2 * i, cached + 4 * i);
                });
                continue;
            }
            StoreAt(cached + 4 * k, pair);
            write(4 * k, ReplicatedBlock<2>(row + 2 * k, 0));
            ++k;
        }
    } else if constexpr (N == 4) {
        uint8_t* cached = BytesAt(cache, 2 + intptr_t{2} * width * r);
        // Runs of sixteen pixels (32 bytes) skipped after an unchanged pixel.
        constexpr int32_t kRun = 16;
        for (int32_t x = 0; x < width;) {
            const uint16_t p = row[x];
            if (p == LoadAt<uint16_t>(cached + 2 * x)) [[unlikely]] {
                x = SkipUnchangedRuns<kRun>(x + 1, width, [=](int32_t i) {
                    return SameBytes<2 * kRun>(row + i, cached + 2 * i);
                });
                continue;
            }
            StoreAt(cached + 2 * x, p);
            write(4 * x, MakeBlock(p, p, p, p));
            ++x;
        }
    } else {
        static_assert(N == 3 || N == 5, "magnification without a replicating layout");
        uint8_t* cached = BytesAt(cache, intptr_t{8} * quads * r);
        for (int32_t q = 0; q < quads; ++q) {
            const uint16_t* p = row + 4 * q;
            uint8_t* c = cached + 8 * q;
            const uint64_t quad = LoadAt<uint64_t>(p);
            if (quad == LoadAt<uint64_t>(c)) continue;
            uint16_t old[4];
            std::memcpy(old, c, 8);
            StoreAt(c, quad);
            bool differs[4];
            for (int i = 0; i < 4; ++i) differs[i] = p[i] != old[i];
            // A block spans at most two neighbouring pixels at 3x and 5x.
            for (int b = 0; b < N; ++b) {
                if (differs[(4 * b) / N] || differs[(4 * b + 3) / N]) write(4 * N * q + 4 * b, ReplicatedBlock<N>(p, b));
            }
        }
    }
}

// The twenty routines of a family (Horizontal_1x to Horizontal75_5x, say):
// four shades at magnifications 1 to 5.
// InPlace<S> draws 1x, Changed<S, N> the magnifications that keep a cache.
#define TOVRIN_SHADED_ROUTINE(name, shade, scale, InPlace, Changed)                              \
    TOVRIN_ROUTINE(name) {                                                                      \
        if constexpr (scale == 1) {                                                             \
            (void)cache;                                                                        \
            InPlace<Shade::shade>(src, srcRowBytes, dst, dstRowBytes, width, height);            \
        } else {                                                                                \
            Changed<Shade::shade, scale>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); \
        }                                                                                       \
    }

#define TOVRIN_SHADED_VARIANT(family, shade, InPlace, Changed)              \
    TOVRIN_SHADED_ROUTINE(family##_1x, shade, 1, InPlace, Changed)          \
    TOVRIN_SHADED_ROUTINE(family##_2x, shade, 2, InPlace, Changed)          \
    TOVRIN_SHADED_ROUTINE(family##_3x, shade, 3, InPlace, Changed)          \
    TOVRIN_SHADED_ROUTINE(family##_4x, shade, 4, InPlace, Changed)          \
    TOVRIN_SHADED_ROUTINE(family##_5x, shade, 5, InPlace, Changed)

#define TOVRIN_SHADED_FAMILY(family, InPlace, Changed)                      \
    TOVRIN_SHADED_VARIANT(family, None, InPlace, Changed)                   \
    TOVRIN_SHADED_VARIANT(family##25, Quarter, InPlace, Changed)            \
    TOVRIN_SHADED_VARIANT(family##50, Half, InPlace, Changed)               \
    TOVRIN_SHADED_VARIANT(family##75, ThreeQuarters, InPlace, Changed)

}  // namespace tovrin
