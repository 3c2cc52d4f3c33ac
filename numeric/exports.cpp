// The numeric routines of the program's contract, exported by name.

#include "zorbit/zorbit.h"

#include "common/text.h"
#include "engine/guard.h"
#include "engine/state.h"
#include "numeric/numeric.h"
#include "numeric/series.h"

using namespace zorbit;

ZORBIT_API int32_t e_evals(const char16_t* expr, double xFrom, const char16_t* varName, double xTo,
                           int32_t steps, double* xs, double* ys, double* limits) {
    return guarded(
        [&] { return EvalSeries(View(expr), xFrom, View(varName), xTo, steps, xs, ys, limits); },
        int32_t{kErrInvalidArgument});
}

ZORBIT_API int32_t Integrate(const char16_t* f, double a, double b, int32_t n, int32_t trapezoid,
                             const char16_t* var, double* value) {
    return guarded(
        [&] {
            const double v = zorbit::Integrate(View(f), a, b, n, trapezoid == 1, View(var));
            if (value && E_Error() == kNoError) *value = v;
            return E_Error();
        },
        int32_t{kErrInvalidArgument});
}

ZORBIT_API double dSolve(const char16_t* polynomial, const char16_t* variable) {
    return guarded([&] { return SolvePolynomial(View(polynomial), View(variable)); }, 0.0);
}

ZORBIT_API const char16_t* lPoly_dydx(const char16_t* polynomial, const char16_t* variable) {
    return guarded(
        [&] {
            Engine().numericResult = PolynomialDerivative(View(polynomial), View(variable));
            return Engine().numericResult.c_str();
        },
        static_cast<const char16_t*>(u""));
}
