// A formula over many x: the compiled route against text substitution. Values bit for bit,
// error codes, error records and the engine state, over a corpus of formulas, engine
// settings and x grids, for every way x is written (e_evals: 10 decimals; Integrate and
// dSolve: 17; in Full precision the shortest text of x itself).

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "context/context.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/variables.h"
#include "numeric/numeric.h"
#include "numeric/series.h"
#include "tests/engine/engine_fixture.h"
#include "tests/numeric/series_compare.h"

namespace zorbit::test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

enum class Setting {
    Plain,
    Variables,   // x, xx and y defined
    Functions,   // custom functions whose bodies use the variable x
    UnsafeNames, // custom function names that could match inside an x text
    BracketName, // a custom function name that ends with a bracket
    TrueIsOne,   // SetBoolSign(1)
    Trace,       // debug log on: every point goes by text
    LongBody,    // a body that brings the text within a few characters of the limit
    Parameters,  // functions with parameters, whose calls copy or drop the argument
};

void StartIn(Setting setting, int32_t mode = ZORBIT_PRECISION_CLASSIC) {
    ResetContext();
    SetPrecisionMode(mode);
    Engine().rngState = 0x9E3779B97F4A7C15ull;
    switch (setting) {
    case Setting::Plain:
        break;
    case Setting::Variables:
        SetVarFunct(u"x", u"1.5", 0);
        SetVarFunct(u"xx", u"-2.25", 0);
        SetVarFunct(u"y", u"0.1234567890123", 0);
        break;
    case Setting::Functions:
        SetVarFunct(u"x", u"1.5", 0);
        SetVarFunct(u"g", u"sin(x)*f", 1); // expanded first, so its "f" is expanded too
        SetVarFunct(u"f", u"x^2+1", 1);
        SetVarFunct(u"f(x)", u"3", 1);
        break;
    case Setting::UnsafeNames:
        SetVarFunct(u"1", u"2", 1);
        SetVarFunct(u".5)", u"9)", 1);
        break;
    case Setting::BracketName:
        SetVarFunct(u"a(", u"2*(", 1);
        break;
    case Setting::TrueIsOne:
        SetBoolSign(1);
        break;
    case Setting::Trace:
        Engine().errors.DebugMode = 4;
        break;
    case Setting::Parameters:
        SetVarFunct(u"x", u"1.5", 0);
        SetVarFunct(u"hyp(a; b)", u"sqrt(a^2+b^2)+x", 1);
        SetVarFunct(u"sq(t)", u"t*t", 1);
        SetVarFunct(u"one(t)", u"1", 1);
        break;
    case Setting::LongBody: {
        // The real text stays under the limit, the template with its wide slot does not.
        std::u16string body(kMaxExpressionLength - 30, u'1');
        SetVarFunct(u"big", body, 1);
        break;
    }
    }
}

struct FormulaRow {
    const char* name;
    std::u16string formula;
    Setting setting = Setting::Plain;
    bool compiles = true;
    std::u16string var = u"x";
};

std::u16string Nested(int depth) {
    return std::u16string(static_cast<size_t>(depth), u'(') + u"x" +
           std::u16string(static_cast<size_t>(depth), u')');
}

