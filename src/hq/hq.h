// The machinery shared by Hq2x, Hq3x and Hq4x: the colour table and its
// difference test, the fixed-weight blends, and the per-picture loop that
// gathers each pixel's 3x3 neighbourhood, reduces it to a pattern byte and
// hands it to a magnification's rule switch, redrawing only blocks whose
// neighbourhood changed since the cache was last brought up to date.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "frame/memory.h"
#include "pixel/rgb555.h"

// The rule switches are large; without this the compiler keeps the small
// blends out of line inside them, a call per sub-pixel. The row loop is
// flattened: the switch and every helper it calls are inlined into it.
#if defined(__GNUC__)
#define TOVRIN_HQ_FLATTEN __attribute__((flatten))
#else
#define TOVRIN_HQ_FLATTEN
#endif

namespace tovrin {

// Y·65536 + U·256 + V for every 16-bit pixel value (bit 15 plays no part).
// Written by BuildYuvTable at load, read-only afterwards.
extern uint32_t YuvTable[65536];

void BuildYuvTable();

// ---------------------------------------------------------------------------
// Difference test on two looked-up words: Y differs by more than 48, U by
// more than 7 or V by more than 6. Equal words never differ.
//
// The three fields are spread into 16-bit lanes of a 64-bit word (V bits
// 0-15, U 16-31, Y 32-47). Per lane, a + (0x7FFF - t) - b has bit 15 set
// exactly when a - b > t, and no lane borrows from or carries into its
// neighbour (fields are at most 190), so one subtraction each way tests all
// three thresholds at once, without a branch.

inline constexpr uint64_t kHqYuvBias =
    (uint64_t{0x7FFF - 48} << 32) | (uint64_t{0x7FFF - 7} << 16) | uint64_t{0x7FFF - 6};
inline constexpr uint64_t kHqYuvSignBits = 0x0000800080008000ull;

inline constexpr uint64_t HqYuvLanes(uint32_t w) {
    return (w & 0xFFu) | (uint64_t{w & 0xFF00u} << 8) | (uint64_t{w & 0xFF0000u} << 16);
}

inline constexpr bool HqWordsDiffer(uint32_t a, uint32_t b) {
    const uint64_t x = HqYuvLanes(a), y = HqYuvLanes(b);
    return (((x + kHqYuvBias - y) | (y + kHqYuvBias - x)) & kHqYuvSignBits) != 0;
}

// The test on pixels: equal pixels are similar without a look-up.
inline bool YuvDiffers(uint16_t a, uint16_t b) {
    if (a == b) return false;
    return HqWordsDiffer(YuvTable[a], YuvTable[b]);
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

// Rgb555_Average without its shortcut for equal inputs, which gives the same
// pixel whenever bit 15 is clear, as it is in source pixels; inside the rule
// switches the shortcut would be a data-dependent branch per sub-pixel.
inline constexpr uint16_t HqAverage(uint16_t a, uint16_t b) {
    return static_cast<uint16_t>(Rgb555_Half(a) + Rgb555_Half(b) + (a & b & kLowBitMask));
}

// Nested averages, each rounded down, are exactly the 3:1 and 2:1:1 sums
// over 4 rounded down.
inline constexpr uint16_t HqBlend31(uint16_t a, uint16_t b) { return HqAverage(a, HqAverage(a, b)); }

inline constexpr uint16_t HqBlend211(uint16_t a, uint16_t b, uint16_t c) { return HqAverage(a, HqAverage(b, c)); }

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

// A conditional rule without a branch: both rules are computed and the
// outcome of the tested pair picks one.
inline constexpr uint16_t HqSelect(bool differs, uint16_t ifDiffers, uint16_t otherwise) {
    const uint16_t pick = static_cast<uint16_t>(0u - static_cast<unsigned>(differs));
    return static_cast<uint16_t>((ifDiffers & pick) | (otherwise & ~pick));
}

// The same blends stored straight into a destination sub-pixel.
inline void HqBlend211(uint16_t* dst, uint16_t a, uint16_t b, uint16_t c) { *dst = HqBlend211(a, b, c); }
inline void HqBlend71(uint16_t* dst, uint16_t a, uint16_t b) { *dst = HqBlend71(a, b); }
inline void HqBlend521(uint16_t* dst, uint16_t a, uint16_t b, uint16_t c) { *dst = HqBlend521(a, b, c); }
inline void HqBlend611(uint16_t* dst, uint16_t a, uint16_t b, uint16_t c) { *dst = HqBlend611(a, b, c); }
inline void HqBlend53(uint16_t* dst, uint16_t a, uint16_t b) { *dst = HqBlend53(a, b); }

// ---------------------------------------------------------------------------
// The neighbourhood of one source pixel as the rule switches see it.

// Bits of HqWindow::pairs: the outcome of YuvDiffers on each tested pair.
inline constexpr unsigned kHqPair24 = 1, kHqPair26 = 2, kHqPair48 = 4, kHqPair68 = 8;

struct HqWindow {
    uint16_t w[10];    // w[1] to w[9] in reading order; w[0] unused
    unsigned pattern;  // w1 0x01, w2 0x02, w3 0x04, w4 0x08, w6 0x10, w7 0x20, w8 0x40, w9 0x80:
                       // set where the neighbour differs from w5
    unsigned pairs;    // kHqPair24 ... kHqPair68, each pair tested once per block
};

namespace hq_detail {

// One column of the window: the pixel of each of the three rows and its
// looked-up word.
struct Column {
    uint16_t p[3];
    uint32_t yuv[3];
};

inline Column LoadColumn(const uint16_t* above, const uint16_t* current, const uint16_t* below, int32_t x) {
    Column c;
    c.p[0] = above[x];
    c.p[1] = current[x];
    c.p[2] = below[x];
    for (int i = 0; i < 3; ++i) c.yuv[i] = YuvTable[c.p[i]];
    return c;
}

// The pattern byte and the four pairs, one test at a time.
inline void TestWindowScalar(const Column& l, const Column& m, const Column& r, unsigned& pattern,
                             unsigned& pairs) {
    const uint32_t c = m.yuv[1];
    const uint32_t y2 = m.yuv[0], y4 = l.yuv[1], y6 = r.yuv[1], y8 = m.yuv[2];
    pattern = unsigned{HqWordsDiffer(l.yuv[0], c)} | unsigned{HqWordsDiffer(y2, c)} << 1 |
              unsigned{HqWordsDiffer(r.yuv[0], c)} << 2 | unsigned{HqWordsDiffer(y4, c)} << 3 |
              unsigned{HqWordsDiffer(y6, c)} << 4 | unsigned{HqWordsDiffer(l.yuv[2], c)} << 5 |
              unsigned{HqWordsDiffer(y8, c)} << 6 | unsigned{HqWordsDiffer(r.yuv[2], c)} << 7;
    pairs = unsigned{HqWordsDiffer(y2, y4)} | unsigned{HqWordsDiffer(y2, y6)} << 1 |
            unsigned{HqWordsDiffer(y4, y8)} << 2 | unsigned{HqWordsDiffer(y6, y8)} << 3;
}

#if defined(__SSE2__)
// Four tests per instruction: the fields are bytes, so saturating byte
// subtraction both ways gives each field's distance, and a second one
// against the thresholds (6, 7 and 48 in the V, U and Y bytes) leaves a
// nonzero byte exactly where a distance exceeds its threshold.
inline unsigned DifferMask(__m128i a, __m128i b) {
    const __m128i distance = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
    const __m128i over = _mm_subs_epu8(distance, _mm_set1_epi32(0x00300706));
    const __m128i similar = _mm_cmpeq_epi32(over, _mm_setzero_si128());
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(similar))) ^ 0xFu;
}

inline void TestWindow(const Column& l, const Column& m, const Column& r, unsigned& pattern, unsigned& pairs) {
    const auto word = [](uint32_t w) { return static_cast<int>(w); };
    const __m128i low = _mm_setr_epi32(word(l.yuv[0]), word(m.yuv[0]), word(r.yuv[0]), word(l.yuv[1]));
    const __m128i high = _mm_setr_epi32(word(r.yuv[1]), word(l.yuv[2]), word(m.yuv[2]), word(r.yuv[2]));
    const __m128i centre = _mm_set1_epi32(word(m.yuv[1]));
    pattern = DifferMask(low, centre) | DifferMask(high, centre) << 4;
    // (w2, w4), (w2, w6), (w4, w8), (w6, w8) from the lanes above.
    const __m128 lo = _mm_castsi128_ps(low), hi = _mm_castsi128_ps(high);
    const __m128 w4w4w6w6 = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(0, 0, 3, 3));
    const __m128 first = _mm_shuffle_ps(lo, w4w4w6w6, _MM_SHUFFLE(2, 1, 1, 1));
    const __m128 second = _mm_shuffle_ps(w4w4w6w6, hi, _MM_SHUFFLE(2, 2, 2, 0));
    pairs = DifferMask(_mm_castps_si128(first), _mm_castps_si128(second));
}
#else
inline void TestWindow(const Column& l, const Column& m, const Column& r, unsigned& pattern, unsigned& pairs) {
    TestWindowScalar(l, m, r, pattern, pairs);
}
#endif

