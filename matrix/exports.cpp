// The C interface of the matrix library: each export is one call into the core, guarded.

#include "zorbit/zorbit.h"

#include "common/text.h"
#include "engine/export_guard.h"
#include "matrix/algebra.h"
#include "matrix/polynomial.h"
#include "matrix/print.h"
#include "matrix/store.h"

using namespace zorbit;

namespace {
const char16_t* Empty() {
    return u"";
}
constexpr intptr_t kInvalid = ZORBIT_E_INVALID_ARGUMENT;
// An export that answers a result code: refused, ZORBIT_E_REENTERED; a failure answers 0.
template <typename Body> int32_t guarded_result(Body&& body) {
    return guarded_code(std::forward<Body>(body), int32_t{0});
}
} // namespace

// ---- Matrix store
ZORBIT_API intptr_t SetStrMatrix(const char16_t* definition, int32_t returnAddress,
                                 int32_t evaluate, int32_t) {
    return guarded_code(
        [&] { return zorbit::SetStrMatrix(View(definition), returnAddress != 0, evaluate != 0); },
        kInvalid);
}
ZORBIT_API intptr_t SetMatrix(const char16_t* name, double* storage, int32_t rows, int32_t cols,
                              int32_t returnAddress) {
    return guarded_code(
        [&] { return zorbit::SetMatrix(View(name), storage, rows, cols, returnAddress != 0); },
        kInvalid);
}
ZORBIT_API intptr_t FindMatrix(const char16_t* key, int32_t flags, int32_t* rowsOut,
                               int32_t* colsOut, int32_t reportMissing) {
    return guarded(
        [&] { return zorbit::FindMatrix(View(key), flags, rowsOut, colsOut, reportMissing != 0); },
        intptr_t{0});
}
ZORBIT_API int32_t ClearMatrixList(intptr_t keep) {
    return guarded([&] { return zorbit::ClearMatrixList(keep); });
}
ZORBIT_API const char16_t* GetMatrixList(int32_t withValues) {
    return guarded([&] { return zorbit::GetMatrixList(withValues != 0); }, Empty());
}
ZORBIT_API int32_t GetMatrixByLong(const double* source, double* destination, int32_t rows,
                                   int32_t cols) {
    return guarded_result([&] { return zorbit::GetMatrixByLong(source, destination, rows, cols); });
}
ZORBIT_API int32_t aCopyArray(const double* source, double* destination, int32_t rows,
                              int32_t cols) {
    return guarded_result([&] { return zorbit::aCopyArray(source, destination, rows, cols); });
}
ZORBIT_API int32_t aCopy(const double* source, int32_t rows, int32_t cols, double* destination) {
    return guarded_result([&] { return zorbit::aCopy(source, rows, cols, destination); });
}
ZORBIT_API int32_t aDupl(const double* source, int32_t rows, int32_t cols, double* destination) {
    return guarded_result([&] { return zorbit::aCopy(source, rows, cols, destination); });
}
ZORBIT_API int32_t aElemOrder(const double* probe) {
    return guarded_result([&] { return zorbit::aElemOrder(probe); });
}
ZORBIT_API int32_t aElemOrderSet(int32_t order) {
    return guarded_result([&] { return zorbit::aElemOrderSet(order); });
}
ZORBIT_API int32_t aElemOrderGet(void) {
    return guarded_result([&] { return zorbit::aElemOrderGet(); });
}
ZORBIT_API int32_t aElemOrderSt(const char16_t* label) {
    return guarded([&] { return zorbit::aElemOrderSt(View(label)); });
}
ZORBIT_API int32_t aElemOrderEx(const void* argument, int32_t mode) {
    return guarded_result([&] { return zorbit::aElemOrderEx(argument, mode); });
}

