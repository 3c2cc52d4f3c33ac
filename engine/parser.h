#pragma once
// The recursive parser that evaluates while it parses (internal to the engine).

#include <cstdint>

#include "engine/state.h"

namespace zorbit {

// A value and its matrix flag (1: the value is a matrix handle).
struct Operand {
    double value;
    uint8_t flag;
};

// Parses a primary and every following operator of at least `level`; the result carries
// the matrix flag of the value.
Operand e_prs(int32_t level, uint8_t flag);
// The statistics keywords: reads the list "v; v; ..." at the current token.
double StatFunction(Kw kw);
// The statistic kw of n values (reordered by median), with its error records.
double StatisticsOf(Kw kw, double* values, size_t n);
inline bool IsStatistics(Kw kw) {
    return kw >= Kw::Min && kw <= Kw::Mean;
}

} // namespace zorbit
