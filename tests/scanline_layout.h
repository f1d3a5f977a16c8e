// Where the scanline and column-line routines keep each source pixel in
// their change cache (the same layout for every variant of a magnification),
// and how far the cache reaches. "Interleaved" keeps two such caches.
#pragma once

#include <cstddef>

namespace tovrin::test {

inline size_t ScanlineCacheExtent(int scale, int width, int height) {
    const size_t q = width / 4;
    switch (scale) {
        case 1: return 0;
        case 2: return 4 + 8 * q * height;
        case 4: return 2 + 2 * static_cast<size_t>(width) * height;
        default: return 8 * q * height;
    }
}

// Byte offset of p(x, r), or -1 when the pixel is not cached.
inline long ScanlineCacheOffset(int scale, int width, int x, int r) {
    const long q = width / 4;
    if (scale == 1 || (scale != 4 && x >= 4 * q)) return -1;
    switch (scale) {
        case 2: return 4 + 8 * q * r + 2L * x;
        case 4: return 2 + 2L * (static_cast<long>(width) * r + x);
        default: return 8 * q * r + 2L * x;
    }
}

// The vector twins keep one 16-byte entry per whole group of eight pixels,
// rows of groups back to back: byte offset of p(x, r), or -1 when the pixel
// lies after the last whole group.
inline long VectorCacheOffset(int width, int x, int r) {
    const long groups = width / 8;
    if (x >= 8 * groups) return -1;
    return 16 * (groups * r + x / 8) + 2L * (x % 8);
}

}  // namespace tovrin::test
