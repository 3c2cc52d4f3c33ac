#include "numeric/numeric.h"

#include <cmath>
#include <limits>
#include <vector>

#include "common/number_text.h"
#include "derive/diff_entry.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/state.h"

namespace zorbit {

namespace {

void Fail(int32_t code, std::u16string_view procedure, std::u16string_view text) {
    E_Error() = code;
    ReportError(procedure, 0, text);
}

} // namespace

// x as fixed-point text precise enough for the evaluator, which reads no exponents.
FormulaInX::FormulaInX(std::u16string_view formula, std::u16string_view var)
    : series_(formula, var, XTextRule::ForMode(17)) {}

bool FormulaInX::At(double x, double* y) {
    const int32_t rc = series_.At(x, y);
    if (rc == 1) {
        Fail(ZORBIT_E_INVALID_ARGUMENT, u"FormulaInX",
             u"The formula gives a matrix, not a number\r\n");
        return false;
    }
    return E_Error() == ZORBIT_NO_ERROR;
}

double Integrate(std::u16string_view f, double a, double b, int32_t n, bool trapezoid,
                 std::u16string_view var) {
    if (n < 1 || n > kMaxIntegrationIntervals) {
        Fail(ZORBIT_E_INVALID_ARGUMENT, u"Integrate", u"Intervals must be 1 to 10000000\r\n");
        return 0;
    }
    if (!std::isfinite(a) || !std::isfinite(b)) {
        Fail(ZORBIT_E_INVALID_ARGUMENT, u"Integrate", u"The bounds must be finite\r\n");
        return 0;
    }
    if (!trapezoid && n % 2 == 1) ++n;
    FormulaInX fx(f, var);
    const double h = (b - a) / n;
    double sum = 0;
    for (int32_t i = 0; i <= n; ++i) {
        const double x = i == n ? b : a + i * h;
        double y = 0;
        if (!fx.At(x, &y)) {
            const int32_t code = E_Error();
            Fail(code, u"Integrate", u"The formula fails at x = " + Fixed10(x) + u"\r\n");
            return 0;
        }
        double weight = 1;
        if (i != 0 && i != n) weight = trapezoid ? 2 : (i % 2 == 1 ? 4 : 2);
        sum += weight * y;
    }
    fx.Settle();
    E_Error() = ZORBIT_NO_ERROR;
    return trapezoid ? sum * h / 2 : sum * h / 3;
}

namespace {

// Brent's method on a bracket [a, b] with f(a)·f(b) < 0.
bool Brent(FormulaInX& fx, double a, double b, double fa, double fb, double* root) {
    if (std::fabs(fa) < std::fabs(fb)) {
        std::swap(a, b);
        std::swap(fa, fb);
    }
    double c = a, fc = fa, d = b - a;
    bool bisected = true;
    for (int iter = 0; iter < 300; ++iter) {
        if (fb == 0 ||
            std::fabs(b - a) <= 4 * std::numeric_limits<double>::epsilon() * std::fabs(b)) {
            *root = b;
            return true;
        }
        double s;
        if (fa != fc && fb != fc) {
            s = a * fb * fc / ((fa - fb) * (fa - fc)) + b * fa * fc / ((fb - fa) * (fb - fc)) +
                c * fa * fb / ((fc - fa) * (fc - fb));
        } else {
            s = b - fb * (b - a) / (fb - fa);
        }
        const double m = (3 * a + b) / 4;
        const bool outside = !((s > m && s < b) || (s < m && s > b));
        if (outside || (bisected && std::fabs(s - b) >= std::fabs(b - c) / 2) ||
            (!bisected && std::fabs(s - b) >= std::fabs(c - d) / 2)) {
            s = (a + b) / 2;
            bisected = true;
        } else {
            bisected = false;
        }
        double fs = 0;
        if (!fx.At(s, &fs)) return false;
        d = c;
        c = b;
        fc = fb;
        if ((fa < 0) != (fs < 0)) {
            b = s;
            fb = fs;
        } else {
            a = s;
            fa = fs;
        }
        if (std::fabs(fa) < std::fabs(fb)) {
            std::swap(a, b);
            std::swap(fa, fb);
        }
    }
    *root = b;
    return true;
}

// Newton's method with a numerical slope, for roots where the sign does not change.
bool Newton(FormulaInX& fx, double x, double scale, double* root) {
    for (int iter = 0; iter < 200; ++iter) {
        double y = 0, yp = 0, ym = 0;
        if (!fx.At(x, &y)) return false;
        if (std::fabs(y) <= 1e-12 * scale) {
            *root = x;
            return true;
        }
        const double h = 1e-6 * std::max(1.0, std::fabs(x));
        if (!fx.At(x + h, &yp) || !fx.At(x - h, &ym)) return false;
        const double slope = (yp - ym) / (2 * h);
        if (slope == 0 || !std::isfinite(slope)) return false;
        const double next = x - y / slope;
        if (!std::isfinite(next)) return false;
        if (std::fabs(next - x) <= 1e-15 * std::max(1.0, std::fabs(x))) {
            *root = next;
            return fx.At(next, &y) && std::fabs(y) <= 1e-8 * scale;
        }
        x = next;
    }
    return false;
}

struct RootSearch {
    double root;
    int32_t code;
    std::u16string_view failure;
};

RootSearch FindRoot(FormulaInX& fx) {
    int32_t firstError = ZORBIT_NO_ERROR;
    double best = 0, bestY = std::numeric_limits<double>::infinity();
    // Widening ranges around 0, sampled; the first sign change is bracketed.
    for (double range : {1.0, 10.0, 100.0, 1e3, 1e4, 1e6, 1e9}) {
        constexpr int kSamples = 400;
        double px = 0, py = 0;
        bool havePrevious = false;
        for (int i = 0; i <= kSamples; ++i) {
            const double x = -range + 2 * range * i / kSamples;
            double y = 0;
            if (!fx.At(x, &y) || !std::isfinite(y)) {
                if (firstError == ZORBIT_NO_ERROR)
                    firstError =
                        E_Error() == ZORBIT_NO_ERROR ? ZORBIT_E_INVALID_ARGUMENT : E_Error();
                havePrevious = false;
                continue;
            }
            if (y == 0) return {x, ZORBIT_NO_ERROR, {}};
            if (std::fabs(y) < bestY) {
                bestY = std::fabs(y);
                best = x;
            }
            if (havePrevious && (py < 0) != (y < 0)) {
                double root = 0;
                if (Brent(fx, px, x, py, y, &root)) return {root, ZORBIT_NO_ERROR, {}};
            }
            px = x;
            py = y;
            havePrevious = true;
        }
    }
    double root = 0;
    if (std::isfinite(bestY) && Newton(fx, best, 1.0, &root)) return {root, ZORBIT_NO_ERROR, {}};
    if (!std::isfinite(bestY) && firstError != ZORBIT_NO_ERROR)
        return {0, firstError, u"The polynomial cannot be evaluated\r\n"};
    return {0, ZORBIT_E_INVALID_ARGUMENT, u"No real root found\r\n"};
}

} // namespace

double SolvePolynomial(std::u16string_view polynomial, std::u16string_view var) {
    FormulaInX fx(polynomial, var);
    const RootSearch r = FindRoot(fx);
    fx.Settle();
    if (r.code == ZORBIT_NO_ERROR) {
        E_Error() = ZORBIT_NO_ERROR;
        return r.root;
    }
    Fail(r.code, u"dSolve", r.failure);
    return 0;
}

std::u16string PolynomialDerivative(std::u16string_view polynomial, std::u16string_view var) {
    std::u16string buffer(1000, u' ');
    int32_t length = DiffFormula(polynomial, var, buffer.data(), 1000);
    if (length > 1000) {
        buffer.assign(static_cast<size_t>(length), u' ');
        length = DiffFormula(polynomial, var, buffer.data(), length);
    }
    if (length <= 0 || E_Error() != ZORBIT_NO_ERROR) {
        if (E_Error() == ZORBIT_NO_ERROR) E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        return u"";
    }
    buffer.resize(std::min<size_t>(buffer.size(), static_cast<size_t>(length)));
    return buffer;
}

int32_t IntegrateInto(std::u16string_view f, double a, double b, int32_t n, bool trapezoid,
                      std::u16string_view var, double* value) {
    const double v = Integrate(f, a, b, n, trapezoid, var);
    if (value && E_Error() == ZORBIT_NO_ERROR) *value = v;
    return E_Error();
}

const char16_t* PolynomialDerivativeResult(std::u16string_view polynomial,
                                           std::u16string_view var) {
    Engine().numericResult = PolynomialDerivative(polynomial, var);
    return Engine().numericResult.c_str();
}

} // namespace zorbit
