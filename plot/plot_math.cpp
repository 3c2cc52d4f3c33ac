#include "plot/plot_math.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "common/number_text.h"
#include "common/text.h"
#include "script/file_write.h"

namespace vex {

namespace {

constexpr double kMaxPixel = 1e7;
// Read-out coordinates up to this size get four decimals, larger ones none.
constexpr double kReadOutSmall = 100;

std::u16string ReadOutNumber(double value) {
    return PlotNumberText(value, std::fabs(value) <= kReadOutSmall ? 4 : 0);
}

// A span to divide by: zero widened by one unit each side, an overflowing one held at
// the largest double.
void SpanOf(double low, double high, double& origin, double& span) {
    origin = low;
    span = high - low;
    if (span == 0) {
        origin = low - 1;
        span = 2;
    } else if (!std::isfinite(span)) {
        span = std::numeric_limits<double>::max();
    }
}

} // namespace

bool ComputePoints(const Library& lib, std::u16string_view expression, std::u16string_view variable,
                   double from, double to, int32_t steps, PlotPoints& points,
                   std::u16string& error) {
    points = PlotPoints{};
    if (!lib.Has("e_evalsEx")) {
        error = u"the library has no routine e_evalsEx: plots need a newer libzorbit.so";
        return false;
    }
    if (steps < 1 || steps > kMaxPlotSteps) {
        error = u"the steps must be a whole number from 1 to " + zorbit::IntText(kMaxPlotSteps) +
                u", not " + zorbit::IntText(steps);
        return false;
    }
    if (!std::isfinite(from) || !std::isfinite(to)) {
        error = u"the x range must be two finite numbers, not " + PlotNumberText(from) + u" to " +
                PlotNumberText(to);
        return false;
    }
    if (from > to) std::swap(from, to);
    if (!std::isfinite(to - from)) {
        error =
            u"the x range " + PlotNumberText(from) + u" to " + PlotNumberText(to) + u" is too wide";
        return false;
    }
    if (variable.empty()) {
        error = u"the variable to plot over has no name";
        return false;
    }
    const size_t count = static_cast<size_t>(steps) + 1;
    std::vector<double> xs(count, 0), ys(count, 0);
    std::vector<int32_t> codes(count, ZORBIT_NOT_REACHED);
    double limits[5] = {0, 0, 0, 0, 0};
    const Library::Quiet quiet = lib.Quietly();
    if (lib.EvalSeries(expression, from, variable, to, steps, xs.data(), ys.data(), limits,
                       codes.data()) == ZORBIT_E_REENTERED) {
        error = kLibraryBusy;
        return false;
    }
    size_t reached = static_cast<size_t>(
        std::find(codes.begin(), codes.end(), int32_t{ZORBIT_NOT_REACHED}) - codes.begin());
    // The series adds the step up from `from`, and the rounding of those additions can
    // pass `to` just before the last point. Such points continue the same additions, one
    // point each; a point more than half a step past `to` is not part of the range.
    const double step = (to - from) / steps;
    if (reached > 0 && step > 0) {
        double x = xs[reached - 1];
        for (; reached < count; ++reached) {
            x += step;
            if (!std::isfinite(x) || !(x <= to + step / 2)) break;
            double px[2] = {0, 0}, py[2] = {0, 0}, pl[5] = {0, 0, 0, 0, 0};
            int32_t pc[2] = {ZORBIT_NOT_REACHED, ZORBIT_NOT_REACHED};
            lib.EvalSeries(expression, x, variable, x, 1, px, py, pl, pc);
            if (pc[0] == ZORBIT_NOT_REACHED) break;
            xs[reached] = px[0];
            ys[reached] = py[0];
            codes[reached] = pc[0];
        }
    }
    xs.resize(reached);
    ys.resize(reached);
    points.valid.assign(reached, 0);
    for (size_t k = 0; k < reached; ++k) {
        if (codes[k] != ZORBIT_NO_ERROR && points.firstError == ZORBIT_NO_ERROR)
            points.firstError = codes[k];
        points.valid[k] = codes[k] == ZORBIT_NO_ERROR && std::isfinite(ys[k]) ? 1 : 0;
    }
    points.x = std::move(xs);
    points.y = std::move(ys);
    SettlePoints(points, [&](double x) -> std::optional<double> {
        double px[2] = {0, 0}, py[2] = {0, 0}, pl[5] = {0, 0, 0, 0, 0};
        int32_t pc[2] = {ZORBIT_NOT_REACHED, ZORBIT_NOT_REACHED};
        lib.EvalSeries(expression, x, variable, x, 1, px, py, pl, pc);
        if (pc[0] != ZORBIT_NO_ERROR || !std::isfinite(py[0])) return std::nullopt;
        return py[0];
    });
    return true;
}

void SettlePoints(PlotPoints& points, const PlotProbe& probe) {
    const size_t n = std::min(points.x.size(), points.y.size());
    points.valid.resize(n, 0);
    points.cut.assign(n, 0);
    points.any = false;
    points.trimmed = false;
    std::vector<double> values;
    values.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        const double x = points.x[k], y = points.y[k];
        points.xmin = k == 0 ? x : std::min(points.xmin, x);
        points.xmax = k == 0 ? x : std::max(points.xmax, x);
        if (!points.valid[k]) continue;
        if (!std::isfinite(y)) {
            points.valid[k] = 0;
            continue;
        }
        points.ymin = points.any ? std::min(points.ymin, y) : y;
        points.ymax = points.any ? std::max(points.ymax, y) : y;
        points.any = true;
        values.push_back(y);
    }
    if (n == 0) points.xmin = points.xmax = 0;
    if (!points.any) points.ymin = points.ymax = 0;
    points.shownYmin = points.ymin;
    points.shownYmax = points.ymax;

