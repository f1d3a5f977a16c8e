// "Plain": magnification by pixel replication. Each magnification has its own
// group, compare unit and cache layout; hosts see them only through which
// destination blocks a change rewrites, so they are kept exactly.
#include <cstring>

#include "classic/replicate.h"
#include "frame/memory.h"
#include "frame/routines.h"
#include "frame/unchanged.h"

namespace tovrin {

// Straight copy of the whole quads of each row; the cache is not used.
TOVRIN_ROUTINE(Plain_1x) {
    (void)cache;
    const size_t bytes = static_cast<size_t>(width / 4) * 8;
    for (int32_t r = 0; r < height; ++r)
        std::memcpy(RowAt(dst, dstRowBytes, r), RowAt(src, srcRowBytes, r), bytes);
}

// Pairs compared against a cache with the source's own row stride.
TOVRIN_ROUTINE(Plain_2x) {
    const int32_t pairs = (width / 4) * 2;
    for (int32_t r = 0; r < height; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        uint8_t* cached = BytesAt(cache, static_cast<intptr_t>(r) * srcRowBytes);
        // Runs of eight pairs skipped after an unchanged pair.
        WalkUnits<8>(
            pairs,
            [&](intptr_t k) __attribute__((always_inline)) {
                const uint32_t pair = LoadAt<uint32_t>(row + 2 * k);
                if (pair == LoadAt<uint32_t>(cached + 4 * k)) return true;
                StoreAt(cached + 4 * k, pair);
                const uint16_t p0 = row[2 * k], p1 = row[2 * k + 1];
                WriteBlock(dst, dstRowBytes, 4 * k, 2 * r, 2, MakeBlock(p0, p0, p1, p1));
                return false;
            },
            [&](intptr_t i) { return SameBytes<32>(row + 2 * i, cached + 4 * i); });
    }
}

// Quads as two pairs; the middle block shows both pairs.
TOVRIN_ROUTINE(Plain_3x) {
    const int32_t quads = width / 4;
    for (int32_t r = 0; r < height; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        uint8_t* cached = BytesAt(cache, static_cast<intptr_t>(8) * quads * r);
        for (int32_t q = 0; q < quads; ++q) {
            const uint16_t* p = row + 4 * q;
            uint8_t* c = cached + 8 * q;
            const uint32_t left = LoadAt<uint32_t>(p), right = LoadAt<uint32_t>(p + 2);
            const bool leftChanged = left != LoadAt<uint32_t>(c);
            const bool rightChanged = right != LoadAt<uint32_t>(c + 4);
            if (!leftChanged && !rightChanged) continue;
            const int32_t x = 12 * q, y = 3 * r;
            if (leftChanged) {
                StoreAt(c, left);
                WriteBlock(dst, dstRowBytes, x, y, 3, MakeBlock(p[0], p[0], p[0], p[1]));
            }
            if (rightChanged) StoreAt(c + 4, right);
            WriteBlock(dst, dstRowBytes, x + 4, y, 3, MakeBlock(p[1], p[1], p[2], p[2]));
            if (rightChanged)
                WriteBlock(dst, dstRowBytes, x + 8, y, 3, MakeBlock(p[2], p[3], p[3], p[3]));
        }
    }
}

// One pixel per step; the packed cache starts 2 bytes in.
TOVRIN_ROUTINE(Plain_4x) {
    for (int32_t r = 0; r < height; ++r)
        ForEachChangedBlock<4>(RowAt(src, srcRowBytes, r), cache, width, r, [&](int32_t x, const Block& block) {
            WriteBlock(dst, dstRowBytes, x, 4 * r, 4, block);
        });
}

// A quad compared as one unit, then each of its five blocks written when a
// pixel it shows differs from the cache.
TOVRIN_ROUTINE(Plain_5x) {
    for (int32_t r = 0; r < height; ++r)
        ForEachChangedBlock<5>(RowAt(src, srcRowBytes, r), cache, width, r, [&](int32_t x, const Block& block) {
            WriteBlock(dst, dstRowBytes, x, 5 * r, 5, block);
        });
}

}  // namespace tovrin
