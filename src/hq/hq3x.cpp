// "HQ3X": every source pixel becomes a 3x3 block chosen by the hq3x rule
// table; the switch is generated at build time from rules/hq3x.txt.
#include "frame/routines.h"
#include "hq/hq.h"

namespace tovrin {
namespace {

struct Hq3xRules {
    static void Block(const HqWindow& n, uint16_t* const* d) {
#include "hq/hq3x_rules.inc"
    }
};

}  // namespace

TOVRIN_ROUTINE(Hq3x) {
    HqDrawPicture<3, Hq3xRules>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
