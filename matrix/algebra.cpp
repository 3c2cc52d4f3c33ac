#include "matrix/algebra.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/errors.h"
#include "matrix/store.h"

namespace zorbit {

namespace {

using Work = std::vector<double>;

size_t Size(int32_t rows, int32_t cols) {
    return static_cast<size_t>(rows) * static_cast<size_t>(cols);
}

// Counts below 1 never reach the element loops; neither do sizes no definition could make.
bool BadCounts(int64_t rows, int64_t cols) {
    return rows < 1 || cols < 1 || rows * cols > kMaxMatrixElements;
}

Work FromCaller(const double* a, int32_t rows, int32_t cols) {
    Work w(Size(rows, cols));
    aCopyArray(a, w.data(), rows, cols);
    return w;
}

double ClosedDet(const double* a, int32_t n) {
    if (n == 1) return a[0];
    if (n == 2) return a[0] * a[3] - a[1] * a[2];
    return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6]) +
           a[2] * (a[3] * a[7] - a[4] * a[6]);
}

// One elimination step with column pivoting along row i. Returns the pivot's magnitude
// and whether columns were exchanged; skipped (returns m) when m <= limit.
struct PivotStep {
    double magnitude;
    bool exchanged;
};

PivotStep EliminationStep(double* a, int32_t n, int32_t i, double limit) {
    double* row = a + static_cast<size_t>(i) * n;
    int32_t p = i;
    double m = std::fabs(row[i]);
    for (int32_t j = i + 1; j < n; ++j) {
        if (std::fabs(row[j]) > m) {
            p = j;
            m = std::fabs(row[j]);
        }
    }
    if (m <= limit) return {m, false};
    if (p != i) {
        // Rows above i are never read again, so only the remaining rows change.
        for (int32_t k = i; k < n; ++k)
            std::swap(a[static_cast<size_t>(k) * n + i], a[static_cast<size_t>(k) * n + p]);
    }
    const double pivot = row[i];
    int32_t k = i + 1;
    // Two rows at a time share the loads of the pivot row; each element's operation is the same.
    for (; k + 1 < n; k += 2) {
        double* r0 = a + static_cast<size_t>(k) * n;
        double* r1 = r0 + n;
        const double f0 = -r0[i] / pivot, f1 = -r1[i] / pivot;
        for (int32_t j = i + 1; j < n; ++j) {
            const double pj = row[j];
            r0[j] = r0[j] + f0 * pj;
            r1[j] = r1[j] + f1 * pj;
        }
    }
    if (k < n) {
        double* rk = a + static_cast<size_t>(k) * n;
        const double factor = -rk[i] / pivot;
        for (int32_t j = i + 1; j < n; ++j)
            rk[j] = rk[j] + factor * row[j];
    }
    return {m, p != i};
}

// Inverse by elimination with row pivoting, for orders above kCofactorLimit.
int32_t GaussJordanInverse(double* a, int32_t n) {
    const size_t sn = static_cast<size_t>(n);
    Work w(a, a + sn * sn), inv(sn * sn, 0.0);
    for (size_t i = 0; i < sn; ++i)
        inv[i * sn + i] = 1.0;
    for (size_t i = 0; i < sn; ++i) {
        size_t p = i;
        for (size_t k = i + 1; k < sn; ++k)
            if (std::fabs(w[k * sn + i]) > std::fabs(w[p * sn + i])) p = k;
        if (w[p * sn + i] == 0.0) return ZORBIT_M_SINGULAR;
        if (p != i) {
            std::swap_ranges(w.begin() + i * sn, w.begin() + (i + 1) * sn, w.begin() + p * sn);
            std::swap_ranges(inv.begin() + i * sn, inv.begin() + (i + 1) * sn,
                             inv.begin() + p * sn);
        }
        const double pivot = w[i * sn + i];
        for (size_t j = 0; j < sn; ++j) {
            w[i * sn + j] /= pivot;
            inv[i * sn + j] /= pivot;
        }
        for (size_t k = 0; k < sn; ++k) {
            const double f = w[k * sn + i];
            if (k == i || f == 0.0) continue;
            for (size_t j = 0; j < sn; ++j) {
                w[k * sn + j] -= f * w[i * sn + j];
                inv[k * sn + j] -= f * inv[i * sn + j];
            }
        }
    }
    std::copy(inv.begin(), inv.end(), a);
    return ZORBIT_NO_ERROR;
}

