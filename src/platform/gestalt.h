// The processor-feature query the module imports from libtovrin_platform.so.
// A host may interpose its own by exporting a function of this name.
#pragma once

#include <cstdint>

extern "C" int16_t Gestalt(uint32_t selector, int32_t* response);
