// "Blur": every source pixel opens a block that runs smoothly from the pixel
// in its top-left corner towards its right, lower and lower-right
// neighbours, so neighbouring blocks join without steps. At 1x a one-tap
// smoothing with the pixel before. No scanlines: every output row is drawn.
#include <cstring>

#include "frame/memory.h"
#include "frame/routines.h"
#include "frame/unchanged.h"
#include "pixel/rgb555.h"

namespace tovrin {
namespace {

// One row of N pixels of a block at output column x of output row Y.
template <int N>
inline void PutRow(uint16_t* dst, int32_t dstRowBytes, int32_t x, int32_t Y, const uint16_t (&px)[N]) {
    std::memcpy(RowAt(dst, dstRowBytes, Y) + x, px, sizeof px);
}

// Thirds, quarters and sixths of four pixels at 3x, rounded to nearest
// (ties up). Each channel is spread into its own 21-bit field of a 64-bit
// word, the weighted sum (weights in 36ths) plus 18 is formed for all three
// at once, and the division by 36 is a multiplication by 1821 and a shift
// by 16, which is exact for every sum up to 36 * 31 + 18.
constexpr int kFieldBits = 21;
constexpr uint64_t kOnes = 1 | (uint64_t{1} << kFieldBits) | (uint64_t{1} << (2 * kFieldBits));

constexpr uint64_t Spread(uint16_t p) {
    return (p & 0x001Fu) | (uint64_t{p & 0x03E0u} << 16) | (uint64_t{p & 0x7C00u} << 32);
}

constexpr bool DivisionBy36Exact() {
    for (uint64_t s = 0; s <= 36 * 31 + 18; ++s)
        if (((s * 1821) >> 16) != s / 36) return false;
    return (36 * 31 + 18) * 1821 < (uint64_t{1} << kFieldBits);
}
static_assert(DivisionBy36Exact());

template <int A, int B, int C, int D>
constexpr uint16_t Mean36(uint64_t s5, uint64_t s6, uint64_t s8, uint64_t s9) {
    static_assert(A + B + C + D == 36);
    const uint64_t scaled = (A * s5 + B * s6 + C * s8 + D * s9 + 18 * kOnes) * 1821;
    const uint64_t blue = (scaled >> 16) & 31;
    const uint64_t green = (scaled >> (16 + kFieldBits)) & 31;
    const uint64_t red = (scaled >> (16 + 2 * kFieldBits)) & 31;
    return static_cast<uint16_t>(blue | (green << 5) | (red << 10));
}

template <int N>
void DrawBlock(uint16_t* dst, int32_t dstRowBytes, int32_t x, int32_t y, uint16_t w5, uint16_t w6,
               uint16_t w8, uint16_t w9) {
    const int32_t X = N * x, Y = N * y;
    const bool flat = w5 == w6 && w5 == w8 && w5 == w9;
    if constexpr (N == 2) {
        const uint16_t e = flat ? w5 : Rgb555_Average4(w5, w6, w8, w9);
        PutRow<2>(dst, dstRowBytes, X, Y, {w5, Rgb555_Average(w5, w6)});
        PutRow<2>(dst, dstRowBytes, X, Y + 1, {Rgb555_Average(w5, w8), e});
    } else if constexpr (N == 3) {
        const uint64_t s5 = Spread(w5), s6 = Spread(w6), s8 = Spread(w8), s9 = Spread(w9);
        PutRow<3>(dst, dstRowBytes, X, Y,
                  {w5, Mean36<24, 12, 0, 0>(s5, s6, s8, s9), Mean36<12, 24, 0, 0>(s5, s6, s8, s9)});
        PutRow<3>(dst, dstRowBytes, X, Y + 1,
                  {Mean36<24, 0, 12, 0>(s5, s6, s8, s9), Mean36<12, 9, 9, 6>(s5, s6, s8, s9),
                   Mean36<9, 12, 6, 9>(s5, s6, s8, s9)});
        PutRow<3>(dst, dstRowBytes, X, Y + 2,
                  {Mean36<12, 0, 24, 0>(s5, s6, s8, s9), Mean36<9, 6, 12, 9>(s5, s6, s8, s9),
                   Mean36<6, 9, 9, 12>(s5, s6, s8, s9)});
    } else {
        if (flat) {
            for (int r = 0; r < 4; ++r) PutRow<4>(dst, dstRowBytes, X, Y + r, {w5, w5, w5, w5});
            return;
        }
        const uint16_t u = Rgb555_Average(w5, w6), v = Rgb555_Average(w5, w8);
        const uint16_t e = Rgb555_Average4(w5, w6, w8, w9);
        const uint16_t g = Rgb555_Average(w6, w9), h = Rgb555_Average(w8, w9);
        PutRow<4>(dst, dstRowBytes, X, Y,
                  {w5, Rgb555_Average(w5, u), u, Rgb555_Average(w6, u)});
        PutRow<4>(dst, dstRowBytes, X, Y + 1,
                  {Rgb555_Average(w5, v), Rgb555_Average4(w5, u, v, e), Rgb555_Average(u, e),
                   Rgb555_Average4(w6, u, e, g)});
        PutRow<4>(dst, dstRowBytes, X, Y + 2, {v, Rgb555_Average(v, e), e, Rgb555_Average(g, e)});
        PutRow<4>(dst, dstRowBytes, X, Y + 3,
                  {Rgb555_Average(w8, v), Rgb555_Average4(v, h, w8, e), Rgb555_Average(h, e),
                   Rgb555_Average4(w9, e, g, h)});
    }
}

// The cache is a packed copy of the source, entry (y, x) at pixel
// y * width + x, so entry (y, width) is entry (y + 1, 0). A block is redrawn
// when any of the four pixels it reads differs from its entry; entries of
// the row after the picture are compared but never written. Runs of blocks
// are skipped while everything they read is equal.
template <int N>
void BlurBlocks(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
                int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        const uint16_t* below = RowAt(src, srcRowBytes, y + 1);
        uint16_t* cached = static_cast<uint16_t*>(cache) + static_cast<intptr_t>(width) * y;
        const uint16_t* cachedBelow = cached + width;
        // A run of eight blocks reads nine pixels of each row.
        WalkUnits<8>(
            width,
            [&](intptr_t x) __attribute__((always_inline)) {
                const uint16_t w5 = row[x], w6 = row[x + 1], w8 = below[x], w9 = below[x + 1];
                if (w5 == cached[x] && w6 == cached[x + 1] && w8 == cachedBelow[x] && w9 == cachedBelow[x + 1])
                    return true;
                cached[x] = w5;
                DrawBlock<N>(dst, dstRowBytes, static_cast<int32_t>(x), y, w5, w6, w8, w9);
                return false;
            },
            [&](intptr_t i) { return SameBytes<18>(row + i, cached + i) && SameBytes<18>(below + i, cachedBelow + i); });
    }
}

}  // namespace

// The pixel before carries over from the end of one row to the start of the
// next; the frame's first pixel is its own predecessor, so it is unblended.
TOVRIN_ROUTINE(Blur_1x) {
    (void)cache;
    uint16_t w4 = src[0];
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = RowAt(src, srcRowBytes, y);
        uint16_t* out = RowAt(dst, dstRowBytes, y);
        for (int32_t x = 0; x < width; ++x) {
            out[x] = Rgb555_Average(w4, row[x]);
            w4 = row[x];
        }
    }
}

TOVRIN_ROUTINE(Blur_2x) { BlurBlocks<2>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Blur_3x) { BlurBlocks<3>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Blur_4x) { BlurBlocks<4>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }

}  // namespace tovrin
