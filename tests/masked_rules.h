// Rules shared by the tests of the two masked replication families ("RGB
// Mode" and "Arcade"): their cache extents (the replicating layouts) and
// which output groups a changed source pixel rewrites.
#pragma once

#include "redraw_check.h"
#include "scanline_layout.h"

namespace tovrin::test {

inline size_t MaskedCacheExtent(int n, const Source& s) { return ScanlineCacheExtent(n, s.width(), s.height()); }

// A group of four output columns is rewritten, in all output rows of its
// source row, when it shows the changed pixel.
inline bool GroupShows(int n, const Source& s, int X, int Y, const uint16_t* changed) {
    const int first = X / 4 * 4;
    for (int C = first; C < first + 4; ++C)
        if (PixelAddress(s, C / n, Y / n) == changed) return true;
    return false;
}

// Fills in the rules every masked routine shares; `picture` is the family's.
inline RoutineRules MaskedRules(const char* name, BlitProc routine, int n,
                                std::function<std::optional<uint16_t>(const Source&, int, int)> picture) {
    RoutineRules r;
    r.name = name;
    r.routine = routine;
    r.scale = n;
    r.cacheExtent = [n](const Source& s) { return MaskedCacheExtent(n, s); };
    r.picture = std::move(picture);
    r.alwaysWritten = [](const Source&, int, int) { return false; };
    r.rewritten = [n](const Source& s, int X, int Y, const uint16_t* changed) {
        return GroupShows(n, s, X, Y, changed);
    };
    return r;
}

}  // namespace tovrin::test
