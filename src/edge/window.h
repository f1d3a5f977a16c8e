// What the edge-directed filters share: the 4x4 window around each source
// pixel, the equality masks, the blends and the diagonal vote, the per-picture
// loop, and the two-pass 4x form.
//
// The rules are evaluated for eight neighbouring source pixels at once, each
// pixel in one 16-bit lane, without branches: every case is computed and the
// one that holds is selected by masks. The rules branch on colour equality in
// ways no predictor can follow on detailed pictures, so selecting beats branching
// by a wide margin; lanes never mix, so each pixel's result is exactly its
// own rule's.
//
// Window positions outside the picture repeat the nearest picture pixel, so
// nothing outside the source rectangle is ever read. Rows are clamped once
// per source row; inside a row, groups whose window lies within the row load
// their window columns directly, and only the first and last groups gather
// theirs pixel by pixel with clamped columns.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "frame/memory.h"
#include "pixel/rgb555.h"

namespace tovrin::edge {

// Eight lanes fill the 16-byte vectors every 64-bit x86 and ARM processor
// has; wider vectors gained little here.
inline constexpr int kLanes = 8;

// Eight pixels, or eight equality masks (all ones where true).
typedef uint16_t Px __attribute__((vector_size(16)));
typedef int16_t Count __attribute__((vector_size(16)));

inline constexpr Px Splat(uint16_t v) { return Px{v, v, v, v, v, v, v, v}; }

inline Px Eq(Px a, Px b) { return reinterpret_cast<Px>(a == b); }
inline Px Ne(Px a, Px b) { return ~Eq(a, b); }
// a where the mask is set, b elsewhere.
inline Px Select(Px mask, Px a, Px b) { return (a & mask) | (b & ~mask); }

// `Rgb555_Average` lane by lane: equal pixels come back unchanged.
inline Px Avg(Px a, Px b) {
    const Px half = Splat(kHalfMask);
    const Px mean = ((a & half) >> 1) + ((b & half) >> 1) + (a & b & Splat(kLowBitMask));
    return Select(Eq(a, b), a, mean);
}

// `Rgb555_Average4` lane by lane.
inline Px Avg4(Px a, Px b, Px c, Px d) {
    const Px hi = Splat(kHighThreeMask), lo = Splat(kLowTwoMask);
    const Px high = ((a & hi) >> 2) + ((b & hi) >> 2) + ((c & hi) >> 2) + ((d & hi) >> 2);
    const Px low = (((a & lo) + (b & lo) + (c & lo) + (d & lo)) >> 2) & lo;
    return high + low;
}

// Columns x-1..x+2, rows y-1..y+2, lettered in reading order; F is the
// current pixel and F, G, J, K the centre block.
struct Window {
    Px A, B, C, D;
    Px E, F, G, H;
    Px I, J, K, L;
    Px M, N, O, P;
};

// The four destination pixels of each source pixel.
struct Block2x2 {
    Px tl, tr, bl, br;
};

// The vote between the centre block's two diagonals, over the probe pairs
// (E, B), (C, H), (I, N) and (L, O): a pair scores +1 when both probes show
// F and -1 when both show G. Returns the masks of a positive and of a
// negative total. Only meaningful where F != G.
struct Vote {
    Px positive, negative;
};

inline Vote VoteOf(const Window& w) {
    auto score = [&](Px a, Px b) {
        // Masks are -1 where true: both-G minus both-F is the pair's score.
        return reinterpret_cast<Count>(Eq(a, w.G) & Eq(b, w.G)) - reinterpret_cast<Count>(Eq(a, w.F) & Eq(b, w.F));
    };
    const Count total = score(w.E, w.B) + score(w.C, w.H) + score(w.I, w.N) + score(w.L, w.O);
    return Vote{reinterpret_cast<Px>(total > 0), reinterpret_cast<Px>(total < 0)};
}

// Which diagonals of the centre block are lines: the main one F-K, the
// anti-diagonal G-J, or both in two different colours. At most one holds; a
// centre block of one colour is none of them.
struct Diagonals {
    Px main, anti, crossed;
};

inline Diagonals DiagonalsOf(const Window& w) {
    const Px fk = Eq(w.F, w.K), gj = Eq(w.G, w.J);
    return Diagonals{fk & ~gj, gj & ~fk, fk & gj & Ne(w.F, w.G)};
}

// The value for the case that holds.
inline Px ByCase(const Diagonals& d, Px onMain, Px onAnti, Px onCrossed, Px otherwise) {
    return Select(d.main, onMain, Select(d.anti, onAnti, Select(d.crossed, onCrossed, otherwise)));
}

namespace detail {

// True when each of the eight centre blocks is one colour with bit 15
// clear. Every rule turns such a block into four pixels of its colour; flat
// areas are common in real pictures, so they skip the rules.
inline bool AllFlat(const Window& w) {
    const Px flat = Eq(w.F, w.G) & Eq(w.F, w.J) & Eq(w.F, w.K) & Eq(w.F & Splat(0x8000), Splat(0));
    uint64_t halves[2];
    std::memcpy(halves, &flat, sizeof halves);
    return (halves[0] & halves[1]) == ~uint64_t{0};
}

inline Px LoadPx(const uint16_t* p) {
    Px v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Interleaves left and right pixels into the 16 pixels of one output row
// and stores the first 2 * count of them.
inline void StoreRow(uint16_t* out, Px left, Px right, int count) {
    const Px lo = __builtin_shufflevector(left, right, 0, 8, 1, 9, 2, 10, 3, 11);
    const Px hi = __builtin_shufflevector(left, right, 4, 12, 5, 13, 6, 14, 7, 15);
    if (count == kLanes) {
        std::memcpy(out, &lo, sizeof lo);
        std::memcpy(out + kLanes, &hi, sizeof hi);
        return;
    }
    uint16_t pixels[2 * kLanes];
    std::memcpy(pixels, &lo, sizeof lo);
    std::memcpy(pixels + kLanes, &hi, sizeof hi);
    std::memcpy(out, pixels, 4 * static_cast<size_t>(count));
}

}  // namespace detail

// Doubles the picture with `rule` deciding each 2x2 output block. Only the
// width x height source rectangle is read; strides need only be even (source)
// and a multiple of 4 (destination).
template <Block2x2 (*Rule)(const Window&)>
inline void Scale2x(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes, int32_t width,
                    int32_t height) {
    if (width <= 0 || height <= 0) return;
    const int32_t last = width - 1;
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* rows[4] = {
            RowAt(src, srcRowBytes, std::max(y - 1, 0)),
            RowAt(src, srcRowBytes, y),
            RowAt(src, srcRowBytes, std::min(y + 1, height - 1)),
            RowAt(src, srcRowBytes, std::min(y + 2, height - 1)),
        };
        uint16_t* out0 = RowAt(dst, dstRowBytes, 2 * y);
        uint16_t* out1 = RowAt(dst, dstRowBytes, 2 * y + 1);

        auto direct = [&](int32_t x) {
            Px v[16];
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) v[4 * r + c] = detail::LoadPx(rows[r] + x - 1 + c);
            return Window{v[0], v[1], v[2],  v[3],  v[4],  v[5],  v[6],  v[7],
                          v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15]};
        };
        auto gathered = [&](int32_t x) {
            uint16_t g[16][kLanes];
            for (int i = 0; i < kLanes; ++i)
                for (int c = 0; c < 4; ++c) {
                    const int32_t column = std::clamp(x + i - 1 + c, 0, last);
                    for (int r = 0; r < 4; ++r) g[4 * r + c][i] = rows[r][column];
                }
            Px v[16];
            for (int k = 0; k < 16; ++k) v[k] = detail::LoadPx(g[k]);
            return Window{v[0], v[1], v[2],  v[3],  v[4],  v[5],  v[6],  v[7],
                          v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15]};
        };

        // The first group reaches column -1; groups up to here stay inside.
        const int32_t lastDirect = width - (kLanes + 2);
        for (int32_t x = 0; x < width; x += kLanes) {
            const bool inside = x > 0 && x <= lastDirect;
            const Window w = inside ? direct(x) : gathered(x);
            const int count = std::min(kLanes, width - x);
            if (inside && detail::AllFlat(w)) {
                detail::StoreRow(out0 + 2 * x, w.F, w.F, count);
                detail::StoreRow(out1 + 2 * x, w.F, w.F, count);
                continue;
            }
            const Block2x2 b = Rule(w);
            detail::StoreRow(out0 + 2 * x, b.tl, b.tr, count);
            detail::StoreRow(out1 + 2 * x, b.bl, b.br, count);
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
