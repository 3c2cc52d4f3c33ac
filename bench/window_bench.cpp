// The main window's speed and memory under the offscreen platform: the window shown,
// Enter in the entry line, list files opened (1,000 expressions, 1,000,000 rows, the
// largest list, one 30 MB line), 100,000 rows, the completion popup over 10,000 names
// and one key in a long formula.
//
// The completion popup, one key to a filled popup of 200 of the 10,000 names: 0.8 to
// 1.0 ms wall, 0.8 ms CPU; 3.2 to 3.7 ms wall, 3.1 ms CPU when the names are read again
// after a line. One key in a 1,000-character formula (colours, completion and help
// line): 1.4 ms wall, 1.1 ms CPU.
//
// Opening lists, each benchmark run alone (wall time on the shared 2-core machine, CPU
// time, peak resident memory of the process), before the list was read in pieces into
// one text and handed to the view in batches -> after:
//   BM_OpenMillionRowList (15 MB)   2.8 s, 2.2 s CPU, 184 MB -> 1.7 s, 1.2 s CPU, 183 MB
//   BM_OpenLargestList (64 MiB, 6.5 million rows)
//                                  20.1 s, 12.4 s CPU, 932 MB -> 11.3 s, 7.6 s CPU, 932 MB
//   BM_OpenLongLine (30 MB)        17.2 s, 11.5 s CPU, 2584 MB -> 1.9 s, 1.3 s CPU, 992 MB
// The same 30 MB line with --batch: 1.3 to 2.5 s, 815 MB. Beside the rows (which make
// the peak of the largest list), reading a list holds about 2.2 times the file's size.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/qt_bench.h"
#include "common/number_text.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/scripted_dialogs.h"
#include "platform/qt/window_platform.h"
#include "shell/entry.h"
#include "shell/expression_list.h"
#include "shell/history_file.h"
#include "shell/list_file.h"
#include "shell/startup.h"
#include "shell/window/completer.h"
#include "shell/window/live_result.h"
#include "shell/window/main_window.h"
#include "zorbit/codes.h"