std::vector<FormulaRow> Corpus() {
    using S = Setting;
    return {
        {"sine_square", u"sin(x)*x^2"},
        {"identity", u"x"},
        {"negation", u"-x"},
        {"polynomial", u"x^3-2*x^2+x-1"},
        {"power_left_to_right", u"2^x^2"},
        {"unary_minus_binds_looser_than_power", u"-x^2+-2*x"},
        {"unary_plus", u"+x*+x"},
        {"integer_division", u"x\\3+3\\(x-x)"},
        {"modulo", u"x*7 mod 3+x mod -1"},
        {"modulo_by_zero", u"x mod 0.5"},
        {"reciprocal", u"1/x"},
        {"failing_before_a_name", u"1/(x-x)*pi"},
        {"comparisons", u"(x>0)+(x<0)*2+(x=0)*4+(x<>1)*8+(x<=0.5)*16+(x>=-0.5)*32"},
        {"comparisons_true_one", u"(x>0)+(x<0)*2+(x<>0)*4", S::TrueIsOne},
        {"logic", u"(x>0 and x<1) or x xor 1"},
        {"not", u"not x+not(x*3)"},
        {"functions", u"abs(x)+atan(x)+cos(x)+exp(x)+fix(x)+int(x)+sgn(x)+tan(x)"},
        {"logarithms_and_roots", u"ln(x)+log10(x)+sqrt(x)"},
        {"inverse_trig", u"arcsin(x)+arccos(x)"},
        {"inverse_secants", u"arcsec(x)+arccosec(x)+arccotan(x)"},
        {"reciprocal_trig", u"sec(x)+cosec(x)+cotan(x)"},
        {"hyperbolic", u"sinh(x)+cosh(x)+tanh(x)+sech(x)+cosech(x)+cotanh(x)"},
        {"inverse_hyperbolic",
         u"arctanh(x)+arcsinh(x)+arccosh(x)+arcsech(x)+arccosech(x)+arccotanh(x)"},
        {"spellings", u"tg(x)+ctg(x)+sh(x)+ch(x)+th(x)+cth(x)+arctg(x)+arcctg(x)+sqr(x)+log(x)"},
        {"constants", u"pi*x+e-#pi+#e*to_rad+deg+#to_deg"},
        {"hex_and_binary", u"&FF*x+!101-&1f+!10+&00000000000000000FFFFFFFFFFFFFFFF"},
        {"hex_digit_beyond_f", u"&FF*x+&1g", S::Plain, false},
        {"hex_beyond_64_bits", u"x+&10000000000000000", S::Plain, false},
        {"binary_digit_beyond_1", u"x+!12", S::Plain, false},
        {"second_point", u"1.5.3*x", S::Plain, false},
        {"integers_beyond_32_bits",
         u"int(x*10^9)+(x*10^9)\\0.5+(x*10^9) mod 7+7 mod (x*10^9)+not(x*10^9)"},
        {"inverse_trig_domain_ends", u"arcsin(x)+arccos(-x)+arcsec(x)*arccosec(-x)"},
        {"comma_point", u"1,5*x"},
        {"scientific_literals", u"1e-3*x+6.02E23/x-.5e1+2E+2*x^2"},
        {"exponent_letter_is_e", u"2e-x+2e", S::Plain, false},
        {"overflow_is_error_8", u"10^(x*100)"},
        {"negative_overflow_is_error_8", u"-10^(x*100)"},
        {"nan_result", u"(10^400)-(10^400)+x"},
        {"random", u"rnd(x*100)+rnd(10)"},
        {"random_then_failing", u"rnd(100)/x+ln(x)+rnd(x)"},
        {"blanks", u"  sin ( x )\t*\r\nx "},
        {"deep_compiled", Nested(990)},
        {"upper_case_is_not_the_variable", u"X*x", S::Variables},
        {"names_containing_x", u"exp(x)*xx+y", S::Variables},
        {"custom_functions", u"g+f*x", S::Functions},
        {"function_with_bracket_name", u"f(x)+1", S::Functions, false},
        {"debug_trace", u"sin(x)/x", S::Trace},
        {"variable_not_whole_name", u"xx", S::Plain, false},
        {"statistics", u"max(x;0)*2"},
        {"statistics_all",
         u"min(x;1)+avg(x;2;3)+sum(x)+sum2(x;x)+prod(x;2)+prod2(x;3)+stddev(x;1;2)+count(x;x)"
         u"+geom_mean(x;2)+median(x;3;1;2)+mean(x;1)"},
        {"statistics_nested", u"max(min(x;1);-max(x;sin(x));sum(1;avg(x)))"},
        {"statistics_failing", u"stddev(x)+median(x;0/0)+geom_mean(x;-1)"},
        {"statistics_syntax", u"avg(x;)+sum()", S::Plain, false},
        {"matrix", u"[mA]*x", S::Plain, false},
        {"tokens_left_over", u"x 2", S::Plain, false},
        {"missing_bracket", u"(x", S::Plain, false},
        {"brackets_of_x_make_a_call", u"sin x"},
        {"call_without_bracket", u"sin 2*x", S::Plain, false},
        {"eqv_is_no_operator", u"x eqv 1", S::Plain, false},
        {"undefined_name", u"x+foo", S::Plain, false},
        {"empty", u"", S::Plain, false},
        {"missing_operand", u"x+", S::Plain, false},
        {"nesting_limit", Nested(1001), S::Plain, false},
        {"nesting_limit_for_negative_x_only", Nested(998), S::Plain, false},
        {"name_matches_inside_x_text", u"x+1", S::UnsafeNames, false},
        {"name_takes_the_bracket", u"a$x", S::BracketName, false, u"$x"},
        {"name_ending_in_bracket_called", u"a(x)+x", S::BracketName, false},
        {"name_ending_in_bracket_unused", u"x*2", S::BracketName},
        {"expansion_near_the_length_limit", u"big*0+x", S::LongBody, false},
        {"parameters_copy_the_argument", u"sq(x)+hyp(sq(x); x)-sq(sq(x))", S::Parameters},
        {"parameter_drops_the_argument", u"one(x)+x", S::Parameters},
        {"parameter_drops_every_use", u"one(x)*2", S::Parameters},
        {"call_with_wrong_count", u"sq(x; 1)+x", S::Parameters, false},
    };
}

