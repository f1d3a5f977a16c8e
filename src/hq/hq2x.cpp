// "HQ2X": every source pixel becomes a 2x2 block chosen by the hq2x rule
// table; the switch is generated at build time from rules/hq2x.txt.
#include "frame/routines.h"
#include "hq/hq.h"

namespace tovrin {
namespace {

struct Hq2xRules {
    static void Block(const HqWindow& n, uint16_t* const* d) {
#include "hq/hq2x_rules.inc"
    }
};

}  // namespace

TOVRIN_ROUTINE(Hq2x) {
    HqDrawPicture<2, Hq2xRules>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
