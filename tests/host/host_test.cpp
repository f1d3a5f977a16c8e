// The host API: pixel formats, the host's side of the routine contract
// (checked by a probe routine), and every row of the module's table driven
// through a Scaler like a host would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tovrin/host.hpp"

namespace {

using tovrin::PixelFormat;

const tovrin::Library& Lib() {
    static const tovrin::Library lib(TOVRIN_MODULE_PATH);
    return lib;
}

// An RGB555 picture of the host's own, with a deliberately odd stride.
struct Frame {
    int width, height;
    std::vector<uint16_t> pixels;  // stride width + 3
    Frame(int w, int h) : width(w), height(h), pixels(size_t(w + 3) * h, 0) {}
    uint16_t& at(int x, int y) { return pixels[size_t(y) * (width + 3) + x]; }
    uint16_t at(int x, int y) const { return pixels[size_t(y) * (width + 3) + x]; }
    std::ptrdiff_t rowBytes() const { return std::ptrdiff_t(width + 3) * 2; }
    static Frame Random(int w, int h, uint32_t seed, int colours = 0) {
        Frame f(w, h);
        std::mt19937 rng(seed);
        std::vector<uint16_t> palette;
        for (int i = 0; i < colours; ++i) palette.push_back(uint16_t(rng() & 0x7FFF));
        for (auto& p : f.pixels) p = colours ? palette[rng() % colours] : uint16_t(rng() & 0x7FFF);
        return f;
    }
};

std::vector<uint16_t> Output(const tovrin::Scaler& s) {
    std::vector<uint16_t> out(size_t(s.outputWidth()) * s.outputHeight());
    s.read(out.data(), std::ptrdiff_t(s.outputWidth()) * 2, PixelFormat::Rgb555);
    return out;
}

std::vector<uint16_t> FreshDraw(const tovrin::Entry& e, const Frame& f) {
    tovrin::Scaler s(e, f.width, f.height);
    s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
    return Output(s);
}

std::string Label(const tovrin::Entry& e) { return "\"" + e.name + "\" " + std::to_string(e.scale) + "x"; }

// ---------------------------------------------------------------- formats

TEST(HostPixels, ChannelConversionsRoundToNearestAndReplicate) {
    for (unsigned v = 0; v < 256; ++v) EXPECT_EQ(tovrin::Narrow8(v), unsigned(std::lround(v * 31.0 / 255.0))) << v;
    for (unsigned v = 0; v < 32; ++v) {
        EXPECT_EQ(tovrin::Widen5(v), (v << 3) | (v >> 2));
        EXPECT_EQ(tovrin::Narrow8(tovrin::Widen5(v)), v);
    }
}

TEST(HostPixels, EveryColourSurvivesEveryFormat) {
    std::vector<uint16_t> all(32768), back(32768);
    std::vector<uint8_t> alpha(32768), alphaBack(32768);
    for (int i = 0; i < 32768; ++i) {
        all[size_t(i)] = uint16_t(i);
        alpha[size_t(i)] = uint8_t(i * 7);
    }
    for (PixelFormat f : {PixelFormat::Rgb555, PixelFormat::Rgb565, PixelFormat::Xrgb8888, PixelFormat::Rgba8888}) {
        std::vector<uint8_t> row(all.size() * size_t(tovrin::BytesPerPixel(f)));
        tovrin::FromRgb555(f, all.data(), alpha.data(), 32768, row.data());
        tovrin::ToRgb555(f, row.data(), 32768, back.data(), alphaBack.data());
        EXPECT_EQ(back, all) << "format " << int(f);
        if (tovrin::HasAlpha(f)) EXPECT_EQ(alphaBack, alpha);
        else EXPECT_EQ(alphaBack, std::vector<uint8_t>(32768, 255));
    }
}

TEST(HostPixels, LayoutsOfTheWideFormats) {
    const uint16_t red = 0x7C00, mid = (16 << 10) | (8 << 5) | 1, bit15 = 0x8000 | 0x001F;
    uint16_t in[3] = {red, mid, bit15};
    uint32_t xrgb[3];
    tovrin::FromRgb555(PixelFormat::Xrgb8888, in, nullptr, 3, xrgb);
    EXPECT_EQ(xrgb[0], 0xFFFF0000u);
    EXPECT_EQ(xrgb[1], 0xFF844208u);
    EXPECT_EQ(xrgb[2], 0xFF0000FFu);
    uint8_t rgba[12];
    const uint8_t a[3] = {0, 128, 255};
    tovrin::FromRgb555(PixelFormat::Rgba8888, in, a, 3, rgba);
    const uint8_t expected[12] = {255, 0, 0, 0, 0x84, 0x42, 0x08, 128, 0, 0, 255, 255};
    EXPECT_EQ(0, std::memcmp(rgba, expected, 12));
    uint16_t rgb565[3];
    tovrin::FromRgb555(PixelFormat::Rgb565, in, nullptr, 3, rgb565);
    EXPECT_EQ(rgb565[0], 0xF800);
    EXPECT_EQ(rgb565[1], (16 << 11) | (16 << 5) | 1);
    // Bit 15 is not colour: dropped on the way in and out.
    uint16_t back[3];
    tovrin::ToRgb555(PixelFormat::Rgb555, in, 3, back, nullptr);
    EXPECT_EQ(back[2], 0x001F);
}

// ------------------------------------------------- the host's guarantees

// A routine that checks every guarantee it is called under, then draws
// "Plain" by pixel replication, so the probe's picture can be checked too.
struct ProbeLog {
    int calls = 0;
    bool cacheInvalid = false;  // the cache was all 0xFF on the last call
    std::string fault;          // first broken guarantee
    int width = 0, height = 0;
};
ProbeLog g_probe;

void Fault(const std::string& what) {
    if (g_probe.fault.empty()) g_probe.fault = what;
}

template <int Scale>
void Probe(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst, int32_t dstRowBytes, int32_t width,
           int32_t height) {
    ++g_probe.calls;
    g_probe.width = width;
    g_probe.height = height;
    if (width <= 0 || width % 8) Fault("width " + std::to_string(width));
    if (height <= 0 || height % 2) Fault("height " + std::to_string(height));
    for (const void* p : {static_cast<const void*>(src), static_cast<const void*>(cache), static_cast<const void*>(dst)})
        if (reinterpret_cast<uintptr_t>(p) % 16) Fault("misaligned buffer");
    if (srcRowBytes % 16 || dstRowBytes % 16) Fault("stride not a multiple of 16");
    if (srcRowBytes < 2 * width || dstRowBytes < 2 * width * Scale) Fault("stride too short");
    // The margins repeat the edge pixels: one row above to two below, one
    // pixel before to two after (the sanitizer build catches reads beyond).
    const auto pixel = [&](int x, int y) {
        return *reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(src) + ptrdiff_t(y) * srcRowBytes +
                                                  2 * x);
    };
    for (int y = -1; y <= height + 1; ++y)
        for (int x = -1; x <= width + 1; ++x) {
            const int cx = std::clamp(x, 0, width - 1), cy = std::clamp(y, 0, height - 1);
            if (pixel(x, y) != pixel(cx, cy)) Fault("margin pixel not the edge pixel");
            if (pixel(x, y) & 0x8000) Fault("source pixel with bit 15 set");
        }
    // The cache holds the largest layout; its state tells invalidation.
    const size_t bytes = std::max(size_t(4 * width + 8) * 2 * height, size_t(srcRowBytes) * height);
    auto* c = static_cast<uint8_t*>(cache);
    g_probe.cacheInvalid = true;
    for (size_t i = 0; i < bytes; ++i) g_probe.cacheInvalid = g_probe.cacheInvalid && c[i] == 0xFF;
    std::memset(cache, 0x11, bytes);
    for (int y = 0; y < height * Scale; ++y)
        for (int x = 0; x < width * Scale; ++x)
            reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(dst) + ptrdiff_t(y) * dstRowBytes)[x] =
                pixel(x / Scale, y / Scale);
}

