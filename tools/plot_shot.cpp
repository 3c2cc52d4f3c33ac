// plot_shot: starts the calculator as vexcalc's window does, runs plot lines (each
// opens a plot window, placed beside the one before) and saves each plot window's
// pixels to a PNG. For the pictures in docs/; not installed.
//
//   plot_shot --out FILE.png LINE [--out FILE.png LINE ...]

#include <QApplication>
#include <QPixmap>
#include <cstdio>
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
    std::fprintf(stderr, "usage: plot_shot --out FILE.png LINE [--out FILE.png LINE ...]\n");
    return 2;
}

// The lines run as one script, as the entry runs a line: each plot opens its window
// beside the one before (a new run closes the windows of the last).
int Shoot(vex::Program& program, vex::PlotWindows& plots, vex::ScriptedDialogs& dialogs,
          const std::vector<std::pair<QString, QString>>& shots) {
    std::u16string script;
    for (const auto& shot : shots)
        script += shot.second.toStdU16String() + u"\r\n";
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
        const QString& out = shots[k].first;
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
    std::vector<std::pair<QString, QString>> shots;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype k = 1; k < args.size(); k += 3) {
        if (args[k] != QLatin1String("--out") || k + 2 >= args.size()) return Usage();
        shots.emplace_back(args[k + 1], args[k + 2]);
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
