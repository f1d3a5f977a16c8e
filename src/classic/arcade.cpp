// "Arcade": replication under a dot mask with a period of four columns and
// four rows; six positions in sixteen are lit and show the pixel, the rest
// show it shaded (black in the plain form).
#include "classic/masked_replication.h"
#include "classic/replicate.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

// Each 4-pixel group is built from the pixels it shows and their shaded
// forms, with the lit positions of each row of the period fixed in code.
template <Shade S>
struct ArcadeMask {
    struct Forms {
        Block lit, shaded;
    };
    static Forms Prepare(const Block& shown) { return {shown, DarkenBlock<S>(shown)}; }
    static Block Pick(const Forms& f, int32_t Y, int32_t) {
        switch (Y & 3) {
            case 0: return MakeBlock(f.shaded.px[0], f.shaded.px[1], f.shaded.px[2], f.lit.px[3]);
            case 2: return MakeBlock(f.shaded.px[0], f.lit.px[1], f.shaded.px[2], f.shaded.px[3]);
            default: return MakeBlock(f.shaded.px[0], f.lit.px[1], f.shaded.px[2], f.lit.px[3]);
        }
    }
};

}  // namespace

// Rows are taken one at a time, so every height is drawn completely.
#define TOVRIN_ARCADE_ROUTINE(name, shade, scale)                                                      \
    TOVRIN_ROUTINE(name) {                                                                             \
        MaskedReplicate<scale, ArcadeMask<Shade::shade>>(src, srcRowBytes, cache, dst, dstRowBytes, width, \
                                                         height);                                      \
    }
#define TOVRIN_ARCADE(family, shade)              \
    TOVRIN_ARCADE_ROUTINE(family##_2x, shade, 2)  \
    TOVRIN_ARCADE_ROUTINE(family##_3x, shade, 3)  \
    TOVRIN_ARCADE_ROUTINE(family##_4x, shade, 4)  \
    TOVRIN_ARCADE_ROUTINE(family##_5x, shade, 5)

TOVRIN_ARCADE(Arcade, None)
TOVRIN_ARCADE(Arcade25, Quarter)
TOVRIN_ARCADE(Arcade50, Half)
TOVRIN_ARCADE(Arcade75, ThreeQuarters)

#undef TOVRIN_ARCADE
#undef TOVRIN_ARCADE_ROUTINE

}  // namespace tovrin