tovrin::Entry ProbeEntry(const char* name = "Probe") {
    tovrin::Entry e;
    e.name = name;
    e.scale = 3;
    e.routine = Probe<3>;
    return e;
}

TEST(HostScaler, KeepsTheHostGuaranteesForAwkwardSizes) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 1}, {1, 3}, {7, 5}, {9, 2}, {16, 8}, {17, 13}}) {
        g_probe = {};
        tovrin::Scaler s(ProbeEntry(), w, h);
        const Frame f = Frame::Random(w, h, uint32_t(w * 100 + h));
        const tovrin::FrameReport r = s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        EXPECT_EQ(g_probe.fault, "");
        EXPECT_TRUE(g_probe.cacheInvalid);
        EXPECT_EQ(g_probe.width, (w + 7) / 8 * 8);
        EXPECT_EQ(g_probe.height, (h + 1) / 2 * 2);
        ASSERT_EQ(s.outputWidth(), 3 * w);
        ASSERT_EQ(s.outputHeight(), 3 * h);
        EXPECT_EQ(r.pixelsWritten, uint64_t(9) * w * h);
        EXPECT_EQ(r.firstRow, 0);
        EXPECT_EQ(r.lastRow, 3 * h - 1);
        for (int y = 0; y < 3 * h; ++y)
            for (int x = 0; x < 3 * w; ++x) ASSERT_EQ(s.at(x, y), f.at(x / 3, y / 3)) << x << "," << y;
    }
}

