// What the host API adds to a routine: the same 320 x 240 "Plain" 2x frame
// through the raw routine and through a Scaler (copy into the owned source
// with its margins, the call, the pass that finds the written pixels), for a
// frame equal to the previous one and for a wholly new one, in RGB555 and in
// XRGB8888 with the output read back.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "frame/routines.h"
#include "tovrin/host.hpp"

namespace {

constexpr int kWidth = 320, kHeight = 240, kScale = 2;

std::vector<uint16_t> Picture(uint32_t seed) {
    std::vector<uint16_t> p(size_t(kWidth) * kHeight);
    std::mt19937 rng(seed);
    for (auto& v : p) v = uint16_t(rng() & 0x7FFF);
    return p;
}

tovrin::Entry PlainEntry() {
    tovrin::Entry e;
    e.name = "Plain";
    e.scale = kScale;
    e.routine = tovrin::Plain_2x;
    return e;
}

void RawRoutine(benchmark::State& state) {
    const bool changing = state.range(0);
    const std::vector<uint16_t> a = Picture(1), b = Picture(2);
    std::vector<uint16_t> dst(size_t(kWidth) * kScale * kHeight * kScale);
    std::vector<uint8_t> cache(size_t(kWidth) * 2 * kHeight, 0xFF);
    bool flip = false;
    for (auto _ : state) {
        const auto& src = changing && (flip = !flip) ? b : a;
        tovrin::Plain_2x(src.data(), 2 * kWidth, cache.data(), dst.data(), 2 * kWidth * kScale, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RawRoutine)->Arg(0)->Arg(1)->ArgName("changing");

void ScalerRgb555(benchmark::State& state) {
    const bool changing = state.range(0);
    const std::vector<uint16_t> a = Picture(1), b = Picture(2);
    tovrin::Scaler scaler(PlainEntry(), kWidth, kHeight);
    bool flip = false;
    for (auto _ : state) {
        const auto& src = changing && (flip = !flip) ? b : a;
        benchmark::DoNotOptimize(scaler.draw(src.data(), 2 * kWidth, tovrin::PixelFormat::Rgb555));
    }
}
BENCHMARK(ScalerRgb555)->Arg(0)->Arg(1)->ArgName("changing");

void ScalerXrgbWithReadBack(benchmark::State& state) {
    const bool changing = state.range(0);
    std::vector<uint32_t> a(size_t(kWidth) * kHeight), b(a.size());
    const std::vector<uint16_t> pa = Picture(1), pb = Picture(2);
    tovrin::FromRgb555(tovrin::PixelFormat::Xrgb8888, pa.data(), nullptr, int(a.size()), a.data());
    tovrin::FromRgb555(tovrin::PixelFormat::Xrgb8888, pb.data(), nullptr, int(b.size()), b.data());
    tovrin::Scaler scaler(PlainEntry(), kWidth, kHeight);
    std::vector<uint32_t> out(size_t(kWidth) * kScale * kHeight * kScale);
    bool flip = false;
    for (auto _ : state) {
        const auto& src = changing && (flip = !flip) ? b : a;
        const tovrin::FrameReport r = scaler.draw(src.data(), 4 * kWidth, tovrin::PixelFormat::Xrgb8888);
        if (r.pixelsWritten)
            scaler.read(out.data(), 4 * kWidth * kScale, tovrin::PixelFormat::Xrgb8888, r.firstRow, r.lastRow);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ScalerXrgbWithReadBack)->Arg(0)->Arg(1)->ArgName("changing");

}  // namespace
