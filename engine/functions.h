#pragma once
// Built-in one-argument functions (single precision) and named constants.

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
};

// Looks a lower-case name up in the function table.
bool LookupFunction(std::u16string_view lowerName, Fn* fn);
// e_function: clears the error state, computes in single precision; domain errors give 13,
// unknown names 4 (value 0).
double e_function(std::u16string_view name, double argument);
// NaN from a finite argument fails with 13, like the domain checks.
double CallFunction(Fn fn, double argument);

// The number operators that can fail: "^" gives 13 for NaN from finite operands ((-8)^(1/3)),
// "\" gives 8 for a right operand of 0. Both set e_error and report; the text route and
// any other evaluation route share them.
double NumberPower(double a, double b);
double IntegerQuotient(double a, double b);

// Stored value of a named constant (lower-case name, with or without "#").
bool LookupConstant(std::u16string_view lowerName, double* stored);
// e_get_const: 1 and the value as the engine reads it (10 decimals), else 0 and error 18.
int32_t GetConst(std::u16string_view name, double* value);

// Truncation toward zero to a signed 32-bit integer; out of range gives -2147483648.
int32_t Trunc32(double v);

// The operator and function help text.
std::u16string OperAndFuncsText();

} // namespace zorbit
