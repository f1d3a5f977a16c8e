// Reference colour arithmetic written per channel, and one check that runs a
// routine through a full draw, a repeated call and one-pixel changes, for
// the families whose tests describe a routine as a table of rules.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "fixture.h"

namespace tovrin::test {

// Per-channel reference arithmetic, independent of the library's packed
// forms. Channel 0 is blue, 1 green, 2 red.
inline int Channel(uint16_t p, int c) { return (p >> (5 * c)) & 31; }
inline uint16_t FromChannels(int r, int g, int b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); }

template <typename F>
uint16_t PerChannel(F f) {
    return FromChannels(f(2), f(1), f(0));
}

// The mean of two pixels rounded down; equal pixels come back unchanged.
inline uint16_t RefAverage(uint16_t a, uint16_t b) {
    if (a == b) return a;
    return PerChannel([&](int c) { return (Channel(a, c) + Channel(b, c)) / 2; });
}

inline uint16_t RefAverage4(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    return PerChannel([&](int k) { return (Channel(a, k) + Channel(b, k) + Channel(c, k) + Channel(d, k)) / 4; });
}

// The dimmed forms: a quarter, a half, (k div 2) + (k div 4) per channel.
enum class Shade { None, Black, Quarter, Half, ThreeQuarters };

inline uint16_t RefShade(Shade s, uint16_t p) {
    return PerChannel([&](int c) {
        const int k = Channel(p, c);
        switch (s) {
            case Shade::Quarter: return k / 4;
            case Shade::Half: return k / 2;
            case Shade::ThreeQuarters: return k / 2 + k / 4;
            default: return 0;
        }
    });
}

// Where a pixel lies in memory, margins included, so that rules can say which
// memory a unit reads even where rows touch (the pixel after a row's end is
// the next row's first pixel when rows are tight).
inline const uint16_t* PixelAddress(const Source& s, int x, int y) {
    return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(s.pixels()) +
                                             static_cast<long>(y) * s.rowBytes() + 2L * x);
}

// A routine described by rules written from its output and redraw rules.
struct RoutineRules {
    const char* name;
    BlitProc routine;
    int scale;
    // Cache bytes the routine may use.
    std::function<size_t(const Source&)> cacheExtent;
    // The full picture: a value, or nullopt where the routine never writes.
    std::function<std::optional<uint16_t>(const Source&, int X, int Y)> picture;
    // Output pixels written on every call even when nothing changed.
    std::function<bool(const Source&, int X, int Y)> alwaysWritten;
    // Output pixels rewritten after the source pixel at `changed` changed.
    std::function<bool(const Source&, int X, int Y, const uint16_t* changed)> rewritten;
};

// A picture size, the padding added to the source and destination strides
// (0: tight rows) and the number of colours (0: any colour).
struct DrawSize {
    int width, height, srcPad, dstPad, colours;
};

// Full draw over an invalidated cache, a repeated call, then one changed
// pixel at a time at the start, middle and end of the first, a middle and
// the last row. Every call is checked pixel by pixel and against the guards.
// With everyColumn the changes go to every column of a middle and the last
// row instead, so that a change sits at every place of a run of unchanged
// units that a walk may skip as a whole.
inline void CheckRoutine(const RoutineRules& rules, const DrawSize& size, uint32_t seed, bool everyColumn = false) {
    const auto [width, height, srcPad, dstPad, colours] = size;
    const int n = rules.scale;
    SCOPED_TRACE(testing::Message() << rules.name << " " << width << "x" << height << " srcPad " << srcPad
                                    << " dstPad " << dstPad);
    Source src(width, height, srcPad ? 2 * width + srcPad : 0);
    src.FillRandom(seed, colours);
    Dest dst(width * n, height * n, dstPad ? 2 * width * n + dstPad : 0);
    Cache cache(rules.cacheExtent(src));
    auto picture = [&](int X, int Y) { return rules.picture(src, X, Y); };

    Draw(rules.routine, src, cache, dst);
    ASSERT_TRUE(MatchesPicture(dst, picture)) << "full draw";
    ASSERT_TRUE(cache.GuardsIntact());

    auto writtenPart = [&](const std::function<bool(int, int)>& written) {
        return [&, written](int X, int Y) -> std::optional<uint16_t> {
            if (!written(X, Y)) return std::nullopt;
            return picture(X, Y);
        };
    };
    dst.Reset();
    Draw(rules.routine, src, cache, dst);
    EXPECT_TRUE(MatchesPicture(dst, writtenPart([&](int X, int Y) { return rules.alwaysWritten(src, X, Y); })))
        << "repeated call";

    std::vector<std::pair<int, int>> changes;
    if (everyColumn) {
        for (int y : {height / 2, height - 1})
            for (int x = 0; x < width; ++x) changes.emplace_back(x, y);
    } else {
        for (int y : {0, height / 2, height - 1})
            for (int x : {0, width / 2, width / 2 + 1, width - 1}) changes.emplace_back(x, y);
    }
    for (const auto& [x, y] : changes) {
        src.at(x, y) ^= 0x2529;
        dst.Reset();
        Draw(rules.routine, src, cache, dst);
        const uint16_t* changed = &src.at(x, y);
        EXPECT_TRUE(MatchesPicture(dst, writtenPart([&](int X, int Y) {
            return rules.alwaysWritten(src, X, Y) || rules.rewritten(src, X, Y, changed);
        }))) << "after changing (" << x << ", " << y << ")";
    }
    EXPECT_TRUE(cache.GuardsIntact());
}

}  // namespace tovrin::test
