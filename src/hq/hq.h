// The machinery shared by Hq2x, Hq3x and Hq4x: the colour table and its
// difference test, the fixed-weight blends, and the per-picture loop that
// gathers each pixel's 3x3 neighbourhood, reduces it to a pattern byte and
// hands it to a magnification's rule switch, redrawing only blocks whose
// neighbourhood changed since the cache was last brought up to date.
#pragma once

#include <cstdint>

#include "frame/memory.h"
#include "pixel/rgb555.h"

namespace tovrin {

// Y·65536 + U·256 + V for every 16-bit pixel value (bit 15 plays no part).
// Written by BuildYuvTable at load, read-only afterwards.
extern uint32_t YuvTable[65536];

void BuildYuvTable();

// ---------------------------------------------------------------------------
// Difference test.
//
// The three fields of a table word are spread into 16-bit lanes of a 64-bit
// word (V bits 0-15, U 16-31, Y 32-47). Per lane, a + (0x7FFF - t) - b has
// bit 15 set exactly when a - b > t, and no lane ever borrows from or carries
// into its neighbour (fields are at most 190), so one subtraction each way
// tests all three thresholds at once, without a branch.

struct HqYuv {
    uint64_t lanes;   // spread table word
    uint64_t biased;  // lanes + kHqYuvBias, kept so each test is two subtractions
};

inline constexpr uint64_t kHqYuvBias =
    (uint64_t{0x7FFF - 48} << 32) | (uint64_t{0x7FFF - 7} << 16) | uint64_t{0x7FFF - 6};
inline constexpr uint64_t kHqYuvSignBits = 0x0000800080008000ull;

inline HqYuv HqYuvOf(uint16_t p) {
    const uint64_t w = YuvTable[p];
    const uint64_t lanes = (w & 0xFF) | ((w & 0xFF00) << 8) | ((w & 0xFF0000) << 16);
    return HqYuv{lanes, lanes + kHqYuvBias};
}

// The thresholds on two looked-up words; equal words never differ.
inline bool HqPairDiffers(const HqYuv& a, const HqYuv& b) {
    return (((a.biased - b.lanes) | (b.biased - a.lanes)) & kHqYuvSignBits) != 0;
}

// True when Y differs by more than 48, U by more than 7 or V by more than 6.
// Equal pixels are similar without a look-up.
inline bool YuvDiffers(uint16_t a, uint16_t b) {
    if (a == b) return false;
    return HqPairDiffers(HqYuvOf(a), HqYuvOf(b));
}

// ---------------------------------------------------------------------------
// Blends: each channel is its weighted sum over the divisor, rounded down.
// Quarters are nested 1:1 averages; eighths and sixteenths use a spread
// layout (red bits 10-14, blue 0-4, green moved up to 21-25) that leaves
// four bits of headroom above every channel, so one multiply-add per
// argument forms all three sums and one shift divides them.

inline constexpr uint32_t HqSpread(uint16_t p) {
    return (p & 0x7C1Fu) | (static_cast<uint32_t>(p & 0x03E0u) << 16);
}

template <int kShift>
inline constexpr uint16_t HqUnspread(uint32_t sum) {
    return static_cast<uint16_t>(((sum >> kShift) & 0x7C1Fu) | ((sum >> (16 + kShift)) & 0x03E0u));
}

inline constexpr uint16_t HqBlend31(uint16_t a, uint16_t b) { return Rgb555_Average(a, Rgb555_Average(a, b)); }

inline constexpr uint16_t HqBlend211(uint16_t a, uint16_t b, uint16_t c) {
    return Rgb555_Average(a, Rgb555_Average(b, c));
}

inline constexpr uint16_t HqBlend71(uint16_t a, uint16_t b) {
    return HqUnspread<3>(7 * HqSpread(a) + HqSpread(b));
}

inline constexpr uint16_t HqBlend53(uint16_t a, uint16_t b) {
    return HqUnspread<3>(5 * HqSpread(a) + 3 * HqSpread(b));
}

inline constexpr uint16_t HqBlend521(uint16_t a, uint16_t b, uint16_t c) {
    return HqUnspread<3>(5 * HqSpread(a) + 2 * HqSpread(b) + HqSpread(c));
}

inline constexpr uint16_t HqBlend611(uint16_t a, uint16_t b, uint16_t c) {
    return HqUnspread<3>(6 * HqSpread(a) + HqSpread(b) + HqSpread(c));
}

inline constexpr uint16_t HqBlend233(uint16_t a, uint16_t b, uint16_t c) {
    return HqUnspread<3>(2 * HqSpread(a) + 3 * (HqSpread(b) + HqSpread(c)));
}

inline constexpr uint16_t HqBlend1411(uint16_t a, uint16_t b, uint16_t c) {
    return HqUnspread<4>(14 * HqSpread(a) + HqSpread(b) + HqSpread(c));
}

inline constexpr uint16_t HqBlend277(uint16_t a, uint16_t b, uint16_t c) {
    return HqUnspread<4>(2 * HqSpread(a) + 7 * (HqSpread(b) + HqSpread(c)));
}

// The same blends stored straight into a destination sub-pixel.
inline void HqBlend211(uint16_t* dst, uint16_t a, uint16_t b, uint16_t c) { *dst = HqBlend211(a, b, c); }
inline void HqBlend71(uint16_t* dst, uint16_t a, uint16_t b) { *dst = HqBlend71(a, b); }
inline void HqBlend521(uint16_t* dst, uint16_t a, uint16_t b, uint16_t c) { *dst = HqBlend521(a, b, c); }
inline void HqBlend611(uint16_t* dst, uint16_t a, uint16_t b, uint16_t c) { *dst = HqBlend611(a, b, c); }
inline void HqBlend53(uint16_t* dst, uint16_t a, uint16_t b) { *dst = HqBlend53(a, b); }

// ---------------------------------------------------------------------------
// The neighbourhood of one source pixel as the rule switches see it.

struct HqWindow {
    uint16_t w[10];           // w[1] to w[9] in reading order; w[0] unused
    HqYuv y2, y4, y6, y8;     // looked-up words of the edge neighbours
    unsigned pattern;         // w1 0x01, w2 0x02, w3 0x04, w4 0x08, w6 0x10, w7 0x20, w8 0x40, w9 0x80:
                              // set where the neighbour differs from w5
};

namespace hq_detail {

// One column of the window: the pixel of each of the three rows and its
// looked-up word.
struct Column {
    uint16_t p[3];
    HqYuv yuv[3];
};

inline Column LoadColumn(const uint16_t* above, const uint16_t* current, const uint16_t* below, int32_t x) {
    Column c;
    c.p[0] = above[x];
    c.p[1] = current[x];
    c.p[2] = below[x];
    for (int i = 0; i < 3; ++i) c.yuv[i] = HqYuvOf(c.p[i]);
    return c;
}

inline HqWindow MakeWindow(const Column& l, const Column& m, const Column& r) {
    HqWindow n;
    n.w[1] = l.p[0], n.w[2] = m.p[0], n.w[3] = r.p[0];
    n.w[4] = l.p[1], n.w[5] = m.p[1], n.w[6] = r.p[1];
    n.w[7] = l.p[2], n.w[8] = m.p[2], n.w[9] = r.p[2];
    n.y2 = m.yuv[0], n.y4 = l.yuv[1], n.y6 = r.yuv[1], n.y8 = m.yuv[2];
    const HqYuv& c = m.yuv[1];
    n.pattern = unsigned{HqPairDiffers(l.yuv[0], c)} | unsigned{HqPairDiffers(n.y2, c)} << 1 |
                unsigned{HqPairDiffers(r.yuv[0], c)} << 2 | unsigned{HqPairDiffers(n.y4, c)} << 3 |
                unsigned{HqPairDiffers(n.y6, c)} << 4 | unsigned{HqPairDiffers(l.yuv[2], c)} << 5 |
                unsigned{HqPairDiffers(n.y8, c)} << 6 | unsigned{HqPairDiffers(r.yuv[2], c)} << 7;
    return n;
}

// Which source rows a row's look-ahead compares with the cache, and which
// cache rows it brings up to date.
enum class LookAhead { kFirstRow, kMiddleRow, kLastRow };

template <int kScale, typename Rules, LookAhead kMode>
void DrawRow(const uint16_t* above, const uint16_t* current, const uint16_t* below, uint16_t* cacheAbove,
             uint16_t* cacheCurrent, uint16_t* cacheBelow, uint16_t* out, int32_t dstRowBytes, int32_t width) {
    uint16_t* rows[kScale];
    for (int i = 0; i < kScale; ++i) rows[i] = RowAt(out, dstRowBytes, i);

    Column left{}, centre{}, right{};
    int32_t windowAt = -2;  // the block whose columns are loaded
    int counter = 3;        // the first three blocks are always drawn
    for (int32_t x = 0; x < width; ++x) {
        const int32_t q = x + 1;
        if (q < width) {
            bool changed;
            if constexpr (kMode == LookAhead::kFirstRow) {
                changed = (current[q] != cacheCurrent[q]) | (below[q] != cacheBelow[q]);
            } else if constexpr (kMode == LookAhead::kMiddleRow) {
                changed = (above[q] != cacheAbove[q]) | (current[q] != cacheCurrent[q]) |
                          (below[q] != cacheBelow[q]);
            } else {
                changed = (above[q] != cacheAbove[q]) | (current[q] != cacheCurrent[q]);
            }
            if (changed) {
                counter = 3;
                // Row 0 is brought up to date by row 1, which still has to see it.
                if constexpr (kMode != LookAhead::kFirstRow) cacheAbove[q] = above[q];
                if constexpr (kMode == LookAhead::kLastRow) cacheCurrent[q] = current[q];
            }
        }
        if (counter <= 0) continue;
        --counter;
        const int32_t xr = q < width ? q : x;
        if (windowAt == x - 1) {
            // Slide: two of the three columns were looked up for the last block.
            left = centre;
            centre = right;
            right = LoadColumn(above, current, below, xr);
        } else {
            left = LoadColumn(above, current, below, x > 0 ? x - 1 : 0);
            centre = LoadColumn(above, current, below, x);
            right = LoadColumn(above, current, below, xr);
        }
        windowAt = x;
        const HqWindow n = MakeWindow(left, centre, right);
        uint16_t* block[kScale];
        for (int i = 0; i < kScale; ++i) block[i] = rows[i] + kScale * x;
        Rules::Block(n, block);
    }
}

}  // namespace hq_detail

// One frame through a rule table. `Rules::Block(window, rows)` writes the
// kScale x kScale block whose rows start at rows[0..kScale-1].
template <int kScale, typename Rules>
void HqDrawPicture(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
                   int32_t width, int32_t height) {
    using hq_detail::LookAhead;
    uint16_t* cacheBase = static_cast<uint16_t*>(cache);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t ya = y > 0 ? y - 1 : y;
        const int32_t yb = y < height - 1 ? y + 1 : y;
        const uint16_t* above = RowAt(src, srcRowBytes, ya);
        const uint16_t* current = RowAt(src, srcRowBytes, y);
        const uint16_t* below = RowAt(src, srcRowBytes, yb);
        uint16_t* ca = RowAt(cacheBase, srcRowBytes, ya);
        uint16_t* cc = RowAt(cacheBase, srcRowBytes, y);
        uint16_t* cb = RowAt(cacheBase, srcRowBytes, yb);
        uint16_t* out = RowAt(dst, dstRowBytes, kScale * y);
        if (y == height - 1) {  // the single row of a one-row picture too
            hq_detail::DrawRow<kScale, Rules, LookAhead::kLastRow>(above, current, below, ca, cc, cb, out,
                                                                   dstRowBytes, width);
        } else if (y == 0) {
            hq_detail::DrawRow<kScale, Rules, LookAhead::kFirstRow>(above, current, below, ca, cc, cb, out,
                                                                    dstRowBytes, width);
        } else {
            hq_detail::DrawRow<kScale, Rules, LookAhead::kMiddleRow>(above, current, below, ca, cc, cb, out,
                                                                     dstRowBytes, width);
        }
    }
}

}  // namespace tovrin
