// The smoothing and mask routines against "Plain" of the same magnification
// on a 320 x 240 picture: a whole frame over an invalidated cache, a frame
// equal to the previous one, and for "Simple Smoothing" a frame with a few
// changed pixels. The source lies inside readable rows and columns, since
// these routines read around the picture.
#include <random>

#include "bench_frame.h"

namespace {

using tovrin::bench::Frame;
using tovrin::bench::kHeight;
using tovrin::bench::kStride;
using tovrin::bench::kWidth;
using tovrin::bench::Routine;

// Sixteen pixels change between frames.
void FewChanges(benchmark::State& state, Routine routine, int scale) {
    Frame frame(scale, 4);
    frame.Call(routine);
    std::mt19937 rng(2);
    for (auto _ : state) {
        for (int i = 0; i < 16; ++i) frame.src[(rng() % kHeight) * kStride + rng() % kWidth] ^= 0x0421;
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

// Few colours, so the smoothing rules find equal neighbours.
#define TOVRIN_BENCH(routine, scale) TOVRIN_BENCH_COLOURS(routine, scale, 4)

TOVRIN_BENCH(Interpolated50_1x, 1);
TOVRIN_BENCH(Blur_1x, 1);
TOVRIN_BENCH(Plain_2x, 2);
TOVRIN_BENCH(Interpolated50_2x, 2);
TOVRIN_BENCH(Blur_2x, 2);
TOVRIN_BENCH(RgbMode_2x, 2);
TOVRIN_BENCH(Arcade50_2x, 2);
TOVRIN_BENCH(SimpleSmoothing_2x, 2);
TOVRIN_BENCH(Plain_3x, 3);
TOVRIN_BENCH(Interpolated50_3x, 3);
TOVRIN_BENCH(Blur_3x, 3);
TOVRIN_BENCH(RgbMode_3x, 3);
TOVRIN_BENCH(Arcade50_3x, 3);
TOVRIN_BENCH(SimpleSmoothing_3x, 3);
TOVRIN_BENCH(Plain_4x, 4);
TOVRIN_BENCH(Interpolated50_4x, 4);
TOVRIN_BENCH(Blur_4x, 4);
TOVRIN_BENCH(RgbMode_4x, 4);
TOVRIN_BENCH(Arcade50_4x, 4);
TOVRIN_BENCH(Plain_5x, 5);
TOVRIN_BENCH(Interpolated50_5x, 5);
TOVRIN_BENCH(RgbMode_5x, 5);
TOVRIN_BENCH(Arcade50_5x, 5);
BENCHMARK_CAPTURE(FewChanges, SimpleSmoothing_2x, tovrin::SimpleSmoothing_2x, 2);
BENCHMARK_CAPTURE(FewChanges, SimpleSmoothing_3x, tovrin::SimpleSmoothing_3x, 3);

}  // namespace
