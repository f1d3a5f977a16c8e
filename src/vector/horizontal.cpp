// Vector "Horizontal" scanlines and the vector "Interleaved" routines drawn
// through them. Destination row Y is bright when Y is even and dark when it
// is odd across the whole picture; dark rows are the bright vectors darkened
// in registers, so they cost no further loads.
#include "frame/routines.h"
#include "tovrin.h"
#include "vector/groups.h"

namespace tovrin {
namespace {

// Scale 1: even source rows copied, odd ones darkened in place; the plain
// variant never reads the odd rows. Rows are taken one at a time, so an odd
// height, which hosts never pass, is still drawn whole, as by the twins.
template <typename Dark, int DarkUnroll>
void HorizontalVector1x(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes,
                        int32_t width, int32_t height) {
    const int32_t groups = vec::GroupsPerRow(width);
    for (int32_t r = 0; r < height; ++r) {
        if (r % 2 == 0)
            vec::MapGroups<8>(RowAt(src, srcRowBytes, r), RowAt(dst, dstRowBytes, r), groups,
                              [](vec::Lanes v) { return v; });
        else if constexpr (Dark::kWrites)
            vec::MapGroups<DarkUnroll>(RowAt(src, srcRowBytes, r), RowAt(dst, dstRowBytes, r), groups, Dark::Apply);
    }
}

template <int N, typename Dark>
void HorizontalVector(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                      int32_t dstRowBytes, int32_t width, int32_t height) {
    vec::DrawChangedGroups<N>(
        src, srcRowBytes, cache, dst, dstRowBytes, width, height,
        [dstRowBytes](int32_t r, uint16_t* out, const vec::Replicated<N>& bright) {
            vec::Replicated<N> dark{};
            if constexpr (Dark::kWrites) dark = vec::MapVectors(bright, Dark::Apply);
            for (int i = 0; i < N; ++i) {
                if ((N * r + i) % 2 == 0)
                    vec::StoreVectors(RowAt(out, dstRowBytes, i), bright);
                else if constexpr (Dark::kWrites)
                    vec::StoreVectors(RowAt(out, dstRowBytes, i), dark);
            }
        });
}

// Each vector "Interleaved" routine owns its field flag, apart from its
// scalar twin's; all start at 0 when the module is loaded.
uint8_t interleavedParity2x = 0;
uint8_t interleavedParity3x = 0;
uint8_t interleavedParity4x = 0;
uint8_t interleavedParity5x = 0;

// Flips the flag; a flag that was 0 means the odd field, drawn one
// destination row down from the second cache plane.
template <int N, uint8_t& Parity, ::BlitProc Scanlines>
void InterleavedVector(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                       int32_t dstRowBytes, int32_t width, int32_t height) {
    const bool oddField = Parity == 0;
    Parity = oddField ? 1 : 0;
    if (oddField) {
        cache = BytesAt(cache, 2 * static_cast<intptr_t>(width) * height);
        dst = RowAt(dst, dstRowBytes, 1);
        // Hosts pass even heights. With an odd one at 3x or 5x the shifted
        // field would end one row below the destination, so the last source
        // row's odd rows stay undrawn instead, as with the twins.
        if ((N * height) % 2 == 1) --height;
    }
    Scanlines(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace

#define TOVRIN_HORIZONTAL_1X(name, Dark, unroll)                                   \
    TOVRIN_ROUTINE(name) {                                                          \
        (void)cache;                                                                \
        HorizontalVector1x<Dark, unroll>(src, srcRowBytes, dst, dstRowBytes, width, height); \
    }
#define TOVRIN_HORIZONTAL(name, N, Dark) \
    TOVRIN_ROUTINE(name) { HorizontalVector<N, Dark>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }

TOVRIN_HORIZONTAL_1X(Horizontal_1x_Vector, vec::DarkUnwritten, 8)
TOVRIN_HORIZONTAL_1X(Horizontal25_1x_Vector, vec::DarkQuarter, 4)
TOVRIN_HORIZONTAL_1X(Horizontal50_1x_Vector, vec::DarkHalf, 8)
TOVRIN_HORIZONTAL_1X(Horizontal75_1x_Vector, vec::DarkThreeQuarters, 4)

TOVRIN_HORIZONTAL(Horizontal_2x_Vector, 2, vec::DarkUnwritten)
TOVRIN_HORIZONTAL(Horizontal25_2x_Vector, 2, vec::DarkQuarter)
TOVRIN_HORIZONTAL(Horizontal50_2x_Vector, 2, vec::DarkHalf)
TOVRIN_HORIZONTAL(Horizontal75_2x_Vector, 2, vec::DarkThreeQuarters)
TOVRIN_HORIZONTAL(Horizontal_3x_Vector, 3, vec::DarkUnwritten)
TOVRIN_HORIZONTAL(Horizontal25_3x_Vector, 3, vec::DarkQuarter)
TOVRIN_HORIZONTAL(Horizontal50_3x_Vector, 3, vec::DarkHalf)
TOVRIN_HORIZONTAL(Horizontal75_3x_Vector, 3, vec::DarkThreeQuarters)
TOVRIN_HORIZONTAL(Horizontal_4x_Vector, 4, vec::DarkUnwritten)
TOVRIN_HORIZONTAL(Horizontal25_4x_Vector, 4, vec::DarkQuarter)
TOVRIN_HORIZONTAL(Horizontal50_4x_Vector, 4, vec::DarkHalf)
TOVRIN_HORIZONTAL(Horizontal75_4x_Vector, 4, vec::DarkThreeQuarters)
TOVRIN_HORIZONTAL(Horizontal_5x_Vector, 5, vec::DarkUnwritten)
TOVRIN_HORIZONTAL(Horizontal25_5x_Vector, 5, vec::DarkQuarter)
TOVRIN_HORIZONTAL(Horizontal50_5x_Vector, 5, vec::DarkHalf)
TOVRIN_HORIZONTAL(Horizontal75_5x_Vector, 5, vec::DarkThreeQuarters)

TOVRIN_ROUTINE(Interleaved_2x_Vector) {
    InterleavedVector<2, interleavedParity2x, Horizontal_2x_Vector>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(Interleaved_3x_Vector) {
    InterleavedVector<3, interleavedParity3x, Horizontal_3x_Vector>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(Interleaved_4x_Vector) {
    InterleavedVector<4, interleavedParity4x, Horizontal_4x_Vector>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(Interleaved_5x_Vector) {
    InterleavedVector<5, interleavedParity5x, Horizontal_5x_Vector>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
