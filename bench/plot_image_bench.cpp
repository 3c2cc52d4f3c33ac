// Saving a plot window's picture (400x365, the window's usual size): JPEG is what plots
// save, PNG and SVG are there for comparison. Files go to a temporary folder.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/qt_bench.h"
#include "plot/window/image_export.h"
#include "plot/window/jpeg_writer.h"

namespace {

const QSize kSize(400, 365);
std::string g_folder;

// What a plot shows: grid, axes, tick labels, a title and one smooth curve.
void DrawPlot(QPainter& painter, QSize size) {
    const int w = size.width(), h = size.height();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(220, 220, 220));
    for (int x = 40; x < w; x += 40)
        painter.drawLine(x, 20, x, h - 30);
    for (int y = 20; y < h - 30; y += 35)
        painter.drawLine(40, y, w - 10, y);
    painter.setPen(Qt::black);
    painter.drawLine(40, h / 2, w - 10, h / 2);
    painter.drawLine(40, 20, 40, h - 30);
    for (int x = 40, k = -5; x < w; x += 40, ++k)
        painter.drawText(QPoint(x - 6, h - 12), QString::number(k));
    painter.drawText(QPoint(w / 2 - 30, 14), QStringLiteral("y = sin(x)*x"));
    QPainterPath curve;
    for (int i = 0; i <= 360; ++i) {
        const double x = -5.0 + 10.0 * i / 360.0;
        const QPointF p(40 + i, h / 2 - 14.0 * std::sin(x) * x);
        if (i == 0)
            curve.moveTo(p);
        else
            curve.lineTo(p);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(0, 0, 200), 2));
    painter.drawPath(curve);
}

QImage Picture() {
    QImage image(kSize, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawPlot(painter, kSize);
    return image;
}

void BM_Draw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Picture());
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg(benchmark::State& state) {
    const QImage image = Picture();
    std::string jpeg, error;
    for (auto _ : state)
        if (!vex::EncodeJpeg(image, static_cast<int>(state.range(0)), jpeg, error))
            state.SkipWithError(error.c_str());
    state.counters["bytes"] = static_cast<double>(jpeg.size());
}
BENCHMARK(BM_EncodeJpeg)->Arg(75)->Arg(90)->Unit(benchmark::kMillisecond);

// Drawing, encoding and the file's replacement together, as a plot save does them.
void BM_SavePicture(benchmark::State& state, const char* name) {
    const QString path = QString::fromStdString(g_folder + "/" + name);
    std::string error;
    for (auto _ : state)
        if (!vex::SavePicture(DrawPlot, kSize, path, error)) state.SkipWithError(error.c_str());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path.toStdString()));
}
BENCHMARK_CAPTURE(BM_SavePicture, jpeg, "plot.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePicture, png, "plot.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePicture, svg, "plot.svg")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    vex::bench::PreferOffscreen();
    QGuiApplication app(argc, argv);
    const vex::bench::ScratchFolder folder("plot_image_bench");
    if (folder.path().empty()) return 1;
    g_folder = folder.path();
    return vex::bench::RunRegistered(argc, argv);
}
