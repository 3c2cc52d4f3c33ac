#pragma once
// Evaluation entry points, for the exports and for the other modules of the library.

#include <cstdint>
#include <string_view>

namespace zorbit {

// Deepest nesting of brackets, unary operators and calls; deeper input fails with 3.
constexpr int32_t kMaxNesting = 1000;
// Longest expression text after macro expansion; longer fails with 13.
constexpr size_t kMaxExpressionLength = 4u << 20;

// e_eval: 0 number in *result, 1 matrix (handle in *result), otherwise the error code.
int32_t EvalExpression(std::u16string_view expr, double* result, bool checkFunctions);
// de_eval: the value, or the error code as a double.
double DeEval(std::u16string_view expr, bool checkFunctions);
int32_t SetBoolSign(int32_t sign);
// The previous mode, or -1 with error 13 for an unknown one.
int32_t SetPrecisionMode(int32_t mode);

} // namespace zorbit
