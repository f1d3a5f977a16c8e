// "Arcade": replication under a dot mask with a period of four columns and
// four rows; six positions in sixteen are lit and show the pixel, the rest
// show it shaded (black in the plain form).
#include "classic/masked_replication.h"
#include "classic/shading.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

// Each 4-pixel group is built from the pixels it shows and their shaded
// forms, with the lit positions of each row of the period fixed in code.
template <Dim D>
struct ArcadeMask {
    static Block Apply(int32_t Y, int32_t, const Block& s) {
        const uint16_t* p = s.px;
        switch (Y & 3) {
            case 0: return MakeBlock(Dimmed<D>(p[0]), Dimmed<D>(p[1]), Dimmed<D>(p[2]), p[3]);
            case 2: return MakeBlock(Dimmed<D>(p[0]), p[1], Dimmed<D>(p[2]), Dimmed<D>(p[3]));
            default: return MakeBlock(Dimmed<D>(p[0]), p[1], Dimmed<D>(p[2]), p[3]);
        }
    }
};

}  // namespace

// Units of work along a row: 2 pixels at 2x, 4 at 3x and 5x, 1 at 4x. Rows
// are taken one at a time, so every height is drawn completely.
#define TOVRIN_ARCADE(prefix, dim)                                                                 \
    TOVRIN_ROUTINE(prefix##_2x) {                                                                  \
        MaskedReplicate<2, 2, ArcadeMask<dim>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); \
    }                                                                                              \
    TOVRIN_ROUTINE(prefix##_3x) {                                                                  \
        MaskedReplicate<3, 4, ArcadeMask<dim>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); \
    }                                                                                              \
    TOVRIN_ROUTINE(prefix##_4x) {                                                                  \
        MaskedReplicate<4, 1, ArcadeMask<dim>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); \
    }                                                                                              \
    TOVRIN_ROUTINE(prefix##_5x) {                                                                  \
        MaskedReplicate<5, 4, ArcadeMask<dim>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); \
    }

TOVRIN_ARCADE(Arcade, Dim::Black)
TOVRIN_ARCADE(Arcade25, Dim::Quarter)
TOVRIN_ARCADE(Arcade50, Dim::Half)
TOVRIN_ARCADE(Arcade75, Dim::ThreeQuarters)

#undef TOVRIN_ARCADE

}  // namespace tovrin
