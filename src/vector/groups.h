// What every vector routine shares: source rows walked in groups of eight
// pixels, one 16-byte cache entry per group with change detection per group,
// the stores of replicated vectors, and the variants' dark pixels.
#pragma once

#include <cstdint>

#include "frame/memory.h"
#include "vector/lanes.h"

namespace tovrin::vec {

// Whole groups per row; the pixels after the last whole group are neither
// read, cached nor drawn.
inline int32_t GroupsPerRow(int32_t width) { return width / static_cast<int32_t>(kLaneCount); }

// The cache keeps one 16-byte entry per group, rows of groups back to back
// whatever the source stride.
inline uint8_t* CacheEntries(void* cache, int32_t groups, int32_t row) {
    return BytesAt(cache, static_cast<intptr_t>(kVectorBytes) * groups * row);
}

// Applies `op` to every group of a row and stores the results, `Unroll`
// vectors per pass and then one by one (the routines without a cache).
template <int Unroll, typename Op>
inline void MapGroups(const uint16_t* in, uint16_t* out, int32_t groups, Op op) {
    int32_t g = 0;
    for (; g + Unroll <= groups; g += Unroll) {
#pragma GCC unroll 8
        for (int i = 0; i < Unroll; ++i)
            Store(out + kLaneCount * (g + i), op(Load(in + kLaneCount * (g + i))));
    }
    for (; g < groups; ++g) Store(out + kLaneCount * g, op(Load(in + kLaneCount * g)));
}

// True when the `Count` groups from `pixels` equal their cache entries at
// `entries`: the differences are folded into one vector and tested once.
template <int Count>
inline bool RunUnchanged(const uint16_t* pixels, const uint8_t* entries) {
    Lanes difference = Load(pixels) ^ Load(entries);
#pragma GCC unroll 8
    for (int i = 1; i < Count; ++i)
        difference |= Load(pixels + kLaneCount * i) ^ Load(entries + kVectorBytes * i);
    return AllEqual(difference, Splat(0));
}

// Walks `rows` source rows from the top. For each group whose eight pixels
// differ from its cache entry (any lane, all 16 bits), stores the pixels into
// the entry and calls draw(r, out, replicated), where `out` is the group's
// first pixel in destination row N × r and `replicated` its N output vectors.
// Unchanged groups write nothing at all. An unchanged group usually starts an
// unchanged stretch, which is then skipped four groups per test; a full
// redraw never pays for that test.
template <int N, typename DrawGroup>
inline void DrawChangedGroups(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                              int32_t dstRowBytes, int32_t width, int32_t rows, DrawGroup draw) {
    constexpr int32_t kSkip = 4;
    const int32_t groups = GroupsPerRow(width);
    for (int32_t r = 0; r < rows; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        uint8_t* entries = CacheEntries(cache, groups, r);
        uint16_t* out = RowAt(dst, dstRowBytes, N * r);
        for (int32_t g = 0; g < groups;) {
            const Lanes pixels = Load(row + kLaneCount * g);
            uint8_t* entry = entries + kVectorBytes * g;
            if (AllEqual(pixels, Load(entry))) {
                ++g;
                while (g + kSkip <= groups && RunUnchanged<kSkip>(row + kLaneCount * g, entries + kVectorBytes * g))
                    g += kSkip;
                continue;
            }
            Store(entry, pixels);
            draw(r, out + kLaneCount * N * g, Replicate<N>(pixels));
            ++g;
        }
    }
}

// The N output vectors of a group, stored left to right from `at`.
template <int N>
inline void StoreVectors(uint16_t* at, const Replicated<N>& vectors) {
    for (int k = 0; k < N; ++k) Store(at + kLaneCount * k, vectors.out[k]);
}

template <int N, typename Op>
inline Replicated<N> MapVectors(const Replicated<N>& vectors, Op op) {
    Replicated<N> result;
    for (int k = 0; k < N; ++k) result.out[k] = op(vectors.out[k]);
    return result;
}

// Dark pixels of the variants. kWrites is false where dark pixels are not
// written at all (the plain scanlines).
struct DarkUnwritten {
    static constexpr bool kWrites = false;
    static Lanes Apply(Lanes v) { return v; }
};
struct DarkBlack {
    static constexpr bool kWrites = true;
    static Lanes Apply(Lanes) { return Splat(0); }
};
struct DarkQuarter {
    static constexpr bool kWrites = true;
    static Lanes Apply(Lanes v) { return Rgb555_Quarter(v); }
};
struct DarkHalf {
    static constexpr bool kWrites = true;
    static Lanes Apply(Lanes v) { return Rgb555_Half(v); }
};
struct DarkThreeQuarters {
    static constexpr bool kWrites = true;
    static Lanes Apply(Lanes v) { return Rgb555_ThreeQuarters(v); }
};

}  // namespace tovrin::vec
