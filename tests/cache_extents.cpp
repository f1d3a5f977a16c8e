#include "cache_extents.h"

namespace tovrin::test {
namespace {

using G = CacheGeometry;

// Q whole quads per row, G whole 8-pixel groups per row.
size_t Quads(const G& g) { return g.width / 4; }
size_t Groups(const G& g) { return g.width / 8; }

size_t None(const G&) { return 0; }
// Plain 2x and the HQ filters: the source's own shape.
size_t SourceShaped(const G& g) { return g.srcRowBytes * g.height; }
// Packed quads, rows back to back (3x, 5x of the replicating families).
size_t Quads0(const G& g) { return 8 * Quads(g) * g.height; }
// The same starting 4 bytes in (2x scanline and column routines).
size_t Quads4(const G& g) { return 4 + 8 * Quads(g) * g.height; }
// One entry per pixel, rows back to back, starting 2 bytes in (4x).
size_t Pixels2(const G& g) { return 2 + 2 * g.width * g.height; }
// One entry per pixel, rows back to back, starting at the cache / 4 bytes in.
size_t Pixels0(const G& g) { return 2 * g.width * g.height; }
size_t Pixels4(const G& g) { return 4 + 2 * g.width * g.height; }
// 16 bytes per 8-pixel group: the vector routines' layout.
size_t VectorGroups(const G& g) { return 16 * Groups(g) * g.height; }

// "Interleaved": a second field's cache 2 * width * height bytes in, laid
// out like the called scanline routine's.
size_t Field(const G& g) { return 2 * g.width * g.height; }
size_t Interleaved2(const G& g) { return Field(g) + Quads4(g); }
size_t Interleaved35(const G& g) { return Field(g) + Quads0(g); }
size_t Interleaved4(const G& g) { return Field(g) + Pixels2(g); }
size_t InterleavedVector(const G& g) { return Field(g) + VectorGroups(g); }

// "Interpolated": pairs plus a spare word per row (2x), pixels plus a spare
// per row (4x), pixels plus two bytes after the picture (3x, 5x).
size_t Interpolated2(const G& g) { return 4 * (g.width / 2 + 1) * g.height; }
size_t Interpolated35(const G& g) { return 2 * g.width * g.height + 2; }
size_t Interpolated4(const G& g) { return 2 * (g.width + 1) * g.height; }

// "Blur": one entry per pixel and one more row, plus one pixel.
size_t Blur(const G& g) { return 2 * g.width * (g.height + 1) + 2; }

// The 4x edge-directed filters: the intermediate picture, 2 * height rows
// of 4 * width + 8 bytes.
size_t EdgeIntermediate(const G& g) { return (4 * g.width + 8) * 2 * g.height; }

// "Simple Smoothing": its exact change tracking keeps four planes of one
// entry per pixel (the documented three plus the left neighbour), and at 3x
// four entries for the corners of the ring around the picture. That is more
// than the three planes first documented, and within what every host gives.
size_t SmoothingPlanes2(const G& g) { return 8 * g.width * g.height; }
size_t SmoothingPlanes3(const G& g) { return 8 * g.width * g.height + 8; }

}  // namespace

#define TOVRIN_SCANLINE_ROWS(name)                                                       \
    {name, 1, None, None}, {name, 2, Quads4, VectorGroups}, {name, 3, Quads0, VectorGroups}, \
        {name, 4, Pixels2, VectorGroups}, {name, 5, Quads0, VectorGroups}
#define TOVRIN_COLUMN_ROWS(name)                                                          \
    {name, 1, None, nullptr}, {name, 2, Quads4, VectorGroups}, {name, 3, Quads0, VectorGroups}, \
        {name, 4, Pixels2, nullptr}, {name, 5, Quads0, nullptr}
#define TOVRIN_INTERPOLATED_ROWS(name)                                                             \
    {name, 1, None, nullptr}, {name, 2, Interpolated2, nullptr}, {name, 3, Interpolated35, nullptr}, \
        {name, 4, Interpolated4, nullptr}, {name, 5, Interpolated35, nullptr}
#define TOVRIN_MASK_ROWS(name)                                                                          \
    {name, 2, Pixels4, nullptr}, {name, 3, Pixels0, nullptr}, {name, 4, Pixels2, nullptr}, \
        {name, 5, Pixels0, nullptr}

const RoutineExtent kRoutineExtents[105] = {
    {"Plain", 1, None, None},
    {"Plain", 2, SourceShaped, nullptr},
    {"Plain", 3, Quads0, VectorGroups},
    {"Plain", 4, Pixels2, VectorGroups},
    {"Plain", 5, Quads0, VectorGroups},
    TOVRIN_SCANLINE_ROWS("Horizontal"),
    TOVRIN_SCANLINE_ROWS("Horizontal 25%"),
    TOVRIN_SCANLINE_ROWS("Horizontal 50%"),
    TOVRIN_SCANLINE_ROWS("Horizontal 75%"),
    TOVRIN_COLUMN_ROWS("Vertical"),
    TOVRIN_COLUMN_ROWS("Vertical 25%"),
    TOVRIN_COLUMN_ROWS("Vertical 50%"),
    TOVRIN_COLUMN_ROWS("Vertical 75%"),
    {"Interleaved", 1, None, nullptr},
    {"Interleaved", 2, Interleaved2, InterleavedVector},
    {"Interleaved", 3, Interleaved35, InterleavedVector},
    {"Interleaved", 4, Interleaved4, InterleavedVector},
    {"Interleaved", 5, Interleaved35, InterleavedVector},
    TOVRIN_INTERPOLATED_ROWS("Interpolated"),
    TOVRIN_INTERPOLATED_ROWS("Interpolated 25%"),
    TOVRIN_INTERPOLATED_ROWS("Interpolated 50%"),
    TOVRIN_INTERPOLATED_ROWS("Interpolated 75%"),
    {"Blur", 1, None, nullptr},
    {"Blur", 2, Blur, nullptr},
    {"Blur", 3, Blur, nullptr},
    {"Blur", 4, Blur, nullptr},
    TOVRIN_MASK_ROWS("RGB Mode"),
    TOVRIN_MASK_ROWS("Arcade"),
    TOVRIN_MASK_ROWS("Arcade 25%"),
    TOVRIN_MASK_ROWS("Arcade 50%"),
    TOVRIN_MASK_ROWS("Arcade 75%"),
    {"HQ2X", 2, SourceShaped, nullptr},
    {"HQ3X", 3, SourceShaped, nullptr},
    {"HQ4X", 4, SourceShaped, nullptr},
    {"2xSaI", 2, None, nullptr},
    {"2xSaI", 4, EdgeIntermediate, nullptr},
    {"Super 2xSaI", 2, None, nullptr},
    {"Super 2xSaI", 4, EdgeIntermediate, nullptr},
    {"Super Eagle", 2, None, nullptr},
    {"Super Eagle", 4, EdgeIntermediate, nullptr},
    {"Simple Smoothing", 2, SmoothingPlanes2, nullptr},
    {"Simple Smoothing", 3, SmoothingPlanes3, nullptr},
};

#undef TOVRIN_SCANLINE_ROWS
#undef TOVRIN_COLUMN_ROWS
#undef TOVRIN_INTERPOLATED_ROWS
#undef TOVRIN_MASK_ROWS

std::optional<size_t> CacheExtentOf(std::string_view name, int scale, bool vectorTwin, const CacheGeometry& g) {
    for (const RoutineExtent& e : kRoutineExtents) {
        if (e.name != name || e.scale != scale) continue;
        const ExtentRule rule = vectorTwin ? e.vector : e.scalar;
        if (!rule) return std::nullopt;
        return rule(g);
    }
    return std::nullopt;
}

}  // namespace tovrin::test