namespace {

struct Calculator {
    // Every question is answered at once and counted, so a failing line cannot pass for a
    // fast one.
    vex::ScriptedDialogs dialogs{"window_bench", ZORBIT_ID_NO};
    vex::WindowPlatform platform{nullptr, dialogs};
    vex::Program program;
};

Calculator& TheCalculator() {
    static Calculator* c = [] {
        auto* calc = new Calculator;
        vex::StartOptions options;
        options.ignoreConfig = true;
        options.libraryPath = VEX_ZORBIT_PATH;
        options.platform = &calc->platform.platform();
        std::string error;
        if (!vex::StartUp(calc->program, options, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        calc->program.settings.wndW = 480;
        calc->program.settings.wndH = 415;
        return calc;
    }();
    return *c;
}

std::unique_ptr<vex::MainWindow> ShownWindow() {
    Calculator& c = TheCalculator();
    auto w = std::make_unique<vex::MainWindow>(c.program, c.program.library, c.dialogs, c.platform);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) std::abort();
    return w;
}

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0; // kilobytes on Linux
}

double CurrentRssMb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

bool NoMessages(benchmark::State& state, qsizetype before) {
    if (TheCalculator().dialogs.asked.size() == before) return true;
    state.SkipWithError("a message box was shown");
    return false;
}

// The first window of the process also loads fonts and the style: what a user waits
// for after the application object exists.
void BM_FirstWindowShown(benchmark::State& state) {
    TheCalculator();
    for (auto _ : state) {
        auto w = ShownWindow();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstWindowShown)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WindowShown(benchmark::State& state) {
    TheCalculator();
    for (auto _ : state) {
        auto w = ShownWindow();
        state.PauseTiming();
        w.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowShown)->UseRealTime()->Unit(benchmark::kMillisecond);

// The window shown with a kept history of the given lines (0: none): what reading the
// history adds to the start.
void BM_WindowShownWithHistory(benchmark::State& state) {
    Calculator& c = TheCalculator();
    const QString config = QDir::temp().filePath(
        QStringLiteral("vexcalc-bench-history-%1.ini").arg(QCoreApplication::applicationPid()));
    const std::string configPath = config.toStdString();
    const std::string historyPath = vex::HistoryPath(configPath);
    std::vector<std::u16string> lines;
    for (int64_t k = 0; k < state.range(0); ++k)
        lines.push_back(u"Expr = sin(" + zorbit::IntText(k) + u")*2+sqrt(17)");
    std::string error;
    if (!lines.empty() && !vex::WriteHistory(historyPath, lines, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string kept = std::exchange(c.program.configPath, configPath);
    size_t loaded = 0;
    for (auto _ : state) {
        auto w = ShownWindow();
        state.PauseTiming();
        // Up from an empty entry recalls the newest kept line.
        QTest::keyClick(w->entryLine(), Qt::Key_Up);
        loaded = w->entryLine()->text().isEmpty() ? 0 : lines.size();
        w.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    c.program.configPath = kept;
    std::remove(historyPath.c_str());
    if (loaded != lines.size()) state.SkipWithError("the history was not loaded");
}
BENCHMARK(BM_WindowShownWithHistory)
    ->Arg(0)
    ->Arg(1000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A 999-element vector: "[v]*2" then appends 1,000 rows with one Enter.
void DefineVector() {
    static const bool defined = [] {
        std::u16string line = u"Vect = [v]; 999; 1";
        for (int k = 1; k <= 999; ++k)
            line += u"; " + zorbit::IntText(k);
        Calculator& c = TheCalculator();
        return !vex::RunEntryLine(c.program.host, c.program.KeywordList, line).error;
    }();
    if (!defined) std::abort();
}

// Rows appended to a shown window with one Enter per 1,000 rows.
void FillRows(vex::MainWindow& w, int rows) {
    DefineVector();
    for (int k = 0; k < rows / 1000; ++k)
        w.EnterLine(QStringLiteral("[v]*2"));
    QCoreApplication::processEvents();
}

// "2+3" typed, Return pressed, and the events (painting included) processed; the
// argument is how many rows the list holds before.
void BM_EnterKey(benchmark::State& state) {
    const qsizetype before = TheCalculator().dialogs.asked.size();
    auto w = ShownWindow();
    FillRows(*w, static_cast<int>(state.range(0)));
    const size_t first = w->list().rows.size();
    QLineEdit* entry = w->entryLine();
    for (auto _ : state) {
        QTest::keyClicks(entry, QStringLiteral("2+3"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    const size_t rows = w->list().rows.size();
    if (rows != first + 2 * state.iterations() || w->list().rows.back().text != u"  5.0000")
        state.SkipWithError("Enter did not append the expression and its result");
    NoMessages(state, before);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_EnterKey)->Arg(0)->Arg(100000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// One key typed into an entry line that holds a formula, the live result worked out and
// the events processed: range(0) 0 is the longest engine benchmark formula, 1 a formula of
// 1,000 characters; range(1) 1 with the live result on, 0 off (what the key costs without
// it). Each iteration types a digit and takes it back: two keys. Measured offscreen on the
// shared 2-core machine, CPU per key with colours, completion and the help line also at
// work: the engine formula about 520 us with the live result, 400 us without; 1,000
// characters about 1.9 ms with, 1.8 ms without.
void BM_KeyWithLiveResult(benchmark::State& state) {
    auto w = ShownWindow();
    w->action(vex::MenuItem::LiveResult)->setChecked(state.range(1) == 1);
    w->action(vex::MenuItem::LiveResult)->trigger();
    w->action(vex::MenuItem::LiveResult)->trigger();
    QString text = QStringLiteral(
        "(sin(0.5)*cos(0.25)+sqrt(17)/3)*(exp(1.5)-ln(10))/(atan(1)*4+abs(-2.5))-((1+2)*(3+4)/"
        "5-6^2)+3.14159*2-sqrt(2)*sin(1)*cos(1)+tan(0.3)/(1+0.5*0.5)-(2.5*(1.5-0.25))+");
    if (state.range(0) == 1) {
        text = QStringLiteral("1");
        while (text.size() + 13 <= 997)
            text += QStringLiteral("+sin(2.5)*3.5");
        while (text.size() < 997)
            text += QStringLiteral("+1");
        text += QStringLiteral("+");
    }
    QLineEdit* entry = w->entryLine();
    entry->setText(text);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(entry, Qt::Key_1);
        QCoreApplication::processEvents();
        QTest::keyClick(entry, Qt::Key_Backspace);
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(2 * state.iterations());
    QTest::keyClick(entry, Qt::Key_1);
    const bool shown = w->liveResult()->label()->text().startsWith(QStringLiteral("= "));
    if (shown != (state.range(1) == 1))
        state.SkipWithError(("the live result is not as set: " +
                             w->liveResult()->label()->text().left(80).toStdString())
                                .c_str());
    state.counters["chars"] = static_cast<double>(entry->text().size());
}
BENCHMARK(BM_KeyWithLiveResult)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMicrosecond);

// 1,000 expressions of several kinds; every one gives one result row.
std::u16string Expression(int k) {
    const std::u16string n = zorbit::IntText(k);
    switch (k % 5) {
    case 0:
        return n + u"+1";
    case 1:
        return u"sqrt(" + n + u")*2-1";
    case 2:
        return u"sin(" + n + u"/100)+cos(" + n + u"/50)";
    case 3:
        return u"(" + n + u"+1)*(" + n + u"+2)/3-" + n + u"^2";
    default:
        return u"Hex = " + n + u"*7";
    }
}

const QString& ThousandExpressionFile() {
    static const QString path = [] {
        std::vector<vex::ListRow> rows;
        for (int k = 1; k <= 1000; ++k) {
            rows.push_back({u"E" + zorbit::IntText(k), Expression(k)});
            rows.push_back({u"=", u"  ?"});
        }
        const QString name = QDir::temp().filePath(
            QStringLiteral("vexcalc-bench-%1.vxc").arg(QCoreApplication::applicationPid()));
        std::string error;
        if (!vex::WriteListFile(name.toStdString(), rows, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return name;
    }();
    return path;
}

void BM_OpenThousandExpressions(benchmark::State& state) {
    const QString& file = ThousandExpressionFile();
    const qsizetype before = TheCalculator().dialogs.asked.size();
    auto w = ShownWindow();
    for (auto _ : state) {
        if (!w->OpenListFile(file)) state.SkipWithError("the list file did not open");
        QCoreApplication::processEvents();
    }
    if (w->list().counter != 1000 || w->list().rows.size() != 2000)
        state.SkipWithError("the list does not hold 1,000 expressions and their results");
    NoMessages(state, before);
    state.counters["rows"] = static_cast<double>(w->list().rows.size());
}
BENCHMARK(BM_OpenThousandExpressions)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// A list file of 500,000 expressions, each followed by its result row: opened, it is a
// list of 1,000,000 rows. Written once per process, removed at the end.
const QString& MillionRowFile() {
    static const QString path = [] {
        const QString name = QDir::temp().filePath(
            QStringLiteral("vexcalc-bench-million-%1.vxc").arg(QCoreApplication::applicationPid()));
        // Written a row at a time, so that making it does not raise the peak measured.
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        f.write("Columns: 1\r\n");
        for (int k = 1; k <= 500000; ++k)
            f.write(QStringLiteral("E%1\nExpr = %1+1\r\n=\n  ?\r\n").arg(k).toUtf8());
        if (!f.flush()) std::abort();
        return name;
    }();
    return path;
}

// The million-row list opened in a shown window: time, and the resident memory it
// costs (peak_rss_MB is the process's peak; run this benchmark alone to read it).
// Opens file in a new shown window once per iteration and sets the counters: the rows
// listed, the file's size, what the open cost beside the window (rows included) and the
// process's peak.
size_t MeasureOpen(benchmark::State& state, const QString& file) {
    const qsizetype before = TheCalculator().dialogs.asked.size();
    double growth = 0;
    size_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = ShownWindow();
        const double start = CurrentRssMb();
        state.ResumeTiming();
        if (!w->OpenListFile(file)) state.SkipWithError("the list file did not open");
        QCoreApplication::processEvents();
        state.PauseTiming();
        rows = w->list().rows.size();
        growth = CurrentRssMb() - start;
        w.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    NoMessages(state, before);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["file_MB"] = static_cast<double>(QFileInfo(file).size()) / (1024.0 * 1024.0);
    state.counters["rss_growth_MB"] = growth;
    state.counters["peak_rss_MB"] = PeakRssMb();
    return rows;
}

void BM_OpenMillionRowList(benchmark::State& state) {
    if (MeasureOpen(state, MillionRowFile()) != 1000000) state.SkipWithError("not 1,000,000 rows");
}
BENCHMARK(BM_OpenMillionRowList)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The largest list a window opens: 64 MiB of short rows ("E<n>", "<n>", "=", "  ?"),
// about 3.5 million expressions.
void BM_OpenLargestList(benchmark::State& state) {
    const QString name = QDir::temp().filePath(
        QStringLiteral("vexcalc-bench-largest-%1.vxc").arg(QCoreApplication::applicationPid()));
    {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        f.write("Columns: 1\r\n");
        for (int k = 1; f.size() < qint64(vex::kMaxListFileBytes) - 64; ++k)
            f.write(QStringLiteral("E%1\n%2\r\n=\n  ?\r\n").arg(k).arg(k % 1000).toUtf8());
    }
    MeasureOpen(state, name);
    QFile::remove(name);
}
BENCHMARK(BM_OpenLargestList)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// One expression of 30 MB ("1+1+...") in a list: what opening it costs, to set beside
// the same line run with --batch (script_batch_compare.sh).
void BM_OpenLongLine(benchmark::State& state) {
    const QString name = QDir::temp().filePath(
        QStringLiteral("vexcalc-bench-long-%1.vxc").arg(QCoreApplication::applicationPid()));
    {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        QByteArray line = "Columns: 1\r\nE1\nExpr = 1";
        line.reserve(30 << 20);
        while (line.size() < (30 << 20))
            line += "+1";
        f.write(line + "\r\n");
    }
    MeasureOpen(state, name);
    QFile::remove(name);
}
BENCHMARK(BM_OpenLongLine)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// 100,000 rows appended to a shown window, with events processed every 1,000 rows,
// as while lines come in faster than the screen repaints. The argument is the rows
// per Enter: 2 ("7*6" and its result) or 1,000 ("[v]*2", 999 result rows).
void BM_HundredThousandRows(benchmark::State& state) {
    constexpr size_t kRows = 100000;
    const int perEnter = static_cast<int>(state.range(0));
    const QString line = perEnter == 2 ? QStringLiteral("7*6") : QStringLiteral("[v]*2");
    DefineVector();
    const qsizetype before = TheCalculator().dialogs.asked.size();
    double growth = 0;
    size_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = ShownWindow();
        const double start = CurrentRssMb();
        state.ResumeTiming();
        for (size_t k = 1; k <= kRows / static_cast<size_t>(perEnter); ++k) {
            w->EnterLine(line);
            if (k * static_cast<size_t>(perEnter) % 1000 == 0) QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        state.PauseTiming();
        rows = w->list().rows.size();
        growth = CurrentRssMb() - start;
        w.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (rows != kRows) state.SkipWithError("not 100,000 rows");
    NoMessages(state, before);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rss_growth_MB"] = growth;
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_HundredThousandRows)
    ->ArgName("rows_per_enter")
    ->Arg(2)
    ->Arg(1000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The yardstick for the above without a window: the same 50,000 lines through the
// entry line's interpreter path into a list of rows.
void BM_FiftyThousandLinesNoWindow(benchmark::State& state) {
    Calculator& c = TheCalculator();
    size_t rows = 0;
    for (auto _ : state) {
        vex::ExpressionList list;
        for (int k = 0; k < 50000; ++k)
            vex::AppendEntry(list,
                             vex::RunEntryLine(c.program.host, c.program.KeywordList, u"7*6"));
        rows = list.rows.size();
    }
    if (rows != 100000) state.SkipWithError("not 100,000 rows");
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FiftyThousandLinesNoWindow)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// One key typed in the entry line with 10,000 variables defined, all starting with the
// typed letter: the popup filled with its candidates. Arg 1: the names read again from
// the library first, as after a line was entered; 0: read already.
void BM_CompletionPopup(benchmark::State& state) {
    Calculator& c = TheCalculator();
    c.program.library.ResetAll();
    for (int k = 0; k < 10000; ++k)
        c.program.library.Define(u"v" + zorbit::IntText(k), zorbit::IntText(k), 0);
    auto w = ShownWindow();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) std::abort();
    QLineEdit* entry = w->entryLine();
    entry->setFocus();
    vex::EntryCompleter* completer = w->completer();
    const bool reread = state.range(0) == 1;
    qsizetype shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        entry->clear();
        if (reread) completer->MarkStale();
        state.ResumeTiming();
        QTest::keyClick(entry, Qt::Key_V);
        shown = completer->PopupShown() ? completer->Candidates().size() : 0;
    }
    if (shown == 0) state.SkipWithError("no popup");
    state.counters["shown"] = static_cast<double>(shown);
    w.reset();
    c.program.library.ResetAll();
}
BENCHMARK(BM_CompletionPopup)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// One key typed at the end of a 1,000-character formula: the line coloured again, the
// word at the caret looked up for completion and the help line checked.
void BM_KeyInLongFormula(benchmark::State& state) {
    auto w = ShownWindow();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) std::abort();
    QLineEdit* entry = w->entryLine();
    entry->setFocus();
    QString formula;
    while (formula.size() < 1000)
        formula += QStringLiteral("sin(2.5e-3*(x1+[mA]T))+");
    formula.truncate(1000);
    entry->setText(formula);
    for (auto _ : state) {
        QTest::keyClick(entry, Qt::Key_7);
        state.PauseTiming();
        QTest::keyClick(entry, Qt::Key_Backspace);
        state.ResumeTiming();
    }
    if (entry->text() != formula) state.SkipWithError("the formula changed");
}
BENCHMARK(BM_KeyInLongFormula)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    vex::bench::PreferOffscreen();
    QApplication app(argc, argv);
    const int status = vex::bench::RunRegistered(argc, argv);
    for (const char* name : {"vexcalc-bench-%1.vxc", "vexcalc-bench-million-%1.vxc"})
        QFile::remove(QDir::temp().filePath(
            QString::fromLatin1(name).arg(QCoreApplication::applicationPid())));
    return status;
}
