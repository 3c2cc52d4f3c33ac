// The C interface of the numeric layer: each export is one guarded call into it.

#include "zorbit/zorbit.h"

#include "common/text.h"
#include "engine/export_guard.h"
#include "numeric/numeric.h"
#include "numeric/series.h"

using namespace zorbit;

ZORBIT_API int32_t e_evals(const char16_t* expr, double xFrom, const char16_t* varName, double xTo,
                           int32_t steps, double* xs, double* ys, double* limits) {
    return guarded_code(
        [&] { return EvalSeries(View(expr), xFrom, View(varName), xTo, steps, xs, ys, limits); });
}

ZORBIT_API int32_t e_evalsEx(const char16_t* expr, double xFrom, const char16_t* varName,
                             double xTo, int32_t steps, double* xs, double* ys, double* limits,
                             int32_t* codes) {
    return guarded_code([&] {
        return EvalSeries(View(expr), xFrom, View(varName), xTo, steps, xs, ys, limits, codes);
    });
}

ZORBIT_API int32_t Integrate(const char16_t* f, double a, double b, int32_t n, int32_t trapezoid,
                             const char16_t* var, double* value) {
    return guarded_code(
        [&] { return IntegrateInto(View(f), a, b, n, trapezoid == 1, View(var), value); });
}

ZORBIT_API double dSolve(const char16_t* polynomial, const char16_t* variable) {
    return guarded([&] { return SolvePolynomial(View(polynomial), View(variable)); }, 0.0);
}

ZORBIT_API const char16_t* lPoly_dydx(const char16_t* polynomial, const char16_t* variable) {
    return guarded([&] { return PolynomialDerivativeResult(View(polynomial), View(variable)); },
                   static_cast<const char16_t*>(u""));
}
