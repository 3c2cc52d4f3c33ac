#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "common/number_text.h"
#include "plot/plot_math.h"
#include "script/plot_args.h"
#include "tests/plot/plot_fixture.h"

namespace vex::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

template <typename Row> std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

struct PointsRow {
    const char* name;
    std::u16string expression;
    double from, to;
    int32_t steps;
    std::vector<uint8_t> valid;
    double ymin, ymax; // when some point is valid
    std::u16string variable = u"x";
};

class Points : public PlotTest, public ::testing::WithParamInterface<PointsRow> {};

// x as the library steps it (from the smaller bound up), y bounds over the valid points.
TEST_P(Points, ComeFromTheSeriesWithFailuresLeftOut) {
    const PointsRow& row = GetParam();
    PlotPoints p;
    std::u16string error;
    ASSERT_TRUE(
        ComputePoints(lib, row.expression, row.variable, row.from, row.to, row.steps, p, error))
        << U8(error);
    ASSERT_EQ(p.x.size(), row.valid.size());
    ASSERT_EQ(p.y.size(), row.valid.size());
    const double low = std::min(row.from, row.to), high = std::max(row.from, row.to);
    for (size_t k = 0; k < p.x.size(); ++k)
        EXPECT_NEAR(p.x[k], low + k * (high - low) / row.steps, 1e-12) << k;
    EXPECT_EQ(p.valid, row.valid);
    EXPECT_EQ(p.xmin, low);
    EXPECT_NEAR(p.xmax, high, 1e-12);
    EXPECT_EQ(p.any, std::count(row.valid.begin(), row.valid.end(), 1) > 0);
    if (!p.any) return;
    EXPECT_NEAR(p.ymin, row.ymin, 1e-8);
    EXPECT_NEAR(p.ymax, row.ymax, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(
    Series, Points,
    ::testing::Values(
        PointsRow{"five_points", u"x", -2, 2, 4, {1, 1, 1, 1, 1}, -2, 2},
        PointsRow{"pole_left_out", u"1/x", -1, 1, 4, {1, 1, 0, 1, 1}, -2, 2},
        PointsRow{"logarithm_of_non_positive_left_out",
                  u"ln(x)",
                  -1,
                  1,
                  4,
                  {0, 0, 0, 1, 1},
                  std::log(0.5),
                  0},
        PointsRow{"overflow_left_out", u"10^(x*400)", -1, 1, 2, {1, 1, 0}, 0, 1},
        PointsRow{"nothing_valid", u"x+nosuchname", 0, 1, 2, {0, 0, 0}, 0, 0},
        PointsRow{"constant", u"3", 0, 1, 2, {1, 1, 1}, 3, 3},
        // "abs" keeps its "a": only the whole name is replaced.
        PointsRow{"whole_name_replaced", u"a+abs(a)", -1, 1, 2, {1, 1, 1}, 0, 2, u"a"},
        PointsRow{"zero_width_is_one_point", u"x", 2, 2, 4, {1}, 2, 2},
        PointsRow{"reversed_range_runs_upwards", u"x", 2, -2, 4, {1, 1, 1, 1, 1}, -2, 2},
        // 0.3/7 added up seven times passes 0.3: the last point still belongs to the range.
        PointsRow{
            "rounding_keeps_the_last_point", u"x", 0, 0.3, 7, {1, 1, 1, 1, 1, 1, 1, 1}, 0, 0.3}),
    RowName<PointsRow>);

// y is the value of the x text with ten decimals, not of x itself.
TEST_F(PlotTest, PointsTakeTheValueOfTheTenDecimalText) {
    PlotPoints p;
    std::u16string error;
    ASSERT_TRUE(ComputePoints(lib, u"x*10^12", u"x", 0, 1, 3, p, error)) << U8(error);
    EXPECT_NEAR(p.y[1], 333333333300, 1e-3);
}

struct RefusalRow {
    const char* name;
    double from, to;
    int32_t steps;
    std::string says;
    std::u16string variable = u"x";
};

class Refusals : public PlotTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(Refusals, ExplainWhy) {
    const RefusalRow& row = GetParam();
    PlotPoints p;
    p.x = {1};
    std::u16string error;
    EXPECT_FALSE(ComputePoints(lib, u"x", row.variable, row.from, row.to, row.steps, p, error));
    EXPECT_NE(U8(error).find(row.says), std::string::npos) << U8(error);
    EXPECT_TRUE(p.x.empty());
}

INSTANTIATE_TEST_SUITE_P(Input, Refusals,
                         ::testing::Values(RefusalRow{"no_steps", -1, 1, 0, "1 to 1000000, not 0"},
                                           RefusalRow{"too_many_steps", -1, 1, 1'000'001,
                                                      "not 1000001"},
                                           RefusalRow{"nan_bound", kNaN, 1, 10, "finite"},
                                           RefusalRow{"infinite_bound", -1, kInf, 10, "finite"},
                                           RefusalRow{"too_wide", -1.7e308, 1.7e308, 10, "wide"},
                                           RefusalRow{"no_variable", -1, 1, 10, "no name", u""}),
                         RowName<RefusalRow>);

TEST_F(PlotTest, MissingSeriesRoutineIsReported) {
    EntrySlots none = slots;
    none.e_evalsEx = nullptr;
    PlotPoints p;
    std::u16string error;
    EXPECT_FALSE(ComputePoints(Library(&none), u"x", u"x", -1, 1, 4, p, error));
    EXPECT_NE(U8(error).find("e_evalsEx"), std::string::npos);
}

TEST_F(PlotTest, ARefusedCallIsToldApartFromAnEmptyCurve) {
    // What the library answers when called from inside one of its own message hooks.
    EntrySlots busy = slots;
    busy.e_evalsEx = [](const char16_t*, double, const char16_t*, double, int32_t, double*, double*,
                        double*, int32_t*) -> int32_t { return ZORBIT_E_REENTERED; };
    PlotPoints p;
    std::u16string error;
    EXPECT_FALSE(ComputePoints(Library(&busy), u"x", u"x", -1, 1, 4, p, error));
    EXPECT_EQ(error, kLibraryBusy);
}

// ---- Poles and the automatic y range -------------------------------------------------------

using Function = double (*)(double);

// The points of f over [from, to] as the series lays them out: a value that is not
// finite or a failed one (NaN here) is left out.
PlotPoints Sampled(Function f, double from, double to, int32_t steps) {
    PlotPoints p;
    for (int32_t k = 0; k <= steps; ++k) {
        const double x = from + k * (to - from) / steps, y = f(x);
        p.x.push_back(x);
        p.y.push_back(y);
        p.valid.push_back(std::isfinite(y) ? 1 : 0);
    }
    return p;
}

PlotProbe ProbeOf(Function f) {
    return [f](double x) { return std::isfinite(f(x)) ? std::optional(f(x)) : std::nullopt; };
}

// The pieces the curve is drawn in: runs of valid points joined by uncut segments (a
// lone valid point is a piece too).
int Pieces(const PlotPoints& p) {
    int pieces = 0;
    for (size_t k = 0; k < p.x.size(); ++k)
        if (p.valid[k] && (k == 0 || !p.valid[k - 1] || p.cut[k])) ++pieces;
    return pieces;
}

struct PoleRow {
    const char* name;
    Function f;
    double from, to;
    int32_t steps;
    int pieces;
    double shownAtMost; // the automatic range lies within +-this
    bool trimmed;
    bool probed = true;
};

class Poles : public ::testing::TestWithParam<PoleRow> {};

TEST_P(Poles, BreakTheCurveAndStayOutOfTheRange) {
    const PoleRow& row = GetParam();
    PlotPoints p = Sampled(row.f, row.from, row.to, row.steps);
    const std::vector<uint8_t> finite = p.valid;
    SettlePoints(p, row.probed ? ProbeOf(row.f) : PlotProbe{});
    EXPECT_EQ(Pieces(p), row.pieces);
    EXPECT_EQ(p.trimmed, row.trimmed);
    // Every point that has a value stays in the data, whatever the range shows.
    EXPECT_EQ(p.valid, finite);
    ASSERT_TRUE(p.any);
    const PlotFrame f = FrameFor(p, 400, 365);
    EXPECT_GE(f.yOrigin, -row.shownAtMost);
    EXPECT_LE(f.yOrigin + f.ySpan, row.shownAtMost);
    // The values away from the poles are inside the picture, spread over it.
    for (double x : {row.from + 0.55 * (row.to - row.from), row.from + 0.9 * (row.to - row.from)}) {
        const double sy = f.ScreenY(row.f(x));
        EXPECT_GE(sy, 0) << x;
        EXPECT_LE(sy, 365) << x;
    }
}

double Tan(double x) {
    return std::tan(x);
}
double Sine(double x) {
    return std::sin(x);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, Poles,
    ::testing::Values(
        // Poles at +-pi/2, one of them on a point: three branches, not +-1e16.
        PoleRow{"tan_over_two_pi", Tan, -M_PI, M_PI, 200, 3, 100, true},
        PoleRow{"tan_poles_between_points", Tan, -M_PI, M_PI, 201, 3, 200, true},
        PoleRow{"tan_over_ten", Tan, -10, 10, 200, 7, 200, true},
        // x = 0 has no value: two branches either way.
        PoleRow{"reciprocal_pole_on_a_point", [](double x) { return 1 / x; }, -10, 10, 100, 2,
                5.0000001, true},
        PoleRow{"reciprocal_pole_between_points", [](double x) { return 1 / x; }, -10, 10, 201, 2,
                101, true},
        PoleRow{"reciprocal_without_a_probe", [](double x) { return 1 / x; }, -10, 10, 201, 2, 101,
                true, false},
        // No sign change: one piece whose peak leaves the picture; the range keeps the
        // curve's shoulders.
        PoleRow{"inverse_square", [](double x) { return 1 / ((x - 1) * (x - 1)); }, -2, 3, 201, 1,
                1000, true},
        // Nothing left of 0; the drop towards 0 is the curve, not a pole.
        PoleRow{"log_near_zero", [](double x) { return x > 0 ? std::log(x) : kNaN; }, -1, 2, 300, 1,
                10, false},
        // No value between two valid points: no segment joins them.
        PoleRow{"failed_middle", [](double x) { return std::fabs(x) < 0.1 ? kNaN : x; }, -2, 2, 3,
                2, 2.0000001, false},
        PoleRow{"sine_whole", Sine, -M_PI, M_PI, 200, 1, 1.0000001, false},
        // Steep but continuous: crossings are drawn.
        PoleRow{"steep_step", [](double x) { return std::tanh(200 * x); }, -1, 1, 201, 1, 1.0000001,
                false},
        PoleRow{"cube_whole", [](double x) { return x * x * x; }, -10, 10, 200, 1, 1000.0001,
                false}),
    RowName<PoleRow>);

// The library's series: tan(x) and 1/x come apart at their poles.
TEST_F(PlotTest, LibraryCurvesComeApartAtTheirPoles) {
    const std::tuple<const char16_t*, double, double, int32_t, int> rows[] = {
        {u"tan(x)", -M_PI, M_PI, 200, 3},
        {u"1/x", -1, 1, 7, 2},
        {u"1/(x-1)^2", -2, 3, 201, 1},
        {u"ln(x)", -1, 2, 300, 1}};
    for (const auto& [expression, from, to, steps, pieces] : rows) {
        SCOPED_TRACE(U8(expression));
        PlotPoints p;
        std::u16string error;
        ASSERT_TRUE(ComputePoints(lib, expression, u"x", from, to, steps, p, error)) << U8(error);
        EXPECT_EQ(Pieces(p), pieces);
    }
}

// Several curves share one frame: y over all of them, x over all points.
TEST(MergedBounds, SpanEveryCurve) {
    PlotPoints a = Sampled(Sine, -1, 1, 20), b = Sampled(Tan, -3, 3, 201);
    SettlePoints(a, ProbeOf(Sine));
    SettlePoints(b, ProbeOf(Tan));
    const CurveRef curves[] = {{u"a", &a}, {u"b", &b}};
    const PlotPoints m = MergedBounds(curves);
    EXPECT_TRUE(m.any);
    EXPECT_EQ(m.xmin, -3);
    EXPECT_NEAR(m.xmax, 3, 1e-12);
    EXPECT_EQ(m.ymin, std::min(a.ymin, b.shownYmin));
    EXPECT_EQ(m.ymax, std::max(a.ymax, b.shownYmax));
    EXPECT_LT(m.ymax, b.ymax); // the trimmed range, not tan's pole
}

// ---- Transforms and the read-out -----------------------------------------------------------

PlotPoints Bounds(double xmin, double xmax, double ymin, double ymax, bool any = true) {
    PlotPoints p;
    p.xmin = xmin;
    p.xmax = xmax;
    p.ymin = ymin;
    p.ymax = ymax;
    p.any = any;
    return p;
}

struct FrameRow {
    const char* name;
    PlotPoints points;
    double yOrigin, ySpan;
    int32_t width = 400, height = 365;
};

class Frames : public ::testing::TestWithParam<FrameRow> {};

TEST_P(Frames, RoundTripAndReadOutEveryPixel) {
    const FrameRow& row = GetParam();
    const PlotFrame f = FrameFor(row.points, row.width, row.height);
    EXPECT_EQ(f.yOrigin, row.yOrigin);
    EXPECT_EQ(f.ySpan, row.ySpan);
    EXPECT_GT(f.xSpan, 0);
    for (double v : {row.points.xmin, row.points.xmax, row.points.ymax, 0.0, -3.25, 1e6}) {
        SCOPED_TRACE(v);
        EXPECT_NEAR(f.WorldX(f.ScreenX(v)), v, 1e-9 * std::max(1.0, std::fabs(v)));
        EXPECT_NEAR(f.WorldY(f.ScreenY(v)), v, 1e-9 * std::max(1.0, std::fabs(v)));
    }
    // ymin and ymax inside the picture, the margin from its bottom and top.
    EXPECT_DOUBLE_EQ(f.ScreenY(f.yOrigin), f.height - f.margin);
    EXPECT_DOUBLE_EQ(f.ScreenY(f.yOrigin + f.ySpan), f.margin);
    EXPECT_GE(f.margin, 0);
    EXPECT_LE(2 * f.margin, f.height);
    for (int32_t mx : {0, 199, 399})
        for (int32_t my : {0, 200, 399}) {
            const std::string text = U8(ReadOutText(f, mx, my, 400, 400));
            EXPECT_EQ(text.rfind("Coord: ", 0), 0u) << text;
            EXPECT_EQ(text.find_first_of("in"), std::string::npos) << text; // no inf, nan
        }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Frames,
    ::testing::Values(FrameRow{"ordinary", Bounds(-2, 2, -4, 9), -4, 13},
                      FrameRow{"constant_function", Bounds(-1, 1, 3, 3), 2, 2},
                      FrameRow{"zero_width_range", Bounds(5, 5, 1, 2), 1, 1},
                      FrameRow{"no_valid_point", Bounds(-1, 1, 7, 7, false), -1, 2},
                      FrameRow{"window_without_room", Bounds(-1, 1, -1, 1), -1, 2, 0, -20}),
    RowName<FrameRow>);

struct ReadOutRow {
    const char* name;
    int32_t mouseX, mouseY;
    std::string text;
};

class ReadOut : public ::testing::TestWithParam<ReadOutRow> {};

// x and y -2..2 in a 400 x 400 window: the image is 365 high, ymax 10 rows down, ymin 355.
TEST_P(ReadOut, ShowsTheWorldPointOrSaysOutside) {
    const ReadOutRow& row = GetParam();
    const PlotFrame f = FrameFor(Bounds(-2, 2, -2, 2), 400, 365);
    EXPECT_EQ(U8(ReadOutText(f, row.mouseX, row.mouseY, 400, 400)), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ReadOut,
    ::testing::Values(ReadOutRow{"top_left_is_xmin_and_the_image_top", 0, 0, "Coord: -2, 2.1159"},
                      ReadOutRow{"highest_y", 300, 10, "Coord: 1, 2"},
                      ReadOutRow{"near_the_origin", 200, 182, "Coord: 0, 0.0058"},
                      ReadOutRow{"lowest_y", 100, 355, "Coord: -1, -2"},
                      ReadOutRow{"last_pixel", 399, 399, "Coord: 1.99, -2.5101"},
                      ReadOutRow{"left_of_window", -1, 10, "MousePos: out of window"},
                      ReadOutRow{"above_window", 10, -1, "MousePos: out of window"},
                      ReadOutRow{"right_of_window", 400, 10, "MousePos: out of window"},
                      ReadOutRow{"below_window", 10, 400, "MousePos: out of window"}),
    RowName<ReadOutRow>);

TEST(ReadOutText, CoordinatesAbove100HaveNoDecimals) {
    const PlotFrame f = FrameFor(Bounds(1000, 5000, -100, 100.5), 400, 365);
    EXPECT_EQ(U8(ReadOutText(f, 0, 355, 400, 400)), "Coord: 1000, -100");
    EXPECT_EQ(U8(ReadOutText(f, 1, 20, 400, 400)), "Coord: 1010, 94.6884");
}

struct PixelRow {
    const char* name;
    double xmin, xmax, ymin, ymax;
    int32_t height;
};

class CurvePixels : public ::testing::TestWithParam<PixelRow> {};

// A point of the curve drawn at its pixel reads back as that point, within a pixel, and
// every y of the range lands inside the picture.
TEST_P(CurvePixels, ReadBackWithinAPixel) {
    const PixelRow& row = GetParam();
    const PlotFrame f = FrameFor(Bounds(row.xmin, row.xmax, row.ymin, row.ymax), 400, row.height);
    for (double t : {0.0, 0.13, 0.5, 0.77, 1.0}) {
        const double x = row.xmin + t * (row.xmax - row.xmin);
        const double y = row.ymin + t * (row.ymax - row.ymin);
        SCOPED_TRACE(t);
        const double sx = std::round(f.ScreenX(x)), sy = std::round(f.ScreenY(y));
        EXPECT_GE(sy, 0);
        EXPECT_LT(sy, row.height);
        EXPECT_LE(std::fabs(f.ScreenX(f.WorldX(sx)) - f.ScreenX(x)), 0.5 + 1e-9);
        EXPECT_LE(std::fabs(f.ScreenY(f.WorldY(sy)) - f.ScreenY(y)), 0.5 + 1e-9);
        EXPECT_LE(std::fabs(f.WorldY(sy) - y), f.ySpan / f.Rows());
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, CurvePixels,
                         ::testing::Values(PixelRow{"unit", -1, 1, -1, 1, 365},
                                           PixelRow{"negative", -300, -200, -9e5, -4e5, 365},
                                           PixelRow{"tiny", 0, 1e-9, 2e-9, 3e-9, 365},
                                           PixelRow{"huge", -1e12, 1e12, 0, 5e12, 765},
                                           PixelRow{"low_window", 0, 1, 0, 1, 12}),
                         RowName<PixelRow>);

// ---- Ticks ----------------------------------------------------------------------------------

struct TickRow {
    const char* name;
    double low, high;
};

class Ticks : public ::testing::TestWithParam<TickRow> {};

// About 5 to 10 round ticks (4 or 11 only where no step gives 5 to 10), each inside the range,
// evenly spaced, none left out at either end, and labels that tell neighbours apart in both number
// formats.
TEST_P(Ticks, FiveToTenRoundValuesCoverTheRange) {
    const TickRow& row = GetParam();
    const PlotTicks t = TicksFor(row.low, row.high);
    const double low = std::min(row.low, row.high), high = std::max(row.low, row.high);
    ASSERT_GE(t.values.size(), 4u);
    ASSERT_LE(t.values.size(), 11u);
    const double mantissa = t.step / std::pow(10.0, std::floor(std::log10(t.step) + 1e-9));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                std::fabs(mantissa - 5) < 1e-9)
        << t.step;
    EXPECT_LT(t.values.front() - t.step, low);
    EXPECT_GT(t.values.back() + t.step, high);
    for (size_t k = 0; k < t.values.size(); ++k) {
        const double v = t.values[k];
        SCOPED_TRACE(v);
        EXPECT_GE(v, low);
        EXPECT_LE(v, high);
        EXPECT_NEAR(v / t.step, std::round(v / t.step), 1e-6);
        if (k == 0) continue;
        EXPECT_NEAR(v - t.values[k - 1], t.step, t.step * 1e-6);
        for (bool autoFormat : {false, true})
            EXPECT_NE(TickText(v, t.step, autoFormat),
                      TickText(t.values[k - 1], t.step, autoFormat));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spans, Ticks,
    ::testing::Values(TickRow{"unit", -1, 1}, TickRow{"sine", -M_PI, M_PI},
                      TickRow{"nano", 0, 1e-9},
                      TickRow{"nano_off_zero", 1.0000001, 1.0000001 + 3e-9},
                      TickRow{"tera", -1e12, 1e12}, TickRow{"tera_positive", 3e11, 1.3e12},
                      TickRow{"negative", -730, -12}, TickRow{"negative_small", -0.0042, -0.0011},
                      TickRow{"reversed", 10, -10}, TickRow{"odd", 0, 13},
                      TickRow{"thousands", 1000, 5000}, TickRow{"no_step_fits", 0, 21}),
    RowName<TickRow>);

TEST(TicksFor, NoTicksForAnEmptyOrUnreadableRange) {
    const std::pair<double, double> rows[] = {{1, 1},         {0, kInf},      {-kInf, 0},
                                              {kNaN, 1},      {1e300, 1e300}, {1e20, 1e20 + 1e5},
                                              {-1e308, 1e308}};
    for (const auto& [low, high] : rows)
        EXPECT_TRUE(TicksFor(low, high).values.empty()) << low << " " << high;
}

TEST(TickText, TheListsFormatWithTheDecimalsTheStepNeeds) {
    struct {
        double value, step;
        bool autoFormat;
        const char* text;
    } rows[] = {{0.5, 0.5, false, "0.5"},
                {-0.0, 0.1, false, "0.0"},
                {-1e-17, 0.05, false, "0.00"},
                {3e-9, 1e-9, false, "0.000000003"},
                {2e12, 1e12, false, "2000000000000"},
                {-20, 5, false, "-20"},
                {0.1 + 0.2, 0.1, true, "0.3"},
                {3e-9, 1e-9, true, "3e-9"},
                {-250, 50, true, "-250"}};
    for (const auto& row : rows)
        EXPECT_EQ(U8(TickText(row.value, row.step, row.autoFormat)), row.text) << row.text;
}

TEST(BoundText, ShortWholeAndReadBack) {
    const std::pair<double, const char*> rows[] = {
        {-M_PI, "-3.14159"},    {0.000001, "0.000001"},     {2, "2"},
        {-0.000001, "-1e-6"},   {-1e-7, "-1e-7"},           {1.5e12, "1.5e12"},
        {-1e12, "-1e12"},       {-123456789.5, "-1.235e8"}, {0.1 + 0.2, "0.3"},
        {-2.5e-300, "-2e-300"}, {1.7e308, "1.7e308"}};
    for (const auto& [value, text] : rows) {
        const std::u16string shown = BoundText(value);
        EXPECT_EQ(U8(shown), text);
        EXPECT_LE(shown.size(), 8u) << text;
        EXPECT_NEAR(zorbit::ReadDecimal(shown), value, std::fabs(value) * 0.25) << text;
    }
}

// ---- Texts and the data file -----------------------------------------------------------------

TEST(PlotNumberText, TenDecimalsWithoutTrailingZeros) {
    const std::pair<double, const char*> rows[] = {
        {2.5, "2.5"},  {3, "3"},    {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.3333333333"},
        {-1e-11, "0"}, {-0.0, "0"}, {kInf, "inf"},      {kNaN, "nan"}};
    for (const auto& [value, text] : rows)
        EXPECT_EQ(U8(PlotNumberText(value)), text) << text;
}

class DataFile : public PlotTest {
  protected:
    PlotPoints Computed(std::u16string_view expression) {
        PlotPoints p;
        std::u16string error;
        EXPECT_TRUE(ComputePoints(lib, expression, u"x", -1, 1, 4, p, error)) << U8(error);
        return p;
    }
};

TEST_F(DataFile, HasAHeaderAndOneLinePerValidPoint) {
    EXPECT_EQ(U8(DataFileText(Computed(u"x*2"))),
              "Id\tX\tY\r\n0\t-1\t-2\r\n1\t-0.5\t-1\r\n2\t0\t0\r\n3\t0.5\t1\r\n4\t1\t2\r\n");
    // The pole's line is left out; the others keep their numbers.
    EXPECT_EQ(U8(DataFileText(Computed(u"1/x"))),
              "Id\tX\tY\r\n0\t-1\t-1\r\n1\t-0.5\t-2\r\n3\t0.5\t2\r\n4\t1\t1\r\n");
    EXPECT_EQ(U8(DataFilePath(u"x.txt", u"/plots")), "/plots/x.txt");
    EXPECT_EQ(U8(DataFilePath(u"/tmp/x.txt", u"/plots/")), "/tmp/x.txt");
}

// One Y column per curve; a line for every point any curve has, empty where one has none.
TEST_F(DataFile, SeveralCurvesHaveAColumnEach) {
    const PlotPoints a = Computed(u"1/x"), b = Computed(u"x^2"), c = Computed(u"ln(x)");
    const CurveRef curves[] = {{u"1/x", &a}, {u"x^2", &b}, {u"ln(x)", &c}};
    EXPECT_EQ(U8(DataFileText(curves)), "Id\tX\tY1\tY2\tY3\r\n"
                                        "0\t-1\t-1\t1\t\r\n"
                                        "1\t-0.5\t-2\t0.25\t\r\n"
                                        "2\t0\t\t0\t\r\n"
                                        "3\t0.5\t2\t0.25\t" +
                                            U8(PlotNumberText(c.y[3])) +
                                            "\r\n"
                                            "4\t1\t1\t1\t0\r\n");
    const PlotPoints none = Computed(u"ln(-1-x^2)");
    const CurveRef nothing[] = {{u"a", &none}, {u"b", &none}};
    EXPECT_EQ(U8(DataFileText(nothing)), "Id\tX\tY1\tY2\r\n");
}

TEST_F(DataFile, IsWrittenAndFailuresLeaveTheOldFile) {
    WriteFile("points.txt", "old");
    const PlotPoints p = Computed(u"x");
    for (const char* failing : {"temp", "write", "rename"}) {
        SCOPED_TRACE(failing);
        FaultHooks faults;
        faults.fileStep = [&](std::string_view step) { return step == failing ? EIO : 0; };
        std::string error;
        EXPECT_FALSE(WriteDataFile(Path("points.txt"), p, error, &faults));
        EXPECT_NE(error.find("can't write the file.\n\n" + Path("points.txt")), std::string::npos)
            << error;
        EXPECT_EQ(ReadFile("points.txt"), "old");
    }
    std::string error;
    EXPECT_FALSE(WriteDataFile(Path("no/such/folder.txt"), p, error));
    ASSERT_TRUE(WriteDataFile(Path("points.txt"), p, error)) << error;
    EXPECT_EQ(ReadFile("points.txt"), U8(DataFileText(p)));
}

// ---- Window places and picture names --------------------------------------------------------

struct PlaceRow {
    const char* name;
    std::optional<PlotRect> previous;
    int32_t x, y;
};

class Places : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(Places, RightOfThePreviousOrOnTheNextRow) {
    const PlaceRow& row = GetParam();
    const PlotPlace place = NextPlotPlace(row.previous, 1920);
    EXPECT_EQ(place.x, row.x);
    EXPECT_EQ(place.y, row.y);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Places,
    ::testing::Values(PlaceRow{"first_plot", std::nullopt, 0, 0},
                      PlaceRow{"right_of_the_previous", PlotRect{407, 430, 400, 400}, 814, 430},
                      PlaceRow{"just_fits", PlotRect{1113, 0, 400, 400}, 1520, 0},
                      PlaceRow{"wraps_to_the_next_row", PlotRect{1114, 0, 400, 418}, 0, 448},
                      PlaceRow{"far_off", PlotRect{2147483000, 2147483500, 400, 400}, 0,
                               2147483647}),
    RowName<PlaceRow>);

struct FirstPlaceRow {
    const char* name;
    PlotRect main, screen;
    int32_t x, y;
};

class FirstPlaces : public ::testing::TestWithParam<FirstPlaceRow> {};

// A 400 x 430 window beside the main window, inside the screen and off the main window
// wherever the screen has room for it.
TEST_P(FirstPlaces, BesideTheMainWindow) {
    const FirstPlaceRow& row = GetParam();
    const PlotPlace p = FirstPlotPlace(row.main, row.screen, 400, 430);
    EXPECT_EQ(p.x, row.x);
    EXPECT_EQ(p.y, row.y);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FirstPlaces,
    ::testing::Values(
        FirstPlaceRow{"right", {0, 0, 480, 450}, {0, 0, 1024, 768}, 487, 0},
        FirstPlaceRow{"below", {600, 0, 480, 300}, {0, 0, 1024, 768}, 600, 307},
        FirstPlaceRow{"left", {600, 300, 420, 460}, {0, 0, 1024, 768}, 193, 300},
        FirstPlaceRow{"above", {100, 500, 900, 268}, {0, 0, 1024, 768}, 100, 63},
        FirstPlaceRow{"no_room_anywhere", {100, 400, 900, 368}, {0, 0, 1024, 768}, 624, 338},
        FirstPlaceRow{"second_screen", {1100, 50, 480, 450}, {1024, 0, 1280, 1024}, 1587, 50}),
    RowName<FirstPlaceRow>);

TEST(ImageFileName, NumberedOrTheSpecificationItself) {
    int32_t counter = 0;
    EXPECT_EQ(U8(ImageFileName(u"0", u"/pics/", counter)), "/pics/aPlotNr_01.jpg");
    EXPECT_EQ(U8(ImageFileName(u"0", u"/pics/", counter)), "/pics/aPlotNr_02.jpg");
    EXPECT_EQ(U8(ImageFileName(u"-1", u"/pics", counter)), "/pics/aPlotNr_03.jpg");
    EXPECT_EQ(U8(ImageFileName(u"", u"/pics/", counter)), "");
    EXPECT_EQ(U8(ImageFileName(u"/tmp/a.png", u"/pics/", counter)), "/tmp/a.png");
    EXPECT_EQ(counter, 3);
    counter = 99;
    EXPECT_EQ(U8(ImageFileName(u"0", u"", counter)), "aPlotNr_100.jpg");
}

TEST(ImageFormatOf, TheExtensionPicksTheFormat) {
    using F = ImageFormat;
    const std::pair<const char16_t*, F> rows[] = {
        {u"a.jpg", F::Jpeg},     {u"a.JPEG", F::Jpeg},     {u"a", F::Jpeg},
        {u"/x/a.PNG", F::Png},   {u"a.svg", F::Svg},       {u"/x.svg/plot", F::Jpeg},
        {u"a.svg.jpg", F::Jpeg}, {u"archive.tar", F::Jpeg}};
    for (const auto& [name, format] : rows)
        EXPECT_EQ(ImageFormatOf(name), format) << U8(name);
}

// A plot sets no error of its own and leaves the debug setting as it was, whether its
// arguments evaluate or not and whatever its points do.
TEST_F(PlotTest, LeavesTheLibrarysStateAlone) {
    slots.SetE_Error(25);
    const int32_t debug = slots.SetDebugF(1);
    PlotArgs out;
    PlotPoints p;
    std::u16string error;
    EXPECT_TRUE(ParsePlotArgs(lib, u"-pi; pi", u"x", out, error));
    EXPECT_FALSE(ParsePlotArgs(lib, u"no", u"x", out, error));
    EXPECT_TRUE(ComputePoints(lib, u"1/x", u"x", -1, 1, 4, p, error));
    EXPECT_EQ(slots.GetE_Error(), 25);
    EXPECT_EQ(slots.SetDebugF(debug), 1);
}

} // namespace
} // namespace vex::test
