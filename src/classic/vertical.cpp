// "Vertical": pixel replication with every second destination column
// darkened, which shows as column lines. The plain variant paints its dark
// columns black.
#include "classic/replicate.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

// 1x: even columns copied, odd columns darkened in place, a pixel at a time.
// No cache; a last odd column is left alone.
template <Shade S>
void ColumnsInPlace(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes, int32_t width,
                    int32_t height) {
    const int32_t pairs = width / 2;
    for (int32_t r = 0; r < height; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        uint16_t* out = RowAt(dst, dstRowBytes, r);
        for (int32_t k = 0; k < pairs; ++k) {
            out[2 * k] = row[2 * k];
            // Black needs no look at the pixel it replaces.
            out[2 * k + 1] = S == Shade::None ? uint16_t{0} : Darken<S>(row[2 * k + 1]);
        }
    }
}

// 2x to 5x: the dark columns are the even ones, so every written block, which
// starts at an even column, has its pixels 0 and 2 darkened.
template <Shade S, int N>
void Columns(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
             int32_t width, int32_t height) {
    for (int32_t r = 0; r < height; ++r) {
        ForEachChangedBlock<N>(RowAt(src, srcRowBytes, r), cache, width, r, [&](int32_t x, const Block& bright) {
            WriteBlock(dst, dstRowBytes, x, N * r, N, DarkenEvenPixels<S>(bright));
        });
    }
}

template <Shade S, int N>
void Vertical(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
              int32_t width, int32_t height) {
    if constexpr (N == 1) ColumnsInPlace<S>(src, srcRowBytes, dst, dstRowBytes, width, height);
    else Columns<S, N>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace

#define TOVRIN_VERTICAL(name, shade, scale)                                                   \
    TOVRIN_ROUTINE(name) {                                                                    \
        Vertical<Shade::shade, scale>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); \
    }

TOVRIN_VERTICAL(Vertical_1x, None, 1)
TOVRIN_VERTICAL(Vertical_2x, None, 2)
TOVRIN_VERTICAL(Vertical_3x, None, 3)
TOVRIN_VERTICAL(Vertical_4x, None, 4)
TOVRIN_VERTICAL(Vertical_5x, None, 5)
TOVRIN_VERTICAL(Vertical25_1x, Quarter, 1)
TOVRIN_VERTICAL(Vertical25_2x, Quarter, 2)
TOVRIN_VERTICAL(Vertical25_3x, Quarter, 3)
TOVRIN_VERTICAL(Vertical25_4x, Quarter, 4)
TOVRIN_VERTICAL(Vertical25_5x, Quarter, 5)
TOVRIN_VERTICAL(Vertical50_1x, Half, 1)
TOVRIN_VERTICAL(Vertical50_2x, Half, 2)
TOVRIN_VERTICAL(Vertical50_3x, Half, 3)
TOVRIN_VERTICAL(Vertical50_4x, Half, 4)
TOVRIN_VERTICAL(Vertical50_5x, Half, 5)
TOVRIN_VERTICAL(Vertical75_1x, ThreeQuarters, 1)
TOVRIN_VERTICAL(Vertical75_2x, ThreeQuarters, 2)
TOVRIN_VERTICAL(Vertical75_3x, ThreeQuarters, 3)
TOVRIN_VERTICAL(Vertical75_4x, ThreeQuarters, 4)
TOVRIN_VERTICAL(Vertical75_5x, ThreeQuarters, 5)

}  // namespace tovrin
