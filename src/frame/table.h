// Internal view of the scaler table for the load entry and for tests.
#pragma once

#include "tovrin.h"

namespace tovrin {

struct VectorPair {
    BlitProc scalar;
    BlitProc vector;
};

// The substitution list, ended by a pair of null pointers.
const VectorPair* VectorSubstitutionList();

// Runs the load steps: fills the module's tables, checks the processor,
// substitutes vector twins, prints the banner. Returns row 0.
const ScalerEntry* LoadScalerTable();

}  // namespace tovrin
