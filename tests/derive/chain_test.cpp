// Long chains of one precedence (a+b-c..., a*b/c...) derive as far as the node table and
// the nesting limit allow, on a 1 MiB stack; brackets, calls and powers still nest toward
// the limit.

#include <vector>

#include "derive_test_support.h"

namespace zorbit::test {
namespace {

struct ChainRow {
    const char* name;
    std::vector<const char*> terms; // taken in turn
    const char* ops;                // taken in turn between the terms
    int count;
    const char* fails; // the first error, or nullptr when it derives
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

TEST_P(LongChain, DerivesByValueOrFailsAtALimit) {
    const ChainRow& row = GetParam();
    const std::u16string formula = U(Chain(row));
    OnSmallStack([&] {
        std::u16string buffer(1u << 16, u' ');
        const int32_t length =
            DiffFormula(formula, u"x", buffer.data(), static_cast<int32_t>(buffer.size()));
        EXPECT_EQ(Diff().depth, 0);
        EXPECT_EQ(Diff().tooDeep,
                  row.fails != nullptr && row.fails == std::string("Too deep nesting"));
        if (row.fails != nullptr) {
            EXPECT_EQ(length, 0);
            EXPECT_EQ(E_Error(), 6);
            EXPECT_EQ(A(Diff().firstError), row.fails);
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
// the factors left of each one. A product's derivative also nests two brackets a factor,
// so past 250 factors it is too deep, and near 1000 it outgrows the node table first.
const std::vector<const char*> kRichTerms = {"x", "sin(x)", "3*x", "x*x", "2", "x/4"};
const std::vector<const char*> kPlainTerms = {"x", "2", "x", "0.5"};
const std::vector<const char*> kFactors = {"x", "1.01", "0.99", "x", "1.02", "0.98"};
const std::vector<const char*> kMixedFactors = {"x", "2", "x", "1.5"};
// One factor in ten is x, so the derivative of a long product stays in range for the
// difference it is checked against.
const std::vector<const char*> kSparseFactors = {"x",    "1.01", "0.99", "1.02", "0.98",
                                                 "1.03", "0.97", "1.01", "0.99", "1.02"};
constexpr const char* kDerives = nullptr;
constexpr const char* kTooLong = "Too long formula";
constexpr const char* kTooDeep = "Too deep nesting";

INSTANTIATE_TEST_SUITE_P(
    Rows, LongChain,
    testing::Values(ChainRow{"Sum246", kRichTerms, "+", 246, kDerives},
                    ChainRow{"MixedSum246", kRichTerms, "+--", 246, kDerives},
                    ChainRow{"Sum1000", kPlainTerms, "+", 1000, kDerives},
                    ChainRow{"MixedSum1000", kPlainTerms, "+--+-", 1000, kDerives},
                    ChainRow{"Sum4000", kPlainTerms, "+", 4000, kDerives},
                    ChainRow{"MixedSum4000", kRichTerms, "+-", 4000, kDerives, {0.35, 0.7, 1.3}},
                    ChainRow{"Sum20000", kPlainTerms, "+-", 20000, kDerives},
                    ChainRow{"Product60", kFactors, "*", 60, kDerives, {0.7, 1.3, 2.15}},
                    ChainRow{"MixedProduct60", kMixedFactors, "**/", 60, kDerives},
                    ChainRow{"Product200", kSparseFactors, "*", 200, kDerives},
                    ChainRow{"MixedProduct200", kSparseFactors, "**/", 200, kDerives},
                    ChainRow{"Product250", kSparseFactors, "*", 250, kDerives},
                    ChainRow{"Product251", kFactors, "*", 251, kTooDeep},
                    ChainRow{"MixedProduct251", kMixedFactors, "**/", 251, kTooDeep},
                    ChainRow{"Product1000", kFactors, "*", 1000, kTooLong},
                    ChainRow{"Product4000", kFactors, "*", 4000, kTooLong},
                    ChainRow{"MixedProduct4000", kFactors, "*/", 4000, kTooLong}),
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
