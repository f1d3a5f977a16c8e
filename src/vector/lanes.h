// The vector layer: a 16-byte vector of eight 16-bit lanes written on the
// compiler's portable vector extensions, so one source gives SSE2 code on
// x86-64 and Advanced SIMD code on AArch64. Lane 0 is the pixel at the lowest
// address, so a vector holds eight adjacent pixels left to right.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tovrin::vec {

using Lanes = uint16_t __attribute__((vector_size(16)));

inline constexpr size_t kLaneCount = 8;
inline constexpr size_t kVectorBytes = 16;

// Loads and stores work at any address. Callers are promised 16-byte aligned
// buffers and strides, where these cost the same as aligned accesses; a call
// that breaks the promise still touches exactly the bytes it names and never
// rounds an address down onto memory outside its buffer.
inline Lanes Load(const void* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(void* p, Lanes v) { std::memcpy(p, &v, sizeof v); }

inline constexpr Lanes Splat(uint16_t value) {
    return Lanes{value, value, value, value, value, value, value, value};
}

inline Lanes And(Lanes a, Lanes b) { return a & b; }
inline Lanes Add(Lanes a, Lanes b) { return a + b; }

template <int Bits>
inline Lanes ShiftRight(Lanes v) {
    return v >> Bits;
}

// All ones in each lane where a and b hold the same 16 bits, zero elsewhere.
inline Lanes Equal(Lanes a, Lanes b) { return reinterpret_cast<Lanes>(a == b); }

// One test for all eight lanes: the difference folded into one 64-bit word.
inline bool AllEqual(Lanes a, Lanes b) {
    using Halves = uint64_t __attribute__((vector_size(16)));
    const Halves difference = reinterpret_cast<Halves>(a ^ b);
    return (difference[0] | difference[1]) == 0;
}

// Lanes of `whereSet` where `mask` is all ones, lanes of `whereClear` elsewhere.
inline Lanes Select(Lanes mask, Lanes whereSet, Lanes whereClear) {
    return (whereSet & mask) | (whereClear & ~mask);
}

// A permute under a constant control: lane j of the result is lane
// control[j] of v. It is done in two steps that every 128-bit unit has as
// single instructions (SSE2 has no general word shuffle). Written as one
// step, g++ turns most controls into lane-by-lane inserts on SSE2; compilers
// that see a cheaper way (clang, or a table lookup on Advanced SIMD) merge
// the steps again. Two splits serve every replication control:
// - lanes doubled: each lane of one half of v is doubled (an interleave with
//   itself), then the doubled lanes move a pair at a time; this fits controls
//   made of equal lane pairs drawn from one half of v;
// - pairs, then halves: whole lane pairs move so that each half of the
//   vector holds the pairs its lanes need, then lanes are picked within each
//   half; this fits controls whose halves draw on at most two lane pairs each.
struct TwoStepControl {
    uint8_t first[kLaneCount];
    uint8_t second[kLaneCount];
    bool possible;
};

constexpr bool MadeOfDoubledLanes(const uint8_t (&control)[kLaneCount]) {
    const bool low = control[0] < 4;
    for (size_t j = 0; j < kLaneCount; j += 2)
        if (control[j] != control[j + 1] || (control[j] < 4) != low) return false;
    return true;
}

constexpr TwoStepControl SplitDoubled(const uint8_t (&control)[kLaneCount]) {
    TwoStepControl steps{};
    steps.possible = true;
    const uint8_t base = control[0] < 4 ? 0 : 4;
    for (size_t j = 0; j < kLaneCount; ++j) {
        steps.first[j] = static_cast<uint8_t>(base + j / 2);
        steps.second[j] = static_cast<uint8_t>(2 * (control[j] - base) + j % 2);
    }
    return steps;
}

constexpr TwoStepControl SplitPairsThenHalves(const uint8_t (&control)[kLaneCount]) {
    TwoStepControl steps{};
    steps.possible = true;
    for (size_t half = 0; half < 2; ++half) {
        const size_t first = 4 * half;
        uint8_t pair[2] = {0, 0};
        size_t used = 0;
        for (size_t j = first; j < first + 4; ++j) {
            const uint8_t p = control[j] / 2;
            if (used > 0 && pair[0] == p) continue;
            if (used > 1 && pair[1] == p) continue;
            if (used == 2) steps.possible = false;
            else pair[used++] = p;
        }
        if (used == 1) pair[1] = pair[0];
        for (size_t slot = 0; slot < 2; ++slot) {
            steps.first[first + 2 * slot] = static_cast<uint8_t>(2 * pair[slot]);
            steps.first[first + 2 * slot + 1] = static_cast<uint8_t>(2 * pair[slot] + 1);
        }
        for (size_t j = first; j < first + 4; ++j) {
            const size_t slot = control[j] / 2 == pair[0] ? 0 : 1;
            steps.second[j] = static_cast<uint8_t>(first + 2 * slot + control[j] % 2);
        }
    }
    return steps;
}

template <const uint8_t (&Control)[kLaneCount]>
struct PermuteSteps {
    static constexpr TwoStepControl kSteps =
        MadeOfDoubledLanes(Control) ? SplitDoubled(Control) : SplitPairsThenHalves(Control);
    static_assert(kSteps.possible, "control needs more than two single-instruction steps");
};

template <typename Steps, size_t... J>
inline Lanes PermuteInTwoSteps(Lanes v, std::index_sequence<J...>) {
    const Lanes once = __builtin_shufflevector(v, v, Steps::kSteps.first[J]...);
    return __builtin_shufflevector(once, once, Steps::kSteps.second[J]...);
}

template <const uint8_t (&Control)[kLaneCount]>
inline Lanes Permute(Lanes v) {
    return PermuteInTwoSteps<PermuteSteps<Control>>(v, std::make_index_sequence<kLaneCount>{});
}

// Replication controls: magnifying by N turns one source vector into N output
// vectors, lane j of output k holding source lane (8k + j) div N. Fourteen
// controls in all, for N = 2 to 5.
template <int N, int K>
struct ReplicationControl {
    static constexpr uint8_t kLanes[kLaneCount] = {
        (8 * K + 0) / N, (8 * K + 1) / N, (8 * K + 2) / N, (8 * K + 3) / N,
        (8 * K + 4) / N, (8 * K + 5) / N, (8 * K + 6) / N, (8 * K + 7) / N,
    };
};

// The N output vectors of one group, left to right.
template <int N>
struct Replicated {
    Lanes out[N];
};

template <int N, size_t... K>
inline Replicated<N> ReplicateEach(Lanes v, std::index_sequence<K...>) {
    return Replicated<N>{{Permute<ReplicationControl<N, K>::kLanes>(v)...}};
}

template <int N>
inline Replicated<N> Replicate(Lanes v) {
    static_assert(N >= 2 && N <= 5);
    return ReplicateEach<N>(v, std::make_index_sequence<N>{});
}

// RGB555 darkening on all eight lanes at once, the same masked halving as on
// single pixels: each channel loses its lowest bit before the shift, so no bit
// crosses into the channel below.
inline constexpr Lanes kHalfMaskLanes = Splat(0x7BDE);

inline Lanes Rgb555_Half(Lanes v) { return ShiftRight<1>(And(v, kHalfMaskLanes)); }
inline Lanes Rgb555_Quarter(Lanes v) { return Rgb555_Half(Rgb555_Half(v)); }
inline Lanes Rgb555_ThreeQuarters(Lanes v) {
    const Lanes half = Rgb555_Half(v);
    return Add(half, Rgb555_Half(half));
}

}  // namespace tovrin::vec
