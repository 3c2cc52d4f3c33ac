// Derivatives checked by value: the printed derivative, evaluated by the engine, agrees
// with a central difference of the formula.

#include <cmath>
#include <string>

#include "derive_test_support.h"
#include "engine/evaluator.h"

namespace zorbit::test {
namespace {

// The engine's value of text with x replaced by a number; NaN when it fails.
double ValueAt(const std::u16string& text, double x) {
    double xs[2] = {0, 0};
    double ys[2] = {0, 0};
    double limits[5] = {};
    const int32_t status = EvalSeries(text, x, u"x", x, 1, xs, ys, limits);
    return status == -1 ? ys[0] : std::nan("");
}

struct CrossRow {
    const char* name;
    const char* formula;
};

class CrossCheck : public DeriveTest, public testing::WithParamInterface<CrossRow> {};

TEST_P(CrossCheck, DerivativeMatchesCentralDifference) {
    const std::u16string formula = U(GetParam().formula);
    std::u16string buffer(4000, u' ');
    const int32_t length = DiffFormula(formula, u"x", buffer.data(), 4000);
    ASSERT_GT(length, 0) << "error " << E_Error();
    ASSERT_LE(length, 4000);
    const std::u16string derivative = buffer.substr(0, static_cast<size_t>(length));
    SCOPED_TRACE(A(derivative));
    // The engine computes functions in single precision, so the step is wide and the
    // difference of fourth order.
    constexpr double h = 1e-2;
    const auto f = [&](double at) { return ValueAt(formula, at); };
    for (const double x : {0.35, 0.7, 1.3, 2.15}) {
        SCOPED_TRACE(x);
        const double printed = ValueAt(derivative, x);
        const double central = (f(x - 2 * h) - 8 * f(x - h) + 8 * f(x + h) - f(x + 2 * h)) / (12 * h);
        ASSERT_TRUE(std::isfinite(printed));
        ASSERT_TRUE(std::isfinite(central));
        EXPECT_NEAR(printed, central, 1e-4 * std::max(1.0, std::fabs(central)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CrossCheck,
    testing::Values(
        CrossRow{"Square", "x^2"},
        CrossRow{"SinCos", "sin(x)*cos(x)"},
        CrossRow{"NestedSines", "sin(sin(sin(sin(x))))"},
        CrossRow{"Rational", "(x^2+1)/(x-1)"},
        CrossRow{"Polynomial", "x^3-2*x^2+x-1"},
        CrossRow{"SixFactors", "(x+1)*sin(x)*cos(x)*exp(x)*ln(x)*sqrt(x)"},
        CrossRow{"Tangent", "tan(x)+tg(x/2)"},
        CrossRow{"Cotangent", "ctg(x)+cotan(x/2)"},
        CrossRow{"Arcsine", "arcsin(x/3)"},
        CrossRow{"Arccosine", "arccos(x/3)"},
        CrossRow{"Arctangent", "arctg(x)+arctan(x^2)"},
        CrossRow{"Arccotangent", "arcctg(x)+arccotan(2*x)"},
        CrossRow{"Hyperbolic", "sh(x)+ch(x)+sinh(2*x)*cosh(x)"},
        CrossRow{"HyperbolicTangents", "th(x)+tanh(x)*tgh(x)+cth(x)+cotanh(x)-ctgh(2*x)"},
        CrossRow{"Abs", "abs(x-1)*x"},
        CrossRow{"Logarithms", "ln(x^2+1)+log10(x)"},
        CrossRow{"Exponential", "exp(-x)*x"},
        CrossRow{"VariableExponent", "x^x+2^x"},
        CrossRow{"NegativeExponent", "x^(-2)+x^1.5"},
        CrossRow{"Reciprocal", "1/x-(-3)/x^3"},
        CrossRow{"Negations", "-x^3-(x+1)*(-2)"},
        CrossRow{"RootOfSum", "sqrt(1+x^2)"},
        CrossRow{"QuotientOfFunctions", "tanh(x)/x"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zorbit::test
