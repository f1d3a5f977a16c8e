// What the edge-directed filters share: the 4x4 window around each source
// pixel, the diagonal vote, the blends, the per-picture loop that slides the
// window along each row, and the two-pass 4x form.
//
// Window positions outside the picture repeat the nearest picture pixel, so
// nothing outside the source rectangle is ever read. Clamping costs nothing
// per pixel: rows are clamped once per source row, and the last columns are
// handled by a short tail loop that stops loading new columns.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "frame/memory.h"
#include "pixel/rgb555.h"

namespace tovrin::edge {

// Columns x-1..x+2, rows y-1..y+2, lettered in reading order; F is the
// current pixel and F, G, J, K the centre block.
struct Window {
    uint16_t A, B, C, D;
    uint16_t E, F, G, H;
    uint16_t I, J, K, L;
    uint16_t M, N, O, P;
};

// The four destination pixels of one source pixel.
struct Block2x2 {
    uint16_t tl, tr, bl, br;
};

inline uint16_t Avg(uint16_t p, uint16_t q) { return Rgb555_Average(p, q); }
inline uint16_t Avg4(uint16_t p, uint16_t q, uint16_t r, uint16_t s) { return Rgb555_Average4(p, q, r, s); }

// +1 when both probes show F, -1 when both show G. Only asked when F != G.
inline int EdgeVote(uint16_t f, uint16_t g, uint16_t a, uint16_t b) {
    return static_cast<int>(a == f && b == f) - static_cast<int>(a == g && b == g);
}

// Which diagonal wins when both diagonals of the centre block are lines of
// one colour each: positive for G's, negative for F's, 0 undecided.
inline int VoteTotal(const Window& w) {
    return EdgeVote(w.F, w.G, w.E, w.B) + EdgeVote(w.F, w.G, w.C, w.H) + EdgeVote(w.F, w.G, w.I, w.N) +
           EdgeVote(w.F, w.G, w.L, w.O);
}

namespace detail {

// One window column: the pixels of the four window rows in one source column.
struct Column {
    uint16_t r0, r1, r2, r3;
};

inline Column ColumnAt(const uint16_t* row0, const uint16_t* row1, const uint16_t* row2, const uint16_t* row3,
                       int32_t x) {
    return Column{row0[x], row1[x], row2[x], row3[x]};
}

inline Window MakeWindow(const Column& c0, const Column& c1, const Column& c2, const Column& c3) {
    return Window{c0.r0, c1.r0, c2.r0, c3.r0, c0.r1, c1.r1, c2.r1, c3.r1,
                  c0.r2, c1.r2, c2.r2, c3.r2, c0.r3, c1.r3, c2.r3, c3.r3};
}

// Two adjacent destination pixels as one 32-bit store, left at the lower
// address.
inline void StorePair(uint16_t* at, uint16_t left, uint16_t right) {
    const uint16_t pair[2] = {left, right};
    std::memcpy(at, pair, sizeof pair);
}

}  // namespace detail

// Doubles the picture with `rule` deciding each 2x2 output block. Only the
// width x height source rectangle is read; strides need only be even (source)
// and a multiple of 4 (destination).
template <Block2x2 (*Rule)(const Window&)>
inline void Scale2x(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes, int32_t width,
                    int32_t height) {
    using detail::Column;
    if (width <= 0 || height <= 0) return;
    const int32_t last = width - 1;
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row0 = RowAt(src, srcRowBytes, std::max(y - 1, 0));
        const uint16_t* row1 = RowAt(src, srcRowBytes, y);
        const uint16_t* row2 = RowAt(src, srcRowBytes, std::min(y + 1, height - 1));
        const uint16_t* row3 = RowAt(src, srcRowBytes, std::min(y + 2, height - 1));
        uint16_t* out0 = RowAt(dst, dstRowBytes, 2 * y);
        uint16_t* out1 = RowAt(dst, dstRowBytes, 2 * y + 1);

        Column c1 = detail::ColumnAt(row0, row1, row2, row3, 0);
        Column c0 = c1;
        Column c2 = detail::ColumnAt(row0, row1, row2, row3, std::min(1, last));
        Column c3 = detail::ColumnAt(row0, row1, row2, row3, std::min(2, last));

        auto emit = [&](int32_t x) {
            const Block2x2 b = Rule(detail::MakeWindow(c0, c1, c2, c3));
            detail::StorePair(out0 + 2 * x, b.tl, b.tr);
            detail::StorePair(out1 + 2 * x, b.bl, b.br);
        };
        int32_t x = 0;
        // Interior: the next window column x + 3 lies inside the row.
        for (; x + 3 <= last; ++x) {
            emit(x);
            c0 = c1;
            c1 = c2;
            c2 = c3;
            c3 = detail::ColumnAt(row0, row1, row2, row3, x + 3);
        }
        // Tail: the right-hand columns repeat the last one.
        for (; x <= last; ++x) {
            emit(x);
            c0 = c1;
            c1 = c2;
            c2 = c3;
        }
    }
}

// The 4x form: the 2x routine twice, through the intermediate picture at the
// start of the cache (2 * height rows, 4 * width + 8 bytes apart). The 2x
// routine reads only inside the picture it is given, so the 8 bytes at the
// end of each intermediate row and the cache beyond the picture are neither
// read nor written.
template <void (*Pass)(const uint16_t*, int32_t, void*, uint16_t*, int32_t, int32_t, int32_t)>
inline void Scale4x(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
                    int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    const int32_t midRowBytes = 4 * width + 8;
    auto* mid = static_cast<uint16_t*>(cache);
    Pass(src, srcRowBytes, nullptr, mid, midRowBytes, width, height);
    Pass(mid, midRowBytes, nullptr, dst, dstRowBytes, 2 * width, 2 * height);
}

}  // namespace tovrin::edge
