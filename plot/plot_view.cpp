#include "plot/plot_view.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace vex {

namespace {

// Spans below this leave the library's ten-decimal x text with too few distinct values
// for a curve.
constexpr double kMinSpan = 1e-8;
// Spans below this part of the bounds' size leave too few distinct doubles.
constexpr double kMinRelativeSpan = 1e-10;
// Zooming out stops here, unless the plot started wider; pans stay within kMaxBound.
constexpr double kMaxSpan = 1e12;
constexpr double kMaxBound = 1e15;
// A point of the curve is written to this many significant digits: more than any pixel
// tells apart, few enough to read at a glance.
constexpr int kSnapDigits = 10;
// Numbers this large are written in the Auto format, not in full.
constexpr double kLongNumber = 1e15;

double Magnitude(PlotRange r) {
    return std::max(std::fabs(r.from), std::fabs(r.to));
}

PlotRange HeldInside(PlotRange r, double span, const PlotViewLimits& limits) {
    if (span >= 2 * limits.maxBound) return {-limits.maxBound, limits.maxBound};
    if (r.from < -limits.maxBound) {
        r.from = -limits.maxBound;
        r.to = r.from + span;
    } else if (r.to > limits.maxBound) {
        r.to = limits.maxBound;
        r.from = r.to - span;
    }
    return r;
}

// A free coordinate with the decimals that tell neighbouring pixels apart.
std::u16string CoordText(double value, double perPixel) {
    if (std::fabs(value) >= kLongNumber) return zorbit::AutoText(value, -1);
    return TickText(value, perPixel, false);
}

} // namespace

PlotViewLimits ViewLimitsFor(PlotRange home) {
    PlotViewLimits limits;
    limits.maxBound = std::max(kMaxBound, Magnitude(home));
    limits.maxSpan = std::min(std::max(kMaxSpan, home.Span()), 2 * limits.maxBound);
    limits.minSpan = kMinSpan;
    return limits;
}

PlotRange ZoomRange(PlotRange range, double anchor, double factor, const PlotViewLimits& limits) {
    const double span = range.Span();
    if (!std::isfinite(anchor) || !std::isfinite(factor) || !(factor > 0) || !(span > 0))
        return range;
    const double minSpan = std::max(limits.minSpan, kMinRelativeSpan * Magnitude(range));
    double wanted = span * factor;
    if (factor < 1) wanted = std::max(wanted, std::min(minSpan, span));
    if (factor > 1) wanted = std::min(wanted, std::max(limits.maxSpan, span));
    if (wanted == span) return range;
    // The anchor keeps its share of the span on each side; one off the range zooms about
    // the nearer end.
    const double share = std::clamp((anchor - range.from) / span, 0.0, 1.0);
    PlotRange zoomed;
    zoomed.from = range.from + share * (span - wanted);
    zoomed.to = zoomed.from + wanted;
    return HeldInside(zoomed, wanted, limits);
}

PlotRange PanRange(PlotRange range, double dx, int32_t width, const PlotViewLimits& limits) {
    const double span = range.Span();
    if (!std::isfinite(dx) || width < 1 || !(span > 0)) return range;
    const double shift = -dx * (span / width);
    const PlotRange moved{range.from + shift, range.from + shift + span};
    if (!std::isfinite(moved.from) || !std::isfinite(moved.to)) return range;
    return HeldInside(moved, span, limits);
}

double WheelZoomFactor(int32_t delta) {
    return std::pow(kPlotZoomStep, -delta / 120.0);
}

std::optional<size_t> NearestPoint(const PlotPoints& points, double x) {
    const std::vector<double>& xs = points.x;
    if (xs.empty() || std::isnan(x)) return std::nullopt;
    const auto after = std::lower_bound(xs.begin(), xs.end(), x);
    if (after == xs.begin()) return 0;
    if (after == xs.end()) return xs.size() - 1;
    const size_t k = static_cast<size_t>(after - xs.begin());
    return x - xs[k - 1] <= xs[k] - x ? k - 1 : k;
}

std::u16string StatusText(const PlotFrame& frame, const PlotPoints& points, double sx, double sy,
                          bool snap) {
    if (!(sx >= 0 && sy >= 0 && sx < frame.width && sy < frame.height)) return {};
    const double x = frame.WorldX(sx), y = frame.WorldY(sy);
    const double xPixel = frame.xSpan / frame.width;
    if (snap) {
        const std::optional<size_t> k = NearestPoint(points, x);
        if (k && *k < points.valid.size() && points.valid[*k])
            return u"on the curve: x = " + zorbit::AutoText(points.x[*k], kSnapDigits) + u"  y = " +
                   zorbit::AutoText(points.y[*k], kSnapDigits);
        return u"x = " + CoordText(k ? points.x[*k] : x, xPixel) + u"  no value of the curve";
    }
    return u"x = " + CoordText(x, xPixel) + u"  y = " + CoordText(y, frame.ySpan / frame.Rows());
}

} // namespace vex
