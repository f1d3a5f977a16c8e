// The smoothing and mask routines against "Plain" of the same magnification
// on a 320 x 240 picture: a whole frame over an invalidated cache, a frame
// equal to the previous one, and for "Simple Smoothing" a frame with a few
// changed pixels. The source lies inside readable rows and columns, since
// these routines read around the picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "frame/routines.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr int kStride = kWidth + 8;  // pixels; 16-byte multiple with room after each row

using Routine = void (*)(const uint16_t*, int32_t, void*, uint16_t*, int32_t, int32_t, int32_t);

struct Frame {
    int scale;
    std::vector<uint16_t> memory, dst;
    std::vector<uint8_t> cache;
    uint16_t* src;
    explicit Frame(int s)
        : scale(s),
          memory(static_cast<size_t>(kStride) * (kHeight + 4)),
          dst(static_cast<size_t>(kWidth) * s * kHeight * s),
          cache(static_cast<size_t>(4 * kWidth + 8) * 2 * kHeight, 0xFF),
          src(memory.data() + kStride) {
        // Few colours, so the smoothing rules find equal neighbours.
        std::mt19937 rng(1);
        const uint16_t palette[] = {0x0000, 0x7FFF, 0x03E0, 0x7C00};
        for (uint16_t& p : memory) p = palette[rng() % 4];
    }
    void Call(Routine routine) {
        routine(src, 2 * kStride, cache.data(), dst.data(), 2 * kWidth * scale, kWidth, kHeight);
    }
};

void FullFrame(benchmark::State& state, Routine routine, int scale) {
    Frame frame(scale);
    for (auto _ : state) {
        std::memset(frame.cache.data(), 0xFF, frame.cache.size());
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

void SameFrame(benchmark::State& state, Routine routine, int scale) {
    Frame frame(scale);
    frame.Call(routine);
    for (auto _ : state) {
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

// Sixteen pixels change between frames.
void FewChanges(benchmark::State& state, Routine routine, int scale) {
    Frame frame(scale);
    frame.Call(routine);
    std::mt19937 rng(2);
    for (auto _ : state) {
        for (int i = 0; i < 16; ++i) frame.src[(rng() % kHeight) * kStride + rng() % kWidth] ^= 0x0421;
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

#define TOVRIN_BENCH(routine, scale)                                  \
    BENCHMARK_CAPTURE(FullFrame, routine, tovrin::routine, scale);    \
    BENCHMARK_CAPTURE(SameFrame, routine, tovrin::routine, scale)

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
