// The derivative rules: the fully bracketed texts written before simplification.

#include <string>

#include "derive_test_support.h"

namespace zorbit::test {
namespace {

struct RuleRow {
    const char* name;
    const char* formula;
    const char* text;
};

class Rule : public DeriveTest, public testing::WithParamInterface<RuleRow> {};

TEST_P(Rule, WritesTheTemplate) {
    EXPECT_EQ(RuleText(GetParam().formula), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Rule,
    testing::Values(
        RuleRow{"Number", "5", "0"},
        RuleRow{"Variable", "x", "1"},
        RuleRow{"OtherName", "a", "0"},
        RuleRow{"VariableIsCaseSensitive", "X", "0"},
        RuleRow{"Sum", "x+1", "((1)+(0))"},
        RuleRow{"Difference", "x-a", "((1)-(0))"},
        RuleRow{"Product", "x*y", "((1)*(y)+(0)*(x))"},
        RuleRow{"Quotient", "x/y", "((1)*(y)-(0)*(x))/(y)^2"},
        RuleRow{"Negation", "-x", "(-(1))"},
        RuleRow{"Square", "x^2", "((2)*(x)^(1)*(1))+((x)^(2)*(ln(x)*0))"},
        RuleRow{"FractionalExponent", "x^1.5", "((1.5)*(x)^(0.5)*(1))+((x)^(1.5)*(ln(x)*0))"},
        RuleRow{"ExponentOne", "x^1", "((1)*(x)^(0)*(1))+((x)^(1)*(ln(x)*0))"},
        RuleRow{"NegativeExponent", "x^(-2)", "((-2)*(x)^(-3)*(1))+((x)^(-2)*(ln(x)*0))"},
        RuleRow{"NameExponent", "x^a", "((a)*(x)^(a)/(x)*(1))+((x)^(a)*(ln(x)*0))"},
        RuleRow{"VariableExponent", "2^x", "((x)*(2)^(x)/(2)*(0))+((2)^(x)*(ln(2)*1))"},
        RuleRow{"PowerOfGroup", "(x+1)^3",
                "((3)*(((x)+(1)))^(2)*(((1)+(0))))+((((x)+(1)))^(3)*(ln(((x)+(1)))*0))"},
        RuleRow{"Cos", "cos(x)", "(-sin(x)*(1))"},
        RuleRow{"Sin", "sin(x)", "(cos(x)*(1))"},
        RuleRow{"Tan", "tan(x)", "(1/(cos(x)^2)*(1))"},
        RuleRow{"Tg", "tg(x)", "(1/(cos(x)^2)*(1))"},
        RuleRow{"Ctg", "ctg(x)", "(-1/(sin(x)^2)*(1))"},
        RuleRow{"Abs", "abs(x)", "(sgn(x)*(1))"},
        RuleRow{"Sgn", "sgn(x)", "0"},
        RuleRow{"UnitStep", "heaviside(x)", "0"},
        RuleRow{"Sqrt", "sqrt(x)", "(0.5/sqrt(x)*(1))"},
        RuleRow{"Ln", "ln(x)", "(1/(x)*(1))"},
        RuleRow{"Exp", "exp(x)", "(exp(x)*(1))"},
        RuleRow{"Arcsin", "arcsin(x)", "(1/sqrt(1-(x)^2)*(1))"},
        RuleRow{"Arccos", "arccos(x)", "(-1/sqrt(1-(x)^2)*(1))"},
        RuleRow{"Arctg", "arctg(x)", "(1/(1+(x)^2)*(1))"},
        RuleRow{"Arcctg", "arcctg(x)", "(-1/(1+(x)^2)*(1))"},
        RuleRow{"Sh", "sh(x)", "(ch(x)*(1))"},
        RuleRow{"Ch", "ch(x)", "(sh(x)*(1))"},
        RuleRow{"Th", "th(x)", "(1/(ch(x)^2)*(1))"},
        RuleRow{"Cth", "cth(x)", "(-1/(sh(x)^2)*(1))"},
        RuleRow{"Log10", "log10(x)", "(1/(x)*(1))/(2.302585)"},
        RuleRow{"ChainKeepsSpelling", "sinh(x+1)", "(ch(((x)+(1)))*(((1)+(0))))"},
        RuleRow{"NegativeNumberStaysBracketed", "-2*x", "((0)*(x)+(1)*(-2))"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeriveTest, FormulaTextIsFullyBracketed) {
    struct Row {
        const char* formula;
        const char* text;
    };
    for (const Row& row : {Row{"a+b*c", "((a)+(((b)*(c))))"}, Row{"-x^2", "(-(((x)^(2))))"},
                           Row{"tan(x)/2", "((tan(x))/(2))"}, Row{"a-b", "((a)-(b))"}}) {
        SCOPED_TRACE(row.formula);
        EXPECT_EQ(A(Df_GetFormula(Parse(row.formula))), row.text);
    }
}

TEST_F(DeriveTest, ReducedExponentIsCompact) {
    struct Row {
        const char* exponent;
        const char* reduced;
    };
    for (const Row& row : {Row{"2", "1"}, Row{"3", "2"}, Row{"0.5", "-0.5"}, Row{"1.5", "0.5"},
                           Row{"1", "0"}, Row{"0", "-1"}, Row{"1e3", "999"}, Row{"-2", "-3"},
                           Row{"2.25", "1.25"}}) {
        SCOPED_TRACE(row.exponent);
        EXPECT_EQ(A(ReducedExponent(U(row.exponent))), row.reduced);
    }
}

}  // namespace
}  // namespace zorbit::test
