// The function table as the differentiator reads it: spellings, node codes, rules, folds.

#include <vector>

#include "derive/diff_log.h"
#include "derive/diff_number.h"
#include "derive_test_support.h"
#include "engine/function_table.h"
#include "engine/functions.h"

namespace zorbit::test {
namespace {

// The rows the differentiator knows, each with the first of its spellings.
std::vector<std::pair<const FunctionRow*, std::string>> DerivativeRows() {
    std::vector<std::pair<const FunctionRow*, std::string>> rows;
    for (const FunctionRow& row : kFunctionRows)
        for (const FnSpelling& s : row.spellings)
            if ((s.readers & kDerivativeName) != 0) {
                rows.emplace_back(&row, A(s.name));
                break;
            }
    return rows;
}

TEST_F(DeriveTest, EverySpellingParsesToItsRowsNode) {
    for (const FunctionRow& row : kFunctionRows) {
        for (const FnSpelling& s : row.spellings) {
            if ((s.readers & kDerivativeName) == 0) continue;
            SCOPED_TRACE(A(s.name));
            EXPECT_TRUE(IsFunctionCode(row.node));
            EXPECT_EQ(FunctionOfNode(row.node), &row);
            const int32_t root = Parse(A(s.name) + "(x)");
            EXPECT_EQ(Diff().errorFlag, 0);
            EXPECT_EQ(Diff().t[root].opCode, row.node);
            EXPECT_EQ(Diff().t[root].con, s.name);
        }
    }
}

// Every rule checked by value, the inner derivative included; the flat functions give 0.
TEST_F(DeriveTest, EveryRuleMatchesCentralDifference) {
    for (const auto& [row, name] : DerivativeRows()) {
        const std::string formula = name + "(x/2)";
        SCOPED_TRACE(formula);
        const Derived d = Derive(formula);
        ASSERT_EQ(d.error, -1);
        if (row->rule.head.empty())
            EXPECT_EQ(d.text, "0");
        else
            ExpectMatchesCentralDifference(U(formula), U(d.text), {0.35, 0.7, 1.3});
    }
}

// The simplifier's value of f(0.5) agrees with the evaluator's single-precision one.
TEST_F(DeriveTest, EveryFoldAgreesWithTheEvaluator) {
    for (const auto& [row, name] : DerivativeRows()) {
        const std::string formula = "x*" + name + "(0.5)";
        SCOPED_TRACE(formula);
        const Derived d = Derive(formula);
        ASSERT_EQ(d.error, -1);
        std::string number = d.text; // a negative number is printed in brackets
        if (number.starts_with('(')) number = number.substr(1, number.size() - 2);
        const double single = CallFunction(row->fn, 0.5);
        EXPECT_NEAR(NumberValue(U(number)), single, 1e-6 * std::fabs(single)) << d.text;
    }
}

// The node dump's codes and names are in the log files users keep.
TEST_F(DeriveTest, NodeDumpNamesStay) {
    struct Case {
        const char* spelling;
        int32_t code;
        std::u16string_view name;
    };
    for (const auto& [spelling, code, name] :
         {Case{"cos", 10, u"cos"}, Case{"tan", 12, u"tg"}, Case{"sign", 15, u"sgn"},
          Case{"arctan", 21, u"arctg"}, Case{"tgh", 25, u"th"}, Case{"h", 27, u""},
          Case{"log10", 28, u""}}) {
        SCOPED_TRACE(spelling);
        EXPECT_EQ(Diff().t[Parse(std::string(spelling) + "(x)")].opCode, code);
        EXPECT_EQ(OpName(code), name);
    }
    EXPECT_EQ(OpName(kDcPow), u"^");
    EXPECT_EQ(OpName(kDcName), u"f(x)");
    EXPECT_EQ(OpName(29), u"");
}

} // namespace
} // namespace zorbit::test
