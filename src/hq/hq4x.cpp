// "HQ4X": every source pixel becomes a 4x4 block chosen by the hq4x rule
// table; the switch is generated at build time from rules/hq4x.txt.
#include "frame/routines.h"
#include "hq/hq.h"

namespace tovrin {
namespace {

struct Hq4xRules {
    static void Block(const HqWindow& n, uint16_t* const* d) {
#include "hq/hq4x_rules.inc"
    }
};

}  // namespace

TOVRIN_ROUTINE(Hq4x) {
    HqDrawPicture<4, Hq4xRules>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
