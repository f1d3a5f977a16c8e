// "Interpolated": replication along the row where the last output pixel of
// each source pixel (and at 4x the steps around it) blends towards the right
// neighbour, under the scanline pattern: even output rows bright, odd rows
// dark. The plain form leaves dark rows alone; the percentage forms fill
// them with the bright row dimmed. At 1x a one-tap smoothing with the left
// neighbour.
#include "classic/replicate.h"
#include "frame/memory.h"
#include "frame/routines.h"
#include "frame/unchanged.h"
#include "pixel/rgb555.h"

namespace tovrin {
namespace {

// Writes one 4-pixel group to the N output rows of source row y: the group
// itself to bright (even) rows, its dimmed form to dark (odd) rows.
template <int N, Shade S>
inline void PutGroup(uint16_t* dst, int32_t dstRowBytes, int32_t x, int32_t y, const Block& bright) {
    const int32_t first = N * y;
    for (int32_t Y = first; Y < first + N; ++Y) {
        if ((Y & 1) == 0) WriteBlock(dst, dstRowBytes, x, Y, 1, bright);
        else if constexpr (S != Shade::None) WriteBlock(dst, dstRowBytes, x, Y, 1, DarkenBlock<S>(bright));
    }
}

// 1x: no cache. The left neighbour carries over from the last pixel of the
// row processed before; the frame's first pixel is its own left neighbour,
// so it comes out unblended. The plain form never reads odd rows.
template <Shade S>
void Interpolated1x(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes,
                    int32_t width, int32_t height) {
    uint16_t w4 = src[0];
    for (int32_t y = 0; y < height; ++y) {
        const bool dark = (y & 1) != 0;
        if (S == Shade::None && dark) continue;
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        uint16_t* out = RowAt(dst, dstRowBytes, y);
        for (int32_t x = 0; x < width; ++x) {
            const uint16_t w5 = row[x];
            const uint16_t v = Rgb555_Average(w4, w5);
            out[x] = dark ? static_cast<uint16_t>(DarkenPair<S>(v)) : v;
            w4 = w5;
        }
    }
}

// 2x: pairs compared with a cache of width/2 + 1 words per row. The pair
// after pair k (for the last pair the two pixels after the row) is compared
// with word k + 1; the last word of a row is never written, so the last
// pair of every row is redrawn on every call.
template <Shade S>
void Interpolated2x(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                    int32_t dstRowBytes, int32_t width, int32_t height) {
    const int32_t pairs = width / 2;
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        uint8_t* cached = BytesAt(cache, static_cast<intptr_t>(4) * (pairs + 1) * y);
        for (int32_t k = 0; k < pairs; ++k) {
            const uint16_t* p = row + 2 * k;
            const uint32_t pair = LoadAt<uint32_t>(p);
            if (LoadAt<uint32_t>(p + 2) == LoadAt<uint32_t>(cached + 4 * (k + 1)) &&
                pair == LoadAt<uint32_t>(cached + 4 * k)) [[unlikely]] {
                // A run of eight pairs compares nine pairs with nine words;
                // the loop's step moves past the last one skipped.
                k = SkipUnchangedRuns<8>(k + 1, pairs, [=](int32_t i) {
                    return SameBytes<36>(row + 2 * i, cached + 4 * i);
                }) - 1;
                continue;
            }
            StoreAt(cached + 4 * k, pair);
            const uint16_t a = p[0], b = p[1], c = p[2];
            PutGroup<2, S>(dst, dstRowBytes, 4 * k, y,
                           MakeBlock(a, Rgb555_Average(a, b), b, Rgb555_Average(b, c)));
        }
    }
}

// 4x: pixels compared with a cache of width + 1 entries per row; the right
// neighbour is compared with the next entry, the last of which is a spare.
template <Shade S>
void Interpolated4x(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                    int32_t dstRowBytes, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        uint16_t* cached = static_cast<uint16_t*>(cache) + static_cast<intptr_t>(width + 1) * y;
        for (int32_t x = 0; x < width; ++x) {
            const uint16_t w5 = row[x], w6 = row[x + 1];
            if (w6 == cached[x + 1] && w5 == cached[x]) [[unlikely]] {
                // A run of sixteen pixels compares seventeen with their entries.
                x = SkipUnchangedRuns<16>(x + 1, width, [=](int32_t i) {
                    return SameBytes<34>(row + i, cached + i);
                }) - 1;
                continue;
            }
            cached[x] = w5;
            const uint16_t m = Rgb555_Average(w5, w6);
            PutGroup<4, S>(dst, dstRowBytes, 4 * x, y,
                           MakeBlock(w5, Rgb555_Average(w5, m), m, Rgb555_Average(m, w6)));
        }
    }
}

