// The matrix-entry window's speed: the definition and the import of a 256 x 256 grid,
// Generate Cells until the cells are painted (offscreen), and one key typed into a cell.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "bench/qt_bench.h"
#include "common/number_text.h"
#include "gridentry/grid_state.h"
#include "gridentry/window/grid_window.h"
#include "platform/qt/dialogs.h"
#include "tools/shot_support.h"
#include "zorbit/codes.h"

namespace {

using namespace vex::grid;

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

GridState Numbers(int side) {
    GridState s;
    ResetCells(s, side, side);
    for (size_t k = 0; k < s.cells.size(); ++k)
        s.cells[k] = zorbit::IntText(static_cast<long long>(k % 1000));
    return s;
}

void BM_Definition256(benchmark::State& state) {
    GridState s = Numbers(kMaxSide);
    s.multiLine = state.range(0) != 0;
    size_t chars = 0;
    for (auto _ : state) {
        const std::u16string text = Definition(s);
        chars = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["chars"] = static_cast<double>(chars);
}
BENCHMARK(BM_Definition256)->ArgName("multi_line")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillCells256(benchmark::State& state) {
    const std::u16string line = Definition(Numbers(kMaxSide));
    GridState s;
    for (auto _ : state) {
        ResetCells(s, kMaxSide, kMaxSide);
        FillCells(s, line);
        benchmark::DoNotOptimize(s.cells.data());
    }
    if (s.cells.back() != u"535") state.SkipWithError("the last cell was not filled");
}
BENCHMARK(BM_FillCells256)->Unit(benchmark::kMillisecond);

struct Window {
    // Counts every question: a refused shape must not pass for a fast Generate Cells.
    vex::ScriptedDialogs dialogs{"gridentry_bench", ZORBIT_ID_NO};
    const vex::Library library; // the cells are not calculated
    GridState state;
    std::unique_ptr<GridWindow> window;
    PaintCounter counter;

    Window() {
        window = std::make_unique<GridWindow>(state, library, dialogs);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) std::abort();
        window->cells()->viewport()->installEventFilter(&counter);
    }
    void SetShape(int side) {
        for (const int id : {kRows, kCols})
            static_cast<QLineEdit*>(window->control(id))->setText(QString::number(side));
    }
    // Runs events until the cells were painted again; false when they never were.
    bool UntilPainted(int before) {
        for (int round = 0; round < 1000 && counter.paints == before; ++round)
            QCoreApplication::processEvents();
        return counter.paints > before;
    }
};

void BM_GenerateCells(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        w.SetShape(side == 1 ? 2 : 1); // another shape first, so each round rebuilds
        w.window->GenerateCells();
        QCoreApplication::processEvents();
        w.SetShape(side);
        const int before = w.counter.paints;
        state.ResumeTiming();
        w.window->GenerateCells();
        if (!w.UntilPainted(before)) state.SkipWithError("the cells were never painted");
    }
    if (w.state.rows != side || w.state.cols != side || !w.dialogs.asked.isEmpty())
        state.SkipWithError("the grid was not generated");
}
BENCHMARK(BM_GenerateCells)
    ->ArgName("side")
    ->Arg(100)
    ->Arg(256)
    ->Iterations(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_TypeIntoCell256(benchmark::State& state) {
    Window w;
    w.SetShape(kMaxSide);
    w.window->GenerateCells();
    QCoreApplication::processEvents();
    QTableView* cells = w.window->cells();
    cells->setCurrentIndex(cells->model()->index(kMaxSide - 1, kMaxSide - 1));
    auto* editor = static_cast<QLineEdit*>(w.window->control(kCellEditor));
    editor->setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(editor, Qt::Key_7);
        QCoreApplication::processEvents(); // the deferred definition refresh
    }
    // The definition ends with the digits typed into the last cell, and the field shows
    // its start.
    const std::u16string& last = w.state.cells.back();
    const std::u16string& definition = w.window->MatrixText();
    const QString shown = static_cast<QPlainTextEdit*>(w.window->control(kOutput))->toPlainText();
    if (last.size() != static_cast<size_t>(state.iterations()) || definition.size() < last.size() ||
        definition.compare(definition.size() - last.size(), last.size(), last) != 0 ||
        !shown.startsWith(QStringLiteral("Matr = [mA]; 256; 256; ")))
        state.SkipWithError("the key did not reach the cell and the definition");
}
BENCHMARK(BM_TypeIntoCell256)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    vex::bench::PreferOffscreen();
    QApplication app(argc, argv);
    return vex::bench::RunRegistered(argc, argv);
}
