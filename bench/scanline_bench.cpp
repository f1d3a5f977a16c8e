// Scanline, column-line and interlaced routines against "Plain" of the same
// magnification on a 320 x 240 picture: a whole frame over an invalidated
// cache, and a frame that equals the previous one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "frame/routines.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

using Routine = void (*)(const uint16_t*, int32_t, void*, uint16_t*, int32_t, int32_t, int32_t);

struct Frame {
    int scale;
    std::vector<uint16_t> src, dst;
    std::vector<uint8_t> cache;
    explicit Frame(int s)
        : scale(s),
          src(static_cast<size_t>(kWidth) * kHeight),
          dst(static_cast<size_t>(kWidth) * s * kHeight * s),
          cache(static_cast<size_t>(4 * kWidth + 8) * 2 * kHeight, 0xFF) {
        std::mt19937 rng(1);
        for (uint16_t& p : src) p = static_cast<uint16_t>(rng() & 0x7FFF);
    }
    void Call(Routine routine) {
        routine(src.data(), 2 * kWidth, cache.data(), dst.data(), 2 * kWidth * scale, kWidth, kHeight);
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
    frame.Call(routine);  // both fields of "Interleaved"
    for (auto _ : state) {
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

#define TOVRIN_BENCH(routine, scale)                                  \
    BENCHMARK_CAPTURE(FullFrame, routine, tovrin::routine, scale);    \
    BENCHMARK_CAPTURE(SameFrame, routine, tovrin::routine, scale)

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
