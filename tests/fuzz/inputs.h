// The kept inputs of a fuzz target: its seed corpus and every input that
// once made it fail, for the ordinary tests that run them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tovrin::test {

inline std::vector<std::filesystem::path> KeptFuzzInputs(const std::string& target) {
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

inline std::vector<uint8_t> ReadFuzzInput(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tovrin::test
