// Pixel replication under a fixed mask that depends only on the output
// position, shared by "RGB Mode" and "Arcade". Both keep a packed copy of
// the source in the cache and redraw only the 4-pixel groups that show a
// changed pixel; they differ in the mask and in how many pixels form a unit
// of work along a row.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/memory.h"

namespace tovrin {

// Where the packed copy starts, by magnification.
inline constexpr intptr_t MaskedCacheOffset(int n) { return n == 2 ? 4 : n == 4 ? 2 : 0; }

// Mask::Apply(Y, g, shown) gives the output of group g (output columns 4g
// to 4g + 3) in output row Y for the four source pixels the group shows.
// Pixels after the last whole unit of `Unit` pixels are neither drawn nor
// cached. Compare units: a pair at 2x, a pixel at 4x, a quad at 3x and 5x
// (then each group that shows a pixel which differs from the old copy).
template <int N, int Unit, typename Mask>
void MaskedReplicate(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                     int32_t dstRowBytes, int32_t width, int32_t height) {
    static_assert(N >= 2 && N <= 5);
    const int32_t drawn = width - width % Unit;
    auto putGroup = [&](int32_t g, int32_t y, const Block& shown) {
        for (int32_t Y = N * y; Y < N * y + N; ++Y)
            WriteBlock(dst, dstRowBytes, 4 * g, Y, 1, Mask::Apply(Y, g, shown));
    };
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        uint8_t* cached = BytesAt(cache, MaskedCacheOffset(N) + intptr_t{2} * width * y);
        if constexpr (N == 2) {
            for (int32_t k = 0; k < drawn / 2; ++k) {
                const uint32_t pair = LoadAt<uint32_t>(row + 2 * k);
                if (pair == LoadAt<uint32_t>(cached + 4 * k)) continue;
                StoreAt(cached + 4 * k, pair);
                const uint16_t p0 = row[2 * k], p1 = row[2 * k + 1];
                putGroup(k, y, MakeBlock(p0, p0, p1, p1));
            }
        } else if constexpr (N == 4) {
            for (int32_t x = 0; x < drawn; ++x) {
                const uint16_t p = row[x];
                if (p == LoadAt<uint16_t>(cached + 2 * x)) continue;
                StoreAt(cached + 2 * x, p);
                putGroup(x, y, MakeBlock(p, p, p, p));
            }
        } else {
            for (int32_t q = 0; q < drawn / 4; ++q) {
                const uint16_t* p = row + 4 * q;
                uint8_t* c = cached + 8 * q;
                const uint64_t quad = LoadAt<uint64_t>(p);
                if (quad == LoadAt<uint64_t>(c)) continue;
                uint16_t old[4];
                std::memcpy(old, c, 8);
                StoreAt(c, quad);
                const bool d0 = p[0] != old[0], d1 = p[1] != old[1];
                const bool d2 = p[2] != old[2], d3 = p[3] != old[3];
                const int32_t g = N * q;
                if constexpr (N == 3) {
                    if (d0 || d1) putGroup(g, y, MakeBlock(p[0], p[0], p[0], p[1]));
                    if (d1 || d2) putGroup(g + 1, y, MakeBlock(p[1], p[1], p[2], p[2]));
                    if (d2 || d3) putGroup(g + 2, y, MakeBlock(p[2], p[3], p[3], p[3]));
                } else {
                    if (d0) putGroup(g, y, MakeBlock(p[0], p[0], p[0], p[0]));
                    if (d0 || d1) putGroup(g + 1, y, MakeBlock(p[0], p[1], p[1], p[1]));
                    if (d1 || d2) putGroup(g + 2, y, MakeBlock(p[1], p[1], p[2], p[2]));
                    if (d2 || d3) putGroup(g + 3, y, MakeBlock(p[2], p[2], p[2], p[3]));
                    if (d3) putGroup(g + 4, y, MakeBlock(p[3], p[3], p[3], p[3]));
                }
            }
        }
    }
}

}  // namespace tovrin
