// Feature query of the platform layer. Only the processor-features selector
// is answered: bit 4 of the response tells whether the 128-bit vector
// instructions used by the vector routines are there (SSE2 is part of every
// x86-64 processor, Advanced SIMD of every AArch64 one).
#include "platform/gestalt.h"

namespace {
constexpr uint32_t kSelectorProcessorFeatures = 0x70706366;  // 'ppcf'
constexpr int16_t kUnknownSelector = -5551;
constexpr int32_t kVectorUnitBit = 0x10;

constexpr bool kHasVectorUnit =
#if defined(__SSE2__) || defined(__ARM_NEON) || defined(__aarch64__)
    true;
#else
    false;
#endif
}  // namespace

extern "C" __attribute__((visibility("default"))) int16_t Gestalt(uint32_t selector,
                                                                  int32_t* response) {
    if (selector != kSelectorProcessorFeatures) return kUnknownSelector;
    *response = kHasVectorUnit ? kVectorUnitBit : 0;
    return 0;
}
