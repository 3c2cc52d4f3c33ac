#include <gtest/gtest.h>

#include <numbers>
#include <utility>
#include <vector>

#include "script/plot_args.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

constexpr double kPi = std::numbers::pi;

// The real library bound by name, its lists emptied, no error pending.
class PlotArgsTest : public ScriptTest {
  protected:
    const Library lib{&Zorbit().slots};
};

template <typename Row> std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// What a row expects, defaults from the right as the command has them.
PlotArgs Want(std::u16string expression, double xFrom = -10, double xTo = 10, int32_t steps = 200,
              std::u16string variable = u"x", std::u16string dataFile = u"") {
    return {.expression = std::move(expression),
            .variable = std::move(variable),
            .xFrom = xFrom,
            .xTo = xTo,
            .steps = steps,
            .dataFile = std::move(dataFile),
            .formulas = {}};
}

struct ArgsRow {
    const char* name;
    std::u16string argument, expressionPart;
    PlotArgs want;
};

class Args : public PlotArgsTest, public ::testing::WithParamInterface<ArgsRow> {};

TEST_P(Args, ReadTheCommand) {
    const ArgsRow& row = GetParam();
    PlotArgs out;
    std::u16string error;
    ASSERT_TRUE(ParsePlotArgs(lib, row.argument, row.expressionPart, out, error)) << U8(error);
    EXPECT_EQ(U8(out.expression), U8(row.want.expression));
    EXPECT_NEAR(out.xFrom, row.want.xFrom, 1e-9);
    EXPECT_NEAR(out.xTo, row.want.xTo, 1e-9);
    EXPECT_EQ(out.steps, row.want.steps);
    EXPECT_EQ(U8(out.variable), U8(row.want.variable));
    EXPECT_EQ(U8(out.dataFile), U8(row.want.dataFile));
}

INSTANTIATE_TEST_SUITE_P(
    Plot, Args,
    ::testing::Values(
        ArgsRow{"all_defaults", u"", u" sin(x) ", Want(u"sin(x)")},
        ArgsRow{"bounds_only", u"-1; 1", u"x^2", Want(u"x^2", -1, 1)},
        ArgsRow{"every_argument", u" -1 ; 1 ; 50 ; t ; out.txt ", u"t^2",
                Want(u"t^2", -1, 1, 50, u"t", u"out.txt")},
        ArgsRow{"empty_fields_keep_defaults", u"; 5;;", u"x", Want(u"x", -10, 5)},
        ArgsRow{"text_after_a_semicolon_is_not_plotted", u"", u"sin(x); save", Want(u"sin(x)")},
        ArgsRow{"semicolons_inside_parentheses_are_the_formulas", u"", u"max(x; 0.5); save",
                Want(u"max(x; 0.5)")},
        ArgsRow{"expression_bounds", u"-pi; pi/2; 2^3", u"x", Want(u"x", -kPi, kPi / 2, 8)},
        ArgsRow{"quoted_data_file", u"0;1;4;x;'a b.txt'", u"x",
                Want(u"x", 0, 1, 4, u"x", u"a b.txt")},
        ArgsRow{"double_quoted_data_file", u"0;1;4;x;\"/tmp/a b.txt\"", u"x",
                Want(u"x", 0, 1, 4, u"x", u"/tmp/a b.txt")},
        ArgsRow{"most_steps", u"0;1;1e6", u"x", Want(u"x", 0, 1, 1'000'000)},
        ArgsRow{"scientific_bounds", u"-2.5e-3; 1E+2; 1e1", u"x", Want(u"x", -2.5e-3, 100, 10)},
        ArgsRow{"scientific_in_expressions", u"-1e1/2; .5e1*2", u"x", Want(u"x", -5, 10)}),
    RowName<ArgsRow>);

struct RefusedRow {
    const char* name;
    std::u16string argument, expressionPart;
    std::string says;
};

class RefusedArgs : public PlotArgsTest, public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(RefusedArgs, SayWhatIsWrong) {
    const RefusedRow& row = GetParam();
    PlotArgs out;
    std::u16string error;
    EXPECT_FALSE(ParsePlotArgs(lib, row.argument, row.expressionPart, out, error));
    EXPECT_NE(U8(error).find(row.says), std::string::npos) << U8(error);
}

INSTANTIATE_TEST_SUITE_P(
    Plot, RefusedArgs,
    ::testing::Values(
        RefusedRow{"no_steps", u"0;1;0", u"x", "from 1 to 1000000, not 0"},
        RefusedRow{"too_many_steps", u"0;1;1000001", u"x", "not 1000001"},
        RefusedRow{"fractional_steps", u"0;1;2.5", u"x", "whole number"},
        RefusedRow{"steps_not_evaluating", u"0;1;lots", u"x", "steps \"lots\" does not evaluate"},
        RefusedRow{"bound_not_evaluating", u"no; 1", u"x", "x from \"no\" does not evaluate"},
        RefusedRow{"infinite_bound", u"0; 1e400", u"x", "x to \"1e400\" is not a finite"},
        RefusedRow{"seven_arguments", u"1;2;3;x;f;1;g", u"x", "at most six arguments"},
        RefusedRow{"window_zero", u";;;;;0", u"x", "number of a plot window"},
        RefusedRow{"window_fraction", u";;;;;1.5", u"x", "number of a plot window"},
        RefusedRow{"window_not_evaluating", u";;;;;w", u"x", "window \"w\" does not evaluate"},
        RefusedRow{"nine_formulas", u"", u"1;2;3;4;5;6;7;8;9", "at most 8 formulas, not 9"},
        RefusedRow{"save_before_a_formula", u"", u"x; save; x^2", "can only end"},
        RefusedRow{"nothing_to_plot", u"", u"  ", "nothing to plot"},
        RefusedRow{"only_a_tail", u"", u"; save", "nothing to plot"}),
    RowName<RefusedRow>);

