#include "exact_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define TOVRIN_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOVRIN_TEST_ASAN 1
#endif
#endif

#ifdef TOVRIN_TEST_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace tovrin::test {
namespace {

void Poison(uint8_t* p, size_t n) {
#ifdef TOVRIN_TEST_ASAN
    __asan_poison_memory_region(p, n);
#else
    (void)p, (void)n;
#endif
}

void Unpoison(uint8_t* p, size_t n) {
#ifdef TOVRIN_TEST_ASAN
    __asan_unpoison_memory_region(p, n);
#else
    (void)p, (void)n;
#endif
}

bool Addressable(const uint8_t* p) {
#ifdef TOVRIN_TEST_ASAN
    return !__asan_address_is_poisoned(p);
#else
    (void)p;
    return true;
#endif
}

// Sorted, merged copy of the ranges.
std::vector<ByteRange> Merge(std::vector<ByteRange> ranges) {
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& a, const ByteRange& b) { return a.begin < b.begin; });
    std::vector<ByteRange> merged;
    for (const ByteRange& r : ranges) {
        if (r.begin >= r.end) continue;
        if (!merged.empty() && r.begin <= merged.back().end)
            merged.back().end = std::max(merged.back().end, r.end);
        else
            merged.push_back(r);
    }
    return merged;
}

}  // namespace

ExactRegion::ExactRegion(size_t bytes, std::vector<ByteRange> allowed)
    : bytes_(bytes), allowed_(Merge(std::move(allowed))) {
    // The allocation ends exactly at the region's end (plus the guard when
    // there is no sanitizer to watch it); a zero-sized region still gets
    // an aligned pointer, all of it unaddressable.
    const size_t total = bytes_ + kTrailingGuardBytes;
    if (posix_memalign(&allocation_, 16, std::max<size_t>(total, 16)) != 0) throw std::bad_alloc();
    base_ = static_cast<uint8_t*>(allocation_);
    std::memset(base_, 0, std::max<size_t>(total, 16));
    Poison(base_, std::max<size_t>(total, 16));
    for (const ByteRange& r : allowed_) Unpoison(base_ + r.begin, r.end - r.begin);

    size_t next = 0;
    auto gap = [&](size_t from, size_t to) {
        for (size_t o = from; o < to; ++o)
            if (Addressable(base_ + o)) canaries_.push_back(o);
    };
    for (const ByteRange& r : allowed_) {
        gap(next, r.begin);
        next = r.end;
    }
    gap(next, total);
    canaryValues_.assign(canaries_.size(), 0);
}

ExactRegion::~ExactRegion() {
    Unpoison(base_, std::max<size_t>(bytes_ + kTrailingGuardBytes, 16));
    std::free(allocation_);
}

void ExactRegion::FillCanaries(uint32_t seed) {
    std::mt19937 rng(seed);
    for (size_t i = 0; i < canaries_.size(); ++i) {
        const size_t o = canaries_[i];
        uint8_t v = static_cast<uint8_t>(rng());
        if (seed == 0) {
            // The allowed pixel that follows, byte for byte.
            auto it = std::upper_bound(allowed_.begin(), allowed_.end(), o,
                                       [](size_t off, const ByteRange& r) { return off < r.begin; });
            if (it != allowed_.end()) v = base_[it->begin + (o - it->begin) % 2];
        } else if ((o & 1) && seed) {
            v &= 0x7F;  // keep pixel bit 15 clear, like the picture's pixels
        }
        base_[o] = v;
        canaryValues_[i] = v;
    }
}

bool ExactRegion::CanariesIntact() const {
    for (size_t i = 0; i < canaries_.size(); ++i)
        if (base_[canaries_[i]] != canaryValues_[i]) return false;
    return true;
}

std::vector<uint8_t> ExactRegion::Snapshot() const {
    std::vector<uint8_t> out;
    for (const ByteRange& r : allowed_) out.insert(out.end(), base_ + r.begin, base_ + r.end);
    for (size_t o : canaries_) out.push_back(base_[o]);
    return out;
}

namespace {

// The first readable byte, pixel (-1, -1), sits 14 bytes into the
// allocation so that row 0 starts 16-byte aligned (strides are multiples
// of 16).
constexpr size_t kSourceLead = 14;

std::vector<ByteRange> SourceRanges(int width, int height, int rowBytes) {
    std::vector<ByteRange> ranges;
    for (int y = -1; y <= height + 1; ++y) {
        const size_t rowStart = kSourceLead + 2 + static_cast<size_t>(y + 1) * rowBytes;
        ranges.push_back({rowStart - 2, rowStart + 2 * static_cast<size_t>(width) + 4});
    }
    return ranges;
}

std::vector<ByteRange> DestRanges(int width, int height, int rowBytes) {
    std::vector<ByteRange> ranges;
    for (int y = 0; y < height; ++y)
        ranges.push_back({static_cast<size_t>(y) * rowBytes, static_cast<size_t>(y) * rowBytes + 2 * width});
    return ranges;
}

}  // namespace

ExactSource::ExactSource(int width, int height, int rowBytes)
    : width_(width),
      height_(height),
      rowBytes_(rowBytes),
      region_(kSourceLead + static_cast<size_t>(height + 2) * rowBytes + 2 * static_cast<size_t>(width) + 6,
              SourceRanges(width, height, rowBytes)),
      origin_(reinterpret_cast<uint16_t*>(region_.base() + kSourceLead + 2 + rowBytes)) {}

uint16_t& ExactSource::at(int x, int y) {
    return *reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(origin_) + static_cast<long>(y) * rowBytes_ +
                                        2L * x);
}

void ExactSource::FillReadable(std::mt19937& rng) {
    for (int y = -1; y <= height_ + 1; ++y)
        for (int x = -1; x <= width_ + 1; ++x) at(x, y) = static_cast<uint16_t>(rng() & 0x7FFF);
}

ExactDest::ExactDest(int width, int height, int rowBytes, uint16_t fill)
    : width_(width),
      height_(height),
      rowBytes_(rowBytes),
      region_(height > 0 ? static_cast<size_t>(height - 1) * rowBytes + 2 * static_cast<size_t>(width) : 0,
              DestRanges(width, height, rowBytes)),
      origin_(reinterpret_cast<uint16_t*>(region_.base())) {
    for (int y = 0; y < height_; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(region_.base() + static_cast<size_t>(y) * rowBytes_);
        std::fill(row, row + width_, fill);
    }
}

uint16_t ExactDest::at(int x, int y) const {
    uint16_t v;
    std::memcpy(&v, region_.base() + static_cast<size_t>(y) * rowBytes_ + 2 * x, 2);
    return v;
}

std::vector<uint16_t> ExactDest::Pixels() const {
    std::vector<uint16_t> out;
    out.reserve(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) out.push_back(at(x, y));
    return out;
}

ExactCache::ExactCache(size_t extent) : region_(extent, {{0, extent}}) { Invalidate(); }

void ExactCache::Invalidate() { std::memset(region_.base(), 0xFF, region_.size()); }

}  // namespace tovrin::test
