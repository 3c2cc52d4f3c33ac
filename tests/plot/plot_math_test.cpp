#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include "plot/plot_math.h"
#include "tests/plot/plot_fixture.h"

namespace vex::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// ---- Points ------------------------------------------------------------------------------

struct PointsRow {
    const char* name;
    std::u16string expression, variable;
    double from, to;
    int32_t steps;
    std::vector<double> x;         // expected x, to 1e-12
    std::vector<uint8_t> valid;    // expected valid flags
    double xmin, xmax, ymin, ymax; // expected bounds (y only when some point is valid)
};

std::string RowName(const ::testing::TestParamInfo<PointsRow>& info) {
    return info.param.name;
}

class Points : public PlotTest, public ::testing::WithParamInterface<PointsRow> {};

TEST_P(Points, ComeFromTheSeriesWithFailuresLeftOut) {
    const PointsRow& row = GetParam();
    PlotPoints p;
    std::u16string error;
    ASSERT_TRUE(
        ComputePoints(slots, row.expression, row.variable, row.from, row.to, row.steps, p, error))
        << U8(error);
    ASSERT_EQ(p.x.size(), row.x.size());
    ASSERT_EQ(p.y.size(), row.x.size());
    for (size_t k = 0; k < row.x.size(); ++k)
        EXPECT_NEAR(p.x[k], row.x[k], 1e-12) << k;
    EXPECT_EQ(p.valid, row.valid);
    EXPECT_DOUBLE_EQ(p.xmin, row.xmin);
    EXPECT_DOUBLE_EQ(p.xmax, row.xmax);
    bool any = false;
    for (size_t k = 0; k < p.valid.size(); ++k) {
        if (!p.valid[k]) continue;
        any = true;
        EXPECT_TRUE(std::isfinite(p.y[k])) << k;
        EXPECT_LE(p.ymin, p.y[k]);
        EXPECT_GE(p.ymax, p.y[k]);
    }
    EXPECT_EQ(p.any, any);
    if (any) {
        EXPECT_NEAR(p.ymin, row.ymin, 1e-8);
        EXPECT_NEAR(p.ymax, row.ymax, 1e-8);
    }
}

const std::vector<uint8_t> kAll5 = {1, 1, 1, 1, 1};

INSTANTIATE_TEST_SUITE_P(
    Series, Points,
    ::testing::Values(
        PointsRow{"five_points", u"x", u"x", -2, 2, 4, {-2, -1, 0, 1, 2}, kAll5, -2, 2, -2, 2},
        PointsRow{"pole_left_out",
                  u"1/x",
                  u"x",
                  -1,
                  1,
                  4,
                  {-1, -0.5, 0, 0.5, 1},
                  {1, 1, 0, 1, 1},
                  -1,
                  1,
                  -2,
                  2},
        PointsRow{"logarithm_left_out_where_not_positive",
                  u"ln(x)",
                  u"x",
                  -1,
                  1,
                  4,
                  {-1, -0.5, 0, 0.5, 1},
                  {0, 0, 0, 1, 1},
                  -1,
                  1,
                  std::log(0.5),
                  0},
        PointsRow{
            "overflow_left_out", u"10^(x*400)", u"x", -1, 1, 2, {-1, 0, 1}, {1, 1, 0}, -1, 1, 0, 1},
        PointsRow{
            "nothing_valid", u"x+nosuchname", u"x", 0, 1, 2, {0, 0.5, 1}, {0, 0, 0}, 0, 1, 0, 0},
        PointsRow{"constant", u"3", u"x", 0, 1, 2, {0, 0.5, 1}, {1, 1, 1}, 0, 1, 3, 3},
        // "abs" keeps its "a": only the whole name is replaced.
        PointsRow{"variable_replaced_as_a_whole_name",
                  u"a+abs(a)",
                  u"a",
                  -1,
                  1,
                  2,
                  {-1, 0, 1},
                  {1, 1, 1},
                  -1,
                  1,
                  0,
                  2},
        PointsRow{"other_variable", u"t^2", u"t", -1, 1, 2, {-1, 0, 1}, {1, 1, 1}, -1, 1, 0, 1},
        PointsRow{"zero_width_is_one_point", u"x", u"x", 2, 2, 4, {2}, {1}, 2, 2, 2, 2},
        PointsRow{"reversed_range_runs_upwards",
                  u"x",
                  u"x",
                  2,
                  -2,
                  4,
                  {-2, -1, 0, 1, 2},
                  kAll5,
                  -2,
                  2,
                  -2,
                  2},
        // 0.3/7 added up seven times passes 0.3: the last point still belongs to the range.
        PointsRow{"rounding_keeps_the_last_point",
                  u"x",
                  u"x",
                  0,
                  0.3,
                  7,
                  {0, 0.3 / 7, 0.6 / 7, 0.9 / 7, 1.2 / 7, 1.5 / 7, 1.8 / 7, 0.3},
                  {1, 1, 1, 1, 1, 1, 1, 1},
                  0,
                  0.3,
                  0,
                  0.3}),
    RowName);

