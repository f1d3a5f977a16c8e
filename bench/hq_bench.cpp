// HQ2X, HQ3X, HQ4X on 320x240 frames: a full redraw (cache invalidated before
// every frame) on three kinds of picture, and an unchanged frame that only
// runs the look-ahead. Plain at the same scale as a yardstick.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "frame/routines.h"
#include "tovrin.h"
#include "hq/hq.h"

namespace {



constexpr int kWidth = 320, kHeight = 240;

// Pixel art: flat areas of eight colours, small enough that edges and
// corners are everywhere (the hard case: the pattern changes at almost
// every pixel). Smooth: gradients with a few hard-edged shapes, like a
// video test card. Noise: random colours, nearly all neighbours differ.
enum class Picture { kPixelArt, kSmooth, kNoise };

uint16_t SmoothPixel(int x, int y) {
    const int dx = x - 160, dy = y - 120;
    if (dx * dx + dy * dy < 60 * 60) return static_cast<uint16_t>(((31 - x / 11) << 10) | ((y / 8) << 5) | 20);
    if ((x / 40 + y / 40) % 5 == 0) return 0x7FFF;
    return static_cast<uint16_t>(((x / 11) << 10) | ((y / 8) << 5) | ((x + y) / 18));
}

struct Frame {
    Frame(int scale, Picture picture)
        : srcRowBytes(2 * kWidth), dstRowBytes(2 * kWidth * scale),
          src((kHeight + 3) * kWidth + 16), cache(kHeight * kWidth), dst(kHeight * scale * kWidth * scale) {
        std::mt19937 rng(42);
        // Pixel art: large flat areas of a few colours with some edges.
        const uint16_t palette[] = {0x0000, 0x7FFF, 0x1084, 0x294A, 0x7C00, 0x03E0, 0x001F, 0x56B5};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                src[kWidth + y * kWidth + x] = picture == Picture::kNoise    ? static_cast<uint16_t>(rng() & 0x7FFF)
                                               : picture == Picture::kSmooth ? SmoothPixel(x, y)
                                                   : palette[((x / 6) * 7 + (y / 5) * 3 + (x * y / 97)) % 8];
    }
    void Draw(BlitProc routine) {
        routine(src.data() + kWidth, srcRowBytes, cache.data(), dst.data(), dstRowBytes, kWidth, kHeight);
    }
    int32_t srcRowBytes, dstRowBytes;
    std::vector<uint16_t> src, cache, dst;
};

void FullFrame(benchmark::State& state, BlitProc routine, int scale, Picture picture) {
    tovrin::BuildYuvTable();
    Frame frame(scale, picture);
    for (auto _ : state) {
        std::memset(frame.cache.data(), 0xFF, frame.cache.size() * 2);
        frame.Draw(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void UnchangedFrame(benchmark::State& state, BlitProc routine, int scale) {
    tovrin::BuildYuvTable();
    Frame frame(scale, Picture::kPixelArt);
    frame.Draw(routine);
    for (auto _ : state) {
        frame.Draw(routine);
        benchmark::DoNotOptimize(frame.dst.data());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(FullFrame, Hq2x_PixelArt, tovrin::Hq2x, 2, Picture::kPixelArt);
BENCHMARK_CAPTURE(FullFrame, Hq3x_PixelArt, tovrin::Hq3x, 3, Picture::kPixelArt);
BENCHMARK_CAPTURE(FullFrame, Hq4x_PixelArt, tovrin::Hq4x, 4, Picture::kPixelArt);
BENCHMARK_CAPTURE(FullFrame, Hq2x_Smooth, tovrin::Hq2x, 2, Picture::kSmooth);
BENCHMARK_CAPTURE(FullFrame, Hq3x_Smooth, tovrin::Hq3x, 3, Picture::kSmooth);
BENCHMARK_CAPTURE(FullFrame, Hq4x_Smooth, tovrin::Hq4x, 4, Picture::kSmooth);
BENCHMARK_CAPTURE(FullFrame, Hq2x_Noise, tovrin::Hq2x, 2, Picture::kNoise);
BENCHMARK_CAPTURE(FullFrame, Hq3x_Noise, tovrin::Hq3x, 3, Picture::kNoise);
BENCHMARK_CAPTURE(FullFrame, Hq4x_Noise, tovrin::Hq4x, 4, Picture::kNoise);
BENCHMARK_CAPTURE(FullFrame, Plain_2x_PixelArt, tovrin::Plain_2x, 2, Picture::kPixelArt);
BENCHMARK_CAPTURE(UnchangedFrame, Hq2x, tovrin::Hq2x, 2);
BENCHMARK_CAPTURE(UnchangedFrame, Hq3x, tovrin::Hq3x, 3);
BENCHMARK_CAPTURE(UnchangedFrame, Hq4x, tovrin::Hq4x, 4);

}  // namespace
