// "Vertical": pixel replication with every second destination column
// darkened, which shows as column lines. The plain variant paints its dark
// columns black.
#include "classic/replicate.h"

namespace tovrin {
namespace {

// 1x: even columns copied, odd columns darkened in place; the darkening
// works on the pair. No cache; a last odd column is left alone.
template <Shade S>
void ColumnsInPlace(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes, int32_t width,
                    int32_t height) {
    const int32_t pairs = width / 2;
    for (int32_t r = 0; r < height; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        uint16_t* out = RowAt(dst, dstRowBytes, r);
        for (int32_t k = 0; k < pairs; ++k) {
            out[2 * k] = row[2 * k];
            if constexpr (S == Shade::None) {
                out[2 * k + 1] = 0;  // black needs no look at the pixel it replaces
            } else {
                uint16_t dark[2];
                StoreAt(dark, DarkenPair<S>(LoadAt<uint32_t>(row + 2 * k)));
                out[2 * k + 1] = dark[1];
            }
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

}  // namespace

TOVRIN_SHADED_FAMILY(Vertical, ColumnsInPlace, Columns)

}  // namespace tovrin
