// Every row of the scaler table, reached through Tovrin_Load as a host reaches
// it, on 320 x 240 pictures of two kinds:
//   art   pixel art: a dozen colours, flat areas, outlines, 45-degree slopes
//   busy  a colour plasma with noise: thousands of colours, few equal pixels
// and three cases each:
//   redraw     the whole frame over a cache invalidated with 0xFF bytes
//   unchanged  the frame the destination already shows
//   sprite     a 16 x 16 sprite moved by one pixel since the previous frame
// Next to them, memset and memcpy of each magnification's destination size
// give the memory-bandwidth ceiling.
//
// Only the routine call is timed, on the calling thread's CPU clock, so that
// invalidating the cache, moving the sprite and other programs on a shared
// machine stay out of the figures. Counters: src_px/s source pixels and
// dst_B/s destination bytes per second, of_memset the destination rate as a
// fraction of memset's over the same bytes (0 unless the memset case ran first).
//
// With TOVRIN_BENCH_VIDEO=DIR set, Video/... cases also play DIR/art.rgb555
// and DIR/busy.rgb555, 200 frames of raw little-endian RGB555 each (written
// there first when missing), through every row, with the cache invalidated
// before every frame (redraw) or kept from frame to frame (kept); bench/compare
// uses them to put the routines beside FFmpeg on the same frames.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tovrin.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr int kVideoFrames = 200;

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Reading this clock is a system call of some hundred nanoseconds, a good
// part of the shortest routines' time: what two back-to-back readings show
// (the median of many) is taken off every measurement.
double ClockOverhead() {
    static const double overhead = [] {
        std::vector<double> gaps(301);
        for (double& gap : gaps) {
            const double start = ThreadSeconds();
            gap = ThreadSeconds() - start;
        }
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        return gaps[gaps.size() / 2];
    }();
    return overhead;
}

// Thread CPU seconds that `work` takes.
template <typename Work>
double Timed(Work&& work) {
    const double start = ThreadSeconds();
    work();
    benchmark::ClobberMemory();
    return std::max(0.0, ThreadSeconds() - start - ClockOverhead());
}

// Zeroed bytes starting on a 64-byte boundary.
class Buffer {
public:
    explicit Buffer(size_t bytes) : storage_(bytes + 64), size_(bytes) {
        const auto raw = reinterpret_cast<uintptr_t>(storage_.data());
        data_ = storage_.data() + (64 - raw % 64) % 64;
    }
    uint8_t* data() { return data_; }
    size_t size() const { return size_; }

private:
    std::vector<uint8_t> storage_;
    uint8_t* data_;
    size_t size_;
};

// A source picture with the readable margins a host provides: a row above,
// two below, a pixel before and two after each row, holding the nearest
// picture pixel (as a host repeating its border would).
class Picture {
public:
    static constexpr int kRowBytes = 2 * kWidth + 32;
    Picture() : buffer_(static_cast<size_t>(kRowBytes) * (kHeight + 3)) {}
    const uint16_t* pixels() const { return &at(0, 0); }
    uint16_t& at(int x, int y) { return *Address(x, y); }
    const uint16_t& at(int x, int y) const { return *const_cast<Picture*>(this)->Address(x, y); }

    void Fill(const std::function<uint16_t(int, int)>& pixel) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) at(x, y) = pixel(x, y);
        RepeatBorder();
    }
    void Load(const uint16_t* frame) {
        for (int y = 0; y < kHeight; ++y) std::memcpy(&at(0, y), frame + y * kWidth, 2 * kWidth);
        RepeatBorder();
    }
    void RepeatBorder() {
        for (int y = 0; y < kHeight; ++y) {
            at(-1, y) = at(0, y);
            at(kWidth, y) = at(kWidth + 1, y) = at(kWidth - 1, y);
        }
        std::memcpy(&at(-1, -1), &at(-1, 0), 2 * (kWidth + 3));
        for (int y : {kHeight, kHeight + 1}) std::memcpy(&at(-1, y), &at(-1, kHeight - 1), 2 * (kWidth + 3));
    }

private:
    uint16_t* Address(int x, int y) {
        // Row 0 starts one row and 16 bytes in, so it stays 16-byte aligned.
        return reinterpret_cast<uint16_t*>(buffer_.data() + (y + 1) * kRowBytes + 16) + x;
    }
    Buffer buffer_;
};

