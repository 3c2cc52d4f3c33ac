// Parsing and errors: tree shapes, tokens, numbers, brackets and limits.

#include "derive_test_support.h"

namespace zorbit::test {
namespace {

using ParseShape = RowTest;
TEST_P(ParseShape, BuildsTheTree) {
    const int32_t root = Parse(GetParam().in);
    EXPECT_EQ(Diff().errorFlag, 0);
    EXPECT_EQ(Diff().bc, 0);
    EXPECT_EQ(Tree(root), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ParseShape,
    testing::Values(Row{"NumberAsWritten", "2.5e-3", "2.5e-3"},
                    Row{"NegativeNumberFactor", "-2*x", "(* -2 x)"},
                    Row{"SignCoversProduct", "-x*2", "(neg (* x 2))"},
                    Row{"NegativeNumberInBrackets", "(-3)", "-3"},
                    Row{"MinusAfterNameIsOperator", "x-3", "(- x 3)"},
                    Row{"LeadingPlus", "+x", "x"},
                    Row{"ChainsLeft", "a-b-c/d*e", "(- (- a b) (* (/ c d) e))"},
                    Row{"PowerBindsTighter", "2*x^3", "(* 2 (^ x 3))"},
                    Row{"SignOverPower", "-x^2", "(neg (^ x 2))"},
                    Row{"PowersChainLeft", "x^2^3", "(^ (^ x 2) 3)"},
                    Row{"BracketedExponents", "x^(-2)*x^(n)", "(* (^ x -2) (^ x n))"},
                    Row{"FunctionKeepsSpelling", "tan(x)", "(tan x)"},
                    Row{"SignInsideCall", "sin(-x)", "(sin (neg x))"},
                    Row{"BlanksAndUnderscore", "  _a1  +  h(x) ", "(+ _a1 (h x))"}),
    RowName);

TEST_F(DeriveTest, FunctionNodeComesBeforeItsArgumentAndSpellingsShareCodes) {
    EXPECT_EQ(Parse("sinh(x)"), 1);
    EXPECT_EQ(Diff().t[1].opCode, kDcSh);
    EXPECT_EQ(Diff().t[1].l, 2);
    for (const char* f :
         {"tg(x)", "cotan(x)", "sign(x)", "sqr(x)", "log(x)", "arctan(x)", "arccotan(x)", "cosh(x)",
          "tgh(x)", "ctgh(x)", "heaviside(x)", "log10(x)"}) {
        SCOPED_TRACE(f);
        EXPECT_NE(Diff().t[Parse(f)].opCode, kDcName);
    }
}

using ParseError = RowTest;
TEST_P(ParseError, ReportsTheFirstProblem) {
    Parse(GetParam().in);
    EXPECT_EQ(Diff().errorFlag, 1);
    EXPECT_EQ(A(Diff().firstError), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ParseError,
    testing::Values(
        Row{"PointWithoutDigits", "1.", "Wrong number."},
        Row{"ExponentAtEnd", "1e", "Wrong number."},
        Row{"ExponentWithoutDigits", "1e+", "Wrong number."},
        Row{"SignAfterOperator", "x+-y", "GetSingleOp: Function: Wrong first operand"},
        Row{"CallWithoutBrackets", "sin x", "GetSingleOp: Function: Wrong brackets"},
        Row{"UnitStepIsNoName", "h*2", "GetSingleOp: Function: Wrong brackets"},
        Row{"CaseSensitiveNames", "Sin(x)", "Unexpected token"},
        Row{"NegativeExponentUnbracketed", "x^-2", "GetSingleOp: Power Symbol: lgtNum <> 7"},
        Row{"ExpressionExponent", "x^(n+1)", "GetSingleOp: Power Symbol: lgtNum <> 2 - bracket =1"},
        Row{"OperandMissingAtEnd", "x+", "GetSingleOp: Function: Wrong first operand"},
        Row{"EmptyBrackets", "()", "GetSingleOp: Function: Wrong first operand"},
        Row{"CallNeverClosed", "sin(", "GetSingleOp: Function: Wrong first operand"},
        Row{"StrayCharacter", "x$y", "Unexpected token"}),
    RowName);

TEST_F(DeriveTest, BracketDepthShowsUnmatchedBrackets) {
    for (const auto& [formula, bc] :
         {std::pair{"sin(x", 1}, {"((x)", 1}, {"x)", -1}, {"x^(2)", 0}}) {
        SCOPED_TRACE(formula);
        Parse(formula);
        EXPECT_EQ(Diff().bc, bc);
    }
}

TEST_F(DeriveTest, GetLexKeepsTheCodeForStrayCharacters) {
    const std::u16string s = u"(-2.5)*sin $";
    std::u16string text;
    int32_t code = 0;
    StartParse();
    for (const auto& [want, token] : {std::pair{kDcOpen, "("},
                                      {kDcNum, "-2.5"},
                                      {kDcClose, ")"},
                                      {kDcMul, "*"},
                                      {kDcSin, "sin"},
                                      {kDcSin, ""},
                                      {kDcEnd, ""}}) {
        GetLex(s, code, text);
        EXPECT_EQ(code, want) << token;
        EXPECT_EQ(A(text), token);
    }
}

std::string Repeat(const std::string& piece, int n, const std::string& first) {
    std::string s = first;
    for (int i = 1; i < n; ++i)
        s += piece;
    return s;
}

TEST_F(DeriveTest, NodeLimitCoversFormulaAndDerivativeTogether) {
    EXPECT_EQ(Derive(Repeat("+x", 2501, "x")).error, 6); // 5001 nodes in the formula
    // 200 terms take 799 nodes and 3399 for the derivative; 250 would take 999 + 4249.
    EXPECT_EQ(Derive(Repeat("+x^2", 200, "x^2"), "x", 5000).error, -1);
    const Derived d = Derive(Repeat("+x^2", 250, "x^2"));
    EXPECT_EQ(d.error, 6);
    EXPECT_EQ(d.flag, 1);
}

TEST_F(DeriveTest, DeepNestingFailsInsteadOfOverflowing) {
    OnSmallStack([] {
        for (const auto& [depth, error] : {std::pair{256, -1}, {499, -1}, {500, 6}, {100000, 6}}) {
            SCOPED_TRACE(depth);
            const auto n = static_cast<size_t>(depth);
            EXPECT_EQ(Derive(std::string(n, '(') + "x" + std::string(n, ')')).error, error);
        }
        std::string calls = "x";
        for (int i = 0; i < 3000; ++i)
            calls = "sin(" + calls + ")";
        EXPECT_EQ(Derive(calls).error, 6);
        // Long chains make deep trees without brackets, but the walks follow them in a
        // loop; a long product outgrows the node table instead.
        EXPECT_EQ(Derive(Repeat("+x", 240, "x")).text, "240");
        EXPECT_EQ(Derive(Repeat("+x", 499, "x")).text, "499");
        const Derived product = Derive(Repeat("*x", 499, "x"));
        EXPECT_EQ(product.error, 6);
        EXPECT_EQ(A(Diff().firstError), "Too long formula");
    });
}

} // namespace
} // namespace zorbit::test
