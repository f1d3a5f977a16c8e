// How many bytes of the change cache, from `cache` on, every routine of the
// table may use: the extent each family documents for its layout (0 for
// routines that ignore the cache). A host may hand exactly this much, so
// the bounds test and the fuzz targets allocate exactly this much.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tovrin::test {

struct CacheGeometry {
    size_t width, height, srcRowBytes;
};

using ExtentRule = size_t (*)(const CacheGeometry&);

struct RoutineExtent {
    std::string_view name;
    int scale;
    ExtentRule scalar;
    ExtentRule vector;  // of the vector twin; nullptr when the row has none
};

// Every row of the table, (name, scale) as the table lists them.
extern const RoutineExtent kRoutineExtents[105];

// The extent of the routine in row (name, scale): of its vector twin when
// `vectorTwin` is set. Nothing when the row or the twin is unknown.
std::optional<size_t> CacheExtentOf(std::string_view name, int scale, bool vectorTwin, const CacheGeometry& g);

}  // namespace tovrin::test

#include <string>
#include <vector>

#include "tovrin.h"

namespace tovrin::test {

// A routine the table can hand a host, with the cache extent it may use.
struct TableRoutine {
    std::string name;
    int scale;
    BlitProc routine;
    bool vectorTwin;   // a vector routine standing in for its scalar twin
    ExtentRule extent;  // nullptr when the row is missing from kRoutineExtents
};

// Every routine of the loaded table (which loads it), and the scalar routine
// of every row that took a vector twin at load, so that both are covered on
// any processor.
const std::vector<TableRoutine>& TableRoutines();

// Whether the routine is one of the "Interleaved" ones, which draw one field
// per call and keep a parity bit between calls.
bool DrawsFields(const TableRoutine& r);

}  // namespace tovrin::test