constexpr uint16_t Rgb(int r, int g, int b) {
    return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

uint32_t Hash(uint32_t a, uint32_t b) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return h ^ (h >> 12);
}

// A side-scrolling scene at horizontal offset `scroll`: sky, clouds, hills
// with 45-degree outlines, coins, grass and a brick ground whose height steps
// every 16 pixels.
uint16_t ArtPixel(int x, int y, int scroll) {
    x += scroll;
    const int ground = 176 - 16 * static_cast<int>(Hash(x / 16, 1) % 3);
    if (y < ground) {
        const int hill = 56 - std::abs(x - ((x / 128) * 128 + 64)) - ground + y;
        if (hill >= 0) return hill == 0 ? Rgb(0, 96, 0) : Rgb(56, 176, 48);
        const int cx = x % 96 - 48, cy = 2 * (y - 32 - static_cast<int>(Hash(x / 96, 2) % 40));
        const int cloud = cx * cx + cy * cy;
        if (cloud < 22 * 22) return Rgb(248, 248, 248);
        if (cloud < 25 * 25) return Rgb(160, 200, 248);
        const int qx = x % 32 - 16, qy = y - (ground - 40);
        if (Hash(x / 32, 3) % 2 == 0 && qx * qx + qy * qy <= 25)
            return qx * qx + qy * qy <= 9 ? Rgb(248, 216, 0) : Rgb(200, 120, 0);
        return Rgb(96, 136, 248);
    }
    if (y < ground + 4) return y == ground ? Rgb(0, 96, 0) : Rgb(56, 176, 48);
    const int by = y - ground - 4, row = by / 8, bx = x + (row % 2) * 8;
    if (by % 8 == 0 || bx % 16 == 0) return Rgb(40, 16, 8);
    return Hash(bx / 16, row) % 3 == 0 ? Rgb(136, 56, 16) : Rgb(184, 88, 32);
}

// Three slow sine waves per channel plus a little noise on every pixel.
uint16_t BusyPixel(int x, int y, int scroll) {
    x += scroll;
    const uint32_t noise = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y) + 1000);
    auto channel = [&](double phase, int shift) {
        const int c = static_cast<int>(15.5 + 14.0 * std::sin(phase)) + static_cast<int>((noise >> shift) & 3) - 1;
        return std::clamp(c, 0, 31);
    };
    const int r = channel(0.071 * x + 0.043 * y, 0);
    const int g = channel(0.023 * x - 0.087 * y + 1.0, 8);
    const int b = channel(0.05 * (x + y) + 2.0, 16);
    return static_cast<uint16_t>((r << 10) | (g << 5) | b);
}

using Scene = uint16_t (*)(int x, int y, int scroll);

// A 16 x 16 round figure with an outline, a cap, a face and eyes; outside the
// circle it is transparent.
constexpr int kSpriteSize = 16;
bool SpritePixel(int u, int v, uint16_t* colour) {
    const int du = 2 * u - 15, dv = 2 * v - 15, d = du * du + dv * dv;
    if (d > 15 * 15) return false;
    if (d > 12 * 12) *colour = Rgb(0, 0, 0);
    else if (v < 7) *colour = Rgb(216, 40, 40);
    else if ((u == 5 || u == 10) && (v == 8 || v == 9)) *colour = Rgb(0, 0, 0);
    else *colour = Rgb(248, 184, 136);
    return true;
}

// Redraws the sprite's area at (fromX, y) from the scene, then the sprite at
// (toX, y), as a host that draws into one buffer does.
void MoveSprite(Picture& picture, Scene scene, int scroll, int fromX, int toX, int y) {
    for (int v = 0; v < kSpriteSize; ++v)
        for (int u = 0; u < kSpriteSize; ++u) picture.at(fromX + u, y + v) = scene(fromX + u, y + v, scroll);
    for (int v = 0; v < kSpriteSize; ++v)
        for (int u = 0; u < kSpriteSize; ++u) {
            uint16_t c;
            if (SpritePixel(u, v, &c)) picture.at(toX + u, y + v) = c;
        }
}

struct Kind {
    const char* name;
    Scene scene;
};
constexpr Kind kKinds[] = {{"art", ArtPixel}, {"busy", BusyPixel}};

