// "HQ4X": every source pixel becomes a 4x4 block chosen by the hq4x rule
// table; the switch is generated at build time from rules/hq4x.txt.
#include "frame/routines.h"
#include "hq/hq.h"

namespace tovrin {
namespace {

struct Hq4xRules {
    static void Block(const HqWindow& n, uint16_t* const* d) {
        const uint16_t w1 = n.w[1], w2 = n.w[2], w3 = n.w[3], w4 = n.w[4], w5 = n.w[5], w6 = n.w[6],
                       w7 = n.w[7], w8 = n.w[8], w9 = n.w[9];
        uint16_t *d0 = d[0], *d1 = d[1], *d2 = d[2], *d3 = d[3];
#include "hq/hq4x_rules.inc"
    }
};

}  // namespace

TOVRIN_ROUTINE(Hq4x) {
    HqDrawPicture<4, Hq4xRules>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
