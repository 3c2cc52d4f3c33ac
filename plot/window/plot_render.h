#pragma once
// Drawing a plot: the red curve, the white axes, the "0,0" mark, the ticks and their
// grid and the "Expr = " text, on black, into any paint device (window image, file picture).

#include <QPainter>
#include <QSize>
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

// The picture's height inside a window of this inner height: the controls and the status
// line take the rows below it.
inline int32_t PlotImageHeight(int32_t windowHeight) {
    return windowHeight - kPlotControlsHeight - kPlotStatusHeight;
}

} // namespace vex
