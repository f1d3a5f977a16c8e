#include "fixture.h"

#include <algorithm>
#include <cstring>

namespace tovrin::test {

GuardedBuffer::GuardedBuffer(size_t bytes, uint8_t fill)
    : storage_(bytes + 2 * kGuardBytes + 16, kGuardByte), size_(bytes) {
    const auto raw = reinterpret_cast<uintptr_t>(storage_.data()) + kGuardBytes;
    data_ = reinterpret_cast<uint8_t*>((raw + 15) & ~uintptr_t{15});
    std::memset(data_, fill, size_);
}

testing::AssertionResult GuardedBuffer::GuardsIntact() const {
    const uint8_t* begin = storage_.data();
    const uint8_t* end = begin + storage_.size();
    for (const uint8_t* p = begin; p < end; ++p) {
        if (p >= data_ && p < data_ + size_) {
            p = data_ + size_ - 1;
            continue;
        }
        if (*p != kGuardByte) {
            const long offset = p < data_ ? -static_cast<long>(data_ - p) : static_cast<long>(p - data_);
            return testing::AssertionFailure() << "guard byte changed at offset " << offset
                                               << " (buffer of " << size_ << " bytes)";
        }
    }
    return testing::AssertionSuccess();
}

namespace {
constexpr int kRowsAbove = 2;
constexpr int kRowsBelow = 3;

int TightRowBytes(int width) { return ((2 * width + 15) / 16) * 16; }
}  // namespace

Source::Source(int width, int height, int rowBytes)
    : width_(width),
      height_(height),
      rowBytes_(rowBytes ? rowBytes : TightRowBytes(width)),
      buffer_(static_cast<size_t>(rowBytes_) * (height + kRowsAbove + kRowsBelow) + 16),
      origin_(reinterpret_cast<uint16_t*>(buffer_.data() + static_cast<size_t>(rowBytes_) * kRowsAbove)) {
    // Every pixel of the buffer starts as a margin pixel of its position.
    const int rowPixels = rowBytes_ / 2;
    for (int y = -kRowsAbove; y < height + kRowsBelow; ++y)
        for (int x = 0; x < rowPixels; ++x) at(x, y) = MarginPixel(x, y);
    uint16_t* tail = reinterpret_cast<uint16_t*>(buffer_.data() + buffer_.size() - 16);
    for (int i = 0; i < 8; ++i) tail[i] = MarginPixel(rowPixels + i, height + kRowsBelow - 1);
}

uint16_t Source::MarginPixel(int x, int y) {
    return static_cast<uint16_t>((x * 0x0421 + y * 0x1357 + 0x2A5) & 0x7FFF);
}

uint16_t& Source::at(int x, int y) {
    return *reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(origin_) +
                                        static_cast<long>(y) * rowBytes_ + 2L * x);
}

uint16_t Source::at(int x, int y) const { return const_cast<Source*>(this)->at(x, y); }

void Source::Fill(const std::function<uint16_t(int x, int y)>& pixel) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) at(x, y) = pixel(x, y);
}

void Source::FillRandom(uint32_t seed, int colours) {
    std::mt19937 rng(seed);
    std::vector<uint16_t> palette;
    for (int i = 0; i < colours; ++i) palette.push_back(static_cast<uint16_t>(rng() & 0x7FFF));
    Fill([&](int, int) {
        return palette.empty() ? static_cast<uint16_t>(rng() & 0x7FFF) : palette[rng() % palette.size()];
    });
}

Dest::Dest(int width, int height, int rowBytes)
    : width_(width),
      height_(height),
      rowBytes_(rowBytes ? rowBytes : TightRowBytes(width)),
      buffer_(static_cast<size_t>(rowBytes_) * std::max(height, 1)),
      origin_(reinterpret_cast<uint16_t*>(buffer_.data())) {
    Reset();
    // Row padding is guard: routines write only inside the rectangle.
    for (int y = 0; y < height_; ++y)
        std::memset(buffer_.data() + static_cast<size_t>(y) * rowBytes_ + 2 * width_, kGuardByte,
                    rowBytes_ - 2 * width_);
}

uint16_t Dest::at(int x, int y) const {
    uint16_t v;
    std::memcpy(&v, buffer_.data() + static_cast<size_t>(y) * rowBytes_ + 2 * x, 2);
    return v;
}

void Dest::Reset() {
    for (int y = 0; y < height_; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(buffer_.data() + static_cast<size_t>(y) * rowBytes_);
        std::fill(row, row + width_, kSentinel);
    }
}

int Dest::CountWritten() const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) n += Written(x, y);
    return n;
}

testing::AssertionResult Dest::GuardsIntact() const {
    for (int y = 0; y < height_; ++y)
        for (int b = 2 * width_; b < rowBytes_; ++b)
            if (buffer_.data()[static_cast<size_t>(y) * rowBytes_ + b] != kGuardByte)
                return testing::AssertionFailure() << "destination row " << y << " padding byte " << b
                                                   << " changed";
    return buffer_.GuardsIntact();
}

Cache::Cache(size_t extent) : buffer_(extent, 0xFF) {}

void Cache::Invalidate() { std::memset(buffer_.data(), 0xFF, buffer_.size()); }

uint16_t Cache::PixelAt(size_t byteOffset) const {
    uint16_t v;
    std::memcpy(&v, buffer_.data() + byteOffset, 2);
    return v;
}

std::vector<uint8_t> Cache::Bytes() const {
    return std::vector<uint8_t>(buffer_.data(), buffer_.data() + buffer_.size());
}

size_t HostCacheBytes(int width, int height, int srcRowBytes) {
    return std::max(static_cast<size_t>(4 * width + 8) * 2 * height, static_cast<size_t>(srcRowBytes) * height);
}

void Draw(BlitProc routine, const Source& src, Cache& cache, Dest& dst) {
    routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), src.width(),
            src.height());
}

testing::AssertionResult MatchesPicture(const Dest& dst, const Expectation& expected) {
    int mismatches = 0;
    std::string report;
    for (int y = 0; y < dst.height(); ++y) {
        for (int x = 0; x < dst.width(); ++x) {
            const std::optional<uint16_t> want = expected(x, y);
            const uint16_t got = dst.at(x, y);
            const bool ok = want ? got == *want : got == kSentinel;
            if (ok) continue;
            if (++mismatches <= 8) {
                report += "\n  (" + std::to_string(x) + ", " + std::to_string(y) + "): got " +
                          (got == kSentinel ? std::string("unwritten") : Hex(got)) + ", want " +
                          (want ? Hex(*want) : std::string("unwritten"));
            }
        }
    }
    if (mismatches)
        return testing::AssertionFailure() << mismatches << " pixels differ of " << dst.width() << "x"
                                           << dst.height() << ":" << report;
    return dst.GuardsIntact();
}

testing::AssertionResult WroteExactly(const Dest& dst, const std::function<bool(int x, int y)>& written) {
    int mismatches = 0;
    std::string report;
    for (int y = 0; y < dst.height(); ++y) {
        for (int x = 0; x < dst.width(); ++x) {
            const bool want = written(x, y);
            if (dst.Written(x, y) == want) continue;
            if (++mismatches <= 8)
                report += "\n  (" + std::to_string(x) + ", " + std::to_string(y) + ") " +
                          (want ? "not written" : "written");
        }
    }
    if (mismatches)
        return testing::AssertionFailure() << mismatches << " pixels with the wrong written state:" << report;
    return dst.GuardsIntact();
}

}  // namespace tovrin::test
