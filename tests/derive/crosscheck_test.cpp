// Derivatives checked by value: the printed derivative, evaluated by the engine, agrees
// with a central difference of the formula.

#include "derive_test_support.h"
#include "engine/evaluator.h"
#include "numeric/series.h"

namespace zorbit::test {
namespace {

using CrossCheck = RowTest;
TEST_P(CrossCheck, DerivativeMatchesCentralDifference) {
    const std::u16string formula = U(GetParam().in);
    std::u16string buffer(4000, u' ');
    const int32_t length = DiffFormula(formula, u"x", buffer.data(), 4000);
    ASSERT_GT(length, 0) << "error " << E_Error();
    const std::u16string derivative = buffer.substr(0, static_cast<size_t>(length));
    SCOPED_TRACE(A(derivative));
    ExpectMatchesCentralDifference(formula, derivative);
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
        Row{"RootOfSum", "sqrt(1+x^2)", ""}, Row{"QuotientOfFunctions", "tanh(x)/x", ""},
        // The derivative keeps the numbers as written; the engine reads them the same way.
        Row{"ScientificNumbers", "2.5e-3*x^2+6.02E23*x-1E+10/x+x^1e0", ""}),
    RowName);

} // namespace
} // namespace zorbit::test
