// Vector "Plain": pixel replication eight pixels at a time. Each output
// vector is one permute of the group's source vector.
#include "frame/routines.h"
#include "vector/groups.h"

namespace tovrin {
namespace {

template <int N>
void PlainVector(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,
                 int32_t dstRowBytes, int32_t width, int32_t height) {
    vec::DrawChangedGroups<N>(src, srcRowBytes, cache, dst, dstRowBytes, width, height,
                              [dstRowBytes](int32_t, uint16_t* out, const vec::Replicated<N>& vectors) {
                                  for (int i = 0; i < N; ++i) vec::StoreVectors(RowAt(out, dstRowBytes, i), vectors);
                              });
}

}  // namespace

// A straight copy of the whole groups; the cache is not used.
TOVRIN_ROUTINE(Plain_1x_Vector) {
    (void)cache;
    const int32_t groups = vec::GroupsPerRow(width);
    for (int32_t r = 0; r < height; ++r)
        vec::MapGroups<8>(RowAt(src, srcRowBytes, r), RowAt(dst, dstRowBytes, r), groups,
                          [](vec::Lanes v) { return v; });
}

TOVRIN_ROUTINE(Plain_3x_Vector) { PlainVector<3>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Plain_4x_Vector) { PlainVector<4>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }
TOVRIN_ROUTINE(Plain_5x_Vector) { PlainVector<5>(src, srcRowBytes, cache, dst, dstRowBytes, width, height); }

}  // namespace tovrin