#include "frame/table.h"

namespace tovrin::test {

namespace {
const RoutineExtent* FindRow(std::string_view name, int scale) {
    for (const RoutineExtent& e : kRoutineExtents)
        if (e.name == name && e.scale == scale) return &e;
    return nullptr;
}
}  // namespace

const std::vector<TableRoutine>& TableRoutines() {
    static const std::vector<TableRoutine> routines = [] {
        std::vector<TableRoutine> out;
        for (const ScalerEntry* e = LoadScalerTable(); e->scale != 0; ++e) {
            const std::string name(e->name);
            const RoutineExtent* row = FindRow(name, e->scale);
            BlitProc scalar = nullptr;
            for (const VectorPair* p = VectorSubstitutionList(); p->scalar; ++p)
                if (p->vector == e->routine) scalar = p->scalar;
            if (scalar) {
                out.push_back({name, e->scale, e->routine, true, row ? row->vector : nullptr});
                out.push_back({name, e->scale, scalar, false, row ? row->scalar : nullptr});
            } else {
                out.push_back({name, e->scale, e->routine, false, row ? row->scalar : nullptr});
            }
        }
        return out;
    }();
    return routines;
}

bool DrawsFields(const TableRoutine& r) { return r.name == "Interleaved"; }

}  // namespace tovrin::test
