#pragma once
// Drawing a plot: the curves (the first red, each further one in its own colour, named in
// a legend), the white axes, the "0,0" mark, the ticks and their
// grid and the "Expr = " text, on black, into any paint device (window image, file picture).

#include <QColor>
#include <QPainter>
#include <QSize>
#include <span>
#include <string>

#include "plot/plot_math.h"
#include "plot/plot_view.h"

namespace vex {

// Draws the points into a picture of size (the window's inner width, and its
// PlotImageHeight), with round ticks on both axes labelled as the list writes numbers
// (autoFormat: the Auto format, else fixed) and a faint grid.
// Returns the frame used, for the click read-out.
PlotFrame DrawPlot(QPainter& painter, QSize size, const PlotPoints& points,
                   const std::u16string& expression, bool autoFormat = false);
// Several curves over one x range in one frame, each in CurveColour(its index), with a
// legend of their labels when there is more than one; title follows "Expr = ".
PlotFrame DrawPlot(QPainter& painter, QSize size, std::span<const CurveRef> curves,
                   const std::u16string& title, bool autoFormat = false);
// The colour of the curve at this index (0: red); colours repeat after eight.
QColor CurveColour(size_t index);

// The picture's height inside a window of this inner height: the controls and the status
// line take the rows below it.
inline int32_t PlotImageHeight(int32_t windowHeight) {
    return windowHeight - kPlotControlsHeight - kPlotStatusHeight;
}

} // namespace vex
