// The routines fuzz target's seed inputs, and every input that once made it
// fail, run as ordinary tests in every build.
#include <gtest/gtest.h>

#include "fuzz/inputs.h"
#include "fuzz/routines_case.h"

namespace tovrin::test {
namespace {

TEST(FuzzInputs, Routines) {
    const auto files = KeptFuzzInputs("routines");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        const std::vector<uint8_t> bytes = ReadFuzzInput(file);
        EXPECT_EQ(CheckRoutinesInput(bytes.data(), bytes.size()), "") << file.filename();
    }
}

}  // namespace
}  // namespace tovrin::test