TEST(HostScaler, InvalidatesOnFirstFrameAndWhenEntryOrSizeChanges) {
    g_probe = {};
    const Frame f = Frame::Random(16, 8, 1);
    tovrin::Scaler s(ProbeEntry(), 16, 8);
    const auto frame = [&](const Frame& fr) {
        s.draw(fr.pixels.data(), fr.rowBytes(), PixelFormat::Rgb555);
        return g_probe.cacheInvalid;
    };
    EXPECT_TRUE(frame(f));
    EXPECT_FALSE(frame(f));
    s.resize(24, 8);
    EXPECT_TRUE(frame(Frame::Random(24, 8, 2)));
    EXPECT_FALSE(frame(Frame::Random(24, 8, 2)));
    s.setEntry(ProbeEntry("Other"));
    EXPECT_TRUE(frame(Frame::Random(24, 8, 2)));
    s.invalidate();
    EXPECT_TRUE(frame(Frame::Random(24, 8, 2)));
    s.resize(24, 8);  // no change: the cache stays
    EXPECT_FALSE(frame(Frame::Random(24, 8, 2)));
}

TEST(HostScaler, AnInterleavedFrameDrawsBothFields) {
    g_probe = {};
    tovrin::Scaler s(ProbeEntry("Interleaved"), 8, 2);
    const Frame f = Frame::Random(8, 2, 3);
    s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
    EXPECT_EQ(g_probe.calls, 2);
}

TEST(HostScaler, AlphaIsScaledByReplicationBesideTheColours) {
    g_probe = {};
    constexpr int w = 5, h = 3;
    std::vector<uint8_t> in(size_t(w) * h * 4);
    for (size_t i = 0; i < in.size(); ++i) in[i] = uint8_t(i * 37 + 11);
    tovrin::Scaler s(ProbeEntry(), w, h);
    s.draw(in.data(), w * 4, PixelFormat::Rgba8888);
    std::vector<uint8_t> out(size_t(3 * w) * 3 * h * 4);
    s.read(out.data(), 3 * w * 4, PixelFormat::Rgba8888);
    for (int y = 0; y < 3 * h; ++y)
        for (int x = 0; x < 3 * w; ++x) {
            const uint8_t* o = &out[(size_t(y) * 3 * w + x) * 4];
            const uint8_t* i = &in[(size_t(y / 3) * w + x / 3) * 4];
            ASSERT_EQ(o[3], i[3]);
            for (int c = 0; c < 3; ++c) ASSERT_EQ(o[c], tovrin::Widen5(tovrin::Narrow8(i[c])));
        }
    // A frame without alpha reads back opaque.
    const Frame f = Frame::Random(w, h, 4);
    s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
    s.read(out.data(), 3 * w * 4, PixelFormat::Rgba8888);
    for (size_t i = 3; i < out.size(); i += 4) ASSERT_EQ(out[i], 255);
}

TEST(HostScaler, RefusesSizesBeyondTheLimits) {
    const auto e = ProbeEntry();
    EXPECT_THROW(tovrin::Scaler(e, 0, 4), tovrin::Error);
    EXPECT_THROW(tovrin::Scaler(e, 4, -1), tovrin::Error);
    EXPECT_THROW(tovrin::Scaler(e, tovrin::kMaxSide + 1, 2), tovrin::Error);
    EXPECT_THROW(tovrin::Scaler(e, 8192, 8192), tovrin::Error);  // 2^26 source pixels
    tovrin::Scaler s(e, 8, 2);
    EXPECT_THROW(s.resize(16384, 2048), tovrin::Error);  // 2^28 × 9 output pixels
    EXPECT_EQ(s.width(), 8);
    const Frame f(8, 2);
    EXPECT_THROW(s.draw(f.pixels.data(), 8, PixelFormat::Rgb555), tovrin::Error);  // stride shorter than a row
}