enum class Case { kRedraw, kUnchanged, kSprite };

// A host's buffers for one routine: destination and a cache of the size
// every routine is content with.
struct Host {
    BlitProc routine;
    int scale;
    int dstRowBytes = 2 * kWidth * scale;
    Buffer dst{static_cast<size_t>(dstRowBytes) * kHeight * scale};
    Buffer cache{std::max(static_cast<size_t>(4 * kWidth + 8) * 2 * kHeight,
                          static_cast<size_t>(Picture::kRowBytes) * kHeight)};
    Host(BlitProc r, int s) : routine(r), scale(s) {}
    void Invalidate() { std::memset(cache.data(), 0xFF, cache.size()); }
    // Runs the routine once and returns the thread CPU seconds it took.
    double Draw(const Picture& src) {
        return Timed([&] {
            routine(src.pixels(), Picture::kRowBytes, cache.data(), reinterpret_cast<uint16_t*>(dst.data()),
                    dstRowBytes, kWidth, kHeight);
        });
    }
    size_t DstBytes() const { return static_cast<size_t>(dstRowBytes) * kHeight * scale; }
};

// memset's destination bytes per second, per magnification, once measured.
std::array<double, 6> memsetBytesPerSecond{};

// Every run carries the same counters, 0 where there is nothing to divide by:
// the CSV output takes its columns from the first run.
void Report(benchmark::State& state, double seconds, double frames, int scale) {
    const double perSecond = seconds > 0 ? frames / seconds : 0.0;
    const double dstBytes = 2.0 * kWidth * scale * kHeight * scale;
    state.counters["src_px/s"] = perSecond * kWidth * kHeight;
    state.counters["dst_B/s"] = perSecond * dstBytes;
    state.counters["of_memset"] =
        memsetBytesPerSecond[scale] > 0 ? perSecond * dstBytes / memsetBytesPerSecond[scale] : 0.0;
}

