// The Scaler: every buffer a routine needs, and the host's side of the
// routine contract on every call.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tovrin/host.hpp"

namespace tovrin {
namespace {

// Margins of the owned source: the routines read up to one row above, two
// rows below, one pixel before and two after each row; vector routines round
// addresses down to 16 bytes. Eight pixels on each side keep every row start
// aligned and cover those reads; an extra row below is slack.
constexpr int kMarginColumns = 8;
constexpr int kRowsAbove = 2;
constexpr int kRowsBelow = 3;

// Set on every destination pixel between frames; a pixel whose mark is gone
// after a call was written by the routine.
constexpr uint16_t kUnwritten = 0x8000;

struct AlignedFree {
    void operator()(uint8_t* p) const { std::free(p); }
};
using AlignedBytes = std::unique_ptr<uint8_t[], AlignedFree>;

AlignedBytes AllocateAligned(size_t bytes) {
    bytes = (bytes + 15) & ~size_t{15};
    auto* p = static_cast<uint8_t*>(std::aligned_alloc(16, bytes ? bytes : 16));
    if (!p) throw Error("out of memory for a picture buffer of " + std::to_string(bytes) + " bytes");
    return AlignedBytes(p);
}

int RoundUp(int v, int m) { return (v + m - 1) / m * m; }

void CheckSize(int width, int height, int scale) {
    if (width < 1 || height < 1)
        throw Error("picture size " + std::to_string(width) + "x" + std::to_string(height) + " is empty");
    if (width > kMaxSide || height > kMaxSide)
        throw Error("picture is " + std::to_string(width) + "x" + std::to_string(height) +
                    " pixels; the limit is " + std::to_string(kMaxSide) + " on a side");
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    if (pixels > kMaxSourcePixels)
        throw Error("picture has " + std::to_string(pixels) + " pixels; the limit is " +
                    std::to_string(kMaxSourcePixels));
    const uint64_t out = pixels * uint64_t(scale) * uint64_t(scale);
    if (out > kMaxOutputPixels)
        throw Error("the output would have " + std::to_string(out) + " pixels; the limit is " +
                    std::to_string(kMaxOutputPixels));
}

// Entries whose routine draws one field of alternate rows per call.
int CallsPerFrame(const Entry& entry) { return entry.name == "Interleaved" ? 2 : 1; }

}  // namespace

struct Scaler::State {
    Entry entry;
    int width = 0, height = 0;            // the host's picture
    int paddedWidth = 0, paddedHeight = 0;  // what the routine is given
    int srcRowBytes = 0, dstRowBytes = 0;
    size_t cacheBytes = 0;
    AlignedBytes source, cache, dest;
    std::vector<uint8_t> alpha;
    bool hasAlpha = false;

    uint16_t* SourceRow(int y) {  // y from -kRowsAbove to paddedHeight + kRowsBelow - 1
        return reinterpret_cast<uint16_t*>(source.get() + size_t(y + kRowsAbove) * srcRowBytes) + kMarginColumns;
    }
    uint16_t* DestRow(int y) const { return reinterpret_cast<uint16_t*>(dest.get() + size_t(y) * dstRowBytes); }
    int scale() const { return entry.scale; }

    void Allocate() {
        paddedWidth = RoundUp(width, 8);
        paddedHeight = RoundUp(height, 2);
        srcRowBytes = 2 * (paddedWidth + 2 * kMarginColumns);
        dstRowBytes = 2 * paddedWidth * scale();
        // The largest extent any routine states: the 4x edge-directed
        // intermediate picture, or a cache with the source's row stride.
        cacheBytes = std::max(size_t(4 * paddedWidth + 8) * 2 * paddedHeight, size_t(srcRowBytes) * paddedHeight);
        source = AllocateAligned(size_t(srcRowBytes) * (kRowsAbove + paddedHeight + kRowsBelow));
        cache = AllocateAligned(cacheBytes);
        dest = AllocateAligned(size_t(dstRowBytes) * paddedHeight * scale());
        alpha.assign(size_t(width) * height, 255);
        hasAlpha = false;
        Invalidate();
    }

    void Invalidate() {
        std::memset(cache.get(), 0xFF, cacheBytes);
        // A fresh picture: rows an effect leaves unwritten show black, not
        // what another entry drew there.
        const size_t pixels = size_t(dstRowBytes / 2) * paddedHeight * scale();
        auto* d = reinterpret_cast<uint16_t*>(dest.get());
        std::fill(d, d + pixels, kUnwritten);
    }

    // Repeats the edge pixels into the padding and the margins.
    void FillMargins() {
        for (int y = 0; y < height; ++y) {
            uint16_t* row = SourceRow(y);
            std::fill(row - kMarginColumns, row, row[0]);
            std::fill(row + width, row + paddedWidth + kMarginColumns, row[width - 1]);
        }
        const size_t rowBytes = size_t(srcRowBytes);
        uint8_t* first = reinterpret_cast<uint8_t*>(SourceRow(0) - kMarginColumns);
        uint8_t* last = reinterpret_cast<uint8_t*>(SourceRow(height - 1) - kMarginColumns);
        for (int y = -kRowsAbove; y < 0; ++y)
            std::memcpy(reinterpret_cast<uint8_t*>(SourceRow(y) - kMarginColumns), first, rowBytes);
        for (int y = height; y < paddedHeight + kRowsBelow; ++y)
            std::memcpy(reinterpret_cast<uint8_t*>(SourceRow(y) - kMarginColumns), last, rowBytes);
    }

