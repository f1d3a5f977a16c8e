// The fuzz targets' seed inputs, and every input that once made a target
// fail, run as ordinary tests in every build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/routines_case.h"

namespace tovrin::test {
namespace {

std::vector<std::filesystem::path> InputsOf(const std::string& target) {
    std::vector<std::filesystem::path> files;
    for (const char* kind : {"corpus", "regressions"}) {
        const std::filesystem::path dir = std::filesystem::path(TOVRIN_FUZZ_INPUTS) / kind / target;
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzInputs, Routines) {
    const auto files = InputsOf("routines");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        const std::vector<uint8_t> bytes = ReadAll(file);
        EXPECT_EQ(CheckRoutinesInput(bytes.data(), bytes.size()), "") << file.filename();
    }
}

}  // namespace
}  // namespace tovrin::test
