// "Simple Smoothing": rounds off staircase edges without mixing colours.
// Every output pixel is the source pixel or one of its neighbours, chosen by
// equality tests in the 3x3 neighbourhood.
//
// Change tracking. Four cache planes, one entry per source position, hold
// the side neighbours the block of that position last read: the right
// neighbour (plane 0), the one above (plane 1), below (plane 2) and left
// (plane 3). A block whose own entries differ is redrawn. A changed right
// neighbour also starts a countdown that redraws the next two blocks, which
// read that pixel as their centre and left neighbour; the first pixel of a
// row, which has no block to its left, is compared with the left-neighbour
// entry of the block to its right instead. At 3x the diagonal neighbours
// matter too, but only for blocks that use the corner rules: their change is
// known from entries not yet rewritten in this call (the next block's
// entries, the next row's), from comparisons already made (the previous
// block's, the row above's ends), or, for the four corners of the ring
// around the picture, from four extra entries after the planes. So after
// every call the destination is what a full draw would give, and a block
// that reads no changed pixel is skipped.
#include <cstring>
#include <initializer_list>

#include "frame/memory.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

void DrawBlock2x(uint16_t* out0, uint16_t* out1, uint16_t w2, uint16_t w4, uint16_t w5, uint16_t w6,
                 uint16_t w8) {
    uint16_t top[2] = {w5, w5}, bottom[2] = {w5, w5};
    if (w2 != w8 && w4 != w6) {
        if (w4 == w2) top[0] = w2;
        if (w2 == w6) top[1] = w6;
        if (w4 == w8) bottom[0] = w4;
        if (w8 == w6) bottom[1] = w8;
    }
    std::memcpy(out0, top, 4);
    std::memcpy(out1, bottom, 4);
}

void DrawBlock3x(uint16_t* out0, uint16_t* out1, uint16_t* out2, const uint16_t* up, const uint16_t* mid,
                 const uint16_t* down) {
    const uint16_t w2 = up[0], w4 = mid[-1], w5 = mid[0], w6 = mid[1], w8 = down[0];
    if (w2 == w8 || w4 == w6) {
        for (uint16_t* out : {out0, out1, out2}) out[0] = out[1] = out[2] = w5;
        return;
    }
    const uint16_t w1 = up[-1], w3 = up[1], w7 = down[-1], w9 = down[1];
    out0[0] = w4 == w2 ? w4 : w5;
    out0[1] = (w4 == w2 && w5 != w3) || (w2 == w6 && w5 != w1) ? w2 : w5;
    out0[2] = w2 == w6 ? w6 : w5;
    out1[0] = (w4 == w2 && w5 != w7) || (w4 == w8 && w5 != w1) ? w4 : w5;
    out1[1] = w5;
    out1[2] = (w2 == w6 && w5 != w9) || (w8 == w6 && w5 != w3) ? w6 : w5;
    out2[0] = w4 == w8 ? w4 : w5;
    out2[1] = (w4 == w8 && w5 != w9) || (w8 == w6 && w5 != w7) ? w8 : w5;
    out2[2] = w8 == w6 ? w6 : w5;
}

// Compares a ring corner with its entry and keeps the current value.
inline bool CornerChanged(uint16_t& entry, uint16_t now) {
    const bool changed = entry != now;
    entry = now;
    return changed;
}

template <int N>
void SimpleSmoothing(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes,
                     int32_t width, int32_t height) {
    const intptr_t plane = intptr_t{width} * height;
    uint16_t* const right = static_cast<uint16_t*>(cache);
    uint16_t* const above = right + plane;
    uint16_t* const below = above + plane;
    uint16_t* const left = below + plane;
    uint16_t* const corners = left + plane;  // 3x: (-1,-1), (w,-1), (-1,h), (w,h)

    // Whether the ring pixels left and right of the previous row changed.
    bool leftEndAboveChanged = false, rightEndAboveChanged = false;
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* up = RowAt(src, srcRowBytes, y - 1);
        const uint16_t* mid = RowAt(src, srcRowBytes, y);
        const uint16_t* down = RowAt(src, srcRowBytes, y + 1);
        const intptr_t base = intptr_t{width} * y;
        const bool lastRow = y + 1 == height;
        uint16_t* out0 = RowAt(dst, dstRowBytes, N * y);
        uint16_t* out1 = RowAt(dst, dstRowBytes, N * y + 1);
        uint16_t* out2 = N == 3 ? RowAt(dst, dstRowBytes, N * y + 2) : nullptr;

        // The first pixel has no block to its left to notice its change.
        int counter = mid[0] != left[base + 1] ? 2 : 0;
        // Diagonal changes on the left of the current block (3x): the pixel
        // above-left and below-left of it.
        bool upLeftChanged = false, downLeftChanged = false;
        if constexpr (N == 3) {
            upLeftChanged = y > 0 ? leftEndAboveChanged : CornerChanged(corners[0], up[-1]);
            downLeftChanged = lastRow ? CornerChanged(corners[2], down[-1]) : down[-1] != left[base + width];
        }
        for (int32_t x = 0; x < width; ++x) {
            const intptr_t i = base + x;
            const uint16_t w2 = up[x], w4 = mid[x - 1], w5 = mid[x], w6 = mid[x + 1], w8 = down[x];
            const bool rightChanged = w6 != right[i];
            const bool upChanged = w2 != above[i], downChanged = w8 != below[i];
            const bool leftChanged = w4 != left[i];
            if (rightChanged) counter = 3;
            bool draw = (counter > 0) | upChanged | downChanged | leftChanged;
            if constexpr (N == 3) {
                // Diagonal changes count only for blocks that use the corner
                // rules; combined without branches, as that test is data-driven.
                bool upRightChanged, downRightChanged;
                if (x + 1 < width) {
                    upRightChanged = up[x + 1] != above[i + 1];
                    downRightChanged = down[x + 1] != below[i + 1];
                } else {
                    upRightChanged = y > 0 ? rightEndAboveChanged : CornerChanged(corners[1], up[x + 1]);
                    downRightChanged = lastRow ? CornerChanged(corners[3], down[x + 1]) : down[x + 1] != right[i + width];
                }
                const bool cornerRules = (w2 != w8) & (w4 != w6);
                draw |= cornerRules & (upLeftChanged | downLeftChanged | upRightChanged | downRightChanged);
                upLeftChanged = upChanged;
                downLeftChanged = downChanged;
            }
            if (x == 0) leftEndAboveChanged = leftChanged;
            if (x + 1 == width) rightEndAboveChanged = rightChanged;
            if (!draw) continue;
            right[i] = w6;
            above[i] = w2;
            below[i] = w8;
            left[i] = w4;
            --counter;
            if constexpr (N == 2) {
                DrawBlock2x(out0 + 2 * x, out1 + 2 * x, w2, w4, w5, w6, w8);
            } else {
                DrawBlock3x(out0 + 3 * x, out1 + 3 * x, out2 + 3 * x, up + x, mid + x, down + x);
            }
        }
    }
}

}  // namespace

TOVRIN_ROUTINE(SimpleSmoothing_2x) {
    SimpleSmoothing<2>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(SimpleSmoothing_3x) {
    SimpleSmoothing<3>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
