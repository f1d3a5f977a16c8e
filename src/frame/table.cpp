// The scaler table, the vector substitution and the two exported entries.
#include "frame/table.h"

#include <cstdio>

#include "frame/routines.h"
#include "hq/hq.h"
#include "platform/gestalt.h"

namespace tovrin {
namespace {

// Rows keep their fixed order: hosts may remember an entry by its index.
ScalerEntry scalerTable[] = {
    {1, "Plain", Plain_1x},
    {2, "Plain", Plain_2x},
    {3, "Plain", Plain_3x},
    {4, "Plain", Plain_4x},
    {5, "Plain", Plain_5x},

    {1, "Horizontal", Horizontal_1x},
    {2, "Horizontal", Horizontal_2x},
    {3, "Horizontal", Horizontal_3x},
    {4, "Horizontal", Horizontal_4x},
    {5, "Horizontal", Horizontal_5x},

    {1, "Horizontal 25%", Horizontal25_1x},
    {2, "Horizontal 25%", Horizontal25_2x},
    {3, "Horizontal 25%", Horizontal25_3x},
    {4, "Horizontal 25%", Horizontal25_4x},
    {5, "Horizontal 25%", Horizontal25_5x},

    {1, "Horizontal 50%", Horizontal50_1x},
    {2, "Horizontal 50%", Horizontal50_2x},
    {3, "Horizontal 50%", Horizontal50_3x},
    {4, "Horizontal 50%", Horizontal50_4x},
    {5, "Horizontal 50%", Horizontal50_5x},

    {1, "Horizontal 75%", Horizontal75_1x},
    {2, "Horizontal 75%", Horizontal75_2x},
    {3, "Horizontal 75%", Horizontal75_3x},
    {4, "Horizontal 75%", Horizontal75_4x},
    {5, "Horizontal 75%", Horizontal75_5x},

    {1, "Vertical", Vertical_1x},
    {2, "Vertical", Vertical_2x},
    {3, "Vertical", Vertical_3x},
    {4, "Vertical", Vertical_4x},
    {5, "Vertical", Vertical_5x},

    {1, "Vertical 25%", Vertical25_1x},
    {2, "Vertical 25%", Vertical25_2x},
    {3, "Vertical 25%", Vertical25_3x},
    {4, "Vertical 25%", Vertical25_4x},
    {5, "Vertical 25%", Vertical25_5x},

    {1, "Vertical 50%", Vertical50_1x},
    {2, "Vertical 50%", Vertical50_2x},
    {3, "Vertical 50%", Vertical50_3x},
    {4, "Vertical 50%", Vertical50_4x},
    {5, "Vertical 50%", Vertical50_5x},

    {1, "Vertical 75%", Vertical75_1x},
    {2, "Vertical 75%", Vertical75_2x},
    {3, "Vertical 75%", Vertical75_3x},
    {4, "Vertical 75%", Vertical75_4x},
    {5, "Vertical 75%", Vertical75_5x},

    {1, "Interleaved", Interleaved_1x},
    {2, "Interleaved", Interleaved_2x},
    {3, "Interleaved", Interleaved_3x},
    {4, "Interleaved", Interleaved_4x},
    {5, "Interleaved", Interleaved_5x},

    {1, "Interpolated", Interpolated_1x},
    {2, "Interpolated", Interpolated_2x},
    {3, "Interpolated", Interpolated_3x},
    {4, "Interpolated", Interpolated_4x},
    {5, "Interpolated", Interpolated_5x},

    {1, "Interpolated 25%", Interpolated25_1x},
    {2, "Interpolated 25%", Interpolated25_2x},
    {3, "Interpolated 25%", Interpolated25_3x},
    {4, "Interpolated 25%", Interpolated25_4x},
    {5, "Interpolated 25%", Interpolated25_5x},

    {1, "Interpolated 50%", Interpolated50_1x},
    {2, "Interpolated 50%", Interpolated50_2x},
    {3, "Interpolated 50%", Interpolated50_3x},
    {4, "Interpolated 50%", Interpolated50_4x},
    {5, "Interpolated 50%", Interpolated50_5x},

    {1, "Interpolated 75%", Interpolated75_1x},
    {2, "Interpolated 75%", Interpolated75_2x},
    {3, "Interpolated 75%", Interpolated75_3x},
    {4, "Interpolated 75%", Interpolated75_4x},
    {5, "Interpolated 75%", Interpolated75_5x},

    {1, "Blur", Blur_1x},
    {2, "Blur", Blur_2x},
    {3, "Blur", Blur_3x},
    {4, "Blur", Blur_4x},

    {2, "RGB Mode", RgbMode_2x},
    {3, "RGB Mode", RgbMode_3x},
    {4, "RGB Mode", RgbMode_4x},
    {5, "RGB Mode", RgbMode_5x},

    {2, "Arcade", Arcade_2x},
    {3, "Arcade", Arcade_3x},
    {4, "Arcade", Arcade_4x},
    {5, "Arcade", Arcade_5x},

    {2, "Arcade 25%", Arcade25_2x},
    {3, "Arcade 25%", Arcade25_3x},
    {4, "Arcade 25%", Arcade25_4x},
    {5, "Arcade 25%", Arcade25_5x},

    {2, "Arcade 50%", Arcade50_2x},
    {3, "Arcade 50%", Arcade50_3x},
    {4, "Arcade 50%", Arcade50_4x},
    {5, "Arcade 50%", Arcade50_5x},

    {2, "Arcade 75%", Arcade75_2x},
    {3, "Arcade 75%", Arcade75_3x},
    {4, "Arcade 75%", Arcade75_4x},
    {5, "Arcade 75%", Arcade75_5x},

    {2, "HQ2X", Hq2x},

    {3, "HQ3X", Hq3x},

    {4, "HQ4X", Hq4x},

    {2, "2xSaI", TwoXSaI_2x},
    {4, "2xSaI", TwoXSaI_4x},

    {2, "Super 2xSaI", SuperTwoXSaI_2x},
    {4, "Super 2xSaI", SuperTwoXSaI_4x},

    {2, "Super Eagle", SuperEagle_2x},
    {4, "Super Eagle", SuperEagle_4x},

    {2, "Simple Smoothing", SimpleSmoothing_2x},
    {3, "Simple Smoothing", SimpleSmoothing_3x},

    {0, {}, nullptr},  // terminator: all zero
};

// (scalar routine, vector twin) in the order they are applied; ends with a
// pair of null pointers.
const VectorPair vectorSubstitution[] = {
    {Plain_1x, Plain_1x_Vector},
    {Horizontal_1x, Horizontal_1x_Vector},
    {Horizontal25_1x, Horizontal25_1x_Vector},
    {Horizontal50_1x, Horizontal50_1x_Vector},
    {Horizontal75_1x, Horizontal75_1x_Vector},
    {Horizontal_2x, Horizontal_2x_Vector},
    {Horizontal25_2x, Horizontal25_2x_Vector},
    {Horizontal50_2x, Horizontal50_2x_Vector},
    {Horizontal75_2x, Horizontal75_2x_Vector},
    {Vertical_2x, Vertical_2x_Vector},
    {Vertical25_2x, Vertical25_2x_Vector},
    {Vertical50_2x, Vertical50_2x_Vector},
    {Vertical75_2x, Vertical75_2x_Vector},
    {Interleaved_2x, Interleaved_2x_Vector},
    {Plain_3x, Plain_3x_Vector},
    {Horizontal_3x, Horizontal_3x_Vector},
    {Horizontal25_3x, Horizontal25_3x_Vector},
    {Horizontal50_3x, Horizontal50_3x_Vector},
    {Horizontal75_3x, Horizontal75_3x_Vector},
    {Interleaved_3x, Interleaved_3x_Vector},
    {Vertical_3x, Vertical_3x_Vector},
    {Vertical25_3x, Vertical25_3x_Vector},
    {Vertical50_3x, Vertical50_3x_Vector},
    {Vertical75_3x, Vertical75_3x_Vector},
    {Plain_4x, Plain_4x_Vector},
    {Horizontal_4x, Horizontal_4x_Vector},
    {Horizontal25_4x, Horizontal25_4x_Vector},
    {Horizontal50_4x, Horizontal50_4x_Vector},
    {Horizontal75_4x, Horizontal75_4x_Vector},
    {Interleaved_4x, Interleaved_4x_Vector},
    {Plain_5x, Plain_5x_Vector},
    {Horizontal_5x, Horizontal_5x_Vector},
    {Horizontal25_5x, Horizontal25_5x_Vector},
    {Horizontal50_5x, Horizontal50_5x_Vector},
    {Horizontal75_5x, Horizontal75_5x_Vector},
    {Interleaved_5x, Interleaved_5x_Vector},
    {nullptr, nullptr},
};

constexpr uint32_t kSelectorProcessorFeatures = 0x70706366;  // 'ppcf'
constexpr int32_t kVectorUnitBit = 0x10;

bool VectorUnitPresent() {
    int32_t response = 0;
    if (Gestalt(kSelectorProcessorFeatures, &response) != 0) return false;
    return (response & kVectorUnitBit) != 0;
}

void ApplyVectorSubstitution() {
    for (const VectorPair* pair = vectorSubstitution; pair->scalar != nullptr; ++pair) {
        for (ScalerEntry* row = scalerTable; static_cast<uint16_t>(row->scale) != 0; ++row) {
            if (row->routine == pair->scalar) row->routine = pair->vector;
        }
    }
}

constexpr char kBannerStandard[] =
    "Tovrin Library (Standard) v0.9.1, pixel-art scalers for RGB555 frame buffers.\n";
constexpr char kBannerVector[] =
    "Tovrin Library (Altivec) v0.9.1, pixel-art scalers for RGB555 frame buffers.\n";
constexpr char kRule[] =
    "==========================================================================\n\n";
static_assert(sizeof kRule - 1 == 74 + 2);

}  // namespace

const VectorPair* VectorSubstitutionList() { return vectorSubstitution; }

const ScalerEntry* LoadScalerTable() {
    BuildYuvTable();
    const bool vector = VectorUnitPresent();
    if (vector) ApplyVectorSubstitution();
    std::fputs(vector ? kBannerVector : kBannerStandard, stdout);
    std::fputs(kRule, stdout);
    std::fflush(stdout);
    return scalerTable;
}

}  // namespace tovrin

extern "C" {

TOVRIN_API const ScalerEntry* Tovrin_Load(void) { return tovrin::LoadScalerTable(); }

TOVRIN_API void Tovrin_Unload(void) {}

}
