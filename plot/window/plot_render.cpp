#include "plot/window/plot_render.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "platform/qt/qt_text.h"

namespace vex {

namespace {

QFont LabelFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// One curve, broken where a point is left out or a segment is cut.
void DrawCurve(QPainter& painter, const PlotFrame& frame, const PlotPoints& points, QColor colour) {
    painter.setPen(QPen(colour, 1));
    QPolygonF run;
    // A point with no segment on either side shows as that point.
    const auto flush = [&] {
        if (run.size() > 1) painter.drawPolyline(run);
        if (run.size() == 1) painter.drawPoint(run.front());
        run.clear();
    };
    const size_t n = std::min({points.x.size(), points.y.size(), points.valid.size()});
    for (size_t k = 0; k < n; ++k) {
        if (!points.valid[k]) {
            flush();
            continue;
        }
        if (k < points.cut.size() && points.cut[k]) flush();
        run.append(QPointF(ClampPixel(frame.ScreenX(points.x[k])),
                           ClampPixel(frame.ScreenY(points.y[k]))));
    }
    flush();
}

// The legend: each curve's colour and formula in a small box at the top right, below
// the "Expr = " line.
void DrawLegend(QPainter& painter, QSize size, std::span<const CurveRef> curves) {
    const QFontMetrics metrics(painter.font());
    constexpr int kPad = 4, kSwatch = 14;
    const int maxText = std::max(size.width() / 2, 20);
    int textWidth = 0;
    std::vector<QString> labels;
    for (const CurveRef& c : curves) {
        labels.push_back(
            metrics.elidedText(Text(std::u16string(c.label)), Qt::ElideRight, maxText));
        textWidth = std::max(textWidth, metrics.horizontalAdvance(labels.back()));
    }
    const int rowHeight = metrics.height();
    const int boxWidth = kPad * 3 + kSwatch + textWidth;
    const int boxHeight = kPad * 2 + rowHeight * static_cast<int>(labels.size());
    const QRect box(std::max(size.width() - boxWidth - kPad, 0), rowHeight + kPad, boxWidth,
                    boxHeight);
    painter.fillRect(box, Qt::black);
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(box);
    for (size_t k = 0; k < labels.size(); ++k) {
        const int top = box.top() + kPad + rowHeight * static_cast<int>(k);
        const int mid = top + rowHeight / 2;
        painter.setPen(QPen(CurveColour(k), 2));
        painter.drawLine(box.left() + kPad, mid, box.left() + kPad + kSwatch, mid);
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QPoint(box.left() + kPad * 2 + kSwatch, top + metrics.ascent()),
                         labels[k]);
    }
}

} // namespace

QColor CurveColour(size_t index) {
    static const QColor kColours[] = {
        QColor(255, 0, 0),   QColor(0, 190, 255), QColor(255, 215, 0),   QColor(0, 220, 0),
        QColor(255, 0, 255), QColor(255, 140, 0), QColor(170, 170, 255), QColor(0, 255, 190)};
    return kColours[index % std::size(kColours)];
}

PlotFrame DrawPlot(QPainter& painter, QSize size, const PlotPoints& points,
                   const std::u16string& expression, bool autoFormat) {
    const CurveRef one{expression, &points};
    return DrawPlot(painter, size, std::span<const CurveRef>(&one, 1), expression, autoFormat);
}

PlotFrame DrawPlot(QPainter& painter, QSize size, std::span<const CurveRef> curves,
                   const std::u16string& expression, bool autoFormat) {
    const PlotPoints bounds = MergedBounds(curves);
    const PlotFrame frame = FrameFor(bounds, size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    painter.setFont(LabelFont());
    const QFontMetrics metrics(painter.font());

    // A faint grid at the round values, under the curve and the axes.
    const PlotTicks xTicks = TicksFor(frame.WorldX(0), frame.WorldX(size.width()));
    const PlotTicks yTicks = TicksFor(frame.WorldY(size.height()), frame.WorldY(0));
    painter.setPen(QPen(QColor(55, 55, 55), 1));
    for (double v : xTicks.values) {
        const double sx = frame.ScreenX(v);
        painter.drawLine(QPointF(sx, 0), QPointF(sx, size.height()));
    }
    for (double v : yTicks.values) {
        const double sy = frame.ScreenY(v);
        painter.drawLine(QPointF(0, sy), QPointF(size.width(), sy));
    }

    for (size_t c = 0; c < curves.size(); ++c)
        if (curves[c].points) DrawCurve(painter, frame, *curves[c].points, CurveColour(c));

    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QPoint(0, metrics.ascent()), QStringLiteral("Expr = ") + Text(expression));
    const double exprRight =
        metrics.horizontalAdvance(QStringLiteral("Expr = ") + Text(expression));

    // Axes through the origin; the x axis spans the points' x range.
    const double w = size.width(), h = size.height();
    const double axisY = ClampPixel(frame.ScreenY(0));
    const double axisX = ClampPixel(frame.ScreenX(0));
    const double left = ClampPixel(frame.ScreenX(bounds.xmin)),
                 right = ClampPixel(frame.ScreenX(bounds.xmax));
    painter.drawLine(QPointF(left, axisY), QPointF(right, axisY));
    painter.drawLine(QPointF(axisX, 0), QPointF(axisX, h));
    const QString origin = QStringLiteral("0,0");
    painter.drawText(QPointF(axisX - metrics.horizontalAdvance(origin) / 2.0, axisY), origin);

    // Tick labels beside their axis, held inside the picture when the axis is outside it;
    // the zero ticks are left to the "0,0" mark when it shows.
    const bool originShows = axisX >= 0 && axisX < w && axisY >= 0 && axisY < h;
    const double xLabelBase =
        std::clamp(axisY + 4 + metrics.ascent(), static_cast<double>(metrics.ascent()),
                   h - metrics.descent() - 1);
    for (double v : xTicks.values) {
        if (v == 0 && originShows) continue;
        const double sx = frame.ScreenX(v);
        painter.drawLine(QPointF(sx, axisY - 3), QPointF(sx, axisY + 3));
        const QString label = Text(TickText(v, xTicks.step, autoFormat));
        const double width = metrics.horizontalAdvance(label);
        const double at = std::clamp(sx - width / 2, 1.0, std::max(1.0, w - width - 1));
        painter.drawText(QPointF(at, xLabelBase), label);
    }
    for (double v : yTicks.values) {
        if (v == 0 && originShows) continue;
        const double sy = frame.ScreenY(v);
        painter.drawLine(QPointF(axisX - 3, sy), QPointF(axisX + 3, sy));
        const QString label = Text(TickText(v, yTicks.step, autoFormat));
        const double width = metrics.horizontalAdvance(label);
        const double at = std::clamp(axisX + 5, 1.0, std::max(1.0, w - width - 1));
        const double base =
            std::clamp(sy + metrics.ascent() / 2.0, static_cast<double>(metrics.ascent()),
                       h - metrics.descent());
        // Not over the "Expr = " line.
        if (base < metrics.height() + metrics.ascent() && at < exprRight) continue;
        painter.drawText(QPointF(at, base), label);
    }
    if (curves.size() > 1) DrawLegend(painter, size, curves);
    painter.restore();
    return frame;
}

} // namespace vex
