// Plots under the offscreen platform: points computed through the library and drawn into
// a 400x365 picture (a 400x418 window less its controls and status line), a zoom step of
// a plot window, the picture saved as JPEG, and a batch run that saves 20 plots through
// the offscreen plot service installed as the terminal program installs it. libzorbit.so
// is bound by name like the program. Files go to a temporary folder.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/qt_bench.h"
#include "common/text.h"
#include "platform/qt/scripted_dialogs.h"
#include "platform/services.h"
#include "plot/plot_math.h"
#include "plot/plot_view.h"
#include "plot/window/image_export.h"
#include "plot/window/plot_render.h"
#include "plot/window/plot_service.h"
#include "plot/window/plot_window.h"
#include "script/batch.h"
#include "script/library_loader.h"
#include "shell/startup.h"

namespace {

constexpr int kWindowHeight = vex::kPlotWindowHeight;
const QSize kPicture(400, vex::PlotImageHeight(kWindowHeight));
const std::u16string kExpression = u"sin(x)*x";
std::string g_folder;

const vex::Library& Lib() {
    static vex::LibraryBinding* binding = [] {
        auto* b = new vex::LibraryBinding;
        std::string error;
        if (!vex::LoadBindingFrom(*b, VEX_ZORBIT_PATH, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return b;
    }();
    static const vex::Library lib(&binding->slots);
    return lib;
}

// `count` points of sin(x)*x over -10..10.
bool Compute(benchmark::State& state, int64_t count, vex::PlotPoints& points) {
    std::u16string error;
    if (vex::ComputePoints(Lib(), kExpression, u"x", -10, 10, static_cast<int32_t>(count - 1),
                           points, error) &&
        points.x.size() == static_cast<size_t>(count))
        return true;
    state.SkipWithError(error.empty() ? "fewer points than asked for"
                                      : zorbit::Utf16ToUtf8(error).c_str());
    return false;
}

void Draw(const vex::PlotPoints& points, QImage& image) {
    QPainter painter(&image);
    vex::DrawPlot(painter, kPicture, points, kExpression);
}

// What a plot window does for a new range: the points, then the picture.
void BM_ComputeAndDraw(benchmark::State& state) {
    QImage image(kPicture, QImage::Format_RGB32);
    vex::PlotPoints points;
    for (auto _ : state) {
        if (!Compute(state, state.range(0), points)) break;
        Draw(points, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeAndDraw)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Several curves in one window: each formula's 100,000 points over -10..10 (x*sin(x),
// x*cos(x), x, sin(x)*5), computed and drawn into one frame with a legend.
void BM_SeveralCurves(benchmark::State& state) {
    static const std::u16string kFormulas[] = {u"sin(x)*x", u"cos(x)*x", u"x", u"sin(x)*5"};
    const size_t count = static_cast<size_t>(state.range(0));
    constexpr int32_t kSteps = 99'999;
    QImage image(kPicture, QImage::Format_RGB32);
    std::vector<vex::PlotPoints> points(count);
    std::vector<vex::CurveRef> curves;
    for (size_t c = 0; c < count; ++c)
        curves.push_back({kFormulas[c], &points[c]});
    for (auto _ : state) {
        for (size_t c = 0; c < count; ++c) {
            std::u16string error;
            if (!vex::ComputePoints(Lib(), kFormulas[c], u"x", -10, 10, kSteps, points[c], error)) {
                state.SkipWithError(zorbit::Utf16ToUtf8(error).c_str());
                return;
            }
        }
        QPainter painter(&image);
        vex::DrawPlot(painter, kPicture, curves, u"several");
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(count) * (kSteps + 1));
}
BENCHMARK(BM_SeveralCurves)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// A curve with 32 poles in 100,000 points (tan(x) over -50..50): the segments across
// them are looked at between their ends.
void BM_PolesComputeAndDraw(benchmark::State& state) {
    QImage image(kPicture, QImage::Format_RGB32);
    vex::PlotPoints points;
    for (auto _ : state) {
        std::u16string error;
        if (!vex::ComputePoints(Lib(), u"tan(x)", u"x", -50, 50, 99'999, points, error)) {
            state.SkipWithError(zorbit::Utf16ToUtf8(error).c_str());
            return;
        }
        QPainter painter(&image);
        vex::DrawPlot(painter, kPicture, points, u"tan(x)");
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cuts"] =
        static_cast<double>(std::count(points.cut.begin(), points.cut.end(), 1));
    state.SetItemsProcessed(state.iterations() * 100'000);
}
BENCHMARK(BM_PolesComputeAndDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two halves apart, to see where the time goes.
void BM_ComputeOnly(benchmark::State& state) {
    vex::PlotPoints points;
    for (auto _ : state)
        if (!Compute(state, state.range(0), points)) break;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeOnly)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawOnly(benchmark::State& state) {
    QImage image(kPicture, QImage::Format_RGB32);
    vex::PlotPoints points;
    if (!Compute(state, state.range(0), points)) return;
    for (auto _ : state) {
        Draw(points, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DrawOnly)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One wheel notch over a plot of 10,001 points: the new range, its points and its
// picture. Four notches in, four out, about a point left of the centre.
void BM_ZoomStep(benchmark::State& state) {
    constexpr int32_t kSteps = 10'000;
    QImage image(kPicture, QImage::Format_RGB32);
    const vex::PlotRange home{-10, 10};
    const vex::PlotViewLimits limits = vex::ViewLimitsFor(home);
    vex::PlotRange view = home;
    vex::PlotPoints points;
    std::u16string error;
    int64_t notch = 0;
    for (auto _ : state) {
        const double anchor = view.from + 0.3 * view.Span();
        view = vex::ZoomRange(view, anchor, vex::WheelZoomFactor(notch++ % 8 < 4 ? 120 : -120),
                              limits);
        if (!vex::ComputePoints(Lib(), kExpression, u"x", view.from, view.to, kSteps, points,
                                error) ||
            points.x.size() != kSteps + 1) {
            state.SkipWithError("the zoomed range gave no curve");
            break;
        }
        Draw(points, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * (kSteps + 1));
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same step through a plot window, as the wheel reaches it: the event, the recompute
// it schedules, the picture, the range fields and the status line.
void BM_WindowZoomStep(benchmark::State& state) {
    vex::ScriptedDialogs dialogs;
    vex::PlotWindow window({1, kExpression, u"x", 10'000}, Lib(), dialogs);
    window.show();
    std::u16string error;
    if (!window.Compute(-10, 10, error)) {
        state.SkipWithError(zorbit::Utf16ToUtf8(error).c_str());
        return;
    }
    QWidget* canvas = window.Canvas();
    const QPoint at(120, 150);
    int64_t notch = 0;
    for (auto _ : state) {
        const int before = window.ComputeCount();
        QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(),
                          QPoint(0, notch++ % 8 < 4 ? 120 : -120), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        for (int spins = 0; window.ComputeCount() == before && spins < 1000; ++spins)
            QApplication::processEvents();
        if (window.ComputeCount() == before || window.Points().x.size() != 10'001) {
            state.SkipWithError("the wheel gave no recompute");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * 10'001);
}
BENCHMARK(BM_WindowZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// A plot's picture (the command's 201 points) drawn, encoded and written to a .jpg.
void BM_SaveJpeg(benchmark::State& state) {
    vex::PlotPoints points;
    if (!Compute(state, 201, points)) return;
    const QString path = QString::fromStdString(g_folder + "/plot.jpg");
    std::string error;
    for (auto _ : state)
        if (!vex::SavePicture(
                [&](QPainter& painter, QSize size) {
                    vex::DrawPlot(painter, size, points, kExpression);
                },
                kPicture, path, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    std::error_code ec;
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size(path.toStdString(), ec));
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// The terminal program: started once, its plot service drawing offscreen.
struct Terminal {
    vex::Program program;
    vex::PlotWindows plots{nullptr, true};
};

Terminal& TheTerminal() {
    static Terminal* t = [] {
        auto* terminal = new Terminal;
        vex::TerminalPlatform().plot = &terminal->plots;
        vex::StartOptions options;
        options.ignoreConfig = true;
        options.libraryPath = VEX_ZORBIT_PATH;
        std::string error;
        if (!vex::StartUp(terminal->program, options, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        terminal->plots.Bind(&terminal->program.library);
        return terminal;
    }();
    return *t;
}

// One batch run of a script with 20 plot lines, saving on: 20 JPEG files each time.
void BM_BatchTwentySavedPlots(benchmark::State& state) {
    constexpr int kPlots = 20;
    Terminal& t = TheTerminal();
    const std::string script = g_folder + "/plots.vex";
    const std::string out = g_folder + "/plots/";
    {
        std::ofstream f(script, std::ios::binary);
        for (int k = 1; k <= kPlots; ++k)
            f << "Plot(-2*pi; 2*pi; 400) = sin(x)*" << k << "+x/" << k << "\r\n";
    }
    const std::u16string switches =
        zorbit::Utf8ToUtf16("/i \"" + script + "\" /spl:\"" + out + "\" /");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        state.ResumeTiming();
        const int32_t code = vex::vexEvalMain(t.program.host, switches);
        state.PauseTiming();
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(out))
            files += entry.path().extension() == ".jpg" ? 1 : 0;
        if (code != -1 || files != kPlots) {
            state.SkipWithError(
                ("exit code " + std::to_string(code) + ", " + std::to_string(files) + " pictures")
                    .c_str());
            break;
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kPlots);
}
BENCHMARK(BM_BatchTwentySavedPlots)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    vex::bench::PreferOffscreen();
    QApplication app(argc, argv); // the plot window's bench needs widgets
    const vex::bench::ScratchFolder folder("plot_bench");
    if (folder.path().empty()) return 1;
    g_folder = folder.path();
    return vex::bench::RunRegistered(argc, argv);
}
