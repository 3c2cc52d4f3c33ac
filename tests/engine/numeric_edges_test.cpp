// Numeric edge cases: the first error is the outcome, NaN from finite operands is an error,
// odd inverse hyperbolic functions and a standard deviation without cancellation.
#include <cmath>
#include <string>

#include "engine/variables.h"
#include "engine_fixture.h"
#include "matrix/store.h"

namespace zorbit::test {
namespace {

// x = 2 and a 2x2 matrix mA are defined for every row.
class EdgeErrors : public EngineTest, public ::testing::WithParamInterface<CodeRow> {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        SetVarFunct(u"x", u"2", 0);
        SetStrMatrix(u"[mA];2;2;1;2;3;4", false, true);
    }
};

TEST_P(EdgeErrors, FailWithTheFirstErrorsCode) {
    double v = 42;
    EXPECT_EQ(EvalExpression(GetParam().expr, &v, false), GetParam().code);
    EXPECT_EQ(E_Error(), GetParam().code);
    EXPECT_EQ(v, 42);
}

INSTANTIATE_TEST_SUITE_P(
    LaterNameKeepsError, EdgeErrors,
    ::testing::Values(CodeRow{"max_division_then_constant", u"max(1/0; pi)", 8},
                      CodeRow{"sum_division_then_variable", u"sum(1/0; x)", 8},
                      CodeRow{"count_domain_then_constant", u"count(ln(-1); pi)", 13},
                      CodeRow{"sum_undefined_then_variable", u"sum(foo(1); x)", 4},
                      CodeRow{"sum_division_between_numbers", u"sum(1; 1/0; 2)", 8},
                      CodeRow{"max_division_then_hash_constant", u"max(1/0; #pi)", 8},
                      CodeRow{"sum_division_then_function", u"sum(1/0; sin(2))", 8},
                      CodeRow{"sum_division_then_matrix", u"sum(1/0; [mA])", 8},
                      CodeRow{"sum_division_then_negated_matrix", u"sum(1/0; -[mA])", 8},
                      CodeRow{"sum_division_then_det", u"sum(1/0; det([mA]))", 8},
                      CodeRow{"det_of_failed_argument", u"det(1/0)", 8},
                      CodeRow{"bracket_then_variable", u"(1/0)x", 8},
                      CodeRow{"argument_then_variable", u"sin(1/0)x", 8},
                      CodeRow{"undefined_then_function", u"foo(sin(1))", 4},
                      CodeRow{"undefined_then_variable", u"foo(x)", 4},
                      CodeRow{"two_undefined_names", u"sum(foo(1); bar(2))", 4}),
    ParamName<CodeRow>);

INSTANTIATE_TEST_SUITE_P(
    NaNFromFiniteOperands, EdgeErrors,
    ::testing::Values(CodeRow{"power_square_root_of_minus_one", u"(-1)^0.5", 13},
                      CodeRow{"power_cube_root_of_minus_eight", u"(-8)^(1/3)", 13},
                      CodeRow{"arccosh_below_one", u"arccosh(0.5)", 13},
                      CodeRow{"arctanh_above_one", u"arctanh(2)", 13},
                      CodeRow{"arcsech_above_one", u"arcsech(2)", 13},
                      CodeRow{"arccotanh_inside_unit", u"arccotanh(0.5)", 13},
                      CodeRow{"sine_of_float_overflow", u"sin(10^39)", 13},
                      CodeRow{"sqrt_of_minus_one", u"sqrt(-1)", 13},
                      CodeRow{"geom_mean_of_negative_product", u"geom_mean(-2; 8)", 13},
                      CodeRow{"prod_infinite_times_zero", u"prod(10^200; 10^200; 0)", 13},
                      CodeRow{"int_div_by_zero", u"5 \\ 0", 8},
                      CodeRow{"int_div_by_negative_zero", u"5 \\ -0", 8},
                      CodeRow{"int_div_by_zero_in_sum", u"1 + 7 \\ (2 - 2)", 8}),
    ParamName<CodeRow>);

// NaN as an operand comes only from infinite ones: -inf + inf.
constexpr std::u16string_view kNaN = u"(-10^400+10^400)";

INSTANTIATE_TEST_SUITE_P(
    NaNArgumentOfAnOrder, EdgeErrors,
    ::testing::Values(CodeRow{"min_nan_first", u"min((-10^400+10^400); 1)", 13},
                      CodeRow{"min_nan_last", u"min(1; (-10^400+10^400))", 13},
                      CodeRow{"max_nan_first", u"max((-10^400+10^400); 1)", 13},
                      CodeRow{"max_nan_last", u"max(1; (-10^400+10^400))", 13},
                      CodeRow{"median_nan_middle", u"median(3; (-10^400+10^400); 1)", 13}),
    ParamName<CodeRow>);

class EdgeValues : public EngineTest, public ::testing::WithParamInterface<ValueRow> {};

// Exact: these are the single-precision results, or sums that must not lose a digit.
TEST_P(EdgeValues, ComputeExactly) {
    EXPECT_EQ(Value(GetParam().expr), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, EdgeValues,
    ::testing::Values(
        ValueRow{"arcsinh_large_negative", u"arcsinh(-65970500)", -18.697864532470703},
        ValueRow{"arcsinh_beyond_cancellation", u"arcsinh(-100000000)", -19.113828659057617},
        ValueRow{"arcsinh_odd", u"arcsinh(-0.5)+arcsinh(0.5)", 0},
        ValueRow{"arcsinh_positive_unchanged", u"arcsinh(0.5)", 0.4812118113040924},
        ValueRow{"arcsinh_small", u"arcsinh(0.0000000001)", 1.000000013351432e-10},
        ValueRow{"arccosech_small_negative", u"arccosech(-0.00000001)", -19.113828659057617},
        ValueRow{"arccosech_odd", u"arccosech(-2)+arccosech(2)", 0},
        ValueRow{"tanh_overflowing_terms", u"tanh(1000)", 1},
        ValueRow{"tanh_large_negative", u"tanh(-50)", -1},
        ValueRow{"cotanh_overflowing_terms", u"cotanh(-1000)", -1},
        ValueRow{"int_div_by_half", u"5 \\ 0.5", 10},
        ValueRow{"power_of_negative_integer_exponent", u"(-8)^3", -512}),
    ParamName<ValueRow>);

INSTANTIATE_TEST_SUITE_P(
    Statistics, EdgeValues,
    ::testing::Values(
        ValueRow{"stddev_equal_values", u"stddev(0.1; 0.1; 0.1)", 0},
        ValueRow{"stddev_large_offset", u"stddev(100000001; 100000002; 100000003)", 1},
        ValueRow{"stddev_textbook", u"stddev(2; 4; 4; 4; 5; 5; 7; 9)", 2.138089935299395},
        ValueRow{"stddev_two_values", u"stddev(1; 2)", 0.7071067811865476}),
    ParamName<ValueRow>);

TEST_F(EdgeValues, NaNFromInfiniteOperandsFailsAsTheOverflowDoes) {
    // NaN from finite operands fails with 13 where it arises; NaN that an overflow made
    // reaches the end and fails there as the overflow itself would.
    for (std::u16string expr : {std::u16string(kNaN), u"sum(1; " + std::u16string(kNaN) + u")",
                                std::u16string(u"sum(-10^400; 10^400)")}) {
        SCOPED_TRACE(Narrow(expr));
        double v = 42;
        EXPECT_EQ(EvalExpression(expr, &v, false), 8);
        EXPECT_EQ(v, 42);
    }
}

TEST_F(EdgeValues, StddevSquaresBeyondDouble) {
    EXPECT_NEAR(Value(u"stddev(10^200; -10^200)/10^200"), 1.4142135623730951, 1e-15);
}

// Each report ends in one "Extended Error Info" block.
size_t Reports() {
    const std::u16string& msgs = Engine().errors.ErrMsgs;
    size_t n = 0;
    for (size_t p = msgs.find(u"Extended Error Info"); p != std::u16string::npos;
         p = msgs.find(u"Extended Error Info", p + 1))
        ++n;
    return n;
}

TEST_F(EdgeValues, DomainErrorReportedOnce) {
    EXPECT_EQ(Code(u"sqrt(-1)"), 13);
    EXPECT_EQ(Reports(), 1u) << Narrow(Engine().errors.ErrMsgs);
    EXPECT_EQ(Code(u"arccosh(0.5)"), 13);
    EXPECT_EQ(Reports(), 2u);
}

TEST_F(EdgeValues, FirstErrorKeepsItsOnlyReport) {
    SetVarFunct(u"x", u"2", 0);
    EXPECT_EQ(Code(u"sum(1/0; foo(x); 1/0)"), 8);
    EXPECT_EQ(Reports(), 1u) << Narrow(Engine().errors.ErrMsgs);
}

} // namespace
} // namespace zorbit::test
