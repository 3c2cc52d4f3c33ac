// Simplification, folding and bracket printing of parsed derivative texts.

#include "context/context.h"
#include "derive_test_support.h"

namespace zorbit::test {
namespace {

using Simplify = RowTest;
TEST_P(Simplify, PrintsTheSimplifiedFormula) {
    EXPECT_EQ(A(Diff_GetFormula(Diff_Simplify(Parse(GetParam().in)))), GetParam().out);
    EXPECT_EQ(Diff().errorFlag, 0);
}
INSTANTIATE_TEST_SUITE_P(
    Identities, Simplify,
    testing::Values(Row{"Zeros", "0+x+0-0", "x"}, Row{"ZeroMinusIsNegation", "0-x", "(-x)"},
                    Row{"ZeroFactor", "x*0+0*sin(x)", "0"}, Row{"Ones", "1*x*1/1", "x"},
                    Row{"ZeroOver", "0/x", "0"}, Row{"ExponentZero", "x^0", "1"},
                    Row{"ExponentOne", "x^1", "x"}, Row{"ZeroBase", "0^x+0^0", "0"},
                    Row{"NameExponentsStay", "x^a*x^x", "x^a*x^x"},
                    Row{"NumberBaseNameExponentStays", "2^x", "2^x"}),
    RowName);
INSTANTIATE_TEST_SUITE_P(
    Folding, Simplify,
    testing::Values(Row{"KeepsFractions", "0.5*3", "1.5"}, Row{"Whole", "2*3", "6"},
                    Row{"Difference", "2-3", "(-1)"}, Row{"Quotient", "1/3", "0.3333333333"},
                    Row{"Negation", "-(2)", "(-2)"}, Row{"OddPowerOfNegative", "(-2)^3", "(-8)"},
                    Row{"EvenPowerOfNegative", "(-2)^2", "4"}, Row{"SinOfZero", "sin(0)", "0"},
                    Row{"LnInSinglePrecision", "ln(2)", "0.6931471825"},
                    Row{"Exp", "exp(1)", "2.7182818285"}, Row{"SignText", "sgn(-3)", "(-1)"},
                    Row{"UnitStep", "h(-1)+h(0)", "1"},
                    Row{"ArcCotangentHalfPiInSingle", "arcctg(0)", "1.5707963705"},
                    Row{"NegativeZeroIsZero", "0*(-2)", "0"},
                    Row{"ThroughTheTree", "x*(2*3+1)", "x*7"}),
    RowName);
INSTANTIATE_TEST_SUITE_P(Brackets, Simplify,
                         testing::Values(Row{"SumRightOfMinus", "a-(b+c)", "a-(b+c)"},
                                         Row{"SumLeftOfMinus", "(a+b)-c", "a+b-c"},
                                         Row{"ProductRightOfMinus", "a-b*c", "a-b*c"},
                                         Row{"SumInProduct", "a*(b+c)", "a*(b+c)"},
                                         Row{"ProductInDivisor", "a/(b*c)", "a/(b*c)"},
                                         Row{"ProductOverDivisor", "(a*b)/c", "a*b/c"},
                                         Row{"FunctionBase", "(sin(x))^2", "(sin(x))^2"},
                                         Row{"NegativeNumbers", "x^(-2)*(-2)", "x^(-2)*(-2)"},
                                         Row{"NegationOfSum", "-(a+b)", "(-(a+b))"},
                                         Row{"NegationInProduct", "(-x)*y", "((-x))*y"},
                                         Row{"GroupBase", "(a+b)^2", "(a+b)^2"}),
                         RowName);

TEST_F(DeriveTest, DivisionByZeroIsReportedAndNotFolded) {
    for (const char* text : {"x/0", "4/0"}) {
        ResetContext();
        E_Error() = -1;
        EXPECT_EQ(A(Diff_GetFormula(Diff_Simplify(Parse(text)))), text);
        EXPECT_EQ(A(Diff().firstError), "Division by zero.");
        EXPECT_EQ(E_Error(), 8);
    }
}

} // namespace
} // namespace zorbit::test

namespace zorbit::test {
namespace {

// first, then n - 1 operands that take turns between a and b.
std::string Alternate(const std::string& first, const char* a, const char* b, int n) {
    std::string s = first;
    for (int i = 1; i < n; ++i)
        s += i % 2 ? a : b;
    return s;
}

TEST_F(DeriveTest, LongChainsWalkWithinTheNestingLimit) {
    // 2500 terms fill the node table; along a chain the walks take no nesting.
    const std::string chain = Alternate("a", "-a", "+a", 2500);
    const std::string quotients = Alternate("a", "/a", "*a", 2500);
    std::string ones = "1";
    for (int i = 1; i < 2500; ++i)
        ones += i % 3 ? "+1" : "-1";
    const std::string tail = Alternate("", "-a", "+a", 2000);
    OnSmallStack([&] {
        for (const auto& [name, text, printed] :
             {std::tuple{"Sum", chain, chain},
              {"Quotients", quotients, quotients},
              {"FoldsAlongTheChain", ones, std::string("834")},
              {"DropsUnitFactors", Alternate("x", "*1", "/1", 2500), std::string("x")},
              {"DeepFirstTerm", "(((((a+b)*c)-d)/e)^2)" + tail, "(((a+b)*c-d)/e)^2" + tail}}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(A(Diff_GetFormula(Diff_Simplify(Parse(text)))), printed);
            EXPECT_FALSE(Diff().tooDeep);
            EXPECT_EQ(Diff().depth, 0);
        }
    });
}

} // namespace
} // namespace zorbit::test
