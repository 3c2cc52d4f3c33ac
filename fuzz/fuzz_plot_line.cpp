// A "Plot" line read and its points computed, framed and written as the data file's
// text; the steps are held small so an input runs in milliseconds.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "plot/plot_math.h"
#include "script/plot_args.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vex::fuzz::FuzzHost& f = vex::fuzz::Host();
    f.Fresh();
    const std::u16string line =
        zorbit::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    std::u16string_view argument, expressionPart;
    std::u16string error;
    if (!vex::SplitPlotLine(line, argument, expressionPart, error)) return 0;
    const vex::Library lib(&f.binding.slots);
    vex::PlotArgs args;
    if (!vex::ParsePlotArgs(lib, argument, expressionPart, args, error)) return 0;
    // Each formula is a curve over the same range; a few of them are enough.
    std::vector<vex::PlotPoints> points(std::min<size_t>(args.formulas.size(), 3));
    std::vector<vex::CurveRef> curves;
    for (size_t c = 0; c < points.size(); ++c) {
        if (!vex::ComputePoints(lib, args.formulas[c], args.variable, args.xFrom, args.xTo,
                                std::min(args.steps, 64), points[c], error))
            return 0;
        curves.push_back({args.formulas[c], &points[c]});
    }
    const vex::PlotFrame frame = vex::FrameFor(curves, 400, 365);
    for (const vex::PlotPoints& p : points)
        for (size_t k = 0; k < p.x.size(); ++k)
            (void)vex::ClampPixel(frame.ScreenY(p.y[k]));
    (void)vex::ReadOutText(frame, 17, 23, 400, 400);
    (void)vex::DataFileText(curves);
    return 0;
}
