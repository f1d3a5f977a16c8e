// Buffers with no slack: exactly the memory a host guarantees is addressable,
// each in its own heap allocation whose last byte is the last guaranteed one,
// and everything in between that is not guaranteed (stride padding beyond
// the readable margins) marked unaddressable for AddressSanitizer. Used by the
// bounds test and the fuzz targets; it needs no test framework.
//
// AddressSanitizer tracks memory in 8-byte granules and can only mark a
// granule's leading bytes addressable, so the bytes just before an allowed
// range that starts inside a granule stay addressable ("blind" bytes: at
// most 3 pixels before each source row's readable start). Those are checked
// by content instead: a caller fills them with different values and checks
// that nothing the routine produces changes. Without AddressSanitizer every
// byte outside the allowed ranges is checked that way, and trailing guard
// bytes catch writes past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace tovrin::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

struct ByteRange {
    size_t begin, end;  // [begin, end) from the region's start
};

// One heap allocation of `bytes` bytes (16-byte aligned start), addressable
// only inside `allowed` (sorted, may touch or overlap). Without
// AddressSanitizer, `guard` further bytes follow and are checked by pattern.
class ExactRegion {
public:
    ExactRegion(size_t bytes, std::vector<ByteRange> allowed);
    ~ExactRegion();
    ExactRegion(const ExactRegion&) = delete;
    ExactRegion& operator=(const ExactRegion&) = delete;

    uint8_t* base() { return base_; }
    const uint8_t* base() const { return base_; }
    size_t size() const { return bytes_; }
    const std::vector<ByteRange>& allowed() const { return allowed_; }

    // Offsets outside every allowed range that are still addressable: the
    // sanitizer's blind bytes, or every such byte without the sanitizer.
    const std::vector<size_t>& Canaries() const { return canaries_; }
    // Writes values into every canary byte: random from `seed`, or when seed
    // is 0 a copy of the allowed byte pair that follows (so that equality
    // tests against neighbours come out differently).
    void FillCanaries(uint32_t seed);
    // True when no canary and no trailing guard byte differs from what the
    // last FillCanaries put there (a write outside the allowed ranges).
    bool CanariesIntact() const;
    // Copy of every addressable byte (allowed and canary), in offset order.
    std::vector<uint8_t> Snapshot() const;

private:
    size_t bytes_;
    std::vector<ByteRange> allowed_;
    std::vector<size_t> canaries_;
    std::vector<uint8_t> canaryValues_;
    void* allocation_ = nullptr;
    uint8_t* base_ = nullptr;
};

inline constexpr size_t kTrailingGuardBytes = kAddressSanitizer ? 0 : 64;

// A source picture readable exactly from one row above to two rows below and
// from one pixel before to two pixels after each row.
class ExactSource {
public:
    ExactSource(int width, int height, int rowBytes);
    int width() const { return width_; }
    int height() const { return height_; }
    int rowBytes() const { return rowBytes_; }
    const uint16_t* pixels() const { return origin_; }
    // x from -1 to width + 1, y from -1 to height + 1.
    uint16_t& at(int x, int y);
    ExactRegion& region() { return region_; }
    const ExactRegion& region() const { return region_; }
    // Every guaranteed-readable pixel gets a random 15-bit value.
    void FillReadable(std::mt19937& rng);

private:
    int width_, height_, rowBytes_;
    ExactRegion region_;
    uint16_t* origin_;
};

// A destination of exactly its rows; the stride's padding is unaddressable.
class ExactDest {
public:
    ExactDest(int width, int height, int rowBytes, uint16_t fill);
    int width() const { return width_; }
    int height() const { return height_; }
    int rowBytes() const { return rowBytes_; }
    uint16_t* pixels() { return origin_; }
    uint16_t at(int x, int y) const;
    ExactRegion& region() { return region_; }
    const ExactRegion& region() const { return region_; }
    // Every pixel, row by row.
    std::vector<uint16_t> Pixels() const;

private:
    int width_, height_, rowBytes_;
    ExactRegion region_;
    uint16_t* origin_;
};

// A change cache of exactly `extent` bytes, filled with 0xFF (invalidated).
// An extent of 0 still gives a valid, aligned pointer to nothing.
class ExactCache {
public:
    explicit ExactCache(size_t extent);
    void* data() { return region_.base(); }
    size_t extent() const { return region_.size(); }
    void Invalidate();
    ExactRegion& region() { return region_; }

private:
    ExactRegion region_;
};

}  // namespace tovrin::test
