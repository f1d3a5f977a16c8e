// libFuzzer target: the table's routines over exactly-sized buffers, two
// frames through one cache (see routines_case.cpp for the input layout).
#include <cstdio>
#include <cstdlib>

#include "fuzz/routines_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = tovrin::test::CheckRoutinesInput(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "routines_fuzz: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