// Linear system by elimination with row pivoting, for orders above kCofactorLimit.
int32_t GaussSolve(const double* a, int32_t n, const double* b, double* x) {
    const size_t sn = static_cast<size_t>(n);
    Work w(a, a + sn * sn), r(b, b + sn);
    for (size_t i = 0; i < sn; ++i) {
        size_t p = i;
        for (size_t k = i + 1; k < sn; ++k)
            if (std::fabs(w[k * sn + i]) > std::fabs(w[p * sn + i])) p = k;
        if (w[p * sn + i] == 0.0) return ZORBIT_M_SINGULAR;
        if (p != i) {
            std::swap_ranges(w.begin() + i * sn, w.begin() + (i + 1) * sn, w.begin() + p * sn);
            std::swap(r[i], r[p]);
        }
        for (size_t k = i + 1; k < sn; ++k) {
            const double f = w[k * sn + i] / w[i * sn + i];
            for (size_t j = i; j < sn; ++j)
                w[k * sn + j] -= f * w[i * sn + j];
            r[k] -= f * r[i];
        }
    }
    for (size_t i = sn; i-- > 0;) {
        double s = r[i];
        for (size_t j = i + 1; j < sn; ++j)
            s -= w[i * sn + j] * r[j];
        r[i] = s / w[i * sn + i];
    }
    std::copy(r.begin(), r.end(), x);
    return ZORBIT_NO_ERROR;
}

} // namespace

// ---- library order ------------------------------------------------------------------------

double DetInPlace(double* a, int32_t n) {
    if (n < 1) return 1.0; // the determinant of an empty minor
    if (n <= 3) return ClosedDet(a, n);
    double d = 1.0;
    for (int32_t i = 0; i + 1 < n; ++i) {
        const PivotStep step = EliminationStep(a, n, i, kDetEpsilon);
        if (step.magnitude <= kDetEpsilon) {
            d = 0.0;
            continue;
        }
        if (step.exchanged) d = -d;
        d = d * a[static_cast<size_t>(i) * n + i];
    }
    d = d * a[Size(n, n) - 1];
    if (std::fabs(d) < kDetEpsilon) d = 0.0;
    return d;
}

double Determinant(const double* a, int32_t n) {
    if (n <= 3) return n < 1 ? 1.0 : ClosedDet(a, n);
    Work w(a, a + Size(n, n));
    return DetInPlace(w.data(), n);
}

int32_t InvertInPlace(double* a, int32_t n) {
    if (n < 1) return ZORBIT_M_ORDERS_NOT_VALID;
    const double det = Determinant(a, n);
    if (det == 0.0) return ZORBIT_M_SINGULAR;
    if (n > kCofactorLimit) return GaussJordanInverse(a, n);
    const size_t sn = static_cast<size_t>(n), sm = sn - 1;
    Work source(a, a + sn * sn), result(sn * sn), minor(sm * sm + 1);
    for (size_t i = 0; i < sn; ++i) {
        for (size_t j = 0; j < sn; ++j) {
            // The minor without row i and column j, in a buffer reused for every minor.
            double* out = minor.data();
            for (size_t r = 0; r < sn; ++r) {
                if (r == i) continue;
                const double* src = source.data() + r * sn;
                out = std::copy(src, src + j, out);
                out = std::copy(src + j + 1, src + sn, out);
            }
            const double mij = DetInPlace(minor.data(), n - 1);
            result[j * sn + i] = (((i + j) & 1) != 0 ? -mij : mij) / det;
        }
    }
    std::copy(result.begin(), result.end(), a);
    return ZORBIT_NO_ERROR;
}

int32_t SolveSystem(const double* a, int32_t n, const double* b, double* x) {
    if (n < 1) return ZORBIT_M_ORDERS_NOT_VALID;
    const double det = Determinant(a, n);
    if (det == 0.0) return ZORBIT_M_SINGULAR;
    if (n > kCofactorLimit) return GaussSolve(a, n, b, x);
    const size_t sn = static_cast<size_t>(n);
    Work w(a, a + sn * sn), column(sn), scratch(sn * sn), solution(sn);
    for (size_t i = 0; i < sn; ++i) {
        for (size_t k = 0; k < sn; ++k) {
            column[k] = w[k * sn + i];
            w[k * sn + i] = b[k];
        }
        std::copy(w.begin(), w.end(), scratch.begin());
        solution[i] = DetInPlace(scratch.data(), n) / det;
        for (size_t k = 0; k < sn; ++k)
            w[k * sn + i] = column[k];
    }
    std::copy(solution.begin(), solution.end(), x);
    return ZORBIT_NO_ERROR;
}