    // Finds the pixels the routine wrote (their mark is gone), marks them
    // again and reports those inside the output picture.
    FrameReport Collect() {
        FrameReport report;
        const int outW = width * scale(), outH = height * scale();
        report.pixelsTotal = uint64_t(outW) * outH;
        const int rows = paddedHeight * scale(), columns = paddedWidth * scale();
        for (int y = 0; y < rows; ++y) {
            uint16_t* row = DestRow(y);
            // Most rows of a frame that changed little were not written: one
            // branch-free pass over the row tells; only rows with a mark gone
            // are counted and marked again.
            uint16_t gone = 0;
            for (int x = 0; x < columns; ++x) gone |= uint16_t(~row[x]);
            if (!(gone & kUnwritten)) continue;
            uint64_t written = 0;
            for (int x = 0; x < outW; ++x) written += uint16_t(~row[x]) >> 15;
            for (int x = 0; x < columns; ++x) row[x] |= kUnwritten;
            if (written && y < outH) {
                if (report.firstRow < 0) report.firstRow = y;
                report.lastRow = y;
                report.pixelsWritten += written;
            }
        }
        return report;
    }
};

Scaler::Scaler(const Entry& entry, int width, int height) : s_(std::make_unique<State>()) {
    if (!entry.routine || entry.scale < 1) throw Error("not a scaler entry");
    CheckSize(width, height, entry.scale);
    s_->entry = entry;
    s_->width = width;
    s_->height = height;
    s_->Allocate();
}

Scaler::~Scaler() = default;
Scaler::Scaler(Scaler&&) noexcept = default;
Scaler& Scaler::operator=(Scaler&&) noexcept = default;

const Entry& Scaler::entry() const { return s_->entry; }
int Scaler::width() const { return s_->width; }
int Scaler::height() const { return s_->height; }
int Scaler::scale() const { return s_->scale(); }
int Scaler::outputWidth() const { return s_->width * s_->scale(); }
int Scaler::outputHeight() const { return s_->height * s_->scale(); }

void Scaler::setEntry(const Entry& entry) {
    if (!entry.routine || entry.scale < 1) throw Error("not a scaler entry");
    if (entry.routine == s_->entry.routine && entry.scale == s_->entry.scale && entry.name == s_->entry.name) return;
    CheckSize(s_->width, s_->height, entry.scale);
    const bool sameScale = entry.scale == s_->entry.scale;
    s_->entry = entry;
    if (sameScale)
        s_->Invalidate();
    else
        s_->Allocate();
}

void Scaler::resize(int width, int height) {
    if (width == s_->width && height == s_->height) return;
    CheckSize(width, height, s_->entry.scale);
    s_->width = width;
    s_->height = height;
    s_->Allocate();
}

void Scaler::invalidate() { s_->Invalidate(); }

FrameReport Scaler::draw(const void* pixels, std::ptrdiff_t rowBytes, PixelFormat format) {
    State& s = *s_;
    if (!pixels) throw Error("no frame given");
    const std::ptrdiff_t needed = std::ptrdiff_t(s.width) * BytesPerPixel(format);
    if (rowBytes < needed && -rowBytes < needed)
        throw Error("row stride " + std::to_string(rowBytes) + " is shorter than a row of " +
                    std::to_string(needed) + " bytes");
    s.hasAlpha = HasAlpha(format);
    for (int y = 0; y < s.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(pixels) + y * rowBytes;
        ToRgb555(format, row, s.width, s.SourceRow(y), s.hasAlpha ? &s.alpha[size_t(y) * s.width] : nullptr);
    }
    s.FillMargins();
    for (int call = 0; call < CallsPerFrame(s.entry); ++call)
        s.entry.routine(s.SourceRow(0), s.srcRowBytes, s.cache.get(), s.DestRow(0), s.dstRowBytes, s.paddedWidth,
                        s.paddedHeight);
    return s.Collect();
}

void Scaler::read(void* pixels, std::ptrdiff_t rowBytes, PixelFormat format) const {
    read(pixels, rowBytes, format, 0, outputHeight() - 1);
}

void Scaler::read(void* pixels, std::ptrdiff_t rowBytes, PixelFormat format, int firstRow, int lastRow) const {
    const State& s = *s_;
    if (!pixels) throw Error("no output buffer given");
    const int outW = outputWidth(), sc = s.scale();
    if (firstRow < 0 || lastRow >= outputHeight() || firstRow > lastRow) return;
    std::vector<uint8_t> alpha;
    if (HasAlpha(format) && s.hasAlpha) alpha.resize(size_t(outW));
    for (int y = firstRow; y <= lastRow; ++y) {
        if (!alpha.empty()) {
            const uint8_t* a = &s.alpha[size_t(y / sc) * s.width];
            for (int x = 0; x < outW; ++x) alpha[size_t(x)] = a[x / sc];
        }
        // The marks are outside the colour; FromRgb555 drops them.
        FromRgb555(format, s.DestRow(y), alpha.empty() ? nullptr : alpha.data(), outW,
                   static_cast<uint8_t*>(pixels) + y * rowBytes);
    }
}

uint16_t Scaler::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= outputWidth() || y >= outputHeight()) throw Error("pixel outside the output");
    return s_->DestRow(y)[x] & 0x7FFF;
}

}  // namespace tovrin