// ---- Matrix algebra
ZORBIT_API int32_t aDet(const double* a, int32_t n, double* out) {
    return guarded_result([&] { return zorbit::aDet(a, n, out); });
}
ZORBIT_API double aDetN(const double* a, int32_t n) {
    return guarded([&] { return zorbit::aDetN(a, n); });
}
ZORBIT_API int32_t aInv(double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aInv(a, n); });
}
ZORBIT_API int32_t aSist(const double* a, int32_t n, const double* b, double* x) {
    return guarded_result([&] { return zorbit::aSist(a, n, b, x); });
}
ZORBIT_API int32_t aTrasp(double* a, int32_t rows, int32_t cols) {
    return guarded_result([&] { return zorbit::aTrasp(a, rows, cols); });
}
ZORBIT_API int32_t aTraspEx(const double* a, int32_t rows, int32_t cols, double* b) {
    return guarded_result([&] { return zorbit::aTraspEx(a, rows, cols, b); });
}
ZORBIT_API int32_t aTraspSq(double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aTraspSq(a, n); });
}
ZORBIT_API int32_t aMultEx(const double* a, int32_t r1, int32_t c1, const double* b, int32_t r2,
                           int32_t c2, double* r) {
    return guarded_result([&] { return zorbit::aMultEx(a, r1, c1, b, r2, c2, r); });
}
ZORBIT_API int32_t aMultSq(const double* a, int32_t n, const double* b, double* r) {
    return guarded_result([&] { return zorbit::aMultSq(a, n, b, r); });
}
ZORBIT_API int32_t aMultVect(const double* a, int32_t rows, int32_t cols, const double* v,
                             double* y) {
    return guarded_result([&] { return zorbit::aMultVect(a, rows, cols, v, y); });
}
ZORBIT_API int32_t aMultVectSq(const double* a, int32_t n, const double* v, double* y) {
    return guarded_result([&] { return zorbit::aMultVectSq(a, n, v, y); });
}
ZORBIT_API int32_t aSum(const double* a, int32_t rows, int32_t cols, const double* b, double* r) {
    return guarded_result([&] { return zorbit::aSum(a, rows, cols, b, r); });
}
ZORBIT_API int32_t aSumMem(const double* a, int32_t rows, int32_t cols, const double* b,
                           double* r) {
    return guarded_result([&] { return zorbit::aSumMem(a, rows, cols, b, r); });
}
ZORBIT_API int32_t aSumScal(double* a, int32_t rows, int32_t cols, double s) {
    return guarded_result([&] { return zorbit::aSumScal(a, rows, cols, s); });
}
ZORBIT_API int32_t aDiff(const double* a, int32_t rows, int32_t cols, const double* b, double* r) {
    return guarded_result([&] { return zorbit::aDiff(a, rows, cols, b, r); });
}
ZORBIT_API int32_t aDiffMem(const double* a, int32_t rows, int32_t cols, const double* b,
                            double* r) {
    return guarded_result([&] { return zorbit::aDiffMem(a, rows, cols, b, r); });
}
ZORBIT_API int32_t aDiv(const double* a, int32_t n, const double* b, double* r) {
    return guarded_result([&] { return zorbit::aDiv(a, n, b, r); });
}
ZORBIT_API int32_t aDiag(double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aDiag(a, n); });
}
ZORBIT_API int32_t aTrace(const double* a, int32_t n, double* out) {
    return guarded_result([&] { return zorbit::aTrace(a, n, out); });
}
ZORBIT_API double aTraceN(const double* a, int32_t n) {
    return guarded([&] { return zorbit::aTraceN(a, n); });
}
ZORBIT_API int32_t aMatrIsOrtog(const double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aMatrIsOrtog(a, n); });
}
ZORBIT_API int32_t aMatrIsSing(const double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aMatrIsSing(a, n); });
}
ZORBIT_API int32_t aMatrIsUnit(const double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aMatrIsUnit(a, n); });
}
ZORBIT_API int32_t aMatrIsZero(const double* a, int32_t n) {
    return guarded_result([&] { return zorbit::aMatrIsZero(a, n); });
}
ZORBIT_API int32_t aMatrAreEquals(const double* a, int32_t rA, int32_t cA, const double* b,
                                  int32_t rB, int32_t cB) {
    return guarded_result([&] { return zorbit::aMatrAreEquals(a, rA, cA, b, rB, cB); });
}
ZORBIT_API int32_t aMatrAreOrtog(const double* a, int32_t n, const double* b) {
    return guarded_result([&] { return zorbit::aMatrAreOrtog(a, n, b); });
}
ZORBIT_API int32_t aMatrMod(const double* v, int32_t n, double* out) {
    return guarded_result([&] { return zorbit::aMatrMod(v, n, out); });
}
ZORBIT_API int32_t aVectMod(const double* v, int32_t n, double* out) {
    return guarded_result([&] { return zorbit::aMatrMod(v, n, out); });
}
ZORBIT_API int32_t aProdScal(double* a, int32_t rows, int32_t cols, double s) {
    return guarded_result([&] { return zorbit::aProdScal(a, rows, cols, s); });
}
ZORBIT_API int32_t aOpp(double* a, int32_t rows, int32_t cols) {
    return guarded_result([&] { return zorbit::aOpp(a, rows, cols); });
}
ZORBIT_API int32_t aPow(const double* a, int32_t n, int32_t p, double* r) {
    return guarded_result([&] { return zorbit::aPow(a, n, p, r); });
}
ZORBIT_API int32_t aSwap(double* a, int32_t rows, int32_t cols, double* b) {
    return guarded_result([&] { return zorbit::aSwap(a, rows, cols, b); });
}
ZORBIT_API int32_t aSwapRC(double* a, int32_t rows, int32_t cols, int32_t byRow, int32_t p,
                           int32_t q) {
    return guarded_result([&] { return zorbit::aSwapRC(a, rows, cols, byRow, p, q); });
}
// Named in the interface but never given an operation.
ZORBIT_API int32_t aCombine(void) {
    return guarded([] { return int32_t{0}; });
}
ZORBIT_API int32_t aInsert(void) {
    return guarded([] { return int32_t{0}; });
}
ZORBIT_API int32_t aSub(void) {
    return guarded([] { return int32_t{0}; });
}

