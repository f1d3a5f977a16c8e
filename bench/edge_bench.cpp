// The edge-directed filters on a 320 x 240 picture, frames per second: on
// noise (no flat areas, every case mixed) and on flat rectangles with a few
// stray pixels (closer to game graphics).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "frame/routines.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

using Routine = void (*)(const uint16_t*, int32_t, void*, uint16_t*, int32_t, int32_t, int32_t);

enum class Picture { Noise, Rectangles };

std::vector<uint16_t> MakePicture(Picture kind) {
    std::vector<uint16_t> src(static_cast<size_t>(kWidth) * kHeight, 0x1234);
    std::mt19937 rng(7);
    if (kind == Picture::Noise) {
        for (uint16_t& p : src) p = static_cast<uint16_t>(rng() & 0x7FFF);
        return src;
    }
    for (int i = 0; i < 120; ++i) {
        const int x0 = rng() % kWidth, y0 = rng() % kHeight, w = 4 + rng() % 57, h = 4 + rng() % 57;
        const uint16_t colour = static_cast<uint16_t>(rng() & 0x7FFF);
        for (int y = y0; y < std::min(kHeight, y0 + h); ++y)
            for (int x = x0; x < std::min(kWidth, x0 + w); ++x)
                if (rng() % 100 >= 3) src[static_cast<size_t>(y) * kWidth + x] = colour;
    }
    return src;
}

void Frame(benchmark::State& state, Routine routine, int scale, Picture kind) {
    const std::vector<uint16_t> src = MakePicture(kind);
    std::vector<uint16_t> dst(static_cast<size_t>(kWidth) * scale * kHeight * scale);
    std::vector<uint8_t> cache(static_cast<size_t>(4 * kWidth + 8) * 2 * kHeight);
    for (auto _ : state) {
        routine(src.data(), 2 * kWidth, cache.data(), dst.data(), 2 * kWidth * scale, kWidth, kHeight);
        benchmark::DoNotOptimize(dst.data());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

#define TOVRIN_EDGE_BENCH(routine, scale)                                                    \
    BENCHMARK_CAPTURE(Frame, routine##_Noise, tovrin::routine, scale, Picture::Noise);        \
    BENCHMARK_CAPTURE(Frame, routine##_Rectangles, tovrin::routine, scale, Picture::Rectangles)

TOVRIN_EDGE_BENCH(TwoXSaI_2x, 2);
TOVRIN_EDGE_BENCH(SuperTwoXSaI_2x, 2);
TOVRIN_EDGE_BENCH(SuperEagle_2x, 2);
TOVRIN_EDGE_BENCH(TwoXSaI_4x, 4);
TOVRIN_EDGE_BENCH(SuperTwoXSaI_4x, 4);
TOVRIN_EDGE_BENCH(SuperEagle_4x, 4);

}  // namespace
