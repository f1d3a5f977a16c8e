// HQ2X, HQ3X, HQ4X on 320x240 frames, frames per second: a full redraw
// (cache invalidated before every frame) on three kinds of picture, and an
// unchanged frame, which only runs the look-ahead and the first three blocks
// of each row.
//
// Pixel art: flat areas of eight colours, small enough that edges and
// corners are everywhere (the hard case: the pattern changes at almost every
// block). Smooth: gradients with a few hard-edged shapes, like a video test
// card. Noise: random colours, nearly every neighbour differs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "bench_frame.h"
#include "frame/routines.h"
#include "hq/hq.h"

namespace {

using tovrin::bench::Frame;
using tovrin::bench::kHeight;
using tovrin::bench::kStride;
using tovrin::bench::kWidth;
using tovrin::bench::Routine;

enum class Picture { kPixelArt, kSmooth, kNoise };

uint16_t SmoothPixel(int x, int y) {
    const int dx = x - 160, dy = y - 120;
    if (dx * dx + dy * dy < 60 * 60) return static_cast<uint16_t>(((31 - x / 11) << 10) | ((y / 8) << 5) | 20);
    if ((x / 40 + y / 40) % 5 == 0) return 0x7FFF;
    return static_cast<uint16_t>(((x / 11) << 10) | ((y / 8) << 5) | ((x + y) / 18));
}

Frame MakeFrame(int scale, Picture picture) {
    tovrin::BuildYuvTable();
    Frame frame(scale);
    std::mt19937 rng(42);
    const uint16_t palette[] = {0x0000, 0x7FFF, 0x1084, 0x294A, 0x7C00, 0x03E0, 0x001F, 0x56B5};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            frame.src[y * kStride + x] = picture == Picture::kNoise    ? static_cast<uint16_t>(rng() & 0x7FFF)
                                         : picture == Picture::kSmooth ? SmoothPixel(x, y)
                                             : palette[((x / 6) * 7 + (y / 5) * 3 + (x * y / 97)) % 8];
    return frame;
}

void Fps(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void HqFullFrame(benchmark::State& state, Routine routine, int scale, Picture picture) {
    Frame frame = MakeFrame(scale, picture);
    for (auto _ : state) {
        std::memset(frame.cache.data(), 0xFF, frame.cache.size());
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
    Fps(state);
}

void HqSameFrame(benchmark::State& state, Routine routine, int scale) {
    Frame frame = MakeFrame(scale, Picture::kPixelArt);
    frame.Call(routine);
    for (auto _ : state) {
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
    Fps(state);
}

BENCHMARK_CAPTURE(HqFullFrame, Hq2x_PixelArt, tovrin::Hq2x, 2, Picture::kPixelArt);
BENCHMARK_CAPTURE(HqFullFrame, Hq3x_PixelArt, tovrin::Hq3x, 3, Picture::kPixelArt);
BENCHMARK_CAPTURE(HqFullFrame, Hq4x_PixelArt, tovrin::Hq4x, 4, Picture::kPixelArt);
BENCHMARK_CAPTURE(HqFullFrame, Hq2x_Smooth, tovrin::Hq2x, 2, Picture::kSmooth);
BENCHMARK_CAPTURE(HqFullFrame, Hq3x_Smooth, tovrin::Hq3x, 3, Picture::kSmooth);
BENCHMARK_CAPTURE(HqFullFrame, Hq4x_Smooth, tovrin::Hq4x, 4, Picture::kSmooth);
BENCHMARK_CAPTURE(HqFullFrame, Hq2x_Noise, tovrin::Hq2x, 2, Picture::kNoise);
BENCHMARK_CAPTURE(HqFullFrame, Hq3x_Noise, tovrin::Hq3x, 3, Picture::kNoise);
BENCHMARK_CAPTURE(HqFullFrame, Hq4x_Noise, tovrin::Hq4x, 4, Picture::kNoise);
BENCHMARK_CAPTURE(HqFullFrame, Plain_2x_PixelArt, tovrin::Plain_2x, 2, Picture::kPixelArt);
BENCHMARK_CAPTURE(HqSameFrame, Hq2x, tovrin::Hq2x, 2);
BENCHMARK_CAPTURE(HqSameFrame, Hq3x, tovrin::Hq3x, 3);
BENCHMARK_CAPTURE(HqSameFrame, Hq4x, tovrin::Hq4x, 4);

}  // namespace
