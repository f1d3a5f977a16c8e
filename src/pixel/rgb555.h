// RGB555 colour arithmetic shared by every family. All operations work on
// packed pixels (or pairs of pixels in one 32-bit word) with masks that keep
// each 5-bit channel from spilling into its neighbour; results round down.
#pragma once

#include <cstdint>

namespace tovrin {

inline constexpr uint16_t kHalfMask = 0x7BDE;      // each channel without bit 0
inline constexpr uint16_t kHalfShiftedMask = 0x3DEF;
inline constexpr uint16_t kQuarterShiftedMask = 0x1CE7;
inline constexpr uint16_t kLowBitMask = 0x0421;    // bit 0 of each channel
inline constexpr uint16_t kHighThreeMask = 0x739C; // bits 2-4 of each channel
inline constexpr uint16_t kLowTwoMask = 0x0C63;    // bits 0-1 of each channel

inline constexpr uint16_t Rgb555_Half(uint16_t p) {
    return static_cast<uint16_t>((p & kHalfMask) >> 1);
}

inline constexpr uint16_t Rgb555_Quarter(uint16_t p) {
    return Rgb555_Half(Rgb555_Half(p));
}

// (k div 2) + (k div 4) per channel; at most 22, so the sum never carries.
inline constexpr uint16_t Rgb555_ThreeQuarters(uint16_t p) {
    return static_cast<uint16_t>(Rgb555_Half(p) + Rgb555_Quarter(p));
}

// Equal inputs come back untouched (bit 15 included); otherwise the exact
// per-channel mean rounded down, bit 15 clear.
inline constexpr uint16_t Rgb555_Average(uint16_t a, uint16_t b) {
    if (a == b) return a;
    return static_cast<uint16_t>(Rgb555_Half(a) + Rgb555_Half(b) + (a & b & kLowBitMask));
}

inline constexpr uint16_t Rgb555_Average4(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    const unsigned high = ((a & kHighThreeMask) >> 2) + ((b & kHighThreeMask) >> 2) +
                          ((c & kHighThreeMask) >> 2) + ((d & kHighThreeMask) >> 2);
    const unsigned low =
        (((a & kLowTwoMask) + (b & kLowTwoMask) + (c & kLowTwoMask) + (d & kLowTwoMask)) >> 2) &
        kLowTwoMask;
    return static_cast<uint16_t>(high + low);
}

// The halving family on two pixels at once. The bit a shift moves from the
// upper pixel into the lower one's bit 15 is always cleared by the mask.
inline constexpr uint32_t kHalfMask2 = 0x7BDE7BDEu;

inline constexpr uint32_t Rgb555_Half2(uint32_t pair) { return (pair & kHalfMask2) >> 1; }

inline constexpr uint32_t Rgb555_Quarter2(uint32_t pair) {
    return Rgb555_Half2(Rgb555_Half2(pair));
}

inline constexpr uint32_t Rgb555_ThreeQuarters2(uint32_t pair) {
    return Rgb555_Half2(pair) + Rgb555_Quarter2(pair);
}

}  // namespace tovrin
