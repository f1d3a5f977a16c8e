// How the dimmed positions of the "Interpolated" and "Arcade" families are
// filled: left alone, black, or the pixel at a quarter, a half or three
// quarters of its brightness.
#pragma once

#include <cstdint>

#include "frame/memory.h"
#include "pixel/rgb555.h"

namespace tovrin {

enum class Dim { Unwritten, Black, Quarter, Half, ThreeQuarters };

template <Dim D>
inline constexpr uint16_t Dimmed(uint16_t p) {
    if constexpr (D == Dim::Quarter) return Rgb555_Quarter(p);
    else if constexpr (D == Dim::Half) return Rgb555_Half(p);
    else if constexpr (D == Dim::ThreeQuarters) return Rgb555_ThreeQuarters(p);
    else return 0;  // Black; Unwritten positions are never computed
}

template <Dim D>
inline Block Dimmed(const Block& b) {
    return MakeBlock(Dimmed<D>(b.px[0]), Dimmed<D>(b.px[1]), Dimmed<D>(b.px[2]), Dimmed<D>(b.px[3]));
}

}  // namespace tovrin
