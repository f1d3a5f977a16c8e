// The neighbourhood and mask routines read no further around the picture
// than every host keeps readable: one row above to two rows below, one pixel
// before to two after each of them. The source here is exactly that memory
// (rows tight, so the rows' margins run together); under AddressSanitizer a
// read past its end fails the test. Before it, the sanitizer can only mark
// whole 8-byte granules, and the first readable pixel sits at byte 14 of a
// 16-byte unit, so a read there is caught from 8 bytes before on.
#include <cstdlib>
#include <cstring>
#include <random>

#include "fixture.h"
#include "frame/routines.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define TOVRIN_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TOVRIN_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define TOVRIN_POISON(p, n) ((void)(p), (void)(n))
#define TOVRIN_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace tovrin::test {
namespace {

struct Routine {
    const char* name;
    int scale;
    BlitProc routine;
};

const Routine kRoutines[] = {
    {"Interpolated_1x", 1, Interpolated_1x},     {"Interpolated_2x", 2, Interpolated_2x},
    {"Interpolated_3x", 3, Interpolated_3x},     {"Interpolated_4x", 4, Interpolated_4x},
    {"Interpolated_5x", 5, Interpolated_5x},     {"Interpolated25_1x", 1, Interpolated25_1x},
    {"Interpolated50_3x", 3, Interpolated50_3x}, {"Interpolated75_5x", 5, Interpolated75_5x},
    {"Blur_1x", 1, Blur_1x},                     {"Blur_2x", 2, Blur_2x},
    {"Blur_3x", 3, Blur_3x},                     {"Blur_4x", 4, Blur_4x},
    {"RgbMode_2x", 2, RgbMode_2x},               {"RgbMode_3x", 3, RgbMode_3x},
    {"RgbMode_4x", 4, RgbMode_4x},               {"RgbMode_5x", 5, RgbMode_5x},
    {"Arcade_2x", 2, Arcade_2x},                 {"Arcade25_3x", 3, Arcade25_3x},
    {"Arcade50_4x", 4, Arcade50_4x},             {"Arcade75_5x", 5, Arcade75_5x},
    {"SimpleSmoothing_2x", 2, SimpleSmoothing_2x}, {"SimpleSmoothing_3x", 3, SimpleSmoothing_3x},
};

TEST(GuaranteedReads, NoReadBeyondTheReadableMargins) {
    for (const auto& [width, height] : {std::pair{8, 2}, {16, 4}}) {
        const size_t rowBytes = 2 * width;
        // From pixel -1 of row -1 to pixel width + 1 of row height + 1.
        const size_t front = rowBytes + 2;
        const size_t readable = front + rowBytes * (height + 1) + 2 * (width + 2);
        // The picture must start 16-byte aligned: the bytes before the
        // readable part are poisoned, the allocation ends where it does.
        const size_t slack = (16 - front % 16) % 16;
        auto* base = static_cast<uint8_t*>(std::aligned_alloc(16, (slack + readable + 15) / 16 * 16));
        ASSERT_NE(base, nullptr);
        uint8_t* start = base + slack;
        std::mt19937 rng(width);
        for (size_t i = 0; i < readable; i += 2) {
            const uint16_t p = static_cast<uint16_t>(rng() & 0x7FFF);
            std::memcpy(start + i, &p, 2);
        }
        TOVRIN_POISON(base, slack);
        const size_t allocated = (slack + readable + 15) / 16 * 16;
        TOVRIN_POISON(start + readable, allocated - slack - readable);
        const auto* src = reinterpret_cast<const uint16_t*>(start + front);
        for (const Routine& r : kRoutines) {
            Dest dst(width * r.scale, height * r.scale);
            Cache cache(HostCacheBytes(width, height, static_cast<int>(rowBytes)));
            r.routine(src, static_cast<int32_t>(rowBytes), cache.data(), dst.pixels(), dst.rowBytes(), width, height);
            EXPECT_TRUE(dst.GuardsIntact()) << r.name;
            EXPECT_TRUE(cache.GuardsIntact()) << r.name;
        }
        TOVRIN_UNPOISON(base, allocated);
        std::free(base);
    }
}

}  // namespace
}  // namespace tovrin::test
