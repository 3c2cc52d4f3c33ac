#pragma once
// The recursive parser that evaluates while it parses (internal to the engine).

#include <cstdint>

#include "engine/state.h"

namespace zorbit {

// Parses a primary and every following operator of at least `level`; flag is the matrix
// flag of the value (read on entry, written on exit).
double e_prs(int32_t level, uint8_t& flag);
// The statistics keywords: reads the list "v; v; ..." at the current token.
double StatFunction(Kw kw);

}  // namespace zorbit
