// Parsing and errors: tree shapes, tokens, numbers, brackets and limits.

#include "derive_test_support.h"
#include "engine/function_table.h"

namespace zorbit::test {
namespace {

int32_t NodeOf(std::u16string_view spelling) {
    return FindFunction(spelling, kDerivativeName)->node;
}

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

// Every spelling's node: function_rows_test.cpp.
TEST_F(DeriveTest, FunctionNodeComesBeforeItsArgument) {
    EXPECT_EQ(Parse("sinh(x)"), 1);
    EXPECT_EQ(Diff().t[1].opCode, NodeOf(u"sh"));
    EXPECT_EQ(Diff().t[1].l, 2);
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
    for (const auto& [want, token] : {std::pair<int32_t, const char*>{kDcOpen, "("},
                                      {kDcNum, "-2.5"},
                                      {kDcClose, ")"},
                                      {kDcMul, "*"},
                                      {NodeOf(u"sin"), "sin"},
                                      {NodeOf(u"sin"), ""},
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

// A sum of n names takes 2n-1 nodes and its derivative as many: 250000 terms fill the
// table to 999998 nodes.
TEST_F(DeriveTest, NodeCeilingCoversFormulaAndDerivativeTogether) {
    struct Case {
        int terms;
        int32_t error;
    };
    for (const auto& [terms, error] : {Case{250000, -1}, {250001, 6}, {500001, 6}}) {
        SCOPED_TRACE(terms);
        const Derived d = Derive(Repeat("+x", terms, "x"));
        EXPECT_EQ(d.error, error);
        if (error == -1) {
            EXPECT_EQ(d.text, std::to_string(terms));
        } else {
            EXPECT_EQ(d.flag, 1);
            EXPECT_EQ(A(Diff().firstError), "Too long formula");
        }
        // The table grew for the call and was given back after it.
        EXPECT_EQ(Diff().Index, 0);
        EXPECT_EQ(Diff().t.size(), static_cast<size_t>(kDiffNodesAtStart) + 1);
    }
}

// Past the ceiling the parser stops reading: the formula fails, and the table starts
// again from its first node for the next one.
TEST_F(DeriveTest, ParserStopsAtTheCeiling) {
    const std::string sum = Repeat("+x", 600000, "x");
    Parse(sum);
    EXPECT_EQ(A(Diff().firstError), "Too long formula");
    EXPECT_TRUE(Diff().tooLong);
    // A token a node: about 1000002 tokens up to the node that overflowed, of 1199999.
    EXPECT_LT(Diff().lexCalls, 1000100) << "read on past the node that overflowed";
    EXPECT_EQ(Derive("x^2").text, "2*x");
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
        // loop. A product's derivative nests two brackets a factor, so a long product
        // fails as too deep, and a longer one outgrows the node table first.
        EXPECT_EQ(Derive(Repeat("+x", 240, "x")).text, "240");
        EXPECT_EQ(Derive(Repeat("+x", 4000, "x")).text, "4000");
        EXPECT_EQ(Derive(Repeat("*x", 200, "x"), "x", 1u << 16).error, -1);
        EXPECT_EQ(Derive(Repeat("*x", 499, "x")).error, 6);
        EXPECT_EQ(A(Diff().firstError), "Too deep nesting");
        EXPECT_EQ(Derive(Repeat("*x", 2000, "x")).error, 6);
        EXPECT_EQ(A(Diff().firstError), "Too long formula");
    });
}

} // namespace
} // namespace zorbit::test
