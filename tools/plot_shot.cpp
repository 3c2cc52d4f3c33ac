// plot_shot: starts the calculator as vexcalc's window does, runs plot lines (each
// opens a plot window, placed beside the one before) and saves each plot window's
// pixels to a PNG. For the pictures in docs/; not installed. --pointer puts the mouse
// pointer over the graph of the next window first (",shift": with Shift held), so its
// status line shows a read-out.
//
//   plot_shot [--pointer X,Y[,shift]] --out FILE.png LINE [...]

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "platform/library_hooks.h"
#include "platform/qt/window_platform.h"
#include "plot/window/plot_service.h"
#include "script/batch.h"
#include "shell/startup.h"
#include "tools/shot_support.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: plot_shot [--pointer X,Y[,shift]] --out FILE.png LINE [...]\n");
    return 2;
}

struct Shot {
    QString out, line;
    std::optional<QPoint> pointer;
    bool shift = false;
};

// The pointer moved onto the graph, as the mouse would.
void PointAt(vex::PlotWindow& window, QPoint at, bool shift) {
    QWidget* canvas = window.Canvas();
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, {},
                     shift ? Qt::ShiftModifier : Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The lines run as one script, as the entry runs a line: each plot opens its window
// beside the one before (a new run closes the windows of the last).
int Shoot(vex::Program& program, vex::PlotWindows& plots, vex::ScriptedDialogs& dialogs,
          const std::vector<Shot>& shots) {
    std::u16string script;
    for (const auto& shot : shots)
        script += shot.line.toStdU16String() + u"\r\n";
    const int32_t code = vex::vexEvalMain(program.host, u" /noh /nln /nt /", script);
    const std::vector<vex::PlotWindow*> open = plots.OpenWindows();
    if (code != -1 || open.size() != shots.size()) {
        std::fprintf(stderr, "plot_shot: %s\n",
                     zorbit::Utf16ToUtf8(program.host.batch.vexResStr).c_str());
        std::fprintf(stderr, "plot_shot: %zu plot windows for %zu lines (exit code %d)\n",
                     open.size(), shots.size(), code);
        return 1;
    }
    for (size_t k = 0; k < shots.size(); ++k) {
        vex::PlotWindow& window = *open[k];
        if (!vex::Settle(window)) {
            std::fprintf(stderr, "plot_shot: the plot window was never shown\n");
            return 1;
        }
        if (shots[k].pointer) PointAt(window, *shots[k].pointer, shots[k].shift);
        const QString& out = shots[k].out;
        if (!window.grab().save(out, "PNG")) {
            std::fprintf(stderr, "plot_shot: cannot write %s\n", qPrintable(out));
            return 1;
        }
        std::fprintf(stderr, "plot_shot: %s: window at %d,%d\n", qPrintable(out), window.x(),
                     window.y());
    }
    return dialogs.asked.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (!vex::HaveDisplay("plot_shot")) return 2;
    QApplication app(argc, argv);
    std::vector<Shot> shots;
    const QStringList args = QCoreApplication::arguments();
    Shot next;
    for (qsizetype k = 1; k < args.size(); k += 2) {
        if (args[k] == QLatin1String("--pointer") && k + 1 < args.size()) {
            const QStringList parts = args[k + 1].split(u',');
            bool xOk = false, yOk = false;
            if (parts.size() < 2) return Usage();
            next.pointer = QPoint(parts[0].toInt(&xOk), parts[1].toInt(&yOk));
            next.shift = parts.size() > 2 && parts[2] == QLatin1String("shift");
            if (!xOk || !yOk) return Usage();
            continue;
        }
        if (args[k] != QLatin1String("--out") || k + 2 >= args.size()) return Usage();
        next.out = args[k + 1];
        next.line = args[k + 2];
        shots.push_back(next);
        next = Shot{};
        ++k;
    }
    if (shots.empty()) return Usage();

    // Every question is told on stderr and answered No: a picture with a box in it fails.
    vex::ScriptedDialogs dialogs("plot_shot", ZORBIT_ID_NO);
    vex::WindowPlatform platform(nullptr, dialogs);
    vex::PlotWindows plots(&dialogs, false);
    platform.platform().plot = &plots;
    vex::Program program;
    if (!vex::StartForShot("plot_shot", program, platform)) return 10;
    plots.Bind(&program.library);
    const int status = Shoot(program, plots, dialogs, shots);
    plots.CloseAll();
    vex::RemoveLibraryHooks(program.library.HookSetters());
    program.host.platform = &vex::TerminalPlatform();
    return status;
}
