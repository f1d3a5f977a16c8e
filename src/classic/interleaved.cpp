// "Interleaved": each call redraws one field, the odd destination rows or the
// even ones, alternately, through the plain scanline routine of the same
// magnification, which writes only the rows it counts as even.
#include "frame/memory.h"
#include "frame/routines.h"
#include "tovrin.h"

namespace tovrin {
namespace {

// One field flag per routine, 0 at load: the first call draws the odd field.
template <int N>
struct FieldParity {
    static inline uint8_t value = 0;
};

template <int N, BlitProc DrawBrightRows>
void DrawNextField(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
                   int32_t width, int32_t height) {
    uint8_t& parity = FieldParity<N>::value;
    parity = parity == 0 ? 1 : 0;
    if (parity == 1) {
        // One row down, with the second cache half; at 1x the odd source
        // rows are the ones to copy.
        dst = RowAt(dst, dstRowBytes, 1);
        cache = BytesAt(cache, intptr_t{2} * width * height);
        if constexpr (N == 1) src = RowAt(src, srcRowBytes, 1);
        // Hosts pass even heights. With an odd one at 1x, 3x or 5x the shifted
        // field would end one row below the destination, so the call gets
        // one source row less: at 1x that row lies below the picture anyway,
        // at 3x and 5x the odd rows of the last source row stay undrawn.
        if ((N * height) % 2 == 1) --height;
    }
    DrawBrightRows(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace

TOVRIN_ROUTINE(Interleaved_1x) { DrawNextField<1, Horizontal_1x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Interleaved_2x) { DrawNextField<2, Horizontal_2x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Interleaved_3x) { DrawNextField<3, Horizontal_3x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Interleaved_4x) { DrawNextField<4, Horizontal_4x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Interleaved_5x) { DrawNextField<5, Horizontal_5x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }

}  // namespace tovrin
