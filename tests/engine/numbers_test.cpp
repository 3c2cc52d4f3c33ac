// Numbers at the edges of what the engine can answer: the ends of the inverse
// trigonometric domains, the 32-bit integer operators, products beyond the doubles,
// infinities of either sign and literals that are no numbers.
#include <cmath>
#include <string>

#include "engine/variables.h"
#include "engine_fixture.h"
#include "matrix/store.h"

namespace zorbit::test {
namespace {

class NumberValues : public EngineTest, public ::testing::WithParamInterface<ValueRow> {};

// Exact: single-precision results of the functions, integers of the operators.
TEST_P(NumberValues, ComputeExactly) {
    EXPECT_EQ(Value(GetParam().expr), GetParam().value) << Narrow(GetParam().expr);
}

constexpr double kHalfPi = 1.5707963705062866; // pi/2 in single precision
constexpr double kPi = 3.1415927410125732;

INSTANTIATE_TEST_SUITE_P(DomainEnds, NumberValues,
                         ::testing::Values(ValueRow{"arcsin_one", u"arcsin(1)", kHalfPi},
                                           ValueRow{"arcsin_minus_one", u"arcsin(-1)", -kHalfPi},
                                           ValueRow{"arccos_one", u"arccos(1)", 0},
                                           ValueRow{"arccos_minus_one", u"arccos(-1)", kPi},
                                           ValueRow{"arcsec_one", u"arcsec(1)", 0},
                                           ValueRow{"arcsec_minus_one", u"arcsec(-1)", kPi},
                                           ValueRow{"arccosec_one", u"arccosec(1)", kHalfPi},
                                           ValueRow{"arccosec_minus_one", u"arccosec(-1)",
                                                    -kHalfPi}),
                         ParamName<ValueRow>);

INSTANTIATE_TEST_SUITE_P(
    Integers32, NumberValues,
    ::testing::Values(ValueRow{"int_lowest", u"int(-2147483648)", -2147483648.0},
                      ValueRow{"int_highest_single", u"int(2147483520)", 2147483520},
                      ValueRow{"int_div_highest", u"2147483647\\1", 2147483647},
                      ValueRow{"int_div_lowest", u"-4294967296\\2", -2147483648.0},
                      ValueRow{"int_div_truncates_to_range", u"2147483647.9\\1", 2147483647},
                      ValueRow{"mod_highest", u"2147483647 mod 10", 7},
                      ValueRow{"mod_lowest_by_minus_one", u"-2147483648 mod -1", 0},
                      ValueRow{"not_highest", u"not 2147483647", -2147483648.0},
                      ValueRow{"not_lowest", u"not -2147483648", 2147483647}),
    ParamName<ValueRow>);

INSTANTIATE_TEST_SUITE_P(
    Literals, NumberValues,
    ::testing::Values(ValueRow{"hex_64_bits_highest", u"&7FFFFFFFFFFFFFFF", 9223372036854775807.0},
                      ValueRow{"hex_64_bits_all_ones", u"&FFFFFFFFFFFFFFFF", -1},
                      ValueRow{"hex_leading_zeros", u"&000000000000000000000001", 1},
                      ValueRow{"hex_lower_case", u"&ff", 255},
                      ValueRow{"bin_eight_ones", u"!11111111", 255},
                      ValueRow{"point_alone", u".", 0}, ValueRow{"leading_point", u".25", 0.25},
                      ValueRow{"trailing_point", u"2.", 2},
                      ValueRow{"comma_one_decimal", u"max(1,5;3)", 3}),
    ParamName<ValueRow>);

INSTANTIATE_TEST_SUITE_P(
    Scientific, NumberValues,
    ::testing::Values(
        ValueRow{"exponent", u"1e5", 1e5}, ValueRow{"capital_e", u"6.02E23", 6.02e23},
        ValueRow{"negative_exponent", u"2.5e-3", 2.5e-3}, ValueRow{"plus_exponent", u"1E+10", 1e10},
        ValueRow{"leading_point", u".5e3", 500}, ValueRow{"trailing_point", u"2.e2", 200},
        ValueRow{"quotient", u"6.02e23/1e23", 6.02e23 / 1e23}, ValueRow{"negated", u"-1e-3", -1e-3},
        ValueRow{"power", u"1e2^2", 1e4}, ValueRow{"in_arguments", u"max(1e3;2e2)", 1000},
        ValueRow{"tiny_is_zero", u"1e-400", 0}, ValueRow{"e_after_exponent", u"2e1*e^0", 20}),
    ParamName<ValueRow>);

INSTANTIATE_TEST_SUITE_P(GeometricMean, NumberValues,
                         ::testing::Values(ValueRow{"negative_pair", u"geom_mean(-2; -8)", 4},
                                           ValueRow{"single_negative", u"geom_mean(-5)", -5},
                                           ValueRow{"zero", u"geom_mean(10^300; 10^300; 0)", 0},
                                           ValueRow{"one_third_power", u"geom_mean(1; 1; 8)", 2}),
                         ParamName<ValueRow>);

// A 2x2 matrix mA is defined for every row.
class NumberErrors : public EngineTest, public ::testing::WithParamInterface<CodeRow> {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        SetStrMatrix(u"[mA];2;2;1;2;3;4", false, true);
    }
};

TEST_P(NumberErrors, FailWithTheirCode) {
    double v = 42;
    EXPECT_EQ(EvalExpression(GetParam().expr, &v, false), GetParam().code);
    EXPECT_EQ(E_Error(), GetParam().code);
    EXPECT_EQ(v, 42);
}

INSTANTIATE_TEST_SUITE_P(DomainEnds, NumberErrors,
                         ::testing::Values(CodeRow{"arcsin_beyond_one", u"arcsin(1.0001)", 13},
                                           CodeRow{"arccos_beyond_minus_one", u"arccos(-1.0001)",
                                                   13},
                                           CodeRow{"arcsec_inside_unit", u"arcsec(0.9999)", 13},
                                           CodeRow{"arccosec_zero", u"arccosec(0)", 13}),
                         ParamName<CodeRow>);

INSTANTIATE_TEST_SUITE_P(
    Integers32, NumberErrors,
    ::testing::Values(CodeRow{"int_above", u"int(3000000000)", 13},
                      CodeRow{"int_below", u"int(-3000000000)", 13},
                      CodeRow{"int_rounds_up_in_single", u"int(2147483647)", 13},
                      CodeRow{"int_of_infinity", u"int(10^400)", 13},
                      CodeRow{"int_div_above", u"10000000000\\3", 13},
                      CodeRow{"int_div_below", u"-10000000000\\3", 13},
                      CodeRow{"int_div_just_above", u"2147483648\\1", 13},
                      CodeRow{"int_div_infinite_quotient", u"10^400\\2", 13},
                      CodeRow{"mod_left_above", u"5000000000 mod 7", 13},
                      CodeRow{"mod_right_below", u"7 mod -5000000000", 13},
                      CodeRow{"mod_left_beyond_right_zero", u"5000000000 mod 0", 13},
                      CodeRow{"mod_by_zero_still_8", u"5 mod 0", 8},
                      CodeRow{"not_above", u"not 3000000000", 13},
                      CodeRow{"first_error_kept", u"(1/0) mod 5000000000", 8}),
    ParamName<CodeRow>);

INSTANTIATE_TEST_SUITE_P(
    Infinities, NumberErrors,
    ::testing::Values(CodeRow{"positive", u"10^308*10", 8}, CodeRow{"negative", u"-(10^308*10)", 8},
                      CodeRow{"negative_power", u"-10^400", 8},
                      CodeRow{"negative_sum", u"sum(-10^308; -10^308)", 8},
                      CodeRow{"negative_minimum", u"min(-10^400; 1)", 8},
                      CodeRow{"negative_product", u"prod(-10^200; 10^200)", 8},
                      CodeRow{"negative_trace", u"-trace([mA]*10^308)", 8},
                      CodeRow{"matrix_positive_element", u"[mA]*10^308*10", 8},
                      CodeRow{"matrix_negative_element", u"-[mA]*10^308*10", 8},
                      CodeRow{"matrix_shifted_to_negative", u"[mA]-10^400", 8},
                      // What an overflow turns into NaN on the way has no value either.
                      CodeRow{"overflow_minus_overflow", u"(10^308*10)-(10^308*10)", 8},
                      CodeRow{"overflow_times_zero", u"(10^308*10)*0", 8},
                      CodeRow{"determinant_overflowing", u"det([mA]*10^200)", 8},
                      CodeRow{"matrix_overflow_times_zero", u"[mA]*10^400*0", 8}),
    ParamName<CodeRow>);

INSTANTIATE_TEST_SUITE_P(GeometricMean, NumberErrors,
                         ::testing::Values(CodeRow{"negative_product_beyond_doubles",
                                                   u"geom_mean(-10^200; 10^200)", 13},
                                           CodeRow{"negative_product_below_doubles",
                                                   u"geom_mean(-10^-200; 10^-200)", 13},
                                           CodeRow{"infinite_value", u"geom_mean(10^400; 1)", 8}),
                         ParamName<CodeRow>);

INSTANTIATE_TEST_SUITE_P(
    Literals, NumberErrors,
    ::testing::Values(
        CodeRow{"two_points_together", u"1..5", 3}, CodeRow{"two_points_apart", u"3.14.15*2", 3},
        CodeRow{"decimal_commas_as_separators", u"max(1,5,3)", 3}, CodeRow{"points_only", u"..", 3},
        CodeRow{"leading_point_twice", u".5.", 3}, CodeRow{"in_an_argument", u"sin(1..5)", 3},
        CodeRow{"after_an_operator", u"2*1..5", 3}, CodeRow{"hex_letter_beyond_f", u"&G1", 3},
        CodeRow{"hex_letter_after_digits", u"&1g", 3}, CodeRow{"hex_underscore", u"&F_", 3},
        CodeRow{"hex_swallowing_a_keyword", u"&FFand 1", 3},
        CodeRow{"hex_beyond_64_bits", u"&10000000000000000", 13},
        CodeRow{"bin_digit_two", u"!102", 3}, CodeRow{"bin_digit_nine", u"!9", 3},
        CodeRow{"undefined_name_first", u"foo(1..5)", 4}, CodeRow{"division_first", u"1/0+1..5", 8},
        CodeRow{"exponent_too_large", u"1e400", 8},
        CodeRow{"negative_exponent_too_large", u"-1e400", 8},
        CodeRow{"exponent_without_digits", u"2e", 2},
        CodeRow{"exponent_before_a_name", u"2e-x", 2}),
    ParamName<CodeRow>);

class NumberReports : public EngineTest {};

TEST_F(NumberReports, NameWhatFailed) {
    const struct {
        std::u16string_view expr;
        std::u16string_view part;
    } rows[] = {
        {u"int(3000000000)", u"Invalid Argument = 3000000000.0000000000"},
        {u"10000000000\\3", u"the quotient 3333333333.0000000000 is beyond the 32-bit"},
        {u"5000000000 mod 7", u"mod: the left operand 5000000000.0000000000"},
        {u"&10000000000000000", u"Number beyond 64 bits = '&10000000000000000'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.expr));
        EXPECT_EQ(Code(row.expr), 13);
        const std::u16string& msgs = Engine().errors.ErrMsgs;
        EXPECT_NE(msgs.find(row.part), std::u16string::npos) << Narrow(msgs);
    }
}

TEST_F(NumberReports, MalformedNumberIsReportedAsSyntaxErrorsAre) {
    Engine().errors.MsgFlags = 1;
    Engine().errors.DebugMode = 4;
    EXPECT_EQ(Code(u"3.14.15*2"), 3);
    EXPECT_NE(Engine().errors.DebugLog.find(u"Syntax error, token = '3.14.15'"),
              std::u16string::npos);
}

// Products beyond the doubles keep their value: compared to the exact root within a few
// units in the last place.
TEST(GeometricMeanRange, ProductsBeyondTheDoubles) {
    ResetContext();
    const struct {
        std::u16string_view expr;
        double value;
    } rows[] = {
        {u"geom_mean(10^200; 10^200)", 1e200},
        {u"geom_mean(10^-200; 10^-200)", 1e-200},
        {u"geom_mean(10^300; 10^300; 10^300)", 1e300},
        {u"geom_mean(10^-300; 10^-300; 10^-300; 10^-300)", 1e-300},
        {u"geom_mean(-10^200; -10^200)", 1e200},
        {u"geom_mean(-10^200; -10^200; 10^200)", 1e200},
        {u"geom_mean(10^300; 10^-300; 10^300; 10^-300)", 1},
        {u"geom_mean(2^1000; 2^1000; 2^1000; 2)", std::pow(2.0, 750.25)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.expr));
        double v = 0;
        ASSERT_EQ(EvalExpression(row.expr, &v, false), 0) << E_Error();
        EXPECT_NEAR(v / row.value, 1.0, 1e-15);
    }
    ResetContext();
}

// Matrix definitions read their elements as formulas or as plain numbers; a number with
// a second point is no element either way.
TEST(MalformedElements, FailTheDefinition) {
    for (const bool evaluate : {true, false}) {
        SCOPED_TRACE(evaluate ? "formulas" : "plain numbers");
        ResetContext();
        EXPECT_EQ(SetStrMatrix(u"[x];1;2;1;1..5", false, evaluate), 3);
        EXPECT_EQ(SetStrMatrix(u"[x];1;2;1; -2.5.3", false, evaluate), 3);
        SetStrMatrix(u"[x];1;2;1;2.5", false, evaluate);
        EXPECT_EQ(E_Error(), -1);
    }
    ResetContext();
}

} // namespace
} // namespace zorbit::test
