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

// One changed block to the rows of its source row: as it is to the bright
// rows, which begin at row `First` of the N, darkened to the others.
template <Shade S, int N, int First>
inline void WriteScanlineBlock(uint16_t* dst, int32_t dstRowBytes, int32_t x, int32_t y, Block bright) {
    for (int32_t i = First; i < N; i += 2) WriteBlock(dst, dstRowBytes, x, y + i, 1, bright);
    if constexpr (S != Shade::None) {
        const Block dark = DarkenBlock<S>(bright);
        for (int32_t i = 1 - First; i < N; i += 2) WriteBlock(dst, dstRowBytes, x, y + i, 1, dark);
    }
}

// 2x to 5x: changed blocks go to the even destination rows of their source
// row as they are and, darkened, to the odd ones. At 3x and 5x the phase runs
// on across source rows: the first of the N rows is dark when r is odd. Rows
// are handled one at a time, so an odd height, which hosts never pass, is
// still drawn whole.
template <Shade S, int N>
void Scanlines(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
               int32_t width, int32_t height) {
    for (int32_t r = 0; r < height; ++r) {
        const uint16_t* row = RowAt(src, srcRowBytes, r);
        const int32_t y = N * r;
        if (y % 2 == 0) {
            ForEachChangedBlock<N>(row, cache, width, r, [=](int32_t x, Block block) {
                WriteScanlineBlock<S, N, 0>(dst, dstRowBytes, x, y, block);
            });
        } else {
            ForEachChangedBlock<N>(row, cache, width, r, [=](int32_t x, Block block) {
                WriteScanlineBlock<S, N, 1>(dst, dstRowBytes, x, y, block);
            });
        }
    }
}

}  // namespace

TOVRIN_SHADED_FAMILY(Horizontal, ScanlinesInPlace, Scanlines)

}  // namespace tovrin
