// Zoom and pan of a plot's x range and the status line's read-out, without a window.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "plot/plot_view.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The anchor keeps its place and share of the range; spans stay within the limits, and
// factors or anchors that are no number leave the range alone.
TEST(ZoomRange, KeepsTheAnchorInPlaceWithinTheLimits) {
    const struct {
        const char* name;
        PlotRange range;
        double anchor, factor;
        PlotRange expected;
    } rows[] = {
        {"inAboutTheCentre", {-4, 4}, 0, 0.5, {-2, 2}},
        {"inKeepsTheAnchorsShare", {0, 10}, 2.5, 0.5, {1.25, 6.25}},
        {"outAboutTheRightEdge", {0, 10}, 10, 2, {-10, 10}},
        {"anchorOffTheRangeCountsAsItsEdge", {0, 10}, -5, 0.5, {0, 5}},
        {"inStopsAtTheSmallestSpan", {0, 2e-8}, 1e-8, 0.1, {5e-9, 1.5e-8}},
        {"largeBoundsNeedAWiderSpan", {1e6, 1e6 + 1}, 1e6, 1e-9, {1e6, 1e6 + 1e-10 * (1e6 + 1)}},
        {"narrowerThanTheSmallestStaysIn", {0, 1e-12}, 0, 0.5, {0, 1e-12}},
        {"narrowerThanTheSmallestMayGoOut", {0, 1e-12}, 0, 2, {0, 2e-12}},
        {"outStopsAtTheLargestSpan", {0, 1e11}, 0, 100, {0, 1e12}},
        {"outIsShiftedInsideTheBounds", {1e15 - 1e10, 1e15}, 1e15 - 1e10, 10, {1e15 - 1e11, 1e15}},
        {"zeroFactor", {0, 1}, 0.5, 0, {0, 1}},
        {"negativeFactor", {0, 1}, 0.5, -2, {0, 1}},
        {"nanFactor", {0, 1}, 0.5, kNaN, {0, 1}},
        {"infiniteFactor", {0, 1}, 0.5, kInf, {0, 1}},
        {"nanAnchor", {0, 1}, kNaN, 0.5, {0, 1}},
        {"emptyRange", {3, 3}, 3, 0.5, {3, 3}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const PlotRange r = ZoomRange(row.range, row.anchor, row.factor, ViewLimitsFor({-4, 4}));
        // A few units in the last place of the bounds.
        const double tolerance =
            4e-16 * std::max({1.0, std::fabs(row.expected.from), std::fabs(row.expected.to)});
        EXPECT_NEAR(r.from, row.expected.from, tolerance);
        EXPECT_NEAR(r.to, row.expected.to, tolerance);
    }
}

// Any run of wheel turns leaves a finite range with room between its bounds.
TEST(ZoomRange, RepeatedTurnsStayBoundedAndComeBack) {
    const PlotRange home{-3.14159, 3.14159};
    const PlotViewLimits limits = ViewLimitsFor(home);
    for (const int32_t delta : {120, -120, 1200, -1200}) {
        SCOPED_TRACE(delta);
        PlotRange r = home;
        for (int k = 0; k < 2000; ++k) {
            r = ZoomRange(r, r.from + 0.3 * r.Span(), WheelZoomFactor(delta), limits);
            ASSERT_TRUE(std::isfinite(r.from) && std::isfinite(r.to));
            ASSERT_GE(r.Span(), limits.minSpan * 0.999); // the bounds round the span
            ASSERT_LE(r.Span(), limits.maxSpan * 1.001);
        }
    }
    // A notch in and a notch out return to the range (the anchor kept between them).
    const PlotRange back = ZoomRange(ZoomRange(home, 1, WheelZoomFactor(120), limits), 1,
                                     WheelZoomFactor(-120), limits);
    EXPECT_NEAR(back.from, home.from, 1e-12);
    EXPECT_NEAR(back.to, home.to, 1e-12);
    // A plot opened wider than the usual largest span can be zoomed out to its own span.
    const PlotViewLimits wide = ViewLimitsFor({-1e200, 1e200});
    EXPECT_EQ(ZoomRange({-1e200, 1e200}, 0, 1.25, wide), (PlotRange{-1e200, 1e200}));
    EXPECT_EQ(ZoomRange({-1e199, 1e199}, 0, 100, wide), (PlotRange{-1e200, 1e200}));
}

TEST(PanRange, FollowsThePointerAndStopsAtTheBounds) {
    const PlotViewLimits limits = ViewLimitsFor({0, 10});
    // 40 of 400 pixels is a tenth of the span; dragging right shows what lay left.
    EXPECT_EQ(PanRange({0, 10}, 40, 400, limits), (PlotRange{-1, 9}));
    EXPECT_EQ(PanRange({0, 10}, -40, 400, limits), (PlotRange{1, 11}));
    for (double dx : {-1e300, 1e300}) {
        const PlotRange far = PanRange({0, 10}, dx, 400, limits);
        EXPECT_NEAR(far.Span(), 10, 1);
        EXPECT_LE(std::max(std::fabs(far.from), std::fabs(far.to)), limits.maxBound) << dx;
    }
    for (double dx : {kNaN, kInf})
        EXPECT_EQ(PanRange({0, 10}, dx, 400, limits), (PlotRange{0, 10})) << dx;
    EXPECT_EQ(PanRange({0, 10}, 40, 0, limits), (PlotRange{0, 10}));
}

TEST(NearestPoint, TakesTheComputedPointClosestInX) {
    PlotPoints p;
    p.x = {-1, 0, 0.5, 2};
    const struct {
        const char* name;
        double x;
        std::optional<size_t> expected;
    } rows[] = {{"left", -5, 0},
                {"right", 9, 3},
                {"exact", 0.5, 2},
                {"nearerLeft", 1.2, 2},
                {"nearerRight", 1.3, 3},
                {"halfwayLeft", -0.5, 0},
                {"nan", kNaN, std::nullopt}};
    for (const auto& row : rows)
        EXPECT_EQ(NearestPoint(p, row.x), row.expected) << row.name;
    EXPECT_FALSE(NearestPoint(PlotPoints{}, 0).has_value());
}

// y = x over -2..2 in 5 points, the middle one without a value.
PlotPoints Line() {
    PlotPoints p;
    p.x = {-2, -1, 0, 1, 2};
    p.y = {-2, -1, 0, 1, 2};
    p.valid = {1, 1, 0, 1, 1};
    p.xmin = p.ymin = -2;
    p.xmax = p.ymax = 2;
    p.any = true;
    return p;
}

TEST(StatusText, ReadsThePointerFreeOrOnTheCurve) {
    const PlotPoints points = Line();
    // 400 x 347: x 100 pixels a unit, y -2..2 over 327 rows from row 10.
    const PlotFrame f = FrameFor(points, 400, 347);
    const struct {
        const char* name;
        double sx, sy;
        bool snap;
        std::string text;
    } rows[] = {
        {"freeTwoDecimalsForAHundredthAPixel", 300, 10, false, "x = 1.00  y = 2.00"},
        {"freeBetweenPoints", 130, 200, false, "x = -0.70  y = -0.32"},
        {"snapTakesTheNearestPoint", 290, 300, true, "on the curve: x = 1  y = 1"},
        {"snapAtAMissingValue", 210, 10, true, "x = 0.00  no value of the curve"},
        {"leftOfThePicture", -1, 10, false, ""},
        {"belowThePicture", 10, 347, true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(U8(StatusText(f, points, row.sx, row.sy, row.snap)), row.text);
    }
    // A zoomed-in frame writes as many decimals as a pixel needs.
    PlotPoints narrow = Line();
    narrow.xmin = 1;
    narrow.xmax = 1 + 4e-6;
    EXPECT_EQ(U8(StatusText(FrameFor(narrow, 400, 347), narrow, 100, 10, false)),
              "x = 1.00000100  y = 2.00");
}

} // namespace
} // namespace vex::test