void RunScaler(benchmark::State& state, ScalerEntry entry, Kind kind, Case kase) {
    Host host(entry.routine, entry.scale);
    Picture picture;
    picture.Fill([&](int x, int y) { return kind.scene(x, y, 0); });
    // The sprite walks right and back over 64 positions, one pixel per frame,
    // so every frame differs from the two before it ("Interleaved" compares
    // each field with the frame two calls back).
    const int spriteY = 104;
    int spriteX = 120, step = 1;
    MoveSprite(picture, kind.scene, 0, spriteX, spriteX, spriteY);
    host.Invalidate();
    host.Draw(picture);
    host.Draw(picture);  // both fields of "Interleaved"
    double total = 0;
    for (auto _ : state) {
        if (kase == Case::kRedraw) {
            host.Invalidate();
        } else if (kase == Case::kSprite) {
            if (spriteX + step < 120 || spriteX + step > 183) step = -step;
            MoveSprite(picture, kind.scene, 0, spriteX, spriteX + step, spriteY);
            spriteX += step;
        }
        const double seconds = host.Draw(picture);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    Report(state, total, static_cast<double>(state.iterations()), entry.scale);
}

void RunMemory(benchmark::State& state, int scale, bool copy) {
    Host host(nullptr, scale);
    Buffer from(host.DstBytes());
    std::memset(from.data(), 0x5A, from.size());
    std::memset(host.dst.data(), 0, host.DstBytes());
    double total = 0;
    for (auto _ : state) {
        const double seconds = Timed([&] {
            if (copy)
                std::memcpy(host.dst.data(), from.data(), host.DstBytes());
            else
                std::memset(host.dst.data(), 0x5A, host.DstBytes());
        });
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (!copy && total > 0)
        memsetBytesPerSecond[scale] = static_cast<double>(state.iterations()) * host.DstBytes() / total;
    Report(state, total, static_cast<double>(state.iterations()), scale);
}

// The raw video of one kind: the scene scrolling left by a pixel per frame
// while the sprite walks right by one.
std::vector<uint16_t> WriteVideo(const std::string& path, Kind kind) {
    std::vector<uint16_t> frames(static_cast<size_t>(kVideoFrames) * kWidth * kHeight);
    for (int f = 0; f < kVideoFrames; ++f) {
        uint16_t* frame = frames.data() + static_cast<size_t>(f) * kWidth * kHeight;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) frame[y * kWidth + x] = kind.scene(x, y, f);
        for (int v = 0; v < kSpriteSize; ++v)
            for (int u = 0; u < kSpriteSize; ++u) {
                uint16_t c;
                if (SpritePixel(u, v, &c)) frame[(104 + v) * kWidth + 40 + f + u] = c;
            }
    }
    std::vector<uint16_t> file(frames);
    if constexpr (std::endian::native == std::endian::big)
        for (uint16_t& p : file) p = static_cast<uint16_t>(p << 8 | p >> 8);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(file.data(), 2, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return frames;
}

const std::vector<uint16_t>& Video(const std::string& dir, Kind kind) {
    static std::map<std::string, std::vector<uint16_t>> videos;
    const std::string path = dir + "/" + kind.name + ".rgb555";
    auto found = videos.find(path);
    if (found != videos.end()) return found->second;
    std::vector<uint16_t> frames(static_cast<size_t>(kVideoFrames) * kWidth * kHeight);
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return videos[path] = WriteVideo(path, kind);
    const size_t got = std::fread(frames.data(), 2, frames.size(), in);
    std::fclose(in);
    if (got != frames.size()) {
        std::fprintf(stderr, "%s: expected %d frames of %dx%d RGB555\n", path.c_str(), kVideoFrames, kWidth,
                     kHeight);
        std::exit(1);
    }
    if constexpr (std::endian::native == std::endian::big)
        for (uint16_t& p : frames) p = static_cast<uint16_t>(p << 8 | p >> 8);
    return videos[path] = std::move(frames);
}

void RunVideo(benchmark::State& state, ScalerEntry entry, const std::string& dir, Kind kind, bool keepCache) {
    const std::vector<uint16_t>& frames = Video(dir, kind);
    Host host(entry.routine, entry.scale);
    Picture picture;
    host.Invalidate();
    double total = 0;
    for (auto _ : state) {
        double seconds = 0;
        for (int f = 0; f < kVideoFrames; ++f) {
            const uint16_t* frame = frames.data() + static_cast<size_t>(f) * kWidth * kHeight;
            picture.Load(frame);
            if (!keepCache) host.Invalidate();
            seconds += host.Draw(picture);
        }
        state.SetIterationTime(seconds);
        total += seconds;
    }
    Report(state, total, static_cast<double>(state.iterations()) * kVideoFrames, entry.scale);
    state.counters["fps"] = total > 0 ? static_cast<double>(state.iterations()) * kVideoFrames / total : 0.0;
}

std::string RowName(const ScalerEntry& entry) {
    return std::string(entry.name) + "/" + std::to_string(entry.scale) + "x";
}

const bool registered = [] {
    for (int scale = 1; scale <= 5; ++scale)
        for (bool copy : {false, true})
            benchmark::RegisterBenchmark(
                ("Memory/" + std::string(copy ? "memcpy/" : "memset/") + std::to_string(scale) + "x").c_str(),
                RunMemory, scale, copy)
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond);

    const ScalerEntry* table = Tovrin_Load();
    static constexpr std::pair<Case, const char*> kCases[] = {
        {Case::kRedraw, "redraw"}, {Case::kUnchanged, "unchanged"}, {Case::kSprite, "sprite"}};
    for (const ScalerEntry* e = table; e->scale != 0; ++e)
        for (const Kind& kind : kKinds)
            for (const auto& [kase, caseName] : kCases)
                benchmark::RegisterBenchmark(("Scaler/" + RowName(*e) + "/" + kind.name + "/" + caseName).c_str(),
                                             RunScaler, *e, kind, kase)
                    ->UseManualTime()
                    ->Unit(benchmark::kMicrosecond);

    if (const char* dir = std::getenv("TOVRIN_BENCH_VIDEO"))
        for (const ScalerEntry* e = table; e->scale != 0; ++e)
            for (const Kind& kind : kKinds)
                for (bool keep : {false, true})
                    benchmark::RegisterBenchmark(("Video/" + RowName(*e) + "/" + kind.name +
                                                  (keep ? "/kept" : "/redraw")).c_str(),
                                                 RunVideo, *e, std::string(dir), kind, keep)
                        ->UseManualTime()
                        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
