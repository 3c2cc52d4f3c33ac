#pragma once
// Matrices inside expressions: the matrix layer's side of engine/matrix_ops.h. The
// operations themselves are reached through the engine's wrappers (MatrixReference,
// CalcMatrixSumSubt, ...), which call the table the context installs.

#include "engine/matrix_ops.h"

namespace zorbit {

// The table the context installs into the engine.
const MatrixOperations& MatrixLayerOperations();

} // namespace zorbit
