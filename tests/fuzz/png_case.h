// One input of the PNG fuzz target: arbitrary bytes given to the tovrin
// command's PNG reader as a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovrin::test {

// Reads the bytes as a PNG file; returns an empty string when they gave a
// sound picture or a clean error, otherwise what went wrong. Crashes, leaks
// and hangs are left to the sanitizers and the fuzzer.
std::string CheckPngInput(const uint8_t* data, size_t size);

}  // namespace tovrin::test