// The x values are the library's: ten decimals written into the expression.
TEST_F(PlotTest, PointsTakeTheValueOfTheTenDecimalText) {
    PlotPoints p;
    std::u16string error;
    ASSERT_TRUE(ComputePoints(slots, u"x*10^12", u"x", 0, 1, 3, p, error)) << U8(error);
    ASSERT_EQ(p.y.size(), 4u);
    EXPECT_NEAR(p.x[1], 1.0 / 3, 1e-15);
    EXPECT_NEAR(p.y[1], 333333333300, 1e-3); // 0.3333333333 * 1e12
}

struct RefusalRow {
    const char* name;
    double from, to;
    int32_t steps;
    std::u16string variable;
    std::string says;
};

std::string RefusalName(const ::testing::TestParamInfo<RefusalRow>& info) {
    return info.param.name;
}

class Refusals : public PlotTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(Refusals, ExplainWhy) {
    const RefusalRow& row = GetParam();
    PlotPoints p;
    p.x = {1};
    std::u16string error;
    EXPECT_FALSE(ComputePoints(slots, u"x", row.variable, row.from, row.to, row.steps, p, error));
    EXPECT_NE(U8(error).find(row.says), std::string::npos) << U8(error);
    EXPECT_TRUE(p.x.empty());
    EXPECT_FALSE(p.any);
}

INSTANTIATE_TEST_SUITE_P(
    Input, Refusals,
    ::testing::Values(RefusalRow{"no_steps", -1, 1, 0, u"x", "from 1 to 1000000, not 0"},
                      RefusalRow{"negative_steps", -1, 1, -5, u"x", "not -5"},
                      RefusalRow{"too_many_steps", -1, 1, 1'000'001, u"x", "not 1000001"},
                      RefusalRow{"nan_bound", kNaN, 1, 10, u"x", "finite"},
                      RefusalRow{"infinite_bound", -1, kInf, 10, u"x", "finite"},
                      RefusalRow{"range_too_wide", -1.7e308, 1.7e308, 10, u"x", "too wide"},
                      RefusalRow{"no_variable", -1, 1, 10, u"", "no name"}),
    RefusalName);

TEST_F(PlotTest, MissingSeriesRoutineIsReported) {
    EntrySlots none = slots;
    none.e_evalsEx = nullptr;
    PlotPoints p;
    std::u16string error;
    EXPECT_FALSE(ComputePoints(none, u"x", u"x", -1, 1, 4, p, error));
    EXPECT_NE(U8(error).find("e_evalsEx"), std::string::npos);
}

// A plot and its redraw set no error and leave the debug settings as they were.
TEST_F(PlotTest, ComputingLeavesTheLibrarysStateAlone) {
    slots.SetE_Error(25);
    const int32_t debug = slots.SetDebugF(1);
    PlotPoints p;
    std::u16string error;
    ASSERT_TRUE(ComputePoints(slots, u"1/x", u"x", -1, 1, 4, p, error));
    EXPECT_EQ(slots.GetE_Error(), 25);
    EXPECT_EQ(slots.SetDebugF(debug), 1);
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
    int32_t width, height;
};

std::string FrameName(const ::testing::TestParamInfo<FrameRow>& info) {
    return info.param.name;
}

class Frames : public ::testing::TestWithParam<FrameRow> {};

