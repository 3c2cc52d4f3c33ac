#pragma once
// Numeric routines the program binds by name: definite integral, a real root of a
// polynomial, and the derivative of a polynomial as formula text.

#include <cstdint>
#include <string>
#include <string_view>

#include "numeric/series.h"

namespace zorbit {

// Most intervals Integrate accepts; more fails with 13 rather than running for minutes.
constexpr int32_t kMaxIntegrationIntervals = 10000000;

// Simpson's rule (n rounded up to even) or the trapezoid rule of f in var over [a, b].
// Sets e_error: -1, 13 for n < 1 or too many intervals, or the code of a failing point.
double Integrate(std::u16string_view f, double a, double b, int32_t n, bool trapezoid,
                 std::u16string_view var);
// Integrate's export: *value receives the integral on success; returns e_error.
int32_t IntegrateInto(std::u16string_view f, double a, double b, int32_t n, bool trapezoid,
                      std::u16string_view var, double* value);
// A real root of the formula in var: bracketing with Brent's method, Newton for roots
// that touch zero without a sign change. 13 when there is none.
double SolvePolynomial(std::u16string_view polynomial, std::u16string_view var);
// The derivative in var as the differentiator prints it.
std::u16string PolynomialDerivative(std::u16string_view polynomial, std::u16string_view var);
// lPoly_dydx: the same, library-owned until the next call.
const char16_t* PolynomialDerivativeResult(std::u16string_view polynomial, std::u16string_view var);

// Evaluates a formula for values of one variable by replacing its whole name with x
// written with 17 significant decimals (numeric/series.h).
class FormulaInX {
  public:
    FormulaInX(std::u16string_view formula, std::u16string_view var);
    // The value at x; false (e_error set) when the formula fails there.
    bool At(double x, double* y);
    // Leaves the parser state as evaluating the last point by text would; due before the
    // routine returns or records an error.
    void Settle() { series_.Settle(); }

  private:
    FormulaSeries series_;
};

} // namespace zorbit
