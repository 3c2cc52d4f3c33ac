#pragma once
// Moving a plot's x range with the mouse, without any drawing: zoom about a point, pan by
// pixels, both held inside limits set by the range the plot was computed over; and the
// status line's read-out of the pointer, free or snapped to the curve.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "plot/plot_math.h"

namespace vex {

// One wheel notch (120 units) zooms in or out by this factor.
inline constexpr double kPlotZoomStep = 1.25;

struct PlotRange {
    double from = 0, to = 0; // from <= to
    double Span() const { return to - from; }
    bool operator==(const PlotRange&) const = default;
};

// How far the view may go from its home range. The smallest span keeps neighbouring
// points apart in the x text the library reads (ten decimals) and in a double; the
// largest and the bounds keep every range finite and computable.
struct PlotViewLimits {
    double minSpan = 0, maxSpan = 0, maxBound = 0;
};
PlotViewLimits ViewLimitsFor(PlotRange home);

// The range zoomed by factor (< 1 in, > 1 out) about anchor, which keeps its place in
// the picture. The span is held inside the limits (a span already outside them does not
// move further out); the range is shifted back inside +-maxBound. A factor or anchor that
// is not finite, or not positive factor, leaves the range as it was.
PlotRange ZoomRange(PlotRange range, double anchor, double factor, const PlotViewLimits& limits);

// The range after the picture (width pixels wide) is dragged dx pixels to the right: the
// curve follows the pointer, so the range moves left. Held inside +-maxBound.
PlotRange PanRange(PlotRange range, double dx, int32_t width, const PlotViewLimits& limits);

// The zoom factor for a wheel turn of delta units (120 a notch, up zooms in).
double WheelZoomFactor(int32_t delta);

// The computed point nearest x (points ascend in x), none without points.
std::optional<size_t> NearestPoint(const PlotPoints& points, double x);

// The status line for the pointer at pixel (sx, sy) of the picture the frame maps:
// "x = ..  y = .." with the decimals one pixel needs; snapped (Shift held), the nearest
// computed point's own coordinates to 10 significant digits ("on the curve: x = ..  y = .."), or
// "no value" when the curve has none there. Empty outside the picture.
std::u16string StatusText(const PlotFrame& frame, const PlotPoints& points, double sx, double sy,
                          bool snap);

} // namespace vex
