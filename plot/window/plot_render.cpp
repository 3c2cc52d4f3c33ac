#include "plot/window/plot_render.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_text.h"

namespace vex {

namespace {

// A bound as its label shows it: two decimals, trailing zeros removed.
QString TwoDecimals(double v) {
    QString s = QString::number(v, 'f', 2);
    while (s.contains(u'.') && (s.endsWith(u'0') || s.endsWith(u'.'))) {
        const bool dot = s.endsWith(u'.');
        s.chop(1);
        if (dot) break;
    }
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

QFont LabelFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

} // namespace

PlotFrame DrawPlot(QPainter& painter, QSize size, const PlotPoints& points,
                   const std::u16string& expression) {
    const PlotFrame frame = FrameFor(points, size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    painter.setFont(LabelFont());
    const QFontMetrics metrics(painter.font());

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

    // Axes through the origin; the x axis spans the points' x range.
    const double axisY = ClampPixel(frame.ScreenY(0));
    const double axisX = ClampPixel(frame.ScreenX(0));
    const double left = ClampPixel(frame.ScreenX(points.xmin)),
                 right = ClampPixel(frame.ScreenX(points.xmax));
    painter.drawLine(QPointF(left, axisY), QPointF(right, axisY));
    painter.drawLine(QPointF(axisX, 0), QPointF(axisX, size.height()));
    const QString origin = QStringLiteral("0,0");
    painter.drawText(QPointF(axisX - metrics.horizontalAdvance(origin) / 2.0, axisY), origin);

    // Bound labels: x at the ends of the x axis (kept inside the picture), y at the left.
    const double inside = size.height() - (metrics.height() + 2);
    const double labelY = std::clamp(axisY, static_cast<double>(metrics.ascent()), inside);
    const QString xmin = QString::number(std::llround(points.xmin));
    const QString xmax = QString::number(std::llround(points.xmax));
    painter.drawText(QPointF(std::max(left, 0.0) + 2, labelY + metrics.ascent()), xmin);
    painter.drawText(QPointF(std::min(right, static_cast<double>(size.width())) -
                                 1.2 * metrics.horizontalAdvance(xmax),
                             labelY + metrics.ascent()),
                     xmax);
    const auto yLabel = [&](double y) {
        // Below the "Expr = " line, so a label at the top stays readable.
        const double at = std::clamp(ClampPixel(frame.ScreenY(y)),
                                     static_cast<double>(metrics.height() + metrics.ascent()),
                                     static_cast<double>(size.height() - metrics.descent()));
        painter.drawText(QPointF(2, at), TwoDecimals(y));
    };
    if (points.any) {
        yLabel(points.ymin);
        yLabel(points.ymax);
    }
    painter.restore();
    return frame;
}

} // namespace vex
