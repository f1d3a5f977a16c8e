// "HQ2X": every source pixel becomes a 2x2 block chosen by the hq2x rule
// table; the switch is generated at build time from rules/hq2x.txt.
#include "frame/routines.h"
#include "hq/hq.h"

namespace tovrin {
namespace {

struct Hq2xRules {
    static void Block(const HqWindow& n, uint16_t* const* d) {
        const uint16_t w1 = n.w[1], w2 = n.w[2], w3 = n.w[3], w4 = n.w[4], w5 = n.w[5], w6 = n.w[6],
                       w7 = n.w[7], w8 = n.w[8], w9 = n.w[9];
        uint16_t *d0 = d[0], *d1 = d[1];
#include "hq/hq2x_rules.inc"
    }
};

}  // namespace

TOVRIN_ROUTINE(Hq2x) {
    HqDrawPicture<2, Hq2xRules>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