// x values: e_evals steps, steps of 1e-11 across rounding edges, ties of the 10-decimal
// text, extremes, random magnitudes.
std::vector<double> Grid(bool few) {
    if (few) return {-1.5, 0, 2.25};
    std::vector<double> xs;
    for (double x = -10; x <= 10; x += 0.1)
        xs.push_back(x);
    for (int k = -30; k <= 30; ++k) {
        xs.push_back(k * 1e-11);
        xs.push_back(0.5 + k * 1e-11);
        xs.push_back(-1 + k * 1e-11);
    }
    for (int k = -20; k <= 20; ++k)
        xs.push_back(k / 2048.0);
    for (double x : {0.0,
                     -0.0,
                     5e-324,
                     -5e-324,
                     1e-300,
                     1e-17,
                     -3e-18,
                     0.0625,
                     std::nextafter(0.0625, 0.0),
                     0.03,
                     1e14,
                     -1e14,
                     999999999999999.9,
                     1e15,
                     -1e15,
                     1e20,
                     -1e300,
                     1.7e308,
                     kInf,
                     -kInf,
                     std::numeric_limits<double>::quiet_NaN()})
        xs.push_back(x);
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-40, 20);
    for (int i = 0; i < 200; ++i)
        xs.push_back(std::ldexp(mantissa(rng), exponent(rng)));
    // A text point right after program points ("-nan" reads no number).
    xs.push_back(2.25);
    xs.push_back(-std::numeric_limits<double>::quiet_NaN());
    return xs;
}

std::string RowName(const ::testing::TestParamInfo<FormulaRow>& info) {
    return info.param.name;
}

class SeriesRoutes : public ::testing::TestWithParam<FormulaRow> {
  protected:
    void TearDown() override { ResetContext(); }
};

// EvalSeries against its text route over ranges of x, in one precision mode.
void SeriesInMode(const FormulaRow& row, int32_t mode) {
    const auto setup = [&] { StartIn(row.setting, mode); };
    if (row.setting == Setting::LongBody) {
        EXPECT_EQ(CompareSeries(setup, row.formula, row.var, 0, 1, 2), "");
        return;
    }
    struct Range {
        double from, to;
        int32_t steps;
    };
    for (const Range& r :
         {Range{-10, 10, 500}, Range{-1e-9, 1e-9, 200}, Range{0, 1, 10}, Range{2, 2, 4},
          Range{1, 0, 5}, Range{0, 1, 0}, Range{-1e15, 2e15, 30}, Range{-kInf, kInf, 4}}) {
        SCOPED_TRACE(std::to_string(r.from) + " to " + std::to_string(r.to));
        EXPECT_EQ(CompareSeries(setup, row.formula, row.var, r.from, r.to, r.steps), "");
    }
}

// The precision modes and the x texts they write.
struct ModeRule {
    int32_t mode;
    int decimals;
};
constexpr ModeRule kModeRules[] = {{ZORBIT_PRECISION_CLASSIC, 10},
                                   {ZORBIT_PRECISION_CLASSIC, 17},
                                   {ZORBIT_PRECISION_FULL, XTextRule::kRoundTrip}};
constexpr int32_t kModes[] = {ZORBIT_PRECISION_CLASSIC, ZORBIT_PRECISION_FULL};

TEST_P(SeriesRoutes, ProgramAndTextAgree) {
    const FormulaRow& row = GetParam();
    const std::vector<double> xs = Grid(row.setting == Setting::LongBody);
    for (const ModeRule m : kModeRules) {
        SCOPED_TRACE("mode " + std::to_string(m.mode) + " decimals " + std::to_string(m.decimals));
        const RouteComparison c = CompareRoutes([&] { StartIn(row.setting, m.mode); }, row.formula,
                                                row.var, m.decimals, xs);
        EXPECT_EQ(c.compiled, row.compiles);
        EXPECT_EQ(c.difference, "");
        if (row.setting == Setting::Trace) {
            EXPECT_EQ(c.fallbacks, xs.size());
        }
    }
}

TEST_P(SeriesRoutes, EvalSeriesMatchesTextSubstitution) {
    const FormulaRow& row = GetParam();
    for (const int32_t mode : kModes) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        SeriesInMode(row, mode);
    }
}

