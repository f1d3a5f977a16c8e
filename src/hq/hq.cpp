// The colour table of the HQ filters.
#include "hq/hq.h"

namespace tovrin {

uint32_t YuvTable[65536];

void BuildYuvTable() {
    for (uint32_t p = 0; p < 65536; ++p) {
        // Channels widened to eight bits; every division below is exact.
        const int r = static_cast<int>((p >> 10) & 31) * 8;
        const int g = static_cast<int>((p >> 5) & 31) * 8;
        const int b = static_cast<int>(p & 31) * 8;
        const int y = (r + g + b) / 4;
        const int u = 128 + (r - b) / 4;
        const int v = 128 + (2 * g - r - b) / 8;
        YuvTable[p] = static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(u) << 8 | static_cast<uint32_t>(v);
    }
}

}  // namespace tovrin