void Multiply(const double* a, int32_t r1, int32_t c1, const double* b, int32_t c2, double* r) {
    // Row by row: every r[i][k] still sums a[i][j]*b[j][k] from 0.0 with j ascending.
    const size_t sc1 = static_cast<size_t>(c1), sc2 = static_cast<size_t>(c2);
    std::fill(r, r + Size(r1, c2), 0.0);
    for (size_t i = 0; i < static_cast<size_t>(r1); ++i) {
        double* ri = r + i * sc2;
        for (size_t j = 0; j < sc1; ++j) {
            const double aij = a[i * sc1 + j];
            const double* bj = b + j * sc2;
            for (size_t k = 0; k < sc2; ++k)
                ri[k] += aij * bj[k];
        }
    }
}

void Transpose(const double* a, int32_t rows, int32_t cols, double* t) {
    const size_t r = static_cast<size_t>(rows), c = static_cast<size_t>(cols);
    for (size_t i = 0; i < r; ++i)
        for (size_t j = 0; j < c; ++j)
            t[j * r + i] = a[i * c + j];
}

void PivotDiagonal(double* a, int32_t n) {
    for (int32_t i = 0; i + 1 < n; ++i)
        EliminationStep(a, n, i, 0.0);
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j)
            if (i != j) a[static_cast<size_t>(i) * n + j] = 0.0;
}

void Power(const double* a, int32_t n, double p, double* r) {
    const size_t size = Size(n, n);
    Work power(a, a + size), next(size);
    if (p <= 64) {
        for (double k = 1; k < p; ++k) {
            Multiply(power.data(), n, n, a, n, next.data());
            power.swap(next);
        }
    } else {
        // Binary powers keep the loop short for any exponent a double can hold.
        Work base(a, a + size);
        bool started = false;
        double e = p;
        while (e >= 1) {
            if (std::fmod(e, 2.0) == 1.0) {
                if (started) {
                    Multiply(power.data(), n, n, base.data(), n, next.data());
                    power.swap(next);
                } else {
                    power = base;
                    started = true;
                }
            }
            e = std::floor(e / 2);
            if (e >= 1) {
                Multiply(base.data(), n, n, base.data(), n, next.data());
                base.swap(next);
            }
        }
    }
    std::copy(power.begin(), power.end(), r);
}

void Identity(double* a, int32_t n) {
    std::fill(a, a + Size(n, n), 0.0);
    for (size_t i = 0; i < static_cast<size_t>(n); ++i)
        a[i * static_cast<size_t>(n) + i] = 1.0;
}

double Trace(const double* a, int32_t n) {
    double t = 0.0;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i)
        t += a[i * static_cast<size_t>(n) + i];
    return t;
}

// ---- exported operations ------------------------------------------------------------------

int32_t aDet(const double* a, int32_t n, double* out) {
    if (a == nullptr || out == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work w = FromCaller(a, n, n);
    *out = DetInPlace(w.data(), n);
    return ZORBIT_NO_ERROR;
}

double aDetN(const double* a, int32_t n) {
    double d = 0.0;
    aDet(a, n, &d);
    return d;
}

int32_t aInv(double* a, int32_t n) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work w = FromCaller(a, n, n);
    const int32_t code = InvertInPlace(w.data(), n);
    if (code == ZORBIT_NO_ERROR) CopyToCaller(w.data(), a, n, n);
    return code;
}

