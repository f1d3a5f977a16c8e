// Each vector routine against the scalar routine it replaces, on a 320x240
// picture: a full redraw (every pixel differs from the cache) and an
// unchanged frame (nothing to draw).
//
// A full redraw alternates two pictures that differ in every pixel instead of
// invalidating the cache before each call, so the host's invalidation is not
// timed; the routines do the same work either way. The "Interleaved" routines
// compare each field with the picture two calls back, so they change picture
// every second call.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "frame/routines.h"
#include "tovrin.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Pair {
    const char* name;
    BlitProc scalar;
    BlitProc vector;
    int scale;
    bool interleaved;
};

#define PAIR(fn, scale) Pair{#fn, tovrin::fn, tovrin::fn##_Vector, scale, false}
#define INTERLEAVED_PAIR(fn, scale) Pair{#fn, tovrin::fn, tovrin::fn##_Vector, scale, true}
const Pair kPairs[] = {
    PAIR(Plain_1x, 1),
    PAIR(Horizontal_1x, 1),
    PAIR(Horizontal25_1x, 1),
    PAIR(Horizontal50_1x, 1),
    PAIR(Horizontal75_1x, 1),
    PAIR(Horizontal_2x, 2),
    PAIR(Horizontal25_2x, 2),
    PAIR(Horizontal50_2x, 2),
    PAIR(Horizontal75_2x, 2),
    PAIR(Vertical_2x, 2),
    PAIR(Vertical25_2x, 2),
    PAIR(Vertical50_2x, 2),
    PAIR(Vertical75_2x, 2),
    INTERLEAVED_PAIR(Interleaved_2x, 2),
    PAIR(Plain_3x, 3),
    PAIR(Horizontal_3x, 3),
    PAIR(Horizontal25_3x, 3),
    PAIR(Horizontal50_3x, 3),
    PAIR(Horizontal75_3x, 3),
    INTERLEAVED_PAIR(Interleaved_3x, 3),
    PAIR(Vertical_3x, 3),
    PAIR(Vertical25_3x, 3),
    PAIR(Vertical50_3x, 3),
    PAIR(Vertical75_3x, 3),
    PAIR(Plain_4x, 4),
    PAIR(Horizontal_4x, 4),
    PAIR(Horizontal25_4x, 4),
    PAIR(Horizontal50_4x, 4),
    PAIR(Horizontal75_4x, 4),
    INTERLEAVED_PAIR(Interleaved_4x, 4),
    PAIR(Plain_5x, 5),
    PAIR(Horizontal_5x, 5),
    PAIR(Horizontal25_5x, 5),
    PAIR(Horizontal50_5x, 5),
    PAIR(Horizontal75_5x, 5),
    INTERLEAVED_PAIR(Interleaved_5x, 5),
};
#undef PAIR
#undef INTERLEAVED_PAIR

// Zeroed bytes starting on a 64-byte boundary.
class Buffer {
public:
    explicit Buffer(size_t bytes) : storage_(bytes + 64) {
        const auto raw = reinterpret_cast<uintptr_t>(storage_.data());
        data_ = storage_.data() + ((64 - raw % 64) % 64);
    }
    uint8_t* data() { return data_; }

private:
    std::vector<uint8_t> storage_;
    uint8_t* data_;
};

// Source pictures with the readable rows a host provides around them.
class Picture {
public:
    static constexpr int kRowBytes = 2 * kWidth;
    Picture() : buffer_(static_cast<size_t>(kRowBytes) * (kHeight + 3)) {}
    uint16_t* pixels() { return reinterpret_cast<uint16_t*>(buffer_.data() + kRowBytes); }

private:
    Buffer buffer_;
};

void Run(benchmark::State& state, const Pair& pair, BlitProc routine, bool changing) {
    Picture pictures[2];
    std::mt19937 rng(2026);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const auto p = static_cast<uint16_t>(rng() & 0x7FFF);
        pictures[0].pixels()[i] = p;
        pictures[1].pixels()[i] = p ^ 0x0421;  // every pixel differs
    }
    const int dstRowBytes = 2 * kWidth * pair.scale;
    Buffer dst(static_cast<size_t>(dstRowBytes) * kHeight * pair.scale);
    const size_t cacheBytes = static_cast<size_t>(4 * kWidth + 8) * 2 * kHeight;
    Buffer cache(cacheBytes);
    std::memset(cache.data(), 0xFF, cacheBytes);

    const auto draw = [&](int picture) {
        routine(pictures[picture].pixels(), Picture::kRowBytes, cache.data(),
                reinterpret_cast<uint16_t*>(dst.data()), dstRowBytes, kWidth, kHeight);
    };
    draw(0);  // both fields of "Interleaved" show picture 0
    draw(0);
    const int callsPerPicture = pair.interleaved ? 2 : 1;
    int64_t call = 0;
    for (auto _ : state) {
        draw(changing ? static_cast<int>((call / callsPerPicture + 1) % 2) : 0);
        benchmark::ClobberMemory();
        ++call;
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// The floor for a full redraw: filling the whole destination with memset.
void FillDestination(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    const size_t bytes = static_cast<size_t>(2 * kWidth * scale) * kHeight * scale;
    Buffer dst(bytes);
    int value = 0;
    for (auto _ : state) {
        std::memset(dst.data(), ++value & 0xFF, bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FillDestination)->DenseRange(1, 5);

const bool registered = [] {
    for (const Pair& pair : kPairs) {
        for (const bool changing : {true, false}) {
            const std::string frame = changing ? "/full" : "/unchanged";
            benchmark::RegisterBenchmark((std::string(pair.name) + "/scalar" + frame).c_str(),
                                         [&pair, changing](benchmark::State& s) { Run(s, pair, pair.scalar, changing); });
            benchmark::RegisterBenchmark((std::string(pair.name) + "/vector" + frame).c_str(),
                                         [&pair, changing](benchmark::State& s) { Run(s, pair, pair.vector, changing); });
        }
    }
    return true;
}();

}  // namespace