struct CurvesRow {
    const char* name;
    std::u16string argument, expressionPart;
    const char* formulas; // joined by "|"
    int32_t window;
    const char* given; // f, t, s for each of from, to, steps the line gave
};

class Curves : public PlotArgsTest, public ::testing::WithParamInterface<CurvesRow> {};

// Each ";" after the "=" outside parentheses starts a further curve; "save" at the end
// is no curve. The title joins the formulas.
TEST_P(Curves, OneFormulaPerFieldAndTheWindowToAddThemTo) {
    const CurvesRow& row = GetParam();
    PlotArgs out;
    std::u16string error;
    ASSERT_TRUE(ParsePlotArgs(lib, row.argument, row.expressionPart, out, error)) << U8(error);
    std::string formulas, joined;
    for (const std::u16string& f : out.formulas) {
        formulas += (formulas.empty() ? "" : "|") + U8(f);
        joined += (joined.empty() ? "" : "; ") + U8(f);
    }
    EXPECT_EQ(formulas, row.formulas);
    EXPECT_EQ(U8(out.expression), joined);
    EXPECT_EQ(out.window, row.window);
    EXPECT_EQ(std::string(out.fromGiven ? "f" : "") + (out.toGiven ? "t" : "") +
                  (out.stepsGiven ? "s" : ""),
              row.given);
}

INSTANTIATE_TEST_SUITE_P(
    Plot, Curves,
    ::testing::Values(CurvesRow{"one", u"", u"sin(x)", "sin(x)", 0, ""},
                      CurvesRow{"two_and_save", u"-pi; pi; 200", u" sin(x) ;cos(x); SAVE",
                                "sin(x)|cos(x)", 0, "fts"},
                      CurvesRow{"semicolons_inside_brackets", u"", u"max(x; 0); min(x; 0)",
                                "max(x; 0)|min(x; 0)", 0, ""},
                      CurvesRow{"blank_fields_skipped", u"", u"x;; x^2;", "x|x^2", 0, ""},
                      CurvesRow{"window_named", u"; 5;;;; 1+1", u"cos(x)", "cos(x)", 2, "t"},
                      CurvesRow{"a_lone_save_is_a_formula", u"", u"save", "save", 0, ""}),
    RowName<CurvesRow>);

struct LineRow {
    const char* name;
    std::u16string line, argument, expressionPart;
    std::string refused;
};

class Lines : public ::testing::TestWithParam<LineRow> {};

TEST_P(Lines, SplitAtTheMatchingParenthesis) {
    const LineRow& row = GetParam();
    std::u16string_view argument = u"left", expressionPart = u"over";
    std::u16string error;
    EXPECT_EQ(SplitPlotLine(row.line, argument, expressionPart, error), row.refused.empty());
    EXPECT_NE(U8(error).find(row.refused), std::string::npos) << U8(error);
    EXPECT_EQ(U8(argument), U8(row.argument));
    EXPECT_EQ(U8(expressionPart), U8(row.expressionPart));
}

INSTANTIATE_TEST_SUITE_P(
    Plot, Lines,
    ::testing::Values(
        LineRow{"no_arguments", u"Plot = sin(x)", u"", u" sin(x)", ""},
        LineRow{"arguments", u"  plot(-1; 1; 50; t) = t^2", u"-1; 1; 50; t", u" t^2", ""},
        LineRow{"nested_parentheses", u"PLOT(-sqrt(2); (1+1)) =x", u"-sqrt(2); (1+1)", u"x", ""},
        LineRow{"equals_sign_in_the_arguments", u"Plot((1=1); 2) = x", u"(1=1); 2", u" x", ""},
        LineRow{"not_closed", u"Plot(-1; sqrt(2) = x", u"", u"", "do not close"},
        LineRow{"no_equals_sign", u"Plot(1; 2) sin(x)", u"1; 2", u"", "needs \"=\""},
        LineRow{"another_command", u"Expr = 1", u"", u"", "not a Plot line"}),
    RowName<LineRow>);

struct SaveRow {
    const char* name;
    std::u16string line;
    bool saves;
};

class SaveSuffix : public ::testing::TestWithParam<SaveRow> {};

TEST_P(SaveSuffix, OnlyTheSuffixAfterTheFormulaSaves) {
    const SaveRow& row = GetParam();
    EXPECT_EQ(PlotLineSaves(row.line), row.saves);
}

INSTANTIATE_TEST_SUITE_P(
    Plot, SaveSuffix,
    ::testing::Values(SaveRow{"suffix", u"Plot = sin(x); save", true},
                      SaveRow{"suffix_any_case_and_blanks", u"plot(0; 1) = x ;  SAVE  ", true},
                      SaveRow{"suffix_after_semicolons_in_the_formula", u"Plot = max(x; 2); save",
                              true},
                      SaveRow{"in_a_variable_name", u"Plot = saveRate*x", false},
                      SaveRow{"in_a_function_argument", u"Plot = max(x; save)", false},
                      SaveRow{"in_the_data_file_name", u"Plot(0;1;4;x;save.txt) = x", false},
                      SaveRow{"another_word", u"Plot = x; saved", false},
                      SaveRow{"more_after_it", u"Plot = x; save; now", false},
                      SaveRow{"no_formula_end", u"Plot = save", false},
                      SaveRow{"not_a_plot_line", u"Expr = 1; save", false},
                      SaveRow{"after_several_formulas", u"Plot = sin(x); cos(x); save", true}),
    RowName<SaveRow>);

} // namespace
} // namespace vex::test
