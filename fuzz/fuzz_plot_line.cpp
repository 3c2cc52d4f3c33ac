// A "Plot" line read and its points computed, framed and written as the data file's
// text; the steps are held small so an input runs in milliseconds.

#include <algorithm>
#include <cstddef>
#include <cstdint>

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
    vex::PlotPoints points;
    if (!vex::ComputePoints(lib, args.expression, args.variable, args.xFrom, args.xTo,
                            std::min(args.steps, 64), points, error))
        return 0;
    const vex::PlotFrame frame = vex::FrameFor(points, 400, 365);
    for (size_t k = 0; k < points.x.size(); ++k)
        (void)vex::ClampPixel(frame.ScreenY(points.y[k]));
    (void)vex::ReadOutText(frame, 17, 23, 400, 400);
    (void)vex::DataFileText(points);
    return 0;
}