int32_t aSist(const double* a, int32_t n, const double* b, double* x) {
    if (a == nullptr || b == nullptr || x == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work w = FromCaller(a, n, n);
    return SolveSystem(w.data(), n, b, x);
}

int32_t aTraspEx(const double* a, int32_t rows, int32_t cols, double* b) {
    if (a == nullptr || b == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work w = FromCaller(a, rows, cols), t(Size(rows, cols));
    Transpose(w.data(), rows, cols, t.data());
    CopyToCaller(t.data(), b, cols, rows);
    return ZORBIT_NO_ERROR;
}

int32_t aTrasp(double* a, int32_t rows, int32_t cols) {
    return aTraspEx(a, rows, cols, a);
}

int32_t aTraspSq(double* a, int32_t n) {
    return aTraspEx(a, n, n, a);
}

int32_t aMultEx(const double* a, int32_t r1, int32_t c1, const double* b, int32_t r2, int32_t c2,
                double* r) {
    if (a == nullptr || b == nullptr || r == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(r1, c1) || BadCounts(r2, c2)) return ZORBIT_M_ORDERS_NOT_VALID;
    if (c1 != r2) return ZORBIT_M_WRONG_RANK;
    if (BadCounts(r1, c2)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work wa = FromCaller(a, r1, c1), wb = FromCaller(b, r2, c2), product(Size(r1, c2));
    Multiply(wa.data(), r1, c1, wb.data(), c2, product.data());
    CopyToCaller(product.data(), r, r1, c2);
    return ZORBIT_NO_ERROR;
}

int32_t aMultSq(const double* a, int32_t n, const double* b, double* r) {
    return aMultEx(a, n, n, b, n, n, r);
}

int32_t aMultVect(const double* a, int32_t rows, int32_t cols, const double* v, double* y) {
    if (a == nullptr || v == nullptr || y == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work wa = FromCaller(a, rows, cols), result(static_cast<size_t>(rows));
    Multiply(wa.data(), rows, cols, v, 1, result.data());
    std::copy(result.begin(), result.end(), y);
    return ZORBIT_NO_ERROR;
}

int32_t aMultVectSq(const double* a, int32_t n, const double* v, double* y) {
    return aMultVect(a, n, n, v, y);
}

namespace {
// Element by element: the same in any element order, so the storage is used as it is.
int32_t Elementwise(const double* a, int32_t rows, int32_t cols, const double* b, double* r,
                    double sign) {
    if (a == nullptr || b == nullptr || r == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    for (size_t k = 0; k < Size(rows, cols); ++k)
        r[k] = a[k] + sign * b[k];
    return ZORBIT_NO_ERROR;
}
} // namespace

int32_t aSum(const double* a, int32_t rows, int32_t cols, const double* b, double* r) {
    const int32_t code = Elementwise(a, rows, cols, b, r, 1.0);
    return code == ZORBIT_NO_ERROR ? 0 : code; // aSum answers 0 on success
}

int32_t aDiff(const double* a, int32_t rows, int32_t cols, const double* b, double* r) {
    return Elementwise(a, rows, cols, b, r, -1.0);
}

int32_t aSumMem(const double* a, int32_t rows, int32_t cols, const double* b, double* r) {
    return Elementwise(a, rows, cols, b, r, 1.0);
}

int32_t aDiffMem(const double* a, int32_t rows, int32_t cols, const double* b, double* r) {
    return Elementwise(a, rows, cols, b, r, -1.0);
}

int32_t aSumScal(double* a, int32_t rows, int32_t cols, double s) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    for (size_t k = 0; k < Size(rows, cols); ++k)
        a[k] += s;
    return ZORBIT_NO_ERROR;
}

int32_t aProdScal(double* a, int32_t rows, int32_t cols, double s) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    for (size_t k = 0; k < Size(rows, cols); ++k)
        a[k] *= s;
    return ZORBIT_NO_ERROR;
}

int32_t aOpp(double* a, int32_t rows, int32_t cols) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    for (size_t k = 0; k < Size(rows, cols); ++k)
        a[k] = -a[k];
    return ZORBIT_NO_ERROR;
}

int32_t aDiv(const double* a, int32_t n, const double* b, double* r) {
    if (a == nullptr || b == nullptr || r == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work wa = FromCaller(a, n, n), wb = FromCaller(b, n, n);
    const int32_t code = InvertInPlace(wb.data(), n);
    if (code != ZORBIT_NO_ERROR) {
        std::fill(r, r + Size(n, n), 0.0);
        return code;
    }
    Work product(Size(n, n));
    Multiply(wa.data(), n, n, wb.data(), n, product.data());
    CopyToCaller(product.data(), r, n, n);
    return ZORBIT_NO_ERROR;
}

int32_t aPow(const double* a, int32_t n, int32_t p, double* r) {
    if (a == nullptr || r == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    if (p <= 1) return ZORBIT_NO_ERROR;
    Work w = FromCaller(a, n, n), result(Size(n, n));
    Power(w.data(), n, p, result.data());
    CopyToCaller(result.data(), r, n, n);
    return ZORBIT_NO_ERROR;
}

int32_t aDiag(double* a, int32_t n) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work w = FromCaller(a, n, n);
    PivotDiagonal(w.data(), n);
    CopyToCaller(w.data(), a, n, n);
    return ZORBIT_NO_ERROR;
}

int32_t aTrace(const double* a, int32_t n, double* out) {
    if (a == nullptr || out == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    *out = Trace(a, n); // the diagonal is the same in either element order
    return ZORBIT_NO_ERROR;
}

double aTraceN(const double* a, int32_t n) {
    double t = 0.0;
    aTrace(a, n, &t);
    return t;
}

int32_t aMatrAreEquals(const double* a, int32_t rA, int32_t cA, const double* b, int32_t rB,
                       int32_t cB) {
    if (rA != rB || cA != cB) return ZORBIT_M_ORDERS_NOT_EQUAL;
    if (a == nullptr || b == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rA, cA)) return ZORBIT_M_ORDERS_NOT_VALID;
    return std::memcmp(a, b, Size(rA, cA) * sizeof(double)) == 0 ? ZORBIT_NO_ERROR : 0;
}

int32_t aMatrIsZero(const double* a, int32_t n) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    for (size_t k = 0; k < Size(n, n); ++k)
        if (a[k] != 0.0) return 0;
    return ZORBIT_NO_ERROR;
}

int32_t aMatrIsUnit(const double* a, int32_t n) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j)
            if (a[static_cast<size_t>(i) * n + j] != (i == j ? 1.0 : 0.0)) return 0;
    return ZORBIT_NO_ERROR;
}

