// "RGB Mode": replication under a tinted grid. Groups of four output columns
// show green-, blue- and red-favouring tints and a dimmed pixel (a triad),
// or four dimmed pixels; the row kind decides which groups are dark.
#include "classic/masked_replication.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

// Each channel scaled by m/128, rounded down: three small multiplications
// and shifts. 128 keeps a channel.
template <unsigned R, unsigned G, unsigned B>
inline constexpr uint16_t Tint(uint16_t p) {
    const unsigned r = (((p >> 10) & 31u) * R) >> 7;
    const unsigned g = (((p >> 5) & 31u) * G) >> 7;
    const unsigned b = ((p & 31u) * B) >> 7;
    return static_cast<uint16_t>((r << 10) | (g << 5) | b);
}

inline constexpr uint16_t RgbModeDim(uint16_t p) { return Tint<89, 89, 89>(p); }
inline constexpr uint16_t RgbModeRed(uint16_t p) { return Tint<128, 74, 111>(p); }
inline constexpr uint16_t RgbModeGreen(uint16_t p) { return Tint<111, 128, 74>(p); }
inline constexpr uint16_t RgbModeBlue(uint16_t p) { return Tint<74, 111, 128>(p); }

enum class RowKind { Triad, DarkEven, DarkOdd };

template <int N>
constexpr RowKind KindOfRow(int32_t Y) {
    if constexpr (N == 3) {
        constexpr RowKind kinds[3] = {RowKind::DarkEven, RowKind::Triad, RowKind::DarkOdd};
        return kinds[Y % 3];
    } else if constexpr (N == 5) {
        constexpr RowKind kinds[5] = {RowKind::DarkEven, RowKind::Triad, RowKind::DarkOdd, RowKind::Triad,
                                      RowKind::Triad};
        return kinds[Y % 5];
    } else {
        constexpr RowKind kinds[4] = {RowKind::DarkEven, RowKind::Triad, RowKind::DarkOdd, RowKind::Triad};
        return kinds[Y % 4];
    }
}

// A triad group shows green, blue, red and dim; a dark group all dim.
template <int N>
struct RgbModeMask {
    struct Forms {
        Block triad, dark;
    };
    static Forms Prepare(const Block& s) {
        const uint16_t* p = s.px;
        return {MakeBlock(RgbModeGreen(p[0]), RgbModeBlue(p[1]), RgbModeRed(p[2]), RgbModeDim(p[3])),
                MakeBlock(RgbModeDim(p[0]), RgbModeDim(p[1]), RgbModeDim(p[2]), RgbModeDim(p[3]))};
    }
    static const Block& Pick(const Forms& forms, int32_t Y, int32_t g) {
        const RowKind kind = KindOfRow<N>(Y);
        const bool dark = (kind == RowKind::DarkEven && g % 2 == 0) || (kind == RowKind::DarkOdd && g % 2 == 1);
        return dark ? forms.dark : forms.triad;
    }
};

static_assert(RgbModeDim(0x7FFF) == 0x56B5 && RgbModeGreen(0x7FFF) == 0x6BF1);
static_assert(RgbModeBlue(0x7FFF) == 0x475F && RgbModeRed(0x7FFF) == 0x7E3A);

}  // namespace

TOVRIN_ROUTINE(RgbMode_2x) {
    MaskedReplicate<2, RgbModeMask<2>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(RgbMode_3x) {
    MaskedReplicate<3, RgbModeMask<3>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(RgbMode_4x) {
    MaskedReplicate<4, RgbModeMask<4>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}
TOVRIN_ROUTINE(RgbMode_5x) {
    MaskedReplicate<5, RgbModeMask<5>>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
