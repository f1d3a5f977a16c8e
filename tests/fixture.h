// Test fixture shared by every family's tests: a source with a readable,
// known margin, a destination pre-filled with a sentinel inside guard bands,
// and a cache invalidated with 0xFF bytes and followed by a guard.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tovrin.h"

namespace tovrin::test {

// Unwritten destination pixels keep this value. Bit 15 is set, which no
// computed pixel has and no source pixel of these tests has.
inline constexpr uint16_t kSentinel = 0xDEAD;
// Guard bands around every buffer hold this byte.
inline constexpr uint8_t kGuardByte = 0xA5;
inline constexpr size_t kGuardBytes = 64;

// 16-byte-aligned bytes with a guard band before and after.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t bytes, uint8_t fill = 0);
    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    // Success when no guard byte changed; otherwise names the first one.
    testing::AssertionResult GuardsIntact() const;

private:
    std::vector<uint8_t> storage_;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// A source picture inside readable margins: two rows above, three rows
// below, and the stride's padding; every margin pixel holds a known value
// (MarginPixel), so reads there give defined results. rowBytes 0 = tight.
class Source {
public:
    Source(int width, int height, int rowBytes = 0);
    int width() const { return width_; }
    int height() const { return height_; }
    int rowBytes() const { return rowBytes_; }
    const uint16_t* pixels() const { return origin_; }
    // Any pixel by position, margins included: x from -1 to width + 1 and y
    // from -1 to height + 1 are always inside the buffer.
    uint16_t& at(int x, int y);
    uint16_t at(int x, int y) const;
    // The value every margin pixel is filled with at construction.
    static uint16_t MarginPixel(int x, int y);

    void Fill(const std::function<uint16_t(int x, int y)>& pixel);
    // Random 15-bit colours, or a few colours when `colours` is nonzero.
    void FillRandom(uint32_t seed, int colours = 0);

private:
    int width_, height_, rowBytes_;
    GuardedBuffer buffer_;
    uint16_t* origin_;
};

// A destination of width × height pixels; every pixel starts as kSentinel
// and the stride's padding counts as guard.
class Dest {
public:
    Dest(int width, int height, int rowBytes = 0);
    int width() const { return width_; }
    int height() const { return height_; }
    int rowBytes() const { return rowBytes_; }
    uint16_t* pixels() { return origin_; }
    uint16_t at(int x, int y) const;
    bool Written(int x, int y) const { return at(x, y) != kSentinel; }
    // Sets every pixel back to kSentinel so the next call's writes show.
    void Reset();
    int CountWritten() const;
    // Guard bands and row padding unchanged.
    testing::AssertionResult GuardsIntact() const;

private:
    int width_, height_, rowBytes_;
    GuardedBuffer buffer_;
    uint16_t* origin_;
};

// A change cache of `extent` bytes filled with 0xFF, guarded on both sides,
// so a write past the routine's stated extent fails GuardsIntact.
class Cache {
public:
    explicit Cache(size_t extent);
    void* data() { return buffer_.data(); }
    size_t extent() const { return buffer_.size(); }
    void Invalidate();
    uint16_t PixelAt(size_t byteOffset) const;
    std::vector<uint8_t> Bytes() const;
    testing::AssertionResult GuardsIntact() const { return buffer_.GuardsIntact(); }

private:
    GuardedBuffer buffer_;
};

// The host's general cache size: enough for every routine's layout.
size_t HostCacheBytes(int width, int height, int srcRowBytes);

// One call of a routine on the fixture's buffers.
void Draw(BlitProc routine, const Source& src, Cache& cache, Dest& dst);

// What a destination pixel must hold after a call: a value, or nullopt for
// "not written".
using Expectation = std::function<std::optional<uint16_t>(int x, int y)>;

// Compares every pixel of `dst` with `expected` (value and written-or-not)
// and checks the guards; reports the first few mismatches.
testing::AssertionResult MatchesPicture(const Dest& dst, const Expectation& expected);

// The set of written destination pixels must be exactly `written`.
testing::AssertionResult WroteExactly(const Dest& dst, const std::function<bool(int x, int y)>& written);

inline std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

}  // namespace tovrin::test
