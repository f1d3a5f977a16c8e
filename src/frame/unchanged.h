// Skipping unchanged stretches in the change walks of the scalar routines.
// A walk tests its compare units one by one; only once a unit was found
// unchanged are the following units tested a run at a time, with a few word
// compares, and skipped while equal. An unchanged frame then costs little
// per pixel, and a full redraw, where no unit is unchanged, never pays for
// the run test.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/memory.h"

namespace tovrin {

// Whether the Bytes bytes at a equal those at b; Bytes is even. The
// differences are folded into one word and tested once.
template <size_t Bytes>
inline bool SameBytes(const void* a, const void* b) {
    static_assert(Bytes % 2 == 0 && Bytes > 0);
    const auto* x = static_cast<const uint8_t*>(a);
    const auto* y = static_cast<const uint8_t*>(b);
    constexpr size_t kWhole = Bytes / 8 * 8;
    uint64_t difference = 0;
    for (size_t i = 0; i < kWhole; i += 8) difference |= LoadAt<uint64_t>(x + i) ^ LoadAt<uint64_t>(y + i);
    if constexpr (Bytes % 8 >= 4) difference |= LoadAt<uint32_t>(x + kWhole) ^ LoadAt<uint32_t>(y + kWhole);
    if constexpr (Bytes % 4 == 2) {
        constexpr size_t kLast = Bytes - 2;
        difference |= LoadAt<uint16_t>(x + kLast) ^ LoadAt<uint16_t>(y + kLast);
    }
    return difference == 0;
}

// Called with the unit after one found unchanged: skips whole runs of Run
// units from `next` while a run fits before `count` and runUnchanged(first)
// says every unit of the run from `first` is unchanged, i.e. everything the
// per-unit test of those units compares is equal. Returns the unit the walk
// resumes at. Kept out of line, and the test taken by value (it captures
// pointers by value), so the caller's loop, the one a full redraw runs,
// grows by no more than a call.
template <int32_t Run, typename RunUnchanged>
[[gnu::noinline]] int32_t SkipUnchangedRuns(int32_t next, int32_t count, RunUnchanged runUnchanged) {
    while (next + Run <= count && runUnchanged(next)) next += Run;
    return next;
}

// Walks units 0 to count - 1 in runs of Run: step(k) compares unit k with
// the cache, draws it when it changed and returns whether it was unchanged.
// A whole run is first tested with runUnchanged(first), which must say
// whether everything the per-unit test of those Run units compares is equal,
// but only when the unit before it was unchanged; a full redraw, where no
// unit is unchanged, never pays for the run test, and the per-unit loop
// stays a plain counted loop.
template <intptr_t Run, typename Step, typename RunUnchanged>
[[gnu::always_inline]] inline void WalkUnits(intptr_t count, Step&& step, RunUnchanged&& runUnchanged) {
    bool lastUnchanged = false;
    for (intptr_t first = 0; first < count; first += Run) {
        const intptr_t end = first + Run < count ? first + Run : count;
        if (lastUnchanged && end - first == Run && runUnchanged(first)) continue;
        // Not unrolled: copies of a large drawing step would crowd out its inlining.
#pragma GCC unroll 1
        for (intptr_t k = first; k < end; ++k) lastUnchanged = step(k);
    }
}

}  // namespace tovrin
