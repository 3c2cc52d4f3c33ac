// Long chains of one precedence (a+b-c..., a*b/c...) derive as far as the node table
// allows, on a 1 MiB stack; brackets, calls and powers still nest toward the limit.

#include <vector>

#include "derive_test_support.h"

namespace zorbit::test {
namespace {

struct ChainRow {
    const char* name;
    std::vector<const char*> terms; // taken in turn
    const char* ops;                // taken in turn between the terms
    int count;
    bool derives; // otherwise the node table runs out
    std::vector<double> points = {0.35, 0.7, 1.3, 2.15};
};

std::string ChainRowName(const testing::TestParamInfo<ChainRow>& info) {
    return info.param.name;
}

std::string Chain(const ChainRow& row) {
    std::string s = row.terms[0];
    const std::string ops = row.ops;
    for (int i = 1; i < row.count; ++i) {
        s += ops[static_cast<size_t>(i - 1) % ops.size()];
        s += row.terms[static_cast<size_t>(i) % row.terms.size()];
    }
    return s;
}

class LongChain : public DeriveTest, public testing::WithParamInterface<ChainRow> {};

TEST_P(LongChain, DerivesByValueOrRunsOutOfNodes) {
    const ChainRow& row = GetParam();
    const std::u16string formula = U(Chain(row));
    OnSmallStack([&] {
        std::u16string buffer(1u << 16, u' ');
        const int32_t length =
            DiffFormula(formula, u"x", buffer.data(), static_cast<int32_t>(buffer.size()));
        EXPECT_FALSE(Diff().tooDeep);
        EXPECT_EQ(Diff().depth, 0);
        if (!row.derives) {
            EXPECT_EQ(length, 0);
            EXPECT_EQ(E_Error(), 6);
            EXPECT_EQ(A(Diff().firstError), "Too long formula");
            return;
        }
        ASSERT_GT(length, 0) << "error " << E_Error() << ": " << A(Diff().firstError);
        ASSERT_LE(static_cast<size_t>(length), buffer.size());
        const std::u16string derivative = buffer.substr(0, static_cast<size_t>(length));
        SCOPED_TRACE(A(derivative).substr(0, 200));
        ExpectMatchesCentralDifference(formula, derivative, row.points);
    });
}

// Terms cost nodes twice, in the formula and in its derivative, and a product rewrites
// the factors left of each one, so products outgrow the 5000 nodes near 65 factors.
const std::vector<const char*> kRichTerms = {"x", "sin(x)", "3*x", "x*x", "2", "x/4"};
const std::vector<const char*> kPlainTerms = {"x", "2", "x", "0.5"};
const std::vector<const char*> kFactors = {"x", "1.01", "0.99", "x", "1.02", "0.98"};

INSTANTIATE_TEST_SUITE_P(
    Rows, LongChain,
    testing::Values(ChainRow{"Sum246", kRichTerms, "+", 246, true},
                    ChainRow{"MixedSum246", kRichTerms, "+--", 246, true},
                    ChainRow{"Sum1000", kPlainTerms, "+", 1000, true},
                    ChainRow{"MixedSum1000", kPlainTerms, "+--+-", 1000, true},
                    // 2499 nodes for the formula and as many for its derivative.
                    ChainRow{"Sum1250FillsTheTable", {"x"}, "+-", 1250, true},
                    ChainRow{"Sum1251", {"x"}, "+-", 1251, false},
                    ChainRow{"Sum4000", kPlainTerms, "+", 4000, false},
                    ChainRow{"MixedSum4000", kRichTerms, "+-", 4000, false},
                    ChainRow{"Product60", kFactors, "*", 60, true, {0.7, 1.3, 2.15}},
                    ChainRow{"MixedProduct60", {"x", "2", "x", "1.5"}, "**/", 60, true},
                    ChainRow{"Product246", kFactors, "*", 246, false},
                    ChainRow{"Product1000", kFactors, "*", 1000, false},
                    ChainRow{"Product4000", kFactors, "*", 4000, false},
                    ChainRow{"MixedProduct4000", kFactors, "*/", 4000, false}),
    ChainRowName);

std::string Nest(const std::string& open, int depth, const std::string& core,
                 const std::string& close) {
    std::string s;
    for (int i = 0; i < depth; ++i)
        s += open;
    s += core;
    for (int i = 0; i < depth; ++i)
        s += close;
    return s;
}

using Nesting = RowTest;
TEST_P(Nesting, FailsCleanlyOnSmallStack) {
    OnSmallStack([] {
        const Derived d = Derive(GetParam().in);
        EXPECT_EQ(d.length, 0);
        EXPECT_EQ(d.error, 6);
        EXPECT_EQ(d.flag, 1);
        EXPECT_EQ(A(Diff().firstError), "Too deep nesting");
        EXPECT_EQ(Diff().depth, 0);
    });
}

// The texts outlive the rows, which keep only pointers.
const std::string kBrackets = Nest("(", 500, "x", ")");
const std::string kManyBrackets = Nest("(", 100000, "x", ")");
const std::string kCalls = Nest("sin(", 500, "x", ")");
const std::string kCallsInSum = "x+" + Nest("x+sin(", 400, "x", ")") + "+x";
const std::string kRightSums = Nest("x+(", 600, "x", ")");
const std::string kPowerTower = "x" + Nest("^2", 600, "", "");
const std::string kNegations = Nest("-(", 600, "x", ")");

INSTANTIATE_TEST_SUITE_P(Rows, Nesting,
                         testing::Values(Row{"Brackets500", kBrackets.c_str(), ""},
                                         Row{"Brackets100000", kManyBrackets.c_str(), ""},
                                         Row{"Calls500", kCalls.c_str(), ""},
                                         Row{"CallsInsideASum", kCallsInSum.c_str(), ""},
                                         Row{"SumsNestedToTheRight", kRightSums.c_str(), ""},
                                         Row{"PowerTower600", kPowerTower.c_str(), ""},
                                         Row{"Negations600", kNegations.c_str(), ""}),
                         RowName);

TEST_F(DeriveTest, NestingJustUnderTheLimitDerivesOnSmallStack) {
    OnSmallStack([] {
        EXPECT_EQ(Derive(Nest("(", 499, "x", ")")).text, "1");
        // Their derivatives nest twice as deep as they do.
        EXPECT_EQ(Derive(Nest("-(", 249, "x", ")")).text, "(-1)");
        EXPECT_EQ(Derive(Nest("x+(", 249, "x", ")")).text, "250");
        // Each term nests on its own; the chain adds nothing.
        EXPECT_EQ(Derive(Nest("(", 240, "x", ")") + "-" + Nest("(", 240, "x", ")") + "+x").text,
                  "1");
    });
}

} // namespace
} // namespace zorbit::test
