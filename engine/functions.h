#pragma once
// Built-in one-argument functions (single precision) and named constants. The functions
// themselves, their names and their math are the rows of engine/function_table.h.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbit {

enum class Fn : uint8_t {
    Abs,
    Atan,
    Cos,
    Exp,
    Fix,
    Int,
    Ln,
    Log10,
    Rnd,
    Sgn,
    Sin,
    Sqrt,
    Tan,
    Sec,
    Cosec,
    Cotan,
    Arcsin,
    Arccos,
    Arcsec,
    Arccosec,
    Arccotan,
    Sinh,
    Cosh,
    Tanh,
    Sech,
    Cosech,
    Cotanh,
    Arctanh,
    Arcsinh,
    Arccosh,
    Arcsech,
    Arccosech,
    Arccotanh,
    ConstPi,
    ConstRad,
    ConstDeg,
    ConstE,
    Heaviside, // the differentiator's unit step; the evaluator has no name for it
};

// Looks a lower-case name up in the function table, among the evaluator's names.
bool LookupFunction(std::u16string_view lowerName, Fn* fn);
// e_function: clears the error state, computes in single precision; domain errors give 13,
// unknown names 4 (value 0).
double e_function(std::u16string_view name, double argument);
// The single-precision wrapper around a row's math: the argument and the value rounded to
// float. The domain checks report 13, as do −infinity and NaN from a finite argument.
double CallFunction(Fn fn, double argument);

// Stored value of a named constant (lower-case name, with or without "#"): in Full mode
// the double nearest it.
bool LookupConstant(std::u16string_view lowerName, double* stored);
// e_get_const: 1 and the value as the engine reads it (EngineValue), else 0 and error 18.
int32_t GetConst(std::u16string_view name, double* value);

// Truncation toward zero to a signed 32-bit integer; false when it does not fit (NaN and
// the infinities included), *out then unchanged.
bool Trunc32(double v, int32_t* out);

// The operator and function help text.
std::u16string OperAndFuncsText();

} // namespace zorbit
