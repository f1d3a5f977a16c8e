// libFuzzer target: the tovrin command's PNG reader on arbitrary bytes.
#include <cstdio>
#include <cstdlib>

#include "fuzz/png_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = tovrin::test::CheckPngInput(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "png_fuzz: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
