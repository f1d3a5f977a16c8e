// Pixel replication under a fixed mask that depends only on the output
// position, shared by "RGB Mode" and "Arcade". Both keep the replicating
// cache layouts and compare units (a pair at 2x, a pixel at 4x, a quad and
// then its pixels at 3x and 5x) and redraw only the 4-pixel groups that show
// a changed pixel, in every output row of the source row.
#pragma once

#include <cstdint>

#include "classic/replicate.h"
#include "frame/memory.h"

namespace tovrin {

// Mask::Prepare(shown) computes, once per redrawn group, the forms of the
// four source pixels the group shows; Mask::Pick(forms, Y, g) assembles from
// them the output of group g (output columns 4g to 4g + 3) in output row Y.
template <int N, typename Mask>
void MaskedReplicate(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                     int32_t dstRowBytes, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y)
        ForEachChangedBlock<N>(RowAt(src, srcRowBytes, y), cache, width, y, [&](int32_t x, const Block& shown) {
            const auto forms = Mask::Prepare(shown);
            for (int32_t Y = N * y; Y < N * y + N; ++Y)
                WriteBlock(dst, dstRowBytes, x, Y, 1, Mask::Pick(forms, Y, x / 4));
        });
}

}  // namespace tovrin