    // The central 98%: 1% of the values left out at each end, at least one. Too few
    // values to tell a pole from the curve keep their whole range.
    constexpr size_t kMinForTrim = 10;
    // An end whose extreme lies more than this share of the central span beyond it is a
    // pole (1/x sampled on its pole lies half a span or a whole span beyond).
    constexpr double kFar = 0.4;
    if (values.size() >= kMinForTrim) {
        const size_t drop = std::max<size_t>(1, values.size() / 100);
        std::nth_element(values.begin(), values.begin() + drop, values.end());
        const double low = values[drop];
        std::nth_element(values.begin() + drop, values.end() - 1 - drop, values.end());
        const double high = values[values.size() - 1 - drop];
        const double spread = high - low;
        if (points.ymax - high > kFar * spread) points.shownYmax = high;
        if (low - points.ymin > kFar * spread) points.shownYmin = low;
        points.trimmed = points.shownYmin != points.ymin || points.shownYmax != points.ymax;
    }

    const double shown = points.shownYmax - points.shownYmin;
    for (size_t k = 1; k < n; ++k) {
        if (!points.valid[k - 1] || !points.valid[k]) continue;
        const double a = points.y[k - 1], b = points.y[k];
        if (!((a < 0 && b > 0) || (a > 0 && b < 0))) continue;
        const double lo = std::min(a, b), hi = std::max(a, b);
        if (!(hi - lo >= shown / 4)) continue;
        if (!probe) {
            // Nothing to look between them with: both ends far outside the shown range.
            points.cut[k] = std::min(-lo, hi) > shown ? 1 : 0;
            continue;
        }
        // Between the two ends of a steep crossing the curve stays between their values;
        // across a pole it runs off beyond one of them (or has no value).
        const std::optional<double> middle = probe((points.x[k - 1] + points.x[k]) / 2);
        points.cut[k] = !middle || *middle < lo || *middle > hi ? 1 : 0;
    }
}

double PlotFrame::ScreenX(double x) const {
    return (x - xOrigin) * width / xSpan;
}
double PlotFrame::WorldX(double sx) const {
    return sx * xSpan / width + xOrigin;
}
double PlotFrame::Rows() const {
    return std::max(height - 2 * margin, 1.0);
}
double PlotFrame::ScreenY(double y) const {
    return (margin + Rows()) - (y - yOrigin) * Rows() / ySpan;
}
double PlotFrame::WorldY(double sy) const {
    return ((margin + Rows()) - sy) * ySpan / Rows() + yOrigin;
}

PlotFrame FrameFor(const PlotPoints& points, int32_t width, int32_t height) {
    PlotFrame f;
    f.width = std::max(width, 1);
    f.height = std::max(height, 1);
    // A low picture keeps most of its rows for the curve.
    f.margin = std::min<double>(kPlotMargin, f.height / 10);
    SpanOf(points.xmin, points.xmax, f.xOrigin, f.xSpan);
    if (points.any) {
        if (points.trimmed)
            SpanOf(points.shownYmin, points.shownYmax, f.yOrigin, f.ySpan);
        else
            SpanOf(points.ymin, points.ymax, f.yOrigin, f.ySpan);
    } else {
        f.yOrigin = -1;
        f.ySpan = 2;
    }
    return f;
}

