#include "plot/window/plot_render.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_text.h"

namespace vex {

namespace {

QFont LabelFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

} // namespace

PlotFrame DrawPlot(QPainter& painter, QSize size, const PlotPoints& points,
                   const std::u16string& expression, bool autoFormat) {
    const PlotFrame frame = FrameFor(points, size.width(), size.height());
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

    // The curve breaks where a point is left out.
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    QPolygonF run;
    const auto flush = [&] {
        if (run.size() > 1) painter.drawPolyline(run);
        run.clear();
    };
    for (size_t k = 0; k < points.x.size(); ++k) {
        if (!points.valid[k]) {
            flush();
            continue;
        }
        run.append(QPointF(ClampPixel(frame.ScreenX(points.x[k])),
                           ClampPixel(frame.ScreenY(points.y[k]))));
    }
    if (run.size() == 1) painter.drawPoint(run.front());
    flush();

    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QPoint(0, metrics.ascent()), QStringLiteral("Expr = ") + Text(expression));
    const double exprRight =
        metrics.horizontalAdvance(QStringLiteral("Expr = ") + Text(expression));

    // Axes through the origin; the x axis spans the points' x range.
    const double w = size.width(), h = size.height();
    const double axisY = ClampPixel(frame.ScreenY(0));
    const double axisX = ClampPixel(frame.ScreenX(0));
    const double left = ClampPixel(frame.ScreenX(points.xmin)),
                 right = ClampPixel(frame.ScreenX(points.xmax));
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
    painter.restore();
    return frame;
}

} // namespace vex
