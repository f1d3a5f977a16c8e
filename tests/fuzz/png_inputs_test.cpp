// The PNG fuzz target's seed inputs (valid pictures of every kind and
// hostile files), and every input that once made it fail, as ordinary tests.
#include <gtest/gtest.h>

#include "fuzz/inputs.h"
#include "fuzz/png_case.h"

namespace tovrin::test {
namespace {

TEST(FuzzInputs, Png) {
    const auto files = KeptFuzzInputs("png");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        const std::vector<uint8_t> bytes = ReadFuzzInput(file);
        EXPECT_EQ(CheckPngInput(bytes.data(), bytes.size()), "") << file.filename();
    }
}

}  // namespace
}  // namespace tovrin::test
