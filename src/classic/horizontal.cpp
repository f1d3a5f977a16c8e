// "Horizontal": pixel replication with every odd destination row darkened,
// which shows as scanlines. The plain variant leaves the dark rows untouched,
// which lets "Interleaved" draw one field through it.
#include <cstring>

#include "classic/replicate.h"

namespace tovrin {
namespace {

// 1x: even rows copied a quad at a time, odd rows darkened a pair at a time.
// No cache; every call redraws the whole area. The plain variant never even
// reads the odd rows.
template <Shade S>
void ScanlinesInPlace(const uint16_t* src, int32_t srcRowBytes, uint16_t* dst, int32_t dstRowBytes, int32_t width,
                      int32_t height) {
    const size_t brightBytes = static_cast<size_t>(width / 4) * 8;
    const int32_t pairs = width / 2;
    for (int32_t r = 0; r < height; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        uint16_t* out = RowAt(dst, dstRowBytes, r);
        if (r % 2 == 0) {
            std::memcpy(out, row, brightBytes);
        } else if constexpr (S != Shade::None) {
            for (int32_t k = 0; k < pairs; ++k)
                StoreAt(out + 2 * k, DarkenPair<S>(LoadAt<uint32_t>(row + 2 * k)));
        }
    }
}

// 2x to 5x: changed blocks go to the even destination rows of their source
// row as they are and, darkened, to the odd ones. At 3x and 5x the phase runs
// on across source rows (row 3r is dark when r is odd). Rows are handled one
// at a time, so an odd height, which hosts never pass, is still drawn whole.
template <Shade S, int N>
void Scanlines(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
               int32_t width, int32_t height) {
    for (int32_t r = 0; r < height; ++r) {
        ForEachChangedBlock<N>(RowAt(src, srcRowBytes, r), cache, width, r, [&](int32_t x, const Block& bright) {
            [[maybe_unused]] Block dark;
            if constexpr (S != Shade::None) dark = DarkenBlock<S>(bright);
            for (int32_t y = N * r; y < N * r + N; ++y) {
                if (y % 2 == 0) WriteBlock(dst, dstRowBytes, x, y, 1, bright);
                else if constexpr (S != Shade::None) WriteBlock(dst, dstRowBytes, x, y, 1, dark);
            }
        });
    }
}

}  // namespace

TOVRIN_SHADED_FAMILY(Horizontal, ScanlinesInPlace, Scanlines)

}  // namespace tovrin
