#pragma once
// Least-squares fitting, polynomial values and roots, interpolation, primality, factorial.

#include <cstdint>

namespace zorbit {

// Least squares V*c ~ y by the normal equations, V (m x n) in the library's order.
// Writes n coefficients; -1, or 7 when V'V cannot be inverted (coeffs unchanged).
int32_t FitCoefficients(const double* v, int32_t m, int32_t n, const double* y, double* coeffs);

int32_t aCalcVectCoeff(const double* v, int32_t m, int32_t n, const double* y, double* coeffs);
int32_t aCalcCoeffPolin(const double* points, int32_t m, int32_t n, double* coeffs);
int32_t aGetYPolin(const double* x, const double* coeffs, int32_t n, double* y);
int32_t aGetXsOfQuadr(const double* y, const double* coeffs, int32_t n, double* x1, double* x2);
int32_t InterpLin(const double* x, const double* x1, const double* x2, const double* y1,
                  const double* y2, double* y);
int32_t IsPrime(int32_t n);
int32_t lIsPrime(int32_t n);
double fact(int32_t n);

} // namespace zorbit