// A text read again runs its program from the third reading on; each reading leaves what
// reading the text leaves.
TEST_P(SeriesRoutes, ReusedProgramLeavesWhatReadingLeaves) {
    const FormulaRow& row = GetParam();
    if (row.setting == Setting::LongBody) GTEST_SKIP() << "texts of megabytes";
    for (const int32_t mode : kModes) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        for (std::u16string_view xText : {u"(2.25)", u"(-1.5)", u"(0)"}) {
            const std::u16string text = Substituted(row.formula, row.var, xText);
            SCOPED_TRACE(Ascii(text.substr(0, 80)));
            bool reused = false;
            EXPECT_EQ(CompareReuse([&] { StartIn(row.setting, mode); }, text, &reused), "");
            double v = 0;
            StartIn(row.setting, mode);
            if (row.compiles && EvalExpression(text, &v, true) == 0) {
                EXPECT_TRUE(reused);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, SeriesRoutes, ::testing::ValuesIn(Corpus()), RowName);

// Found by fuzz_series: the text point after program points found the parser's last
// number from before the program points, not from the point before it.
TEST(SeriesRegression, TextPointAfterProgramPoints) {
    const double nan = -std::numeric_limits<double>::quiet_NaN();
    const RouteComparison c = CompareRoutes([] { StartIn(Setting::Plain); }, u"x", u"x", 17,
                                            {-1.5, 0, 0.5, 2.25, nan, nan});
    EXPECT_TRUE(c.compiled);
    EXPECT_EQ(c.fallbacks, 2u);
    EXPECT_EQ(c.difference, "");
}

// The value of the x text, computed, against writing the text and reading it back.
TEST(XTextValue, ComputedValueIsTheTextsValue) {
    std::mt19937_64 rng(11);
    std::vector<double> xs = Grid(false);
    for (int i = 0; i < 50000; ++i) {
        xs.push_back(std::bit_cast<double>(rng()));
        xs.push_back(std::ldexp(static_cast<double>(static_cast<int64_t>(rng() >> 20)), -40));
        xs.push_back((static_cast<double>(rng() % 2000001) - 1000000) / 2048); // ties
        xs.push_back((static_cast<double>(rng() % 2000001) - 1000000 + 0.5) * 1e-10);
    }
    for (int decimals : {0, 3, 10, 17, 22, XTextRule::kRoundTrip}) {
        SCOPED_TRACE("decimals " + std::to_string(decimals));
        const XTextRule rule(decimals);
        size_t mismatches = 0, computed = 0;
        for (double x : xs) {
            double fast = 0, slow = 0;
            if (!rule.ValueOf(x, &fast)) {
                // the round trip's text of a tiny x is wider than a compiled point's slot
                EXPECT_TRUE(!std::isfinite(x) || std::fabs(x) >= 1e15 ||
                            (rule.RoundTrip() && RoundTripText(x).size() > 39))
                    << x;
                continue;
            }
            ++computed;
            ASSERT_TRUE(rule.ValueByText(x, &slow)) << x;
            if (rule.RoundTrip()) {
                EXPECT_EQ(std::bit_cast<uint64_t>(slow), std::bit_cast<uint64_t>(x)) << x;
            }
            if (std::bit_cast<uint64_t>(fast) != std::bit_cast<uint64_t>(slow) && ++mismatches < 5)
                ADD_FAILURE() << "x = " << x << ": " << fast << " vs " << slow;
        }
        EXPECT_EQ(mismatches, 0u);
        EXPECT_GT(computed, xs.size() / 2);
    }
}

// Each point's own code beside the series: a failing point is marked where e_evals alone
// cannot tell it from its neighbours, and the series itself stays exactly e_evals'.
struct PointCodesRow {
    const char* name;
    std::u16string formula;
    double from, to;
    int32_t steps;
    std::vector<int32_t> codes;
};

std::string PointCodesName(const ::testing::TestParamInfo<PointCodesRow>& info) {
    return info.param.name;
}

class PointCodes : public ::testing::TestWithParam<PointCodesRow> {
  protected:
    void TearDown() override { ResetContext(); }
};

TEST_P(PointCodes, MarkEachPointAndLeaveTheSeriesAsItWas) {
    const PointCodesRow& row = GetParam();
    const size_t n = static_cast<size_t>(row.steps) + 1;
    std::vector<double> xa(n, 7), ya(n, 7), xb(n, 7), yb(n, 7);
    std::vector<int32_t> codes(n, 7);
    double la[5] = {7, 7, 7, 7, 7}, lb[5] = {7, 7, 7, 7, 7};
    StartIn(Setting::Plain);
    const int32_t ca = EvalSeries(row.formula, row.from, u"x", row.to, row.steps, xa.data(),
                                  ya.data(), la, codes.data());
    const EngineSnapshot sa = Snapshot();
    StartIn(Setting::Plain);
    const int32_t cb =
        EvalSeries(row.formula, row.from, u"x", row.to, row.steps, xb.data(), yb.data(), lb);
    const EngineSnapshot sb = Snapshot();
    EXPECT_EQ(codes, row.codes);
    EXPECT_EQ(ca, cb);
    // The series answers with the code of the last point it reached.
    const auto reached = std::find_if(codes.rbegin(), codes.rend(),
                                      [](int32_t c) { return c != ZORBIT_NOT_REACHED; });
    EXPECT_EQ(ca, reached == codes.rend() ? -1 : *reached);
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(std::bit_cast<uint64_t>(xa[i]), std::bit_cast<uint64_t>(xb[i])) << i;
        EXPECT_EQ(std::bit_cast<uint64_t>(ya[i]), std::bit_cast<uint64_t>(yb[i])) << i;
    }
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(std::bit_cast<uint64_t>(la[k]), std::bit_cast<uint64_t>(lb[k])) << k;
    EXPECT_EQ(Differences(sa, sb), "");
}

INSTANTIATE_TEST_SUITE_P(
    Series, PointCodes,
    ::testing::Values(
        PointCodesRow{"all_succeed", u"x^2", -2, 2, 4, {-1, -1, -1, -1, -1}},
        PointCodesRow{"pole_in_the_middle", u"1/x", -1, 1, 4, {-1, -1, 8, -1, -1}},
        PointCodesRow{"logarithm_of_non_positive", u"ln(x)", -1, 1, 4, {13, 13, 13, -1, -1}},
        PointCodesRow{"failing_last_point", u"1/(x-1)", 0, 1, 2, {-1, -1, 8}},
        PointCodesRow{"syntax_error_everywhere", u"x+", 0, 1, 2, {3, 3, 3}},
        PointCodesRow{"rounding_passes_the_end", u"x", 0, 0.3, 7, {-1, -1, -1, -1, -1, -1, -1, -2}},
        PointCodesRow{"empty_range_one_point", u"x", 3, 3, 3, {-1, -2, -2, -2}},
        PointCodesRow{"reversed_range_reaches_nothing", u"x", 1, 0, 2, {-2, -2, -2}}),
    PointCodesName);

class NumericRoutines : public EngineTest {};

// Simpson's rule over points taken by text alone: the same sum, bit for bit.
TEST_F(NumericRoutines, IntegrateMatchesTextPointsAndLeavesTheLastText) {
    const double a = 0, b = 3.14159;
    const int32_t n = 1000;
    FormulaSeries text(u"sin(x)*x", u"x", XTextRule(17));
    const double h = (b - a) / n;
    double sum = 0;
    for (int32_t i = 0; i <= n; ++i) {
        double y = 0;
        ASSERT_EQ(text.TextAt(i == n ? b : a + i * h, &y), 0);
        sum += (i == 0 || i == n ? 1 : (i % 2 == 1 ? 4 : 2)) * y;
    }
    const double expected = sum * h / 3;
    ResetContext();
    const double v = Integrate(u"sin(x)*x", a, b, n, false, u"x");
    EXPECT_EQ(E_Error(), -1);
    EXPECT_EQ(std::bit_cast<uint64_t>(v), std::bit_cast<uint64_t>(expected));
    EXPECT_EQ(Engine().parser.e_expr, u"sin((3.14158999999999988))*(3.14158999999999988)");
    EXPECT_EQ(Engine().parser.RunCount, n + 1);
}

// A failing point is reported with the text route's record, the formula's text at that x.
TEST_F(NumericRoutines, IntegrateReportsTheFailingPointsText) {
    Integrate(u"1/(x-0.5)", 0, 1, 4, true, u"x");
    EXPECT_EQ(E_Error(), 8);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"expression  : 1/((0.5)-0.5)"), std::u16string::npos);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"The formula fails at x = 0.5000000000"),
              std::u16string::npos);
}

// The record of a root search that fails names the last text the search evaluated.
TEST_F(NumericRoutines, SolveFailureRecordsTheLastEvaluatedText) {
    SolvePolynomial(u"x^2+1", u"x");
    EXPECT_EQ(E_Error(), 13);
    const std::u16string& info = Engine().errors.LastErrInfo;
    EXPECT_NE(info.find(u"No real root found"), std::u16string::npos);
    EXPECT_NE(info.find(u")^2+1\r\n"), std::u16string::npos) << Ascii(info);
    EXPECT_EQ(Engine().parser.type, Tok::End);
}

} // namespace
} // namespace zorbit::test
