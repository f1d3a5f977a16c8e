// Unaligned-safe access to pixels and pixel groups at byte addresses, and row
// addressing by byte stride. Routines address rows in bytes because strides
// are given in bytes.
#pragma once

#include <cstdint>
#include <cstring>

namespace tovrin {

template <typename T>
inline T LoadAt(const void* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
inline void StoreAt(void* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

inline const uint16_t* RowAt(const uint16_t* base, int32_t rowBytes, int32_t row) {
    return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(base) +
                                             static_cast<intptr_t>(row) * rowBytes);
}

inline uint16_t* RowAt(uint16_t* base, int32_t rowBytes, int32_t row) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(base) +
                                       static_cast<intptr_t>(row) * rowBytes);
}

inline uint8_t* BytesAt(void* base, intptr_t offset) {
    return static_cast<uint8_t*>(base) + offset;
}

// Four pixels as one 8-byte unit; the left pixel at the lower address.
struct Block {
    uint16_t px[4];
};

inline Block MakeBlock(uint16_t a, uint16_t b, uint16_t c, uint16_t d) { return Block{{a, b, c, d}}; }

// Writes one 4-pixel block at destination column x to `rows` rows from row y.
inline void WriteBlock(uint16_t* dst, int32_t dstRowBytes, int32_t x, int32_t y, int32_t rows,
                       const Block& block) {
    for (int32_t i = 0; i < rows; ++i) std::memcpy(RowAt(dst, dstRowBytes, y + i) + x, block.px, 8);
}

}  // namespace tovrin