// ------------------------------------------------------- the real table

TEST(HostLibrary, FindsEntriesByNameAndScale) {
    const auto& lib = Lib();
    ASSERT_FALSE(lib.entries().empty());
    EXPECT_EQ(lib.path(), TOVRIN_MODULE_PATH);
    const tovrin::Entry& e = lib.find("pLAIN");
    EXPECT_EQ(e.name, "Plain");
    EXPECT_EQ(e.scale, 2);  // the smallest scale above 1
    EXPECT_EQ(lib.find("plain", 5).row, 4);
    for (const auto& entry : lib.entries()) {
        const tovrin::Entry& found = lib.find(entry.name, entry.scale);
        EXPECT_EQ(found.row, entry.row);
        EXPECT_EQ(found.routine, entry.routine);
    }
    try {
        lib.find("No Such Scaler");
        FAIL();
    } catch (const tovrin::Error& err) {
        EXPECT_NE(std::string(err.what()).find("Plain"), std::string::npos) << err.what();
    }
    try {
        lib.find("Plain", 7);
        FAIL();
    } catch (const tovrin::Error& err) {
        EXPECT_NE(std::string(err.what()).find("1, 2, 3, 4, 5"), std::string::npos) << err.what();
    }
}

TEST(HostLibrary, ReportsAModuleThatCannotBeLoaded) {
    try {
        tovrin::Library lib("/nonexistent/libtovrin.so");
        FAIL();
    } catch (const tovrin::Error& err) {
        EXPECT_NE(std::string(err.what()).find("/nonexistent/libtovrin.so"), std::string::npos);
    }
    EXPECT_THROW(tovrin::Library lib("libc.so.6"), tovrin::Error);  // no load entry
}

TEST(HostLibrary, FindsTheModuleBesideItself) {
    EXPECT_EQ(tovrin::Library::DefaultModulePath(), TOVRIN_MODULE_PATH);
}

TEST(HostTable, EveryEntryGivesExactlyScaleTimesAnySize) {
    for (const auto& e : Lib().entries())
        for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {2, 5}, {9, 7}, {19, 3}}) {
            const Frame f = Frame::Random(w, h, uint32_t(e.row * 31 + w), 4);
            tovrin::Scaler s(e, w, h);
            const tovrin::FrameReport r = s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
            SCOPED_TRACE(Label(e) + " " + std::to_string(w) + "x" + std::to_string(h));
            EXPECT_EQ(s.outputWidth(), e.scale * w);
            EXPECT_EQ(s.outputHeight(), e.scale * h);
            EXPECT_EQ(r.pixelsTotal, uint64_t(e.scale * w) * uint64_t(e.scale * h));
            EXPECT_LE(r.pixelsWritten, r.pixelsTotal);
            EXPECT_GT(r.pixelsWritten, 0u);
        }
}

TEST(HostTable, PlainEnlargesByReplicationAtAnySize) {
    for (const auto& e : Lib().entries()) {
        if (e.name != "Plain") continue;
        const Frame f = Frame::Random(11, 5, uint32_t(e.scale));
        tovrin::Scaler s(e, 11, 5);
        s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
        for (int y = 0; y < s.outputHeight(); ++y)
            for (int x = 0; x < s.outputWidth(); ++x)
                ASSERT_EQ(s.at(x, y), f.at(x / e.scale, y / e.scale)) << Label(e) << " " << x << "," << y;
    }
}

