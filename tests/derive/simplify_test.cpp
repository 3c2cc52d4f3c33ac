// Simplification, folding and bracket printing of parsed derivative texts.

#include <string>

#include "derive_test_support.h"
#include "engine/state.h"

namespace zorbit::test {
namespace {

struct PrintRow {
    const char* name;
    const char* text;
    const char* printed;
};

class Simplify : public DeriveTest, public testing::WithParamInterface<PrintRow> {};

TEST_P(Simplify, PrintsTheSimplifiedFormula) {
    EXPECT_EQ(Simplified(GetParam().text), GetParam().printed);
    EXPECT_EQ(Diff().errorFlag, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Identities, Simplify,
    testing::Values(
        PrintRow{"ZeroPlus", "0+x", "x"},
        PrintRow{"PlusZero", "x+0", "x"},
        PrintRow{"ZeroMinusIsNegation", "0-x", "(-x)"},
        PrintRow{"MinusZero", "x-0", "x"},
        PrintRow{"TimesZero", "x*0", "0"},
        PrintRow{"ZeroTimes", "0*sin(x)", "0"},
        PrintRow{"OneTimes", "1*x", "x"},
        PrintRow{"TimesOne", "x*1", "x"},
        PrintRow{"ZeroOver", "0/x", "0"},
        PrintRow{"OverOne", "x/1", "x"},
        PrintRow{"ExponentZero", "x^0", "1"},
        PrintRow{"ExponentOne", "x^1", "x"},
        PrintRow{"ZeroBase", "0^x", "0"},
        PrintRow{"ZeroToZero", "0^0", "0"},
        PrintRow{"NameExponentStays", "x^a", "x^a"},
        PrintRow{"VariableExponentStays", "x^x", "x^x"},
        PrintRow{"NumberBaseNameExponentStays", "2^x", "2^x"},
        PrintRow{"NestedIdentities", "((2)*(x)^(1)*(1))+((x)^(2)*(ln(x)*0))", "2*x"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Folding, Simplify,
    testing::Values(
        PrintRow{"KeepsFractions", "0.5*3", "1.5"},
        PrintRow{"WholeProduct", "2*3", "6"},
        PrintRow{"Sum", "2+3.25", "5.25"},
        PrintRow{"Difference", "2-3", "(-1)"},
        PrintRow{"Quotient", "1/3", "0.3333333333"},
        PrintRow{"Negation", "-(2)", "(-2)"},
        PrintRow{"OddPowerOfNegative", "(-2)^3", "(-8)"},
        PrintRow{"EvenPowerOfNegative", "(-2)^2", "4"},
        PrintRow{"Power", "2^10", "1024"},
        PrintRow{"SinOfZero", "sin(0)", "0"},
        PrintRow{"CosOfZero", "cos(0)", "1"},
        PrintRow{"LnInSinglePrecision", "ln(2)", "0.6931471825"},
        PrintRow{"Exp", "exp(1)", "2.7182818285"},
        PrintRow{"SignText", "sgn(-3)", "(-1)"},
        PrintRow{"UnitStepOfNegative", "h(-1)", "0"},
        PrintRow{"UnitStepOfZero", "h(0)", "1"},
        PrintRow{"ArcCotangentHalfPiInSingle", "arcctg(0)", "1.5707963705"},
        PrintRow{"Sqrt", "sqrt(2.25)", "1.5"},
        PrintRow{"NegativeZeroIsZero", "0*(-2)", "0"},
        PrintRow{"FoldsThroughTheTree", "x*(2*3+1)", "x*7"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Brackets, Simplify,
    testing::Values(
        PrintRow{"SumOnRightOfMinus", "a-(b+c)", "a-(b+c)"},
        PrintRow{"SumOnLeftOfMinus", "(a+b)-c", "a+b-c"},
        PrintRow{"DifferenceOnRightOfMinus", "a-(b-c)", "a-(b-c)"},
        PrintRow{"ProductOnRightOfMinus", "a-b*c", "a-b*c"},
        PrintRow{"SumInProduct", "a*(b+c)", "a*(b+c)"},
        PrintRow{"ProductInDivisor", "a/(b*c)", "a/(b*c)"},
        PrintRow{"ProductOverDivisor", "(a*b)/c", "a*b/c"},
        PrintRow{"PowerInDivisor", "a/b^2", "a/b^2"},
        PrintRow{"FunctionBase", "(sin(x))^2", "(sin(x))^2"},
        PrintRow{"NegativeExponent", "x^(-2)", "x^(-2)"},
        PrintRow{"NegativeFactor", "(-2)*x", "(-2)*x"},
        PrintRow{"NegationOfName", "-x", "(-x)"},
        PrintRow{"NegationOfSum", "-(a+b)", "(-(a+b))"},
        PrintRow{"NegationInProduct", "(-x)*y", "((-x))*y"},
        PrintRow{"FunctionArgument", "sin(a+b)", "sin(a+b)"},
        PrintRow{"GroupBase", "(a+b)^2", "(a+b)^2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeriveTest, DivisionByZeroIsReportedAndNotFolded) {
    for (const char* text : {"x/0", "4/0"}) {
        SCOPED_TRACE(text);
        ResetDiffState();
        E_Error() = -1;
        EXPECT_EQ(Simplified(text), text);
        EXPECT_EQ(Diff().errorFlag, 1);
        EXPECT_EQ(A(Diff().firstError), "Division by zero.");
        EXPECT_EQ(E_Error(), 8);
    }
}

}  // namespace
}  // namespace zorbit::test