// 3x and 5x: quads, each output group redrawn when a pixel it shows differs
// from the cache. The cache is the packed picture followed by a spare pixel;
// the pixel after a quad is compared with the next cached pixel, so the last
// group of a row looks at the next row's first cached pixel.
template <int N, Shade S>
void InterpolatedQuads(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                       int32_t dstRowBytes, int32_t width, int32_t height) {
    static_assert(N == 3 || N == 5);
    const int32_t quads = width / 4;
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        uint16_t* cached = static_cast<uint16_t*>(cache) + static_cast<intptr_t>(width) * y;
        for (int32_t q = 0; q < quads; ++q) {
            const uint16_t* p = row + 4 * q;
            uint16_t* c = cached + 4 * q;
            if (LoadAt<uint64_t>(p) == LoadAt<uint64_t>(c) && p[4] == c[4]) [[unlikely]] {
                // A run of four quads compares seventeen pixels with the cache.
                q = SkipUnchangedRuns<4>(q + 1, quads, [=](int32_t i) {
                    return SameBytes<34>(row + 4 * i, cached + 4 * i);
                }) - 1;
                continue;
            }
            bool d[5];
            for (int i = 0; i < 5; ++i) d[i] = p[i] != c[i];
            const uint16_t a01 = Rgb555_Average(p[0], p[1]), a12 = Rgb555_Average(p[1], p[2]);
            const uint16_t a23 = Rgb555_Average(p[2], p[3]), a34 = Rgb555_Average(p[3], p[4]);
            const int32_t x = 4 * N * q;
            auto group = [&](int index, bool changed, const Block& b) {
                if (changed) PutGroup<N, S>(dst, dstRowBytes, x + 4 * index, y, b);
            };
            if constexpr (N == 3) {
                group(0, d[0] || d[1], MakeBlock(p[0], p[0], a01, p[1]));
                group(1, d[1] || d[2], MakeBlock(p[1], a12, p[2], p[2]));
                group(2, d[2] || d[3] || d[4], MakeBlock(a23, p[3], p[3], a34));
            } else {
                group(0, d[0], MakeBlock(p[0], p[0], p[0], p[0]));
                group(1, d[0] || d[1], MakeBlock(a01, p[1], p[1], p[1]));
                group(2, d[1] || d[2], MakeBlock(p[1], a12, p[2], p[2]));
                group(3, d[2] || d[3], MakeBlock(p[2], p[2], a23, p[3]));
                group(4, d[3] || d[4], MakeBlock(p[3], p[3], p[3], a34));
            }
            // Some group was redrawn, since a pixel differs.
            StoreAt(c, LoadAt<uint64_t>(p));
        }
    }
}

// The magnifications that keep a cache.
template <Shade S, int N>
void InterpolatedChanged(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                         int32_t dstRowBytes, int32_t width, int32_t height) {
    if constexpr (N == 2) Interpolated2x<S>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
    else if constexpr (N == 4) Interpolated4x<S>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
    else InterpolatedQuads<N, S>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace

TOVRIN_SHADED_FAMILY(Interpolated, Interpolated1x, InterpolatedChanged)

}  // namespace tovrin
