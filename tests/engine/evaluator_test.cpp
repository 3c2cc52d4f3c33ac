#include <cmath>
#include <vector>

#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/variables.h"
#include "engine_fixture.h"
#include "numeric/series.h"

namespace zorbit::test {
namespace {

class EvaluatorValues : public EngineTest, public ::testing::WithParamInterface<ValueRow> {};

TEST_P(EvaluatorValues, Computes) {
    EXPECT_DOUBLE_EQ(Value(GetParam().expr), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Operators, EvaluatorValues,
    ::testing::Values(
        ValueRow{"precedence", u"2+3*4", 14}, ValueRow{"brackets", u"(2+3)*4", 20},
        ValueRow{"power_left_assoc", u"2^3^2", 64},
        ValueRow{"unary_minus_below_power", u"-2^2", -4},
        ValueRow{"unary_minus_times", u"-2*3", -6}, ValueRow{"minus_after_times", u"2*-3", -6},
        ValueRow{"unary_plus", u"+5-2", 3}, ValueRow{"int_div", u"7\\2", 3},
        ValueRow{"int_div_negative", u"-7\\2", -3}, ValueRow{"int_div_by_half", u"5\\0.5", 10},
        ValueRow{"mod", u"7 mod 3", 1}, ValueRow{"mod_negative", u"-7 mod 3", -1},
        ValueRow{"mod_min_by_minus_one", u"-2147483648 mod -1", 0},
        ValueRow{"compare_true", u"3 > 2", -1}, ValueRow{"compare_false", u"3 < 2", 0},
        ValueRow{"not_equal", u"3 <> 2", -1}, ValueRow{"less_equal", u"2 <= 2", -1},
        ValueRow{"greater_equal", u"1 >= 2", 0}, ValueRow{"equal", u"2 = 2", -1},
        ValueRow{"and_of_compare", u"3 > 2 and 1", 1}, ValueRow{"or", u"0 or 0", 0},
        ValueRow{"xor", u"1 xor 1", 0}, ValueRow{"xor_one", u"1 xor 0", 1},
        ValueRow{"not_zero", u"not 0", -1}, ValueRow{"not_minus_one", u"not -1", 0},
        ValueRow{"not_one", u"not 1", -2}, ValueRow{"not_binds_compare", u"not 1 = 2", -1},
        ValueRow{"decimal_comma", u"1,5*2", 3}, ValueRow{"leading_point", u".5+1", 1.5},
        ValueRow{"hex", u"&FF", 255}, ValueRow{"hex_empty", u"&", 0}, ValueRow{"bin", u"!101", 5},
        ValueRow{"negative_infinity_allowed", u"-10^400 < 0", -1},
        ValueRow{"whitespace_kinds", u"  2 +\t3\r\n", 5},
        ValueRow{"pi_variable_text", u"pi", 3.1415926536},
        ValueRow{"pi_const_single", u"#pi", 3.1415927410125732},
        ValueRow{"e_const", u"e", 2.7182818285}, ValueRow{"deg", u"deg", 57.2957795131},
        ValueRow{"function_upper", u"SIN(0.5)-sin(0.5)", 0}),
    [](const auto& info) { return std::string(info.param.name); });

class EvaluatorErrors : public EngineTest, public ::testing::WithParamInterface<CodeRow> {};

TEST_P(EvaluatorErrors, FailsWithCode) {
    EXPECT_EQ(Code(GetParam().expr), GetParam().code);
    EXPECT_EQ(E_Error(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, EvaluatorErrors,
    ::testing::Values(
        CodeRow{"division_by_zero", u"1/0", 8}, CodeRow{"overflow", u"10^400", 8},
        CodeRow{"tokens_left", u"2 3", 2}, CodeRow{"missing_operand", u"2+", 3},
        CodeRow{"missing_bracket", u"(2", 6}, CodeRow{"empty", u"", 3},
        CodeRow{"function_without_bracket", u"sin 2", 6},
        CodeRow{"eqv_is_no_operator", u"1 eqv 1", 2}, CodeRow{"undefined_function", u"foo(2)", 4},
        CodeRow{"letter_after_digits", u"1d5", 4}, CodeRow{"error_inside_argument", u"sin(1/0)", 8},
        CodeRow{"argument_without_bracket", u"sin(2", 6}, CodeRow{"mod_by_zero", u"5 mod 0.5", 8},
        CodeRow{"int_div_by_zero", u"1\\0", 8}, CodeRow{"unknown_matrix", u"[mA]", 14},
        CodeRow{"unclosed_matrix", u"[mA", 14}, CodeRow{"unclosed_matrix_in_sum", u"1+[mA*2", 14},
        CodeRow{"operator_keyword_alone", u"and", 3}, CodeRow{"stray_character", u"2+$", 3},
        CodeRow{"hash_2pi", u"#2pi", 4}, CodeRow{"count_empty", u"count()", 3},
        CodeRow{"int_div_out_of_range", u"1\\0.0000000001", 13},
        CodeRow{"double_point_number", u"1.2.3", 3}, CodeRow{"hex_letter_beyond_f", u"&1G", 3},
        CodeRow{"bin_bad_digit", u"!102", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvaluatorErrors, MatchReportNamesExpectedAndFound) {
    EXPECT_EQ(Code(u"sin 2"), 6);
    const std::u16string& msgs = Engine().errors.ErrMsgs;
    EXPECT_NE(msgs.find(u"Expected (, got '2'"), std::u16string::npos) << Narrow(msgs);
    EXPECT_NE(msgs.find(u"Procedure : 'e_match (Line: 1546)'"), std::u16string::npos);
}

TEST_F(EvaluatorErrors, ResultUntouchedOnError) {
    double v = 42;
    EXPECT_EQ(EvalExpression(u"1/0", &v, false), 8);
    EXPECT_EQ(v, 42);
}

TEST_F(EvaluatorErrors, BoolSignChangesTrueValue) {
    EXPECT_EQ(SetBoolSign(1), 0);
    EXPECT_EQ(Value(u"3 > 2"), 1);
    EXPECT_EQ(SetBoolSign(5), 0); // ignored
    EXPECT_EQ(Value(u"3 > 2"), 1);
    SetBoolSign(-1);
    EXPECT_EQ(Value(u"3 > 2"), -1);
}

TEST_F(EvaluatorErrors, DeEvalReturnsValueOrCode) {
    EXPECT_DOUBLE_EQ(DeEval(u"2*21", false), 42);
    EXPECT_EQ(E_Error(), -1);
    EXPECT_DOUBLE_EQ(DeEval(u"2 3", false), 2);
    EXPECT_EQ(E_Error(), 2);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"de_eval (Line: 1010)"), std::u16string::npos);
}

class SeriesTest : public EngineTest {};

TEST_F(SeriesTest, SquaresOverUnitRange) {
    std::vector<double> xs(11), ys(11);
    double lim[5];
    EXPECT_EQ(EvalSeries(u"x^2", 0, u"x", 1, 10, xs.data(), ys.data(), lim), -1);
    EXPECT_DOUBLE_EQ(xs[5], 0.5);
    EXPECT_NEAR(ys[5], 0.25, 1e-12);
    EXPECT_DOUBLE_EQ(ys[10], 1.0);
    EXPECT_EQ(lim[0], 0);
    EXPECT_EQ(lim[1], 0);
    EXPECT_EQ(lim[2], 0);
    EXPECT_NEAR(lim[3], 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(lim[4], 1.0);
}

TEST_F(SeriesTest, VariableReplacedAsWholeNameOnly) {
    std::vector<double> xs(3), ys(3);
    double lim[5];
    EXPECT_EQ(EvalSeries(u"exp(x)", 0, u"x", 1, 2, xs.data(), ys.data(), lim), -1);
    EXPECT_NEAR(ys[0], 1.0, 1e-6);
    EXPECT_NEAR(ys[2], 2.718281, 1e-5);
}

TEST_F(SeriesTest, StepsBelowOneWriteNothing) {
    double xs[2] = {7, 7}, ys[2] = {7, 7}, lim[5] = {7, 7, 7, 7, 7};
    EXPECT_EQ(EvalSeries(u"x", 0, u"x", 1, 0, xs, ys, lim), 13);
    EXPECT_EQ(xs[0], 7);
    EXPECT_EQ(lim[0], 7);
}

TEST_F(SeriesTest, EmptyRangeEvaluatesOnePointOnly) {
    std::vector<double> xs(5, 9), ys(5, 9);
    double lim[5];
    EXPECT_EQ(EvalSeries(u"x+1", 2, u"x", 2, 4, xs.data(), ys.data(), lim), -1);
    EXPECT_EQ(ys[0], 3);
    EXPECT_EQ(ys[1], 0);
    EXPECT_EQ(xs[4], 0);
}

TEST_F(SeriesTest, NeverWritesPastStepsPlusOne) {
    // Accumulated x may fall short of xTo by rounding: still at most steps + 1 points.
    std::vector<double> xs(1001 + 1, -5), ys(1001 + 1, -5);
    double lim[5];
    EvalSeries(u"x", 0, u"x", 0.3, 1000, xs.data(), ys.data(), lim);
    EXPECT_EQ(xs[1001], -5);
    EXPECT_EQ(ys[1001], -5);
}

TEST_F(SeriesTest, LastPointErrorIsReturned) {
    std::vector<double> xs(3), ys(3);
    double lim[5];
    EXPECT_EQ(EvalSeries(u"1/x", -1, u"x", 0, 2, xs.data(), ys.data(), lim), 8);
    EXPECT_DOUBLE_EQ(ys[0], -1);
    EXPECT_DOUBLE_EQ(ys[2], ys[1]); // the failed point keeps the previous value
}

} // namespace
} // namespace zorbit::test

namespace zorbit::test {
namespace {

using PrecisionModes = EngineTest;

TEST_F(PrecisionModes, SetReturnsThePreviousModeAndRefusesUnknownOnes) {
    struct Step {
        int32_t mode, returned, after, error;
    };
    for (const Step& s :
         {Step{ZORBIT_PRECISION_FULL, ZORBIT_PRECISION_CLASSIC, 1, -1},
          Step{2, -1, 1, ZORBIT_E_INVALID_ARGUMENT}, Step{-1, -1, 1, ZORBIT_E_INVALID_ARGUMENT},
          Step{ZORBIT_PRECISION_CLASSIC, ZORBIT_PRECISION_FULL, 0, -1}}) {
        E_Error() = ZORBIT_NO_ERROR;
        EXPECT_EQ(SetPrecisionMode(s.mode), s.returned) << s.mode;
        EXPECT_EQ(Engine().eval.precision, s.after) << s.mode;
        EXPECT_EQ(E_Error(), s.error) << s.mode;
    }
}

// Where e_eval failed, as an offset in the caller's text.
struct PositionRow {
    const char* name;
    std::u16string_view expr;
    int32_t pos;
};
class ErrorPosition : public EngineTest, public ::testing::WithParamInterface<PositionRow> {};

TEST_P(ErrorPosition, PointsAtTheFailingToken) {
    // A custom function makes the read text longer than the caller's.
    ASSERT_GT(SetVarFunct(u"f(x)", u"x*2+0", 1), 0);
    const PositionRow& row = GetParam();
    // With error records and without them: the place must not depend on the records.
    for (const int32_t flags : {0, 1}) {
        Engine().errors.MsgFlags = flags;
        double v = 0;
        EXPECT_GT(EvalExpression(row.expr, &v, false), 1);
        EXPECT_EQ(Engine().errors.errorPos, row.pos)
            << Narrow(row.expr) << " read as " << Narrow(Engine().parser.e_expr) << ", records "
            << flags;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ErrorPosition,
                         ::testing::Values(PositionRow{"operator_after_operator", u"1+*2", 2},
                                           PositionRow{"stray_character", u"12 + $", 5},
                                           PositionRow{"undefined_name", u"3*zork+1", 2},
                                           PositionRow{"trailing_number", u"2 3", 2},
                                           PositionRow{"division_by_zero_at_end", u"1/0", 3},
                                           PositionRow{"division_by_zero_before_more", u"1/0+5", 3},
                                           PositionRow{"unclosed_bracket", u"(1+2", 4},
                                           PositionRow{"extra_closing_bracket", u"1+2)", 3},
                                           PositionRow{"operand_missing_in_bracket", u"(3*)-1", 3},
                                           PositionRow{"operand_missing_in_call", u"sqrt(3*)", 7},
                                           PositionRow{"error_inside_call", u"sin(1/0)", 7},
                                           PositionRow{"comma_keeps_offsets", u"1,5+*2", 4},
                                           PositionRow{"before_custom_call", u"$+f(2)", 0},
                                           PositionRow{"after_custom_call", u"f(2)*3+*1", 7},
                                           PositionRow{"inside_custom_call", u"1+f(2$)", 2},
                                           PositionRow{"between_custom_calls", u"f(1)+$+f(2)", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvaluatorErrors, PositionGoneAfterSuccessAndForUnreadTexts) {
    EXPECT_NE(Code(u"1+*"), 0);
    EXPECT_EQ(Engine().errors.errorPos, 2);
    EXPECT_EQ(Value(u"1+2"), 3);
    EXPECT_EQ(Engine().errors.errorPos, -1);
    // Repeated, the text runs as a program; a failure after it still has its place.
    EXPECT_EQ(Value(u"1+2"), 3);
    EXPECT_EQ(Value(u"1+2"), 3);
    EXPECT_EQ(Engine().errors.errorPos, -1);
    EXPECT_EQ(Code(std::u16string(kMaxExpressionLength + 1, u'1')), ZORBIT_E_INVALID_ARGUMENT);
    EXPECT_EQ(Engine().errors.errorPos, -1);
}

} // namespace
} // namespace zorbit::test