PlotPoints MergedBounds(std::span<const CurveRef> curves) {
    PlotPoints merged;
    bool first = true;
    for (const CurveRef& c : curves) {
        if (!c.points || c.points->x.empty()) continue;
        const PlotPoints& p = *c.points;
        merged.xmin = first ? p.xmin : std::min(merged.xmin, p.xmin);
        merged.xmax = first ? p.xmax : std::max(merged.xmax, p.xmax);
        first = false;
        if (!p.any) continue;
        const double low = p.trimmed ? p.shownYmin : p.ymin;
        const double high = p.trimmed ? p.shownYmax : p.ymax;
        merged.ymin = merged.any ? std::min(merged.ymin, low) : low;
        merged.ymax = merged.any ? std::max(merged.ymax, high) : high;
        merged.any = true;
    }
    return merged;
}

PlotFrame FrameFor(std::span<const CurveRef> curves, int32_t width, int32_t height) {
    return FrameFor(MergedBounds(curves), width, height);
}

PlotTicks TicksFor(double low, double high) {
    PlotTicks ticks;
    if (low > high) std::swap(low, high);
    const double span = high - low;
    if (!std::isfinite(span) || !(span > 0)) return ticks;
    // The largest tick index a double still counts in whole steps.
    constexpr double kMaxIndex = 1e15;
    const double base = std::pow(10.0, std::floor(std::log10(span / 7)));
    int bestCount = 0;
    for (double decade : {base / 10, base, base * 10})
        for (double mantissa : {1.0, 2.0, 5.0}) {
            const double step = decade * mantissa;
            if (!(step > 0) || !std::isfinite(step)) continue;
            const double first = std::ceil(low / step), last = std::floor(high / step);
            if (std::fabs(first) > kMaxIndex || std::fabs(last) > kMaxIndex) continue;
            const int count = static_cast<int>(last - first) + 1;
            // 5 to 10 ticks, nearest 7; else the count nearest that band (a range of 21
            // steps of 1 has 4 of 5 or 11 of 2).
            const auto fit = [](int c) {
                return c >= 5 && c <= 10 ? std::abs(c - 7) : 10 + std::max(5 - c, c - 10);
            };
            if (bestCount == 0 || fit(count) < fit(bestCount)) {
                bestCount = count;
                ticks.step = step;
            }
        }
    if (bestCount < 2 || bestCount > 100) return PlotTicks{};
    const double first = std::ceil(low / ticks.step);
    for (int k = 0; k < bestCount; ++k) {
        const double v = (first + k) * ticks.step;
        // A zero tick that rounding left as a tiny value reads "0", not "-1e-17".
        ticks.values.push_back(std::fabs(v) < ticks.step * 1e-9 ? 0 : v);
    }
    return ticks;
}

std::u16string TickText(double value, double step, bool autoFormat) {
    if (autoFormat) return zorbit::AutoText(value, -1);
    const int decimals =
        step > 0 && step < 1
            ? std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 30)
            : 0;
    std::u16string text = zorbit::FixedN(value, decimals);
    if (text.size() > 1 && text[0] == u'-' && text.find_first_not_of(u"-0.") == text.npos)
        text.erase(0, 1); // "-0.00" is 0
    return text;
}

std::u16string BoundText(double value) {
    for (int digits = 6; digits >= 1; --digits) {
        std::u16string text = zorbit::AutoText(value, digits);
        if (text.size() <= 8) return text;
    }
    // Too long in every fixed form: a mantissa and a power of ten.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    for (int digits = 5; digits >= 1; --digits) {
        double mantissa = value / std::pow(10.0, exponent);
        std::u16string text = zorbit::AutoText(mantissa, digits) + u"e" + zorbit::IntText(exponent);
        if (text.size() <= 8) return text;
    }
    return zorbit::AutoText(value, 1);
}

double ClampPixel(double v) {
    if (std::isnan(v)) return 0;
    return std::clamp(v, -kMaxPixel, kMaxPixel);
}

std::u16string ReadOutText(const PlotFrame& frame, int32_t mouseX, int32_t mouseY,
                           int32_t windowWidth, int32_t windowHeight) {
    if (mouseX < 0 || mouseY < 0 || mouseX >= windowWidth || mouseY >= windowHeight)
        return u"MousePos: out of window";
    const double x = frame.WorldX(mouseX);
    const double y = frame.WorldY(mouseY);
    return u"Coord: " + ReadOutNumber(x) + u", " + ReadOutNumber(y);
}

std::u16string DataFileText(const PlotPoints& points) {
    const CurveRef one{u"", &points};
    return DataFileText(std::span<const CurveRef>(&one, 1));
}

