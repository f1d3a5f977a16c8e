// Tovrin host API: load the scaler module, pick an entry, scale frames.
//
// The raw routines of tovrin.h trust their caller with alignment, source
// margins, cache sizes, cache invalidation and sizes they accept (width a
// multiple of 8, even height). A Scaler owns every buffer a routine needs and
// keeps all of that itself, so a host only hands in frames and reads results.
//
// Errors are reported by throwing tovrin::Error (a std::runtime_error whose
// message is one line fit for a user); nothing throws through the module's C
// interface, which never reports errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tovrin.h"

namespace tovrin {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Pixel layouts a frame may come in or go out as.
//   Rgb555   16-bit native: red 14-10, green 9-5, blue 4-0; bit 15 ignored
//            on input and 0 on output.
//   Rgb565   16-bit native: red 15-11, green 10-5, blue 4-0.
//   Xrgb8888 32-bit native 0xXXRRGGBB; X ignored on input, 0xFF on output.
//   Rgba8888 four bytes in memory order R, G, B, A.
// Wider channels become 5-bit ones rounded to nearest; 5-bit channels widen
// by bit replication, so every RGB555 colour survives a round trip.
enum class PixelFormat { Rgb555, Rgb565, Xrgb8888, Rgba8888 };

int BytesPerPixel(PixelFormat format);
bool HasAlpha(PixelFormat format);

// One row of `count` pixels to RGB555 (bit 15 clear) and, when `alpha` is
// not null, to 8-bit alpha (255 for formats without alpha).
void ToRgb555(PixelFormat format, const void* row, int count, uint16_t* rgb555, uint8_t* alpha);
// One row of RGB555 pixels (bit 15 ignored) to `format`; `alpha` may be null
// for fully opaque.
void FromRgb555(PixelFormat format, const uint16_t* rgb555, const uint8_t* alpha, int count, void* row);

// Channel conversions the row functions are built from.
constexpr uint8_t Widen5(unsigned v5) { return static_cast<uint8_t>((v5 << 3) | (v5 >> 2)); }
constexpr unsigned Narrow8(unsigned v8) { return (v8 * 31 + 127) / 255; }

namespace detail {
struct Module;
}

// One row of the module's table. Valid as long as a copy of it, its
// Library or a Scaler using it lives: each holds the module loaded.
struct Entry {
    std::string name;  // display name, e.g. "Super Eagle"
    int scale = 0;     // magnification
    int row = 0;       // index in the module's table
    BlitProc routine = nullptr;
    std::shared_ptr<const detail::Module> module;
};

// Size limits a Scaler accepts: pictures larger than this are refused with
// an Error before anything is allocated.
inline constexpr int kMaxSide = 16384;                       // pixels on a side
inline constexpr uint64_t kMaxSourcePixels = 1ull << 24;     // width × height
inline constexpr uint64_t kMaxOutputPixels = 1ull << 28;     // destination pixels

class Library {
public:
    // Loads libtovrin.so from DefaultModulePath(), or the given file, and
    // calls its load entry (which prints the module's banner on stdout).
    Library();
    explicit Library(const std::string& modulePath);

    const std::string& path() const;
    // Every row of the table, in table order.
    const std::vector<Entry>& entries() const;
    // Display names in table order, each once, and the scales one offers.
    std::vector<std::string> names() const;
    std::vector<int> scales(std::string_view name) const;
    // The row named `name` (any letter case) at `scale`. With scale 0: the
    // name's only scale, else its smallest scale above 1. Throws an Error
    // that lists the names or scales there are.
    const Entry& find(std::string_view name, int scale = 0) const;
    // Whether the processor has the vector unit, so that the module's vector
    // routines stand in the table in place of their scalar twins.
    bool vectorUnit() const;

    // Where Library() looks: libtovrin.so beside the code of this library
    // (or of the executable it is linked into), then in ../lib from there,
    // then in the directory it was installed to, then the loader's search.
    static std::string DefaultModulePath();

private:
    std::shared_ptr<const detail::Module> module_;
    std::vector<Entry> entries_;
};

// What one frame rewrote in the destination, in output coordinates.
struct FrameReport {
    int firstRow = -1;            // first destination row written, -1 if none
    int lastRow = -1;             // last destination row written, -1 if none
    uint64_t pixelsWritten = 0;   // destination pixels the routine wrote
    uint64_t pixelsTotal = 0;     // outputWidth() × outputHeight()
    double share() const { return pixelsTotal ? double(pixelsWritten) / double(pixelsTotal) : 0.0; }
};

// Scales frames of one size with one entry. A sequence of frames through one
// Scaler is a moving picture: the routine's change cache persists, so only
// what changed is redrawn, yet every frame reads back as the full picture.
//
// A frame is one full picture. For "Interleaved" entries, whose routine draws
// one field (every second row) per call, a frame is two calls, one per field,
// so the picture read back is always complete; their cache halves still make
// each field redraw only what changed.
//
// Rewrite reports come from the routine's own change tracking: between
// frames every destination pixel carries bit 15 set (outside the colour and
// never produced by a routine fed with bit-15-clear sources); after the call
// the pixels with bit 15 clear are exactly those written. One read pass over
// the destination finds the rows that hold such pixels; only those rows are
// counted and marked again, rows the routine did not touch are not written.
// No second picture is kept.
//
// A Scaler is used from one thread at a time. Scalers may run in parallel,
// except two of the same "Interleaved" entry: its routine keeps one field
// flag in the module.
class Scaler {
public:
    Scaler(const Entry& entry, int width, int height);
    ~Scaler();
    Scaler(Scaler&&) noexcept;
    Scaler& operator=(Scaler&&) noexcept;

    const Entry& entry() const;
    int width() const;
    int height() const;
    int scale() const;
    int outputWidth() const;
    int outputHeight() const;

    // Both invalidate (the next frame draws everything) when they change
    // anything; Resize throws an Error for sizes beyond the limits.
    void setEntry(const Entry& entry);
    void resize(int width, int height);
    // Makes the next frame draw everything, e.g. after the host lost the
    // output it read back.
    void invalidate();

    // Scales one frame of width() × height() pixels. rowBytes may be
    // negative for bottom-up pictures; |rowBytes| must hold a row.
    FrameReport draw(const void* pixels, std::ptrdiff_t rowBytes, PixelFormat format);
    // Copies the output (outputWidth() × outputHeight()) to `pixels`, which
    // points at output row 0, or only its rows first..last (e.g. those a
    // FrameReport names). Formats with alpha get 255 unless the frame had
    // alpha; then it is scaled by pixel replication beside the colour picture.
    void read(void* pixels, std::ptrdiff_t rowBytes, PixelFormat format) const;
    void read(void* pixels, std::ptrdiff_t rowBytes, PixelFormat format, int firstRow, int lastRow) const;
    // One output pixel as RGB555.
    uint16_t at(int x, int y) const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace tovrin
