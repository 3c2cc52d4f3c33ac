#pragma once
// Matrix algebra. The routines without the "a" prefix work on storage in the library's own
// order (row by row) and are what the evaluator and the polynomial routines use; the
// "a" routines are the exported operations on a caller's storage, in the caller's order.

#include <cstddef>
#include <cstdint>

#include "zorbit/codes.h"

namespace zorbit {

// 1.0e-12 held as the double one unit in the last place above the one nearest to 1e-12.
constexpr double kDetEpsilon = 1.0000000000000002e-12;
// Above this order the inverse and linear systems use elimination: the adjugate and
// Cramer's rule cost n^5 and n^4 and would stall on the largest matrices a definition allows.
constexpr int32_t kCofactorLimit = 48;

// Library order, no checks beyond what each says.
double DetInPlace(double* a, int32_t n); // destroys a
double Determinant(const double* a, int32_t n);
int32_t InvertInPlace(double* a, int32_t n); // -1, 5 or 7 (a unchanged on failure)
int32_t SolveSystem(const double* a, int32_t n, const double* b, double* x); // -1 or 7
// r (r1 x c2) = a (r1 x c1) * b (c1 x c2); r must not overlap a or b.
void Multiply(const double* a, int32_t r1, int32_t c1, const double* b, int32_t c2, double* r);
void Transpose(const double* a, int32_t rows, int32_t cols, double* t); // t is cols x rows
void PivotDiagonal(double* a, int32_t n);
// r = a^p for an integral p >= 2 (r must not overlap a).
void Power(const double* a, int32_t n, double p, double* r);
void Identity(double* a, int32_t n);
double Trace(const double* a, int32_t n);

// Exported operations (Part of the C interface; see zorbit.h for the codes).
int32_t aDet(const double* a, int32_t n, double* out);
double aDetN(const double* a, int32_t n);
int32_t aInv(double* a, int32_t n);
int32_t aSist(const double* a, int32_t n, const double* b, double* x);
int32_t aTrasp(double* a, int32_t rows, int32_t cols);
int32_t aTraspEx(const double* a, int32_t rows, int32_t cols, double* b);
int32_t aTraspSq(double* a, int32_t n);
int32_t aMultEx(const double* a, int32_t r1, int32_t c1, const double* b, int32_t r2, int32_t c2,
                double* r);
int32_t aMultSq(const double* a, int32_t n, const double* b, double* r);
int32_t aMultVect(const double* a, int32_t rows, int32_t cols, const double* v, double* y);
int32_t aMultVectSq(const double* a, int32_t n, const double* v, double* y);
int32_t aSum(const double* a, int32_t rows, int32_t cols, const double* b, double* r);
int32_t aDiff(const double* a, int32_t rows, int32_t cols, const double* b, double* r);
int32_t aSumMem(const double* a, int32_t rows, int32_t cols, const double* b, double* r);
int32_t aDiffMem(const double* a, int32_t rows, int32_t cols, const double* b, double* r);
int32_t aSumScal(double* a, int32_t rows, int32_t cols, double s);
int32_t aProdScal(double* a, int32_t rows, int32_t cols, double s);
int32_t aOpp(double* a, int32_t rows, int32_t cols);
int32_t aDiv(const double* a, int32_t n, const double* b, double* r);
int32_t aPow(const double* a, int32_t n, int32_t p, double* r);
int32_t aDiag(double* a, int32_t n);
int32_t aTrace(const double* a, int32_t n, double* out);
double aTraceN(const double* a, int32_t n);
int32_t aMatrAreEquals(const double* a, int32_t rA, int32_t cA, const double* b, int32_t rB,
                       int32_t cB);
int32_t aMatrIsZero(const double* a, int32_t n);
int32_t aMatrIsUnit(const double* a, int32_t n);
int32_t aMatrIsSing(const double* a, int32_t n);
int32_t aMatrIsOrtog(const double* a, int32_t n);
int32_t aMatrAreOrtog(const double* a, int32_t n, const double* b);
int32_t aMatrMod(const double* v, int32_t n, double* out);
int32_t aSwap(double* a, int32_t rows, int32_t cols, double* b);
int32_t aSwapRC(double* a, int32_t rows, int32_t cols, int32_t byRow, int32_t p, int32_t q);

} // namespace zorbit
