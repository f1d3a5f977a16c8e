// Vector "Vertical" lines at 2x and 3x. A group's output starts at a
// destination column that is a multiple of 8, so in every output vector the
// even lanes fall on dark columns and the odd lanes on bright ones: one lane
// selection per vector, no per-pixel work.
#include "frame/routines.h"
#include "vector/groups.h"

namespace tovrin {
namespace {

constexpr vec::Lanes kDarkLanes = {0xFFFF, 0, 0xFFFF, 0, 0xFFFF, 0, 0xFFFF, 0};

template <int N, typename Dark>
void VerticalVector(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                    int32_t dstRowBytes, int32_t width, int32_t height) {
    vec::DrawChangedGroups<N>(src, srcRowBytes, cache, dst, dstRowBytes, width, height,
                              [dstRowBytes](int32_t, uint16_t* out, const vec::Replicated<N>& bright) {
                                  const vec::Replicated<N> lines = vec::MapVectors(bright, [](vec::Lanes v) {
                                      return vec::Select(kDarkLanes, Dark::Apply(v), v);
                                  });
                                  for (int i = 0; i < N; ++i) vec::StoreVectors(RowAt(out, dstRowBytes, i), lines);
                              });
}

}  // namespace

#define TOVRIN_VERTICAL(name, N, Dark) \
    TOVRIN_ROUTINE(name) { VerticalVector<N, Dark>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }

TOVRIN_VERTICAL(Vertical_2x_Vector, 2, vec::DarkBlack)
TOVRIN_VERTICAL(Vertical25_2x_Vector, 2, vec::DarkQuarter)
TOVRIN_VERTICAL(Vertical50_2x_Vector, 2, vec::DarkHalf)
TOVRIN_VERTICAL(Vertical75_2x_Vector, 2, vec::DarkThreeQuarters)
TOVRIN_VERTICAL(Vertical_3x_Vector, 3, vec::DarkBlack)
TOVRIN_VERTICAL(Vertical25_3x_Vector, 3, vec::DarkQuarter)
TOVRIN_VERTICAL(Vertical50_3x_Vector, 3, vec::DarkHalf)
TOVRIN_VERTICAL(Vertical75_3x_Vector, 3, vec::DarkThreeQuarters)

}  // namespace tovrin