// ---- Polynomials and numeric utilities
ZORBIT_API int32_t aCalcCoeffPolin(const double* points, int32_t m, int32_t n, double* coeffs) {
    return guarded_result([&] { return zorbit::aCalcCoeffPolin(points, m, n, coeffs); });
}
ZORBIT_API int32_t aCalcVectCoeff(const double* v, int32_t m, int32_t n, const double* y,
                                  double* coeffs) {
    return guarded_result([&] { return zorbit::aCalcVectCoeff(v, m, n, y, coeffs); });
}
ZORBIT_API int32_t aGetXsOfQuadr(const double* y, const double* coeffs, int32_t n, double* x1,
                                 double* x2) {
    return guarded_result([&] { return zorbit::aGetXsOfQuadr(y, coeffs, n, x1, x2); });
}
ZORBIT_API int32_t aGetYPolin(const double* x, const double* coeffs, int32_t n, double* y) {
    return guarded_result([&] { return zorbit::aGetYPolin(x, coeffs, n, y); });
}
ZORBIT_API int32_t InterpLin(const double* x, const double* x1, const double* x2, const double* y1,
                             const double* y2, double* y) {
    return guarded_result([&] { return zorbit::InterpLin(x, x1, x2, y1, y2, y); });
}
// Placeholders of the interface: no computation.
ZORBIT_API int32_t IntBezier2D(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                               int32_t, int32_t, int32_t, int32_t, int32_t) {
    return guarded([] { return int32_t{0}; });
}
ZORBIT_API double fact_inv(void) {
    return guarded([] { return 0.0; });
}
ZORBIT_API int32_t IsPrime(int32_t n) {
    return guarded_result([&] { return zorbit::IsPrime(n); });
}
ZORBIT_API int32_t lIsPrime(int32_t n) {
    return guarded([&] { return zorbit::lIsPrime(n); });
}
ZORBIT_API double fact(int32_t n) {
    return guarded([&] { return zorbit::fact(n); });
}

// ---- Matrix printing
ZORBIT_API const char16_t* aPrint(const double* a, int32_t rows, int32_t cols,
                                  const char16_t* destination, const char16_t* format,
                                  const char16_t* title, const char16_t* separator) {
    return guarded(
        [&] {
            return zorbit::aPrint(a, rows, cols, View(destination), View(format), View(title),
                                  View(separator));
        },
        Empty());
}
ZORBIT_API int32_t aPrintEx(const double* a, int32_t rows, int32_t cols,
                            const char16_t* destination, const char16_t* format,
                            const char16_t* title, const char16_t* separator, char16_t* buffer) {
    return guarded([&] {
        return zorbit::aPrintEx(a, rows, cols, destination, format, title, separator, buffer);
    });
}
ZORBIT_API const char16_t* aShow(const double* a, int32_t rows, int32_t cols) {
    return guarded([&] { return zorbit::aShow(a, rows, cols); }, Empty());
}
ZORBIT_API const char16_t* aShowByLong(const double* a, int32_t rows, int32_t cols) {
    return guarded([&] { return zorbit::aShow(a, rows, cols); }, Empty());
}
