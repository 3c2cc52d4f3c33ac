#include "matrix/polynomial.h"

#include <cmath>
#include <vector>

#include "engine/errors.h"
#include "matrix/algebra.h"
#include "matrix/store.h"

namespace zorbit {

namespace {

bool BadCounts(int64_t m, int64_t n) {
    return m < 1 || n < 1 || m * n > kMaxMatrixElements;
}

// The fitting routines copy without reordering while they run, whatever the order setting.
struct PlainCopyScope {
    PlainCopyScope() { Matrices().PlainCopy = 1; }
    ~PlainCopyScope() { Matrices().PlainCopy = 0; }
};

} // namespace

int32_t FitCoefficients(const double* v, int32_t m, int32_t n, const double* y, double* coeffs) {
    const size_t sm = static_cast<size_t>(m), sn = static_cast<size_t>(n);
    std::vector<double> vt(sn * sm), normal(sn * sn), t(sn), c(sn);
    Transpose(v, m, n, vt.data());
    Multiply(vt.data(), n, m, v, n, normal.data());
    // A singular normal matrix (repeated x values, more coefficients than points) has no fit.
    if (InvertInPlace(normal.data(), n) != ZORBIT_NO_ERROR) return ZORBIT_M_SINGULAR;
    Multiply(vt.data(), n, m, y, 1, t.data());
    Multiply(normal.data(), n, n, t.data(), 1, c.data());
    for (size_t k = 0; k < sn; ++k)
        coeffs[k] = c[k];
    return ZORBIT_NO_ERROR;
}

int32_t aCalcVectCoeff(const double* v, int32_t m, int32_t n, const double* y, double* coeffs) {
    if (v == nullptr || y == nullptr || coeffs == nullptr) return ZORBIT_M_NOT_DEFINED;
    // The normal matrix is n x n: n may not grow past what m x n allows.
    if (BadCounts(m, n) || BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    std::vector<double> design(static_cast<size_t>(m) * static_cast<size_t>(n));
    aCopyArray(v, design.data(), m, n); // the caller's order applies to this first copy
    const PlainCopyScope plain;
    const int32_t code = FitCoefficients(design.data(), m, n, y, coeffs);
    return code == ZORBIT_NO_ERROR ? 0 : code;
}

int32_t aCalcCoeffPolin(const double* points, int32_t m, int32_t n, double* coeffs) {
    if (n < 1 || n > m) return 12;
    if (points == nullptr || coeffs == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(m, n) || BadCounts(m, 2)) return ZORBIT_M_ORDERS_NOT_VALID;
    const size_t sm = static_cast<size_t>(m), sn = static_cast<size_t>(n);
    std::vector<double> xy(sm * 2), design(sm * sn), ys(sm);
    aCopyArray(points, xy.data(), m, 2);
    for (size_t k = 0; k < sm; ++k) {
        for (size_t j = 0; j < sn; ++j)
            design[k * sn + j] = std::pow(xy[k * 2], static_cast<double>(j));
        ys[k] = xy[k * 2 + 1];
    }
    const PlainCopyScope plain;
    return FitCoefficients(design.data(), m, n, ys.data(), coeffs);
}

int32_t aGetYPolin(const double* x, const double* coeffs, int32_t n, double* y) {
    if (x == nullptr || coeffs == nullptr || y == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, 1)) return ZORBIT_M_ORDERS_NOT_VALID;
    double sum = 0.0;
    for (int32_t j = 0; j < n; ++j)
        sum += coeffs[j] * std::pow(*x, static_cast<double>(j));
    *y = sum;
    return ZORBIT_NO_ERROR;
}

int32_t aGetXsOfQuadr(const double* y, const double* coeffs, int32_t n, double* x1, double* x2) {
    if (y == nullptr || coeffs == nullptr || x1 == nullptr || x2 == nullptr)
        return ZORBIT_M_NOT_DEFINED;
    const double target = *y;
    *x2 = 0.0;
    switch (n) {
    case 1:
        *x1 = target;
        return ZORBIT_NO_ERROR;
    case 2:
        // A line without slope has no x for the value: no division by zero.
        if (coeffs[1] == 0.0) {
            *x1 = 0.0;
            return 13;
        }
        *x1 = (target - coeffs[0]) / coeffs[1];
        return ZORBIT_NO_ERROR;
    case 3: {
        const double c0 = coeffs[0], c1 = coeffs[1], c2 = coeffs[2];
        const double d = c1 * c1 - 4 * (c0 - target) * c2;
        if (d < 0 || c2 == 0) {
            *x1 = 0.0;
            return 13;
        }
        *x1 = (-c1 + std::sqrt(d)) / (2 * c2);
        *x2 = (-c1 - std::sqrt(d)) / (2 * c2);
        return ZORBIT_NO_ERROR;
    }
    default:
        *x1 = 0.0;
        return 8;
    }
}

int32_t InterpLin(const double* x, const double* x1, const double* x2, const double* y1,
                  const double* y2, double* y) {
    if (x == nullptr || x1 == nullptr || x2 == nullptr || y1 == nullptr || y2 == nullptr ||
        y == nullptr)
        return ZORBIT_M_NOT_DEFINED;
    *y = *y1 + ((*x - *x1) / (*x2 - *x1)) * (*y2 - *y1);
    return 0;
}

int32_t IsPrime(int32_t n) {
    if (n < 2) return 0;
    if (n == 2) return -1;
    if (n % 2 == 0) return 0;
    if (n < 8) return -1;
    if (n % 3 == 0 || n % 5 == 0 || n % 7 == 0) return 0;
    if (n < 38) return -1;
    const int64_t s = std::llround(std::sqrt(static_cast<double>(n)));
    static constexpr int64_t kWheel[] = {11, 13, 17, 19, 23, 29, 31, 37};
    for (int64_t k = 0; k <= s; k += 30)
        for (int64_t d : kWheel)
            if (n % (k + d) == 0) return 0;
    return -1;
}

int32_t lIsPrime(int32_t n) {
    if (n % 2 == 0) return n > 2 ? 2 : -1;
    int32_t d = 3, q = n;
    while (q > d) {
        if (n % d == 0) return d;
        q = n / d;
        d += 2;
    }
    return -1;
}

double fact(int32_t n) {
    double f = 1.0;
    // Beyond 170! the product is infinite and stays so: the loop ends there.
    for (int32_t k = 2; k <= n && !std::isinf(f); ++k)
        f *= k;
    return f;
}

} // namespace zorbit
