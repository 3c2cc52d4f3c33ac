#pragma once
// What a plot computes and writes, without any drawing: the points through the library,
// the transforms between the world and the picture, the click read-out, the data file,
// where the next window goes and what the saved picture is called.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/library_client.h"
#include "script/plot_args.h"
#include "script/script_host.h"

namespace vex {

// The picture is the window less 35 rows of controls and the status line below them;
// ymin and ymax sit kPlotMargin rows inside its bottom and top, so the whole curve shows.
inline constexpr int32_t kPlotControlsHeight = 35;
inline constexpr int32_t kPlotMargin = 10;

struct PlotPoints {
    // steps + 1 points; fewer only when the series stopped early (from == to gives one).
    std::vector<double> x, y;
    // 1: evaluated to a finite number; 0: left out of curve and data file.
    std::vector<uint8_t> valid;
    // Bounds of the valid points (x range of all points).
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    bool any = false; // at least one valid point
    // The code of the first point the library could not evaluate (ZORBIT_NO_ERROR when
    // every point evaluated, even to a value that is not finite).
    int32_t firstError = ZORBIT_NO_ERROR;
    // 1 at k: no segment from point k-1 to point k, the curve jumps across a pole or is
    // undefined between them (empty: every segment between valid points is drawn).
    std::vector<uint8_t> cut;
    // The automatic y range when it leaves out a few extreme values (trimmed); else the
    // frame spans ymin..ymax.
    bool trimmed = false;
    double shownYmin = 0, shownYmax = 0;
};

// The value at x, or none when it cannot be evaluated (or is not finite).
using PlotProbe = std::function<std::optional<double>(double x)>;

// Fills the bounds, the automatic y range and the cuts from x, y and valid.
// The y range is the central 98% of the valid values when an extreme lies more than 0.4 of
// that range's height beyond it (near a pole), so the branches are not squashed; every
// valid point stays in the data.
// A segment whose ends have opposite signs and which spans a quarter of the shown height
// or more is probed at its middle: a failed value, or one outside the ends' interval (a pole
// between them, not a steep crossing), cuts it.
void SettlePoints(PlotPoints& points, const PlotProbe& probe);

// steps+1 points from `from` to `to` through the library's e_evalsEx (x written with ten
// decimals, the variable replaced as a whole name, as the library does). A reversed range
// is taken from the smaller bound to the larger. The library's debug output and message
// records are off while it runs, and its error code is as it was before. False with a
// clear error text when steps is outside 1..kMaxPlotSteps, a bound or their distance is
// not finite, the variable is empty, or the routine is missing; false with kLibraryBusy when
// the library refused the call (it is showing a message from inside another call).
inline constexpr std::u16string_view kLibraryBusy =
    u"the library is busy with another calculation; try again when it has finished";
bool ComputePoints(const Library& lib, std::u16string_view expression, std::u16string_view variable,
                   double from, double to, int32_t steps, PlotPoints& points,
                   std::u16string& error);

// The drawing's transforms for an image of width x height pixels (height = the window's
// PlotImageHeight), pixel rows counted down from the picture's top. yOrigin (ymin) maps to
// the row margin above the bottom, yOrigin + ySpan (ymax) to the row margin below the top.
// FrameFor keeps both spans finite and positive.
struct PlotFrame {
    double xOrigin = 0, yOrigin = 0, xSpan = 1, ySpan = 1;
    int32_t width = 400, height = 365;
    double margin = kPlotMargin;
    double ScreenX(double x) const; // (x - xOrigin) * width / xSpan
    double WorldX(double sx) const; // sx * xSpan / width + xOrigin
    double ScreenY(double y) const;
    double WorldY(double sy) const; // the inverse of ScreenY
    double Rows() const;            // the rows ySpan covers: height - 2 margin, at least 1
};
// A zero x span (from == to) or a constant function (ymin == ymax) is widened by one unit
// each side so nothing divides by zero; with no valid point the y range is -1..1. Width
// and height below 1 count as 1; a picture too low for the margins gets smaller ones.
PlotFrame FrameFor(const PlotPoints& points, int32_t width, int32_t height);

// A curve's formula and the variable it is plotted over.
struct PlotFormula {
    std::u16string expression, variable;
};

// One curve of a plot as drawn: its formula (the legend's text) and its points.
struct CurveRef {
    std::u16string_view label;
    const PlotPoints* points = nullptr;
};
// The frame of several curves over one x range: x over all their points, y over the
// union of their automatic ranges.
PlotFrame FrameFor(std::span<const CurveRef> curves, int32_t width, int32_t height);
// The points of several curves as one: bounds and automatic y ranges merged, for the
// frame; x, y and the rest stay empty.
PlotPoints MergedBounds(std::span<const CurveRef> curves);
// Round tick values for an axis over [low, high] (either order): every multiple of one
// step inside it, the step 1, 2 or 5 times a power of ten chosen for 5 to 10 ticks (the
// count nearest 7). None when the range is empty or not finite, or too narrow for its size
// (ticks a double cannot tell apart).
struct PlotTicks {
    double step = 0;
    std::vector<double> values;
};
PlotTicks TicksFor(double low, double high);
// A tick's label as the list writes numbers: Auto, the Auto format (15 significant
// digits); else fixed with the decimals the step needs, so neighbours always differ.
std::u16string TickText(double value, double step, bool autoFormat);

// A range bound as its narrow field shows it, whole: at most 8 characters, 6 significant
// digits ("-6.28319", "-1e-6", "1.5e12") that ReadDecimal reads back.
std::u16string BoundText(double value);

// A screen coordinate a painter can take: far-off points are held at +-1e7 pixels, NaN
// becomes 0.
double ClampPixel(double v);

// The click read-out: "Coord: " x ", " y (4 decimals when |v| <= 100, else 0 decimals,
// trailing zeros removed) for a mouse position inside the window (both >= 0 and inside
// windowWidth x windowHeight), else "MousePos: out of window". The picture starts at the
// window's top left, so the point is (WorldX(mouseX), WorldY(mouseY)).
std::u16string ReadOutText(const PlotFrame& frame, int32_t mouseX, int32_t mouseY,
                           int32_t windowWidth, int32_t windowHeight);

// The data file: "Id\tX\tY\r\n", then "k\tX\tY\r\n" per valid point, each keeping its own k.
std::u16string DataFileText(const PlotPoints& points);
// Several curves: one Y column per curve ("Id\tX\tY1\tY2\r\n"), one line per k where
// any curve has a valid point, a curve without one there leaving its cell empty.
std::u16string DataFileText(std::span<const CurveRef> curves);
// Writes it (UTF-8) through a temporary file and a rename, so a failure leaves the old
// file as it was; false with the error text ("Error: can't write the file." and the name).
bool WriteDataFile(const std::string& path, const PlotPoints& points, std::string& error,
                   const FaultHooks* faults = nullptr);
bool WriteDataFile(const std::string& path, std::span<const CurveRef> curves, std::string& error,
                   const FaultHooks* faults = nullptr);

// Window placement: the first plot (or when the previous window is gone) at (0,0); else
// right of the previous one: x = prev.x + prev.w + 7, y = prev.y; when x + 400 >
// desktopWidth: x = 0, y = prev.y + the window's height + 30 (its title bar).
struct PlotRect {
    int32_t x = 0, y = 0, w = 0, h = 0;
};
struct PlotPlace {
    int32_t x = 0, y = 0;
};
inline constexpr int32_t kPlotWindowSize = 400;
// The status line below a plot window's controls; the picture is the window less the
// controls and this line. The window is that much taller than it is wide, so the picture
// keeps its size (400 x 365) in the window and in saved pictures.
inline constexpr int32_t kPlotStatusHeight = 18;
inline constexpr int32_t kPlotWindowHeight = kPlotWindowSize + kPlotStatusHeight;
PlotPlace NextPlotPlace(const std::optional<PlotRect>& previous, int32_t desktopWidth);
// The first plot window (frame size w x h) beside the main window's frame, never over it:
// to its right when the screen has room, else below it, else left of it, else above it;
// with room nowhere, at the screen's right edge (held inside the screen).
PlotPlace FirstPlotPlace(const PlotRect& mainWindow, const PlotRect& screen, int32_t w, int32_t h);

// The picture's file name for the name a plot asks for: "0" and "-1": counter + 1,
// folder + "aPlotNr_" + the counter with at least two digits + ".jpg"; any other name is
// the file name itself (its extension picks the format); "" -> "" (no file).
std::u16string ImageFileName(std::u16string_view asked, std::u16string_view folder,
                             int32_t& counter);

// The format for a file name's extension (any case): png -> Png, svg -> Svg; jpg, jpeg,
// no extension and any other -> Jpeg.
enum class ImageFormat { Jpeg, Png, Svg };
ImageFormat ImageFormatOf(std::u16string_view fileName);

} // namespace vex
