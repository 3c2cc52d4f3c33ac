// Each derivative rule through e_diff, and the bracketed texts the rules write.

#include "derive_test_support.h"
#include "engine/evaluator.h"
#include "zorbit/codes.h"

namespace zorbit::test {
namespace {

using Rule = RowTest;
TEST_P(Rule, PrintsTheDerivative) {
    const Derived d = Derive(GetParam().in);
    EXPECT_EQ(d.text, GetParam().out);
    EXPECT_EQ(d.length, static_cast<int32_t>(d.text.size()));
    EXPECT_EQ(d.error, -1);
    EXPECT_EQ(d.flag, 0);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, Rule,
    testing::Values(
        Row{"Number", "5", "0"}, Row{"Variable", "x", "1"}, Row{"OtherName", "a", "0"},
        Row{"VariableIsCaseSensitive", "X", "0"}, Row{"Linear", "3*x", "3"}, Row{"Sum", "x+y", "1"},
        Row{"Difference", "a-x", "(-1)"}, Row{"Product", "x*sin(x)", "sin(x)+cos(x)*x"},
        Row{"Quotient", "1/x", "(-1)/x^2"}, Row{"Negation", "-x^3", "(-(3*x^2))"},
        Row{"Square", "x^2", "2*x"}, Row{"RootPower", "x^0.5", "0.5*x^(-0.5)"},
        Row{"NameExponent", "x^a", "a*x^a/x"}, Row{"VariableExponent", "2^x", "2^x*0.6931471825"},
        Row{"VariableToItself", "x^x", "x*x^x/x+x^x*ln(x)"},
        Row{"Cos", "cos(2*x)", "(-(sin(2*x)*2))"}, Row{"Sin", "sin(x)", "cos(x)"},
        Row{"Tan", "tan(x)", "1/(cos(x))^2"}, Row{"Ctg", "ctg(x)", "(-1)/(sin(x))^2"},
        Row{"Abs", "abs(x)", "sgn(x)"}, Row{"SignIsFlat", "sgn(x)+heaviside(x)", "0"},
        Row{"Sqrt", "sqrt(x)", "0.5/sqrt(x)"}, Row{"Ln", "ln(x)", "1/x"},
        Row{"Exp", "exp(x^2)", "exp(x^2)*2*x"}, Row{"Arcsin", "arcsin(x)", "1/sqrt(1-x^2)"},
        Row{"Arccos", "arccos(x)", "(-1)/sqrt(1-x^2)"}, Row{"Arctg", "arctg(x)", "1/(1+x^2)"},
        Row{"Arcctg", "arcctg(x)", "(-1)/(1+x^2)"}, Row{"Sh", "sinh(x)", "ch(x)"},
        Row{"Ch", "ch(x)", "sh(x)"}, Row{"Th", "th(x)", "1/(ch(x))^2"},
        Row{"Cth", "cth(x)", "(-1)/(sh(x))^2"}, Row{"Log10", "log10(x)", "1/x/2.302585"},
        Row{"Polynomial", "x^3-2*x^2+x-1", "3*x^2-2*x*2+1"}),
    RowName);

TEST_F(DeriveTest, OtherVariable) {
    EXPECT_EQ(Derive("x*y^2", "y").text, "2*y*x");
}

// The texts before simplification, for the system's own examples.
using RuleText = RowTest;
TEST_P(RuleText, WritesTheBracketedTemplate) {
    Diff().variable = U("x");
    EXPECT_EQ(A(Df(Parse(GetParam().in))), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, RuleText,
    testing::Values(Row{"Square", "x^2", "((2)*(x)^(1)*(1))+((x)^(2)*(ln(x)*0))"},
                    Row{"FractionalExponent", "x^1.5",
                        "((1.5)*(x)^(0.5)*(1))+((x)^(1.5)*(ln(x)*0))"},
                    Row{"NegativeExponent", "x^(-2)", "((-2)*(x)^(-3)*(1))+((x)^(-2)*(ln(x)*0))"},
                    Row{"NameExponent", "x^a", "((a)*(x)^(a)/(x)*(1))+((x)^(a)*(ln(x)*0))"},
                    Row{"Product", "x*y", "((1)*(y)+(0)*(x))"},
                    Row{"Quotient", "x/y", "((1)*(y)-(0)*(x))/(y)^2"},
                    Row{"Sin", "sin(x)", "(cos(x)*(1))"}, Row{"Tg", "tg(x)", "(1/(cos(x)^2)*(1))"},
                    Row{"Log10", "log10(x)", "(1/(x)*(1))/(2.302585)"},
                    Row{"ChainKeepsSpelling", "sinh(x+1)", "(ch(((x)+(1)))*(((1)+(0))))"},
                    // A chain of one precedence is written in one pair of brackets.
                    Row{"SumChainIsFlat", "x+y-x", "((1)+(0)-(1))"},
                    Row{"ProductChainNestsItsFirstTerm", "x*y/x",
                        "((((1)*(y)+(0)*(x)))*(x)-(1)*(((x)*(y))))/(x)^2"},
                    Row{"ChainsInsideACall", "sin(a-b+c*d/e)",
                        "(cos(((a)-(b)+(((c)*(d)/(e)))))*(((0)-(0)+(((((0)*(d)+(0)*(c)))*(e)-(0)*"
                        "(((c)*(d))))/(e)^2))))"}),
    RowName);

TEST_F(DeriveTest, ReducedExponentIsCompact) {
    for (const auto& [exponent, reduced] : {std::pair{"2", "1"},
                                            {"0.5", "-0.5"},
                                            {"1.5", "0.5"},
                                            {"1", "0"},
                                            {"0", "-1"},
                                            {"1e3", "999"}}) {
        EXPECT_EQ(A(ReducedExponent(U(exponent))), reduced) << exponent;
    }
}

} // namespace
} // namespace zorbit::test

namespace zorbit::test {
namespace {

// Full precision: folded numbers are written whole and the rules' constants are doubles.
using FullPrecisionRule = RowTest;
TEST_P(FullPrecisionRule, PrintsTheDerivativeWhole) {
    SetPrecisionMode(ZORBIT_PRECISION_FULL);
    const Derived d = Derive(GetParam().in);
    EXPECT_EQ(d.text, GetParam().out);
    EXPECT_EQ(d.error, -1);
    EXPECT_EQ(d.flag, 0);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, FullPrecisionRule,
    testing::Values(Row{"Log10", "log10(x)", "1/x/2.302585092994046"},
                    Row{"VariableExponent", "2^x", "2^x*0.6931471805599453"},
                    Row{"FoldedQuotient", "x/3", "0.3333333333333333"},
                    Row{"FoldedFunction", "x*exp(1)", "2.718281828459045"},
                    Row{"FoldedPower", "x*2^0.5", "1.4142135623730951"},
                    Row{"ArcCotangentOfZero", "x*arcctg(0)", "1.5707963267948966"},
                    Row{"TinyIsNotZero", "x*0.000000000001", "0.000000000001"}),
    RowName);

} // namespace
} // namespace zorbit::test
