// Every routine of the scaler table, one signature for all (see BlitProc).
#pragma once

#include <cstdint>

namespace tovrin {

#define TOVRIN_ROUTINE(name)                                                                  \
    void name(const uint16_t* src, int32_t srcRowBytes, void* cache, uint16_t* dst,           \
              int32_t dstRowBytes, int32_t width, int32_t height)

TOVRIN_ROUTINE(Plain_1x);
TOVRIN_ROUTINE(Plain_2x);
TOVRIN_ROUTINE(Plain_3x);
TOVRIN_ROUTINE(Plain_4x);
TOVRIN_ROUTINE(Plain_5x);

TOVRIN_ROUTINE(Horizontal_1x);
TOVRIN_ROUTINE(Horizontal_2x);
TOVRIN_ROUTINE(Horizontal_3x);
TOVRIN_ROUTINE(Horizontal_4x);
TOVRIN_ROUTINE(Horizontal_5x);
TOVRIN_ROUTINE(Horizontal25_1x);
TOVRIN_ROUTINE(Horizontal25_2x);
TOVRIN_ROUTINE(Horizontal25_3x);
TOVRIN_ROUTINE(Horizontal25_4x);
TOVRIN_ROUTINE(Horizontal25_5x);
TOVRIN_ROUTINE(Horizontal50_1x);
TOVRIN_ROUTINE(Horizontal50_2x);
TOVRIN_ROUTINE(Horizontal50_3x);
TOVRIN_ROUTINE(Horizontal50_4x);
TOVRIN_ROUTINE(Horizontal50_5x);
TOVRIN_ROUTINE(Horizontal75_1x);
TOVRIN_ROUTINE(Horizontal75_2x);
TOVRIN_ROUTINE(Horizontal75_3x);
TOVRIN_ROUTINE(Horizontal75_4x);
TOVRIN_ROUTINE(Horizontal75_5x);

TOVRIN_ROUTINE(Vertical_1x);
TOVRIN_ROUTINE(Vertical_2x);
TOVRIN_ROUTINE(Vertical_3x);
TOVRIN_ROUTINE(Vertical_4x);
TOVRIN_ROUTINE(Vertical_5x);
TOVRIN_ROUTINE(Vertical25_1x);
TOVRIN_ROUTINE(Vertical25_2x);
TOVRIN_ROUTINE(Vertical25_3x);
TOVRIN_ROUTINE(Vertical25_4x);
TOVRIN_ROUTINE(Vertical25_5x);
TOVRIN_ROUTINE(Vertical50_1x);
TOVRIN_ROUTINE(Vertical50_2x);
TOVRIN_ROUTINE(Vertical50_3x);
TOVRIN_ROUTINE(Vertical50_4x);
TOVRIN_ROUTINE(Vertical50_5x);
TOVRIN_ROUTINE(Vertical75_1x);
TOVRIN_ROUTINE(Vertical75_2x);
TOVRIN_ROUTINE(Vertical75_3x);
TOVRIN_ROUTINE(Vertical75_4x);
TOVRIN_ROUTINE(Vertical75_5x);

TOVRIN_ROUTINE(Interleaved_1x);
TOVRIN_ROUTINE(Interleaved_2x);
TOVRIN_ROUTINE(Interleaved_3x);
TOVRIN_ROUTINE(Interleaved_4x);
TOVRIN_ROUTINE(Interleaved_5x);

TOVRIN_ROUTINE(Interpolated_1x);
TOVRIN_ROUTINE(Interpolated_2x);
TOVRIN_ROUTINE(Interpolated_3x);
TOVRIN_ROUTINE(Interpolated_4x);
TOVRIN_ROUTINE(Interpolated_5x);
TOVRIN_ROUTINE(Interpolated25_1x);
TOVRIN_ROUTINE(Interpolated25_2x);
TOVRIN_ROUTINE(Interpolated25_3x);
TOVRIN_ROUTINE(Interpolated25_4x);
TOVRIN_ROUTINE(Interpolated25_5x);
TOVRIN_ROUTINE(Interpolated50_1x);
TOVRIN_ROUTINE(Interpolated50_2x);
TOVRIN_ROUTINE(Interpolated50_3x);
TOVRIN_ROUTINE(Interpolated50_4x);
TOVRIN_ROUTINE(Interpolated50_5x);
TOVRIN_ROUTINE(Interpolated75_1x);
TOVRIN_ROUTINE(Interpolated75_2x);
TOVRIN_ROUTINE(Interpolated75_3x);
TOVRIN_ROUTINE(Interpolated75_4x);
TOVRIN_ROUTINE(Interpolated75_5x);

TOVRIN_ROUTINE(Blur_1x);
TOVRIN_ROUTINE(Blur_2x);
TOVRIN_ROUTINE(Blur_3x);
TOVRIN_ROUTINE(Blur_4x);

TOVRIN_ROUTINE(RgbMode_2x);
TOVRIN_ROUTINE(RgbMode_3x);
TOVRIN_ROUTINE(RgbMode_4x);
TOVRIN_ROUTINE(RgbMode_5x);

TOVRIN_ROUTINE(Arcade_2x);
TOVRIN_ROUTINE(Arcade_3x);
TOVRIN_ROUTINE(Arcade_4x);
TOVRIN_ROUTINE(Arcade_5x);
TOVRIN_ROUTINE(Arcade25_2x);
TOVRIN_ROUTINE(Arcade25_3x);
TOVRIN_ROUTINE(Arcade25_4x);
TOVRIN_ROUTINE(Arcade25_5x);
TOVRIN_ROUTINE(Arcade50_2x);
TOVRIN_ROUTINE(Arcade50_3x);
TOVRIN_ROUTINE(Arcade50_4x);
TOVRIN_ROUTINE(Arcade50_5x);
TOVRIN_ROUTINE(Arcade75_2x);
TOVRIN_ROUTINE(Arcade75_3x);
TOVRIN_ROUTINE(Arcade75_4x);
TOVRIN_ROUTINE(Arcade75_5x);

TOVRIN_ROUTINE(Hq2x);
TOVRIN_ROUTINE(Hq3x);
TOVRIN_ROUTINE(Hq4x);

TOVRIN_ROUTINE(TwoXSaI_2x);
TOVRIN_ROUTINE(TwoXSaI_4x);

TOVRIN_ROUTINE(SuperTwoXSaI_2x);
TOVRIN_ROUTINE(SuperTwoXSaI_4x);

TOVRIN_ROUTINE(SuperEagle_2x);
TOVRIN_ROUTINE(SuperEagle_4x);

TOVRIN_ROUTINE(SimpleSmoothing_2x);
TOVRIN_ROUTINE(SimpleSmoothing_3x);

// Vector twins: each draws exactly what its scalar routine draws.
TOVRIN_ROUTINE(Plain_1x_Vector);
TOVRIN_ROUTINE(Horizontal_1x_Vector);
TOVRIN_ROUTINE(Horizontal25_1x_Vector);
TOVRIN_ROUTINE(Horizontal50_1x_Vector);
TOVRIN_ROUTINE(Horizontal75_1x_Vector);
TOVRIN_ROUTINE(Horizontal_2x_Vector);
TOVRIN_ROUTINE(Horizontal25_2x_Vector);
TOVRIN_ROUTINE(Horizontal50_2x_Vector);
TOVRIN_ROUTINE(Horizontal75_2x_Vector);
TOVRIN_ROUTINE(Vertical_2x_Vector);
TOVRIN_ROUTINE(Vertical25_2x_Vector);
TOVRIN_ROUTINE(Vertical50_2x_Vector);
TOVRIN_ROUTINE(Vertical75_2x_Vector);
TOVRIN_ROUTINE(Interleaved_2x_Vector);
TOVRIN_ROUTINE(Plain_3x_Vector);
TOVRIN_ROUTINE(Horizontal_3x_Vector);
TOVRIN_ROUTINE(Horizontal25_3x_Vector);
TOVRIN_ROUTINE(Horizontal50_3x_Vector);
TOVRIN_ROUTINE(Horizontal75_3x_Vector);
TOVRIN_ROUTINE(Interleaved_3x_Vector);
TOVRIN_ROUTINE(Vertical_3x_Vector);
TOVRIN_ROUTINE(Vertical25_3x_Vector);
TOVRIN_ROUTINE(Vertical50_3x_Vector);
TOVRIN_ROUTINE(Vertical75_3x_Vector);
TOVRIN_ROUTINE(Plain_4x_Vector);
TOVRIN_ROUTINE(Horizontal_4x_Vector);
TOVRIN_ROUTINE(Horizontal25_4x_Vector);
TOVRIN_ROUTINE(Horizontal50_4x_Vector);
TOVRIN_ROUTINE(Horizontal75_4x_Vector);
TOVRIN_ROUTINE(Interleaved_4x_Vector);
TOVRIN_ROUTINE(Plain_5x_Vector);
TOVRIN_ROUTINE(Horizontal_5x_Vector);
TOVRIN_ROUTINE(Horizontal25_5x_Vector);
TOVRIN_ROUTINE(Horizontal50_5x_Vector);
TOVRIN_ROUTINE(Horizontal75_5x_Vector);
TOVRIN_ROUTINE(Interleaved_5x_Vector);

}  // namespace tovrin