// A moving picture: every frame read back equals a fresh full draw of it,
// and the report covers every row that changed.
TEST(HostTable, FrameSequencesMatchFreshDrawsAndReportTheirChanges) {
    constexpr int w = 21, h = 9;
    std::vector<Frame> frames{Frame::Random(w, h, 7, 5)};
    frames.push_back(frames.back());
    frames.back().at(10, 4) ^= 0x1234;  // one pixel
    frames.push_back(frames.back());     // unchanged
    frames.push_back(frames.back());
    frames.back().at(0, 0) = 0x7FFF;  // corners
    frames.back().at(w - 1, h - 1) = 0;
    frames.push_back(Frame::Random(w, h, 8, 3));  // everything
    frames.push_back(frames.front());
    for (const auto& e : Lib().entries()) {
        tovrin::Scaler s(e, w, h);
        // Before the first frame the output reads as black.
        std::vector<uint16_t> previous(size_t(s.outputWidth()) * s.outputHeight(), 0);
        for (size_t i = 0; i < frames.size(); ++i) {
            SCOPED_TRACE(Label(e) + " frame " + std::to_string(i));
            const tovrin::FrameReport r = s.draw(frames[i].pixels.data(), frames[i].rowBytes(), PixelFormat::Rgb555);
            const std::vector<uint16_t> now = Output(s);
            ASSERT_EQ(now, FreshDraw(e, frames[i]));
            uint64_t changed = 0;
            for (size_t p = 0; p < now.size(); ++p) {
                if (previous[p] == now[p]) continue;
                ++changed;
                const int row = int(p / size_t(s.outputWidth()));
                ASSERT_GE(row, r.firstRow);
                ASSERT_LE(row, r.lastRow);
            }
            EXPECT_GE(r.pixelsWritten, changed);
            previous = now;
        }
    }
}

TEST(HostTable, PlainRewritesExactlyTheChangedBlocks) {
    const tovrin::Entry& e = Lib().find("Plain", 2);
    Frame f = Frame::Random(16, 8, 9);
    tovrin::Scaler s(e, 16, 8);
    EXPECT_EQ(s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555).pixelsWritten, 32u * 16);
    const tovrin::FrameReport same = s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
    EXPECT_EQ(same.pixelsWritten, 0u);
    EXPECT_EQ(same.firstRow, -1);
    f.at(5, 3) ^= 0x0421;
    const tovrin::FrameReport one = s.draw(f.pixels.data(), f.rowBytes(), PixelFormat::Rgb555);
    EXPECT_EQ(one.pixelsWritten, 8u);  // the pair's four columns on both rows
    EXPECT_EQ(one.firstRow, 6);
    EXPECT_EQ(one.lastRow, 7);
}

TEST(HostTable, ChangingEntryOrSizeRedrawsEverything) {
    const auto& entries = Lib().entries();
    const Frame small = Frame::Random(13, 6, 10, 4), large = Frame::Random(24, 10, 11, 4);
    tovrin::Scaler s(entries.front(), 13, 6);
    s.draw(small.pixels.data(), small.rowBytes(), PixelFormat::Rgb555);
    for (const auto& e : entries) {
        SCOPED_TRACE(Label(e));
        s.setEntry(e);
        s.draw(small.pixels.data(), small.rowBytes(), PixelFormat::Rgb555);
        ASSERT_EQ(Output(s), FreshDraw(e, small));
        s.resize(24, 10);
        s.draw(large.pixels.data(), large.rowBytes(), PixelFormat::Rgb555);
        ASSERT_EQ(Output(s), FreshDraw(e, large));
        s.resize(13, 6);
        s.draw(small.pixels.data(), small.rowBytes(), PixelFormat::Rgb555);
        ASSERT_EQ(Output(s), FreshDraw(e, small));
    }
}

TEST(HostTable, EveryFormatRoundTripsThroughPlain1x) {
    const tovrin::Entry& e = Lib().find("Plain", 1);
    const Frame f = Frame::Random(10, 3, 12);
    for (PixelFormat fmt : {PixelFormat::Rgb555, PixelFormat::Rgb565, PixelFormat::Xrgb8888, PixelFormat::Rgba8888}) {
        const int bpp = tovrin::BytesPerPixel(fmt);
        std::vector<uint8_t> in(size_t(10) * 3 * size_t(bpp)), out(in.size());
        for (int y = 0; y < 3; ++y) tovrin::FromRgb555(fmt, &f.pixels[size_t(y) * 13], nullptr, 10, &in[size_t(y) * 10 * bpp]);
        tovrin::Scaler s(e, 10, 3);
        s.draw(in.data(), 10 * bpp, fmt);
        s.read(out.data(), 10 * bpp, fmt);
        EXPECT_EQ(out, in) << "format " << int(fmt);
    }
}

}  // namespace
