// One input of the routines fuzz target: which routine, the picture's size
// and strides, its pixels, and the pixels the second frame changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovrin::test {

// Runs the input; returns an empty string when every check held, otherwise
// what went wrong. Out-of-bounds accesses are left to AddressSanitizer.
std::string CheckRoutinesInput(const uint8_t* data, size_t size);

}  // namespace tovrin::test
