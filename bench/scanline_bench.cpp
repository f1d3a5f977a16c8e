// Scanline, column-line and interlaced routines against "Plain" of the same
// magnification on a 320 x 240 picture: a whole frame over an invalidated
// cache, and a frame that equals the previous one.
#include "bench_frame.h"

namespace {

#define TOVRIN_BENCH(routine, scale) TOVRIN_BENCH_COLOURS(routine, scale, 0)

TOVRIN_BENCH(Plain_1x, 1);
TOVRIN_BENCH(Horizontal_1x, 1);
TOVRIN_BENCH(Horizontal50_1x, 1);
TOVRIN_BENCH(Vertical50_1x, 1);
TOVRIN_BENCH(Plain_2x, 2);
TOVRIN_BENCH(Horizontal50_2x, 2);
TOVRIN_BENCH(Vertical50_2x, 2);
TOVRIN_BENCH(Interleaved_2x, 2);
TOVRIN_BENCH(Plain_3x, 3);
TOVRIN_BENCH(Horizontal50_3x, 3);
TOVRIN_BENCH(Vertical50_3x, 3);
TOVRIN_BENCH(Plain_4x, 4);
TOVRIN_BENCH(Horizontal75_4x, 4);
TOVRIN_BENCH(Vertical75_4x, 4);
TOVRIN_BENCH(Plain_5x, 5);
TOVRIN_BENCH(Horizontal25_5x, 5);
TOVRIN_BENCH(Vertical25_5x, 5);

}  // namespace