int32_t aMatrIsSing(const double* a, int32_t n) {
    double d = 0.0;
    const int32_t code = aDet(a, n, &d);
    if (code != ZORBIT_NO_ERROR) return code;
    return d == 0.0 ? ZORBIT_NO_ERROR : 0;
}

int32_t aMatrIsOrtog(const double* a, int32_t n) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work w = FromCaller(a, n, n), t(Size(n, n));
    Transpose(w.data(), n, n, t.data());
    if (InvertInPlace(w.data(), n) != ZORBIT_NO_ERROR) return 0;
    return std::memcmp(w.data(), t.data(), w.size() * sizeof(double)) == 0 ? ZORBIT_NO_ERROR : 0;
}

int32_t aMatrAreOrtog(const double* a, int32_t n, const double* b) {
    if (a == nullptr || b == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, n)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work wa = FromCaller(a, n, n), wb = FromCaller(b, n, n), product(Size(n, n));
    Multiply(wa.data(), n, n, wb.data(), n, product.data());
    return aMatrIsUnit(product.data(), n) == ZORBIT_NO_ERROR ? ZORBIT_NO_ERROR : 0;
}

int32_t aMatrMod(const double* v, int32_t n, double* out) {
    if (v == nullptr || out == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(n, 1)) return ZORBIT_M_ORDERS_NOT_VALID;
    double sum = 0.0;
    for (size_t k = 0; k < static_cast<size_t>(n); ++k)
        sum += v[k] * v[k];
    *out = std::sqrt(sum);
    return ZORBIT_NO_ERROR;
}

int32_t aSwap(double* a, int32_t rows, int32_t cols, double* b) {
    if (a == nullptr || b == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    Work temp(a, a + Size(rows, cols));
    std::memmove(a, b, temp.size() * sizeof(double));
    std::copy(temp.begin(), temp.end(), b);
    return ZORBIT_NO_ERROR;
}

int32_t aSwapRC(double* a, int32_t rows, int32_t cols, int32_t byRow, int32_t p, int32_t q) {
    if (a == nullptr) return ZORBIT_M_NOT_DEFINED;
    if (BadCounts(rows, cols)) return ZORBIT_M_ORDERS_NOT_VALID;
    const int32_t limit = byRow != 0 ? rows : cols;
    if (p < 1 || q < 1 || p > limit || q > limit) return ZORBIT_M_OUT_OF_RANGE;
    Work w = FromCaller(a, rows, cols);
    const size_t c = static_cast<size_t>(cols);
    const size_t sp = static_cast<size_t>(p - 1), sq = static_cast<size_t>(q - 1);
    if (byRow != 0) {
        for (size_t j = 0; j < c; ++j)
            std::swap(w[sp * c + j], w[sq * c + j]);
    } else {
        for (size_t i = 0; i < static_cast<size_t>(rows); ++i)
            std::swap(w[i * c + sp], w[i * c + sq]);
    }
    CopyToCaller(w.data(), a, rows, cols);
    return ZORBIT_NO_ERROR;
}

} // namespace zorbit
