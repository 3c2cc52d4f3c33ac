// Derivatives checked by value: the printed derivative, evaluated by the engine, agrees
// with a central difference of the formula.

#include <cmath>

#include "derive_test_support.h"
#include "engine/evaluator.h"
#include "numeric/series.h"

namespace zorbit::test {
namespace {

// The engine's value of text with x replaced by a number; NaN when it fails.
double ValueAt(const std::u16string& text, double x) {
    double xs[2] = {}, ys[2] = {}, limits[5] = {};
    return EvalSeries(text, x, u"x", x, 1, xs, ys, limits) == -1 ? ys[0] : std::nan("");
}

using CrossCheck = RowTest;
TEST_P(CrossCheck, DerivativeMatchesCentralDifference) {
    const std::u16string formula = U(GetParam().in);
    std::u16string buffer(4000, u' ');
    const int32_t length = DiffFormula(formula, u"x", buffer.data(), 4000);
    ASSERT_GT(length, 0) << "error " << E_Error();
    const std::u16string derivative = buffer.substr(0, static_cast<size_t>(length));
    SCOPED_TRACE(A(derivative));
    // The engine computes functions in single precision, so the step is wide and the
    // difference of fourth order.
    constexpr double h = 1e-2;
    const auto f = [&](double at) { return ValueAt(formula, at); };
    for (const double x : {0.35, 0.7, 1.3, 2.15}) {
        const double printed = ValueAt(derivative, x);
        const double central =
            (f(x - 2 * h) - 8 * f(x - h) + 8 * f(x + h) - f(x + 2 * h)) / (12 * h);
        ASSERT_TRUE(std::isfinite(printed) && std::isfinite(central)) << x;
        EXPECT_NEAR(printed, central, 1e-4 * std::max(1.0, std::fabs(central))) << x;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Rows, CrossCheck,
    testing::Values(
        Row{"Square", "x^2", ""}, Row{"SinCos", "sin(x)*cos(x)", ""},
        Row{"NestedSines", "sin(sin(sin(sin(x))))", ""}, Row{"Rational", "(x^2+1)/(x-1)", ""},
        Row{"Polynomial", "x^3-2*x^2+x-1", ""},
        Row{"SixFactors", "(x+1)*sin(x)*cos(x)*exp(x)*ln(x)*sqrt(x)", ""},
        Row{"Tangents", "tan(x)+tg(x/2)+ctg(x)+cotan(x/2)", ""},
        Row{"Arcs", "arcsin(x/3)+arccos(x/3)+arctg(x)+arctan(x^2)+arcctg(x)+arccotan(2*x)", ""},
        Row{"Hyperbolic", "sh(x)+ch(x)+sinh(2*x)*cosh(x)", ""},
        Row{"HyperbolicTangents", "th(x)+tanh(x)*tgh(x)+cth(x)+cotanh(x)-ctgh(2*x)", ""},
        Row{"AbsAndLogarithms", "abs(x-1)*x+ln(x^2+1)+log10(x)", ""},
        Row{"Exponentials", "exp(-x)*x+x^x+2^x", ""},
        Row{"Powers", "x^(-2)+x^1.5+1/x-(-3)/x^3", ""}, Row{"Negations", "-x^3-(x+1)*(-2)", ""},
        Row{"RootOfSum", "sqrt(1+x^2)", ""}, Row{"QuotientOfFunctions", "tanh(x)/x", ""}),
    RowName);

} // namespace
} // namespace zorbit::test
