#include "shell/window/window_app.h"

#include <QApplication>

#include "platform/library_hooks.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/window_platform.h"
#include "plot/window/plot_service.h"
#include "shell/window/main_window.h"
#include "zorbit/codes.h"

namespace vex {

void ShowStartWindow(MainWindow& window, const StartOptions& options) {
    window.show();
    if (!options.listFile.empty()) window.OpenListFile(QString::fromStdString(options.listFile));
}

int RunWindow(int& argc, char** argv, StartOptions options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexcalc"));
    QApplication::setApplicationVersion(QString::fromUtf16(VEX_VERSION_TEXT));
    WindowPlatform platform(nullptr, QtDialogs());
    PlotWindows plots(&QtDialogs(), false);
    platform.platform().plot = &plots;
    options.platform = &platform.platform();
    Program program;
    std::string error;
    if (!StartUp(program, options, error)) {
        QtDialogs().Message(nullptr, QStringLiteral("vexCalc"),
                            QStringLiteral("The calculator cannot start:\n") +
                                QString::fromStdString(error),
                            ZORBIT_MB_OK | ZORBIT_MB_ICONWARNING, ZORBIT_ID_OK);
        return 10;
    }
    plots.Bind(&program.library);
    UsePictureFolder(program);
    int status = 0;
    {
        MainWindow window(program, program.library, QtDialogs(), platform);
        plots.PlaceBeside(&window);
        ShowStartWindow(window, options);
        status = QApplication::exec();
    }
    // Nothing may reach the window's services once they are gone.
    RemoveLibraryHooks(program.library.HookSetters());
    program.host.platform = &TerminalPlatform();
    return status;
}

} // namespace vex