TEST_P(Frames, TransformsRoundTripAndStayFinite) {
    const FrameRow& row = GetParam();
    const PlotFrame f = FrameFor(row.points, row.width, row.height);
    EXPECT_GT(f.xSpan, 0);
    EXPECT_GT(f.ySpan, 0);
    EXPECT_TRUE(std::isfinite(f.xSpan) && std::isfinite(f.ySpan));
    for (double v :
         {row.points.xmin, row.points.xmax, row.points.ymin, row.points.ymax, 0.0, -3.25, 1e6}) {
        SCOPED_TRACE(v);
        EXPECT_NEAR(f.WorldX(f.ScreenX(v)), v, 1e-9 * std::max(1.0, std::fabs(v)));
        EXPECT_NEAR(f.WorldY(f.Height(v)), v, 1e-9 * std::max(1.0, std::fabs(v)));
        EXPECT_TRUE(std::isfinite(f.ScreenX(v)) && std::isfinite(f.ScreenY(v, 400)));
    }
    // Every pixel of the window reads out as numbers.
    for (int32_t mx : {0, 199, 399})
        for (int32_t my : {0, 200, 399}) {
            const std::string text = U8(ReadOutText(f, mx, my, 400, 400));
            EXPECT_EQ(text.rfind("Coord: ", 0), 0u) << text;
            EXPECT_EQ(text.find_first_of("in"), std::string::npos) << text;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Frames,
    ::testing::Values(FrameRow{"ordinary", Bounds(-2, 2, -4, 9), 400, 365},
                      FrameRow{"constant_function", Bounds(-1, 1, 3, 3), 400, 365},
                      FrameRow{"zero_width_range", Bounds(5, 5, 1, 2), 400, 365},
                      FrameRow{"single_point", Bounds(5, 5, 7, 7), 400, 365},
                      FrameRow{"no_valid_point", Bounds(-1, 1, 0, 0, false), 400, 365},
                      FrameRow{"window_without_room", Bounds(-1, 1, -1, 1), 0, -20}),
    FrameName);

TEST(FrameFor, WidensZeroSpansAndDefaultsTheEmptyYRange) {
    const PlotFrame constant = FrameFor(Bounds(-1, 1, 3, 3), 400, 365);
    EXPECT_EQ(constant.yOrigin, 2);
    EXPECT_EQ(constant.ySpan, 2);
    const PlotFrame empty = FrameFor(Bounds(0, 4, 7, 7, false), 400, 365);
    EXPECT_EQ(empty.yOrigin, -1);
    EXPECT_EQ(empty.ySpan, 2);
    EXPECT_EQ(empty.xSpan, 4);
    // The curve's lowest point sits 55 rows above the window's inner bottom.
    EXPECT_EQ(empty.ScreenY(-1, 400), 345);
    EXPECT_EQ(empty.ScreenX(0), 0);
    EXPECT_EQ(empty.ScreenX(4), 400);
}

TEST(ClampPixel, HoldsFarPointsAndNaN) {
    EXPECT_EQ(ClampPixel(12.5), 12.5);
    EXPECT_EQ(ClampPixel(kInf), 1e7);
    EXPECT_EQ(ClampPixel(-1e300), -1e7);
    EXPECT_EQ(ClampPixel(kNaN), 0);
}

struct ReadOutRow {
    const char* name;
    int32_t mouseX, mouseY;
    std::string text;
};

std::string ReadOutName(const ::testing::TestParamInfo<ReadOutRow>& info) {
    return info.param.name;
}

class ReadOut : public ::testing::TestWithParam<ReadOutRow> {};

// x -2..2 and y -2..2 in a 400 x 400 window: the image is 365 high, ymin 345 rows down.
TEST_P(ReadOut, ShowsTheWorldPointOrSaysOutside) {
    const ReadOutRow& row = GetParam();
    const PlotFrame f = FrameFor(Bounds(-2, 2, -2, 2), 400, 365);
    EXPECT_EQ(U8(ReadOutText(f, row.mouseX, row.mouseY, 400, 400)), row.text);
}

INSTANTIATE_TEST_SUITE_P(Clicks, ReadOut,
                         ::testing::Values(
                             // y at the image top: 345 * 4 / 365 - 2.
                             ReadOutRow{"top_left_corner", 0, 0, "Coord: -2, 1.7808"},
                             ReadOutRow{"world_origin", 200, 345 - 182, "Coord: 0, -0.0055"},
                             ReadOutRow{"lowest_y", 100, 345, "Coord: -1, -2"},
                             ReadOutRow{"last_pixel", 399, 399, "Coord: 1.99, -2.5918"},
                             ReadOutRow{"left_of_window", -1, 10, "MousePos: out of window"},
                             ReadOutRow{"above_window", 10, -1, "MousePos: out of window"},
                             ReadOutRow{"right_of_window", 400, 10, "MousePos: out of window"},
                             ReadOutRow{"below_window", 10, 400, "MousePos: out of window"}),
                         ReadOutName);

TEST(ReadOutText, LargeCoordinatesHaveNoDecimals) {
    const PlotFrame f = FrameFor(Bounds(1000, 5000, -100, 100.5), 400, 365);
    EXPECT_EQ(U8(ReadOutText(f, 0, 345, 400, 400)), "Coord: 1000, -100");
    EXPECT_EQ(U8(ReadOutText(f, 1, 0, 400, 400)), "Coord: 1010, 89.5137");
}

// ---- Texts -----------------------------------------------------------------------------------

TEST(PlotNumberText, TenDecimalsWithoutTrailingZeros) {
    const struct {
        double value;
        const char* text;
    } rows[] = {{2.5, "2.5"},
                {3, "3"},
                {-1, "-1"},
                {0.1 + 0.2, "0.3"},
                {1e-11, "0"},
                {-1e-11, "0"},
                {-0.0, "0"},
                {1.0 / 3, "0.3333333333"},
                {1e15, "1000000000000000"},
                {kInf, "inf"},
                {-kInf, "-inf"},
                {kNaN, "nan"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(U8(PlotNumberText(row.value)), row.text);
    }
}

PlotPoints Computed(const EntrySlots& slots, std::u16string_view expression) {
    PlotPoints p;
    std::u16string error;
    EXPECT_TRUE(ComputePoints(slots, expression, u"x", -1, 1, 4, p, error)) << U8(error);
    return p;
}

TEST_F(PlotTest, DataFileHasAHeaderAndOneLinePerValidPoint) {
    EXPECT_EQ(U8(DataFileText(Computed(slots, u"x*2"))), "Id\tX\tY\r\n"
                                                         "0\t-1\t-2\r\n"
                                                         "1\t-0.5\t-1\r\n"
                                                         "2\t0\t0\r\n"
                                                         "3\t0.5\t1\r\n"
                                                         "4\t1\t2\r\n");
    // The pole's line is left out; the others keep their numbers.
    EXPECT_EQ(U8(DataFileText(Computed(slots, u"1/x"))), "Id\tX\tY\r\n"
                                                         "0\t-1\t-1\r\n"
                                                         "1\t-0.5\t-2\r\n"
                                                         "3\t0.5\t2\r\n"
                                                         "4\t1\t1\r\n");
}

TEST(DataFilePath, RelativeNamesGoIntoTheFolder) {
    EXPECT_EQ(U8(DataFilePath(u"x.txt", u"/data/plots")), "/data/plots/x.txt");
    EXPECT_EQ(U8(DataFilePath(u"x.txt", u"/data/plots/")), "/data/plots/x.txt");
    EXPECT_EQ(U8(DataFilePath(u"/tmp/x.txt", u"/data/plots")), "/tmp/x.txt");
    EXPECT_EQ(U8(DataFilePath(u"x.txt", u"")), "x.txt");
}

class DataFile : public PlotTest {
  protected:
    void SetUp() override {
        PlotTest::SetUp();
        std::string pattern = (std::filesystem::temp_directory_path() / "vexplot-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path dir;
};

TEST_F(DataFile, IsWrittenAsUtf8AndReplacesTheOldOne) {
    const std::filesystem::path path = dir / "points.txt";
    std::ofstream(path) << "old text that is longer than the new one, much longer indeed";
    std::string error;
    const PlotPoints p = Computed(slots, u"x*2");
    ASSERT_TRUE(WriteDataFile(path.string(), p, error)) << error;
    EXPECT_EQ(Read(path), U8(DataFileText(p)));
}

TEST_F(DataFile, FailuresLeaveTheOldFile) {
    const std::filesystem::path path = dir / "points.txt";
    std::ofstream(path) << "old";
    const PlotPoints p = Computed(slots, u"x");
    for (const char* failing : {"temp", "write", "rename"}) {
        SCOPED_TRACE(failing);
        FaultHooks faults;
        faults.fileStep = [&](std::string_view step) { return step == failing ? EIO : 0; };
        std::string error;
        EXPECT_FALSE(WriteDataFile(path.string(), p, error, &faults));
        EXPECT_NE(error.find("can't write the file"), std::string::npos) << error;
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
        EXPECT_EQ(Read(path), "old");
    }
    std::string error;
    EXPECT_FALSE(WriteDataFile((dir / "no/such/folder.txt").string(), p, error));
    EXPECT_NE(error.find("no/such/folder.txt"), std::string::npos) << error;
}

// ---- Window places and picture names --------------------------------------------------------

struct PlaceRow {
    const char* name;
    std::optional<PlotRect> previous;
    int32_t desktopWidth;
    int32_t x, y;
};

std::string PlaceName(const ::testing::TestParamInfo<PlaceRow>& info) {
    return info.param.name;
}

class Places : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(Places, RightOfThePreviousOrOnTheNextRow) {
    const PlaceRow& row = GetParam();
    const PlotPlace place = NextPlotPlace(row.previous, row.desktopWidth);
    EXPECT_EQ(place.x, row.x);
    EXPECT_EQ(place.y, row.y);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Places,
    ::testing::Values(PlaceRow{"first_plot", std::nullopt, 1920, 0, 0},
                      PlaceRow{"right_of_the_first", PlotRect{0, 0, 400, 400}, 1920, 407, 0},
                      PlaceRow{"keeps_the_row", PlotRect{407, 430, 400, 400}, 1920, 814, 430},
                      PlaceRow{"just_fits", PlotRect{1113, 0, 400, 400}, 1920, 1520, 0},
                      PlaceRow{"wraps_to_the_next_row", PlotRect{1114, 0, 400, 400}, 1920, 0, 430},
                      PlaceRow{"wide_previous_window", PlotRect{0, 30, 1600, 400}, 1920, 0, 460},
                      PlaceRow{"far_off_previous", PlotRect{2147483000, 2147483500, 400, 400}, 1920,
                               0, 2147483647}),
    PlaceName);

TEST(ImageFileName, NumberedNamesCountUp) {
    int32_t counter = 0;
    EXPECT_EQ(U8(ImageFileName(u"0", u"/pics/", counter)), "/pics/aPlotNr_01.jpg");
    EXPECT_EQ(U8(ImageFileName(u"0", u"/pics/", counter)), "/pics/aPlotNr_02.jpg");
    EXPECT_EQ(U8(ImageFileName(u"-1", u"/pics", counter)), "/pics/aPlotNr_03.jpg");
    EXPECT_EQ(counter, 3);
    counter = 99;
    EXPECT_EQ(U8(ImageFileName(u"0", u"", counter)), "aPlotNr_100.jpg");
    EXPECT_EQ(U8(ImageFileName(u"0", u"", counter)), "aPlotNr_101.jpg");
}

TEST(ImageFileName, OtherSpecificationsAreTheNameItself) {
    int32_t counter = 4;
    EXPECT_EQ(U8(ImageFileName(u"", u"/pics/", counter)), "");
    EXPECT_EQ(U8(ImageFileName(u"/tmp/curve.png", u"/pics/", counter)), "/tmp/curve.png");
    EXPECT_EQ(U8(ImageFileName(u"00", u"/pics/", counter)), "00");
    EXPECT_EQ(counter, 4);
}

TEST(ImageFormatOf, TheExtensionPicksTheFormat) {
    const struct {
        const char16_t* name;
        ImageFormat format;
    } rows[] = {{u"a.jpg", ImageFormat::Jpeg},       {u"a.JPEG", ImageFormat::Jpeg},
                {u"a", ImageFormat::Jpeg},           {u"a.png", ImageFormat::Png},
                {u"/x/plot.PNG", ImageFormat::Png},  {u"a.svg", ImageFormat::Svg},
                {u"/x.svg/plot", ImageFormat::Jpeg}, {u"a.svg.jpg", ImageFormat::Jpeg},
                {u"archive.tar", ImageFormat::Jpeg}};
    for (const auto& row : rows) {
        SCOPED_TRACE(U8(row.name));
        EXPECT_EQ(ImageFormatOf(row.name), row.format);
    }
}

} // namespace
} // namespace vex::test