std::u16string DataFileText(std::span<const CurveRef> curves) {
    std::u16string text = u"Id\tX";
    size_t rows = 0;
    for (size_t c = 0; c < curves.size(); ++c) {
        text +=
            curves.size() == 1 ? u"\tY" : u"\tY" + zorbit::IntText(static_cast<long long>(c + 1));
        if (const PlotPoints* p = curves[c].points)
            rows = std::max(rows, std::min({p->x.size(), p->y.size(), p->valid.size()}));
    }
    text += u"\r\n";
    const auto has = [](const PlotPoints* p, size_t k) {
        return p && k < p->x.size() && k < p->y.size() && k < p->valid.size() && p->valid[k];
    };
    for (size_t k = 0; k < rows; ++k) {
        const PlotPoints* first = nullptr;
        for (const CurveRef& c : curves)
            if (has(c.points, k)) {
                first = c.points;
                break;
            }
        if (!first) continue;
        text += zorbit::IntText(static_cast<long long>(k));
        text += u'\t';
        text += PlotNumberText(first->x[k]);
        for (const CurveRef& c : curves) {
            text += u'\t';
            if (has(c.points, k)) text += PlotNumberText(c.points->y[k]);
        }
        text += u"\r\n";
    }
    return text;
}

bool WriteDataFile(const std::string& path, const PlotPoints& points, std::string& error,
                   const FaultHooks* faults) {
    const CurveRef one{u"", &points};
    return WriteDataFile(path, std::span<const CurveRef>(&one, 1), error, faults);
}

bool WriteDataFile(const std::string& path, std::span<const CurveRef> curves, std::string& error,
                   const FaultHooks* faults) {
    const std::u16string text = DataFileText(curves);
    const int rc = WriteTextFile(path, {text}, WriteMode::Replace, faults);
    if (rc == 0) return true;
    error = "Error: can't write the file.\n\n" + path + "\n(" + WriteErrorText(path, rc) + ")";
    return false;
}

PlotPlace NextPlotPlace(const std::optional<PlotRect>& previous, int32_t desktopWidth) {
    if (!previous) return {};
    constexpr int64_t kGap = 7;
    constexpr int64_t kRowHeight = kPlotWindowHeight + 30; // the title bar above each window
    const int64_t x = int64_t{previous->x} + previous->w + kGap;
    const auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    if (x + kPlotWindowSize > desktopWidth) return {0, clamp(int64_t{previous->y} + kRowHeight)};
    return {clamp(x), previous->y};
}

PlotPlace FirstPlotPlace(const PlotRect& main, const PlotRect& screen, int32_t w, int32_t h) {
    constexpr int64_t kGap = 7;
    const int64_t left = screen.x, top = screen.y, right = int64_t{screen.x} + screen.w,
                  bottom = int64_t{screen.y} + screen.h;
    const int64_t mainRight = int64_t{main.x} + main.w, mainBottom = int64_t{main.y} + main.h;
    const auto held = [&](int64_t v, int64_t low, int64_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(std::clamp(v, low, std::max(low, high)),
                                                        std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    const int32_t rowY = held(main.y, top, bottom - h), columnX = held(main.x, left, right - w);
    if (mainRight + kGap + w <= right) return {held(mainRight + kGap, left, right), rowY};
    if (mainBottom + kGap + h <= bottom) return {columnX, held(mainBottom + kGap, top, bottom)};
    if (int64_t{main.x} - kGap - w >= left) return {held(main.x - kGap - w, left, right), rowY};
    if (int64_t{main.y} - kGap - h >= top) return {columnX, held(main.y - kGap - h, top, bottom)};
    return {held(right - w, left, right), rowY};
}

std::u16string ImageFileName(std::u16string_view asked, std::u16string_view folder,
                             int32_t& counter) {
    if (asked.empty()) return {};
    if (asked != u"0" && asked != u"-1") return std::u16string(asked);
    if (counter < 0) counter = 0;
    if (counter < std::numeric_limits<int32_t>::max()) ++counter;
    std::u16string name(folder);
    if (!name.empty() && name.back() != u'/') name += u'/';
    name += u"aPlotNr_";
    if (counter < 10) name += u'0';
    name += zorbit::IntText(counter);
    name += u".jpg";
    return name;
}

ImageFormat ImageFormatOf(std::u16string_view fileName) {
    const size_t slash = fileName.rfind(u'/');
    const std::u16string_view base =
        slash == std::u16string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = base.rfind(u'.');
    if (dot == std::u16string_view::npos) return ImageFormat::Jpeg;
    const std::u16string ext = zorbit::ToLower(base.substr(dot + 1));
    if (ext == u"png") return ImageFormat::Png;
    if (ext == u"svg") return ImageFormat::Svg;
    return ImageFormat::Jpeg;
}

} // namespace vex
