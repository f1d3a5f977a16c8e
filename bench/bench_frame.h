// One frame of a benchmark: a 320 x 240 source inside readable rows and
// columns (the neighbourhood filters read around the picture), a destination
// and a cache of the size every host gives; and the two measurements every
// family takes: a whole frame over an invalidated cache, and a frame equal
// to the previous one.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "frame/routines.h"

namespace tovrin::bench {

inline constexpr int kWidth = 320, kHeight = 240;
inline constexpr int kStride = kWidth + 8;  // pixels: a 16-byte multiple with room after each row

using Routine = void (*)(const uint16_t*, int32_t, void*, uint16_t*, int32_t, int32_t, int32_t);

struct Frame {
    int scale;
    std::vector<uint16_t> memory, dst;
    std::vector<uint8_t> cache;
    uint16_t* src;
    // Random 15-bit pixels, or pixels from a few colours when `colours` is
    // nonzero (so that filters comparing neighbours find equal ones).
    explicit Frame(int s, int colours = 0)
        : scale(s),
          memory(static_cast<size_t>(kStride) * (kHeight + 4)),
          dst(static_cast<size_t>(kWidth) * s * kHeight * s),
          cache(static_cast<size_t>(4 * kWidth + 8) * 2 * kHeight, 0xFF),
          src(memory.data() + kStride) {
        std::mt19937 rng(1);
        const uint16_t palette[] = {0x0000, 0x7FFF, 0x03E0, 0x7C00};
        for (uint16_t& p : memory)
            p = colours ? palette[rng() % colours] : static_cast<uint16_t>(rng() & 0x7FFF);
    }
    void Call(Routine routine) {
        routine(src, 2 * kStride, cache.data(), dst.data(), 2 * kWidth * scale, kWidth, kHeight);
    }
};

inline void FullFrame(benchmark::State& state, Routine routine, int scale, int colours) {
    Frame frame(scale, colours);
    for (auto _ : state) {
        std::memset(frame.cache.data(), 0xFF, frame.cache.size());
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

inline void SameFrame(benchmark::State& state, Routine routine, int scale, int colours) {
    Frame frame(scale, colours);
    frame.Call(routine);
    frame.Call(routine);  // both fields of "Interleaved"
    for (auto _ : state) {
        frame.Call(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
}

}  // namespace tovrin::bench

// The registered names are the plain function names, so the macro needs them
// unqualified.
using tovrin::bench::FullFrame;
using tovrin::bench::SameFrame;

// Both measurements of one routine; `colours` as for Frame.
#define TOVRIN_BENCH_COLOURS(routine, scale, colours)                                  \
    BENCHMARK_CAPTURE(FullFrame, routine, ::tovrin::routine, scale, colours);          \
    BENCHMARK_CAPTURE(SameFrame, routine, ::tovrin::routine, scale, colours)