inline HqWindow MakeWindow(const Column& l, const Column& m, const Column& r) {
    HqWindow n;
    n.w[0] = 0;
    n.w[1] = l.p[0], n.w[2] = m.p[0], n.w[3] = r.p[0];
    n.w[4] = l.p[1], n.w[5] = m.p[1], n.w[6] = r.p[1];
    n.w[7] = l.p[2], n.w[8] = m.p[2], n.w[9] = r.p[2];
    TestWindow(l, m, r, n.pattern, n.pairs);
    return n;
}

// Which source rows a row's look-ahead compares with the cache, and which
// cache rows it brings up to date.
enum class LookAhead { kFirstRow, kMiddleRow, kLastRow };

template <int kScale, typename Rules, LookAhead kMode>
TOVRIN_HQ_FLATTEN void DrawRow(const uint16_t* above, const uint16_t* current, const uint16_t* below,
                               uint16_t* cacheAbove, uint16_t* cacheCurrent, uint16_t* cacheBelow, uint16_t* out,
                               int32_t dstRowBytes, int32_t width) {
    uint16_t* rows[kScale];
    for (int i = 0; i < kScale; ++i) rows[i] = RowAt(out, dstRowBytes, i);

    Column left{}, centre{}, right{}, next{};
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
        if (windowAt == x - 1) {
            // Slide: the last block looked up these three columns already.
            left = centre;
            centre = right;
            right = next;
        } else {
            left = LoadColumn(above, current, below, x > 0 ? x - 1 : 0);
            centre = LoadColumn(above, current, below, x);
            right = LoadColumn(above, current, below, q < width ? q : x);
        }
        // Looked up one block ahead, so the look-ups of the next block are
        // under way before this block's rule switch jumps.
        next = LoadColumn(above, current, below, q + 1 < width ? q + 1 : width - 1);
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
