// The differentiator's parser: tree shapes, tokens, numbers, brackets and limits.

#include <string>

#include "derive_test_support.h"

namespace zorbit::test {
namespace {

struct ShapeRow {
    const char* name;
    const char* formula;
    const char* tree;
};

class ParseShape : public DeriveTest, public testing::WithParamInterface<ShapeRow> {};

TEST_P(ParseShape, BuildsTheTree) {
    const ShapeRow& row = GetParam();
    const int32_t root = Parse(row.formula);
    EXPECT_EQ(Diff().errorFlag, 0);
    EXPECT_EQ(Diff().bc, 0);
    EXPECT_EQ(Tree(root), row.tree);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseShape,
    testing::Values(
        ShapeRow{"Name", "x", "x"},
        ShapeRow{"NumberAsWritten", "2.5e-3", "2.5e-3"},
        ShapeRow{"NegativeNumberFactor", "-2*x", "(* -2 x)"},
        ShapeRow{"SignCoversProduct", "-x*2", "(neg (* x 2))"},
        ShapeRow{"NegativeNumberInBrackets", "(-3)", "-3"},
        ShapeRow{"MinusAfterNameIsOperator", "x-3", "(- x 3)"},
        ShapeRow{"LeadingPlus", "+x", "x"},
        ShapeRow{"SumsChainLeft", "a-b-c", "(- (- a b) c)"},
        ShapeRow{"ProductsChainLeft", "a/b*c", "(* (/ a b) c)"},
        ShapeRow{"ProductBeforeSum", "a+b*c", "(+ a (* b c))"},
        ShapeRow{"PowerBindsTighter", "2*x^3", "(* 2 (^ x 3))"},
        ShapeRow{"SignOverPower", "-x^2", "(neg (^ x 2))"},
        ShapeRow{"PowersChainLeft", "x^2^3", "(^ (^ x 2) 3)"},
        ShapeRow{"BracketedNegativeExponent", "x^(-2)", "(^ x -2)"},
        ShapeRow{"NameExponent", "x^n", "(^ x n)"},
        ShapeRow{"PowerOfGroup", "(x+1)^2", "(^ (+ x 1) 2)"},
        ShapeRow{"FunctionKeepsSpelling", "tan(x)", "(tan x)"},
        ShapeRow{"SignInsideCall", "sin(-x)", "(sin (neg x))"},
        ShapeRow{"UnitStepShortName", "h(x)", "(h x)"},
        ShapeRow{"Blanks", "  x  +  1 ", "(+ x 1)"},
        ShapeRow{"UnderscoreStartsName", "_a1", "_a1"},
        ShapeRow{"NestedCalls", "ln(exp(x))", "(ln (exp x))"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeriveTest, FunctionNodeComesBeforeItsArgument) {
    const int32_t root = Parse("sin(x)");
    EXPECT_EQ(root, 1);
    EXPECT_EQ(Diff().t[1].opCode, kDcSin);
    EXPECT_EQ(Diff().t[1].l, 2);
    EXPECT_EQ(A(Diff().t[2].con), "x");
}

TEST_F(DeriveTest, SpellingsShareACode) {
    struct Row {
        const char* formula;
        int32_t code;
    };
    for (const Row& row : {Row{"tan(x)", kDcTg}, Row{"tg(x)", kDcTg}, Row{"cotan(x)", kDcCtg},
                           Row{"sign(x)", kDcSgn}, Row{"sqr(x)", kDcSqrt}, Row{"log(x)", kDcLn},
                           Row{"arctan(x)", kDcArctg}, Row{"arccotan(x)", kDcArcctg},
                           Row{"sinh(x)", kDcSh}, Row{"cosh(x)", kDcCh}, Row{"tgh(x)", kDcTh},
                           Row{"ctgh(x)", kDcCth}, Row{"heaviside(x)", kDcHeaviside},
                           Row{"log10(x)", kDcLog10}}) {
        SCOPED_TRACE(row.formula);
        EXPECT_EQ(Diff().t[Parse(row.formula)].opCode, row.code);
    }
}

struct ErrorRow {
    const char* name;
    const char* formula;
    const char* message;  // the first error reported
};

class ParseError : public DeriveTest, public testing::WithParamInterface<ErrorRow> {};

TEST_P(ParseError, ReportsTheFirstProblem) {
    const ErrorRow& row = GetParam();
    Parse(row.formula);
    EXPECT_EQ(Diff().errorFlag, 1);
    EXPECT_EQ(A(Diff().firstError), row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseError,
    testing::Values(
        ErrorRow{"PointWithoutDigits", "1.", "Wrong number."},
        ErrorRow{"ExponentAtEnd", "1e", "Wrong number."},
        ErrorRow{"ExponentWithoutDigits", "1e+", "Wrong number."},
        ErrorRow{"ExponentBeforeName", "2ex", "Wrong number."},
        ErrorRow{"SignAfterOperator", "x+-y", "GetSingleOp: Function: Wrong first operand"},
        ErrorRow{"SignAfterProduct", "x*-y", "GetSingleOp: Function: Wrong first operand"},
        ErrorRow{"CallWithoutBrackets", "sin x", "GetSingleOp: Function: Wrong brackets"},
        ErrorRow{"UnitStepIsNoName", "h*2", "GetSingleOp: Function: Wrong brackets"},
        ErrorRow{"CaseSensitiveNames", "Sin(x)", "Unexpected token"},
        ErrorRow{"NegativeExponentUnbracketed", "x^-2", "GetSingleOp: Power Symbol: lgtNum <> 7"},
        ErrorRow{"ExpressionExponent", "x^(n+1)",
                 "GetSingleOp: Power Symbol: lgtNum <> 2 - bracket =1"},
        ErrorRow{"UnclosedExponent", "x^(2", "GetSingleOp: Power Symbol: lgtNum <> 2 - bracket =1"},
        ErrorRow{"OperandMissingAtEnd", "x+", "GetSingleOp: Function: Wrong first operand"},
        ErrorRow{"EmptyBrackets", "()", "GetSingleOp: Function: Wrong first operand"},
        ErrorRow{"CallNeverClosed", "sin(", "GetSingleOp: Function: Wrong first operand"},
        ErrorRow{"StrayCharacter", "x$y", "Unexpected token"},
        ErrorRow{"TwoOperands", "2 3", "Unexpected token"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeriveTest, BracketDepthShowsUnmatchedBrackets) {
    struct Row {
        const char* formula;
        int32_t bc;
    };
    for (const Row& row : {Row{"sin(x", 1}, Row{"(x", 1}, Row{"x)", -1}, Row{"((x)", 1},
                           Row{"x^(2)", 0}, Row{"sin((x))", 0}}) {
        SCOPED_TRACE(row.formula);
        Parse(row.formula);
        EXPECT_EQ(Diff().bc, row.bc);
    }
}

TEST_F(DeriveTest, GetLexReadsTokensAndKeepsTheCodeForStrayCharacters) {
    const std::u16string s = u"(-2.5)*sin $";
    StartParse();
    std::u16string text;
    int32_t code = 0;
    struct Step {
        int32_t code;
        const char* text;
    };
    for (const Step& step : {Step{kDcOpen, "("}, Step{kDcNum, "-2.5"}, Step{kDcClose, ")"},
                             Step{kDcMul, "*"}, Step{kDcSin, "sin"}, Step{kDcSin, ""},
                             Step{kDcEnd, ""}}) {
        GetLex(s, code, text);
        EXPECT_EQ(code, step.code) << step.text;
        EXPECT_EQ(A(text), step.text);
    }
}

TEST_F(DeriveTest, TooManyNodesFailsTheFormula) {
    std::string formula = "x";
    for (int i = 0; i < 2500; ++i) formula += "+x";  // 5001 nodes
    Parse(formula);
    EXPECT_EQ(A(Diff().firstError), "Too long formula");
    const Derived d = Derive(formula);
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(d.error, 6);
    EXPECT_EQ(d.flag, 1);
}

TEST_F(DeriveTest, NodeLimitCountsFormulaAndDerivativeTogether) {
    // 200 terms: 799 nodes and a derivative of 3399; 250 terms need 999 + 4249.
    const auto terms = [](int n) {
        std::string f = "x^2";
        for (int i = 1; i < n; ++i) f += "+x^2";
        return f;
    };
    EXPECT_GT(Derive(terms(200), "x", 5000).length, 0);
    const Derived d = Derive(terms(250));
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(d.error, 6);
}

TEST_F(DeriveTest, DeepNestingFailsInsteadOfOverflowing) {
    struct Row {
        int depth;
        bool fits;
    };
    for (const Row& row : {Row{256, true}, Row{900, true}, Row{1001, false}, Row{100000, false}}) {
        SCOPED_TRACE(row.depth);
        const std::string formula =
            std::string(static_cast<size_t>(row.depth), '(') + "x" + std::string(static_cast<size_t>(row.depth), ')');
        const Derived d = Derive(formula);
        EXPECT_EQ(d.length, row.fits ? 1 : 0);
        EXPECT_EQ(d.error, row.fits ? -1 : 6);
    }
}

TEST_F(DeriveTest, DeepCallsFailInsteadOfOverflowing) {
    // Sixty calls still fit the node table; the derivative grows with the square of the depth.
    std::string formula = "x";
    for (int i = 0; i < 60; ++i) formula = "sin(" + formula + ")";
    EXPECT_GT(Derive(formula, "x", 1).length, 0);
    for (int i = 0; i < 2000; ++i) formula = "sin(" + formula + ")";
    const Derived d = Derive(formula);
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(d.error, 6);
}

}  // namespace
}  // namespace zorbit::test
