#pragma once
// The built-in functions, one row each: the names the evaluator and the differentiator
// read, the math, and what the differentiator's rules, simplifier and node dump need.
// The engine and derive/ keep no list of their own; a new function is a new row.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/functions.h"

namespace zorbit {

// Who reads a spelling: the evaluator (names lower-cased first) or the differentiator
// (names as written, so "Sin" is a plain name there).
enum FnReader : uint8_t {
    kEvaluatorName = 1,
    kDerivativeName = 2,
    kBothNames = kEvaluatorName | kDerivativeName,
};

struct FnSpelling {
    std::u16string_view name;
    uint8_t readers = 0;
};

// The parts of the quotient behind a value, which a report of a −infinity result names;
// most functions leave them 0.
struct FnParts {
    double num = 0;
    double den = 0;
};
// The math in double precision; in Classic mode CallFunction rounds argument and value to
// single.
using FnMath = double (*)(double x, FnParts& parts);

// The evaluator's check of the argument; each failure is error 13 with its own text.
enum class FnDomain : uint8_t {
    Any,
    NotNegative, // x < 0 fails
    UnitInside,  // 1 − x² < 0 fails
    UnitOutside, // x² − 1 < 0 fails
    Int32,       // beyond the 32-bit integers fails
};

// The derivative f'(u)·u' as text: head, u, tail, u', "))", after. No head: the function
// is flat (sign, unit step) and its derivative is 0.
struct FnRule {
    std::u16string_view head = {};
    std::u16string_view tail = {};
    std::u16string_view after = {};
    // `after` in Full precision, where a constant in it is rounded; empty: `after`.
    std::u16string_view afterFull = {};
};

struct FunctionRow {
    Fn fn;
    std::array<FnSpelling, 4> spellings;
    FnMath math;
    // Full mode's math where `math` loses digits in double (cancellation, the single
    // constants); null: `math` itself. It fills the parts as `math` does.
    FnMath full = nullptr;
    FnDomain domain = FnDomain::Any;
    int32_t domainLine = 0; // the line its report names
    // The differentiator's node code; 0 for a function it does not know.
    int32_t node = 0;
    // What its node dump prints for the code.
    std::u16string_view logName = {};
    FnRule rule = {};
    // The simplifier's value of f at a number. Null: the math's value. The printed
    // derivatives of some functions (the tangents, exp, the logarithms, arccos) were fixed
    // with other formulas, and those stay.
    double (*fold)(double v) = nullptr;
};

// Every row, row i for Fn i.
inline constexpr size_t kFunctionCount = static_cast<size_t>(Fn::Heaviside) + 1;
extern const std::array<FunctionRow, kFunctionCount> kFunctionRows;
inline const FunctionRow& FunctionRowOf(Fn fn) {
    return kFunctionRows[static_cast<size_t>(fn)];
}
// The row whose spelling `reader` reads as name; null when there is none.
const FunctionRow* FindFunction(std::u16string_view name, FnReader reader);
// The row of a differentiator node code; null for codes that are no function's.
const FunctionRow* FunctionOfNode(int32_t node);

} // namespace zorbit
