#pragma once
// What the picture tools share: a dialog service that never waits for a click (every
// question is printed and counted, and the tool fails when any was asked), and the
// wait for a window to be on the screen.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/qt/dialogs.h"
#include "platform/qt/scripted_dialogs.h"
#include "platform/qt/window_platform.h"
#include "shell/startup.h"
#include "zorbit/codes.h"

namespace vex {

// Events until the window is on the screen and has painted, or 5 s went by.
inline bool Settle(QWidget& w) {
    QElapsedTimer clock;
    clock.start();
    while (!(w.windowHandle() && w.windowHandle()->isExposed())) {
        if (clock.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    for (int k = 0; k < 10; ++k)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return true;
}

// Without any display Qt aborts; say why instead (scripts/screenshots.sh uses Xvfb).
inline bool HaveDisplay(const char* tool) {
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    std::fprintf(
        stderr, "%s: no display (run it under xvfb-run, or set QT_QPA_PLATFORM=offscreen)\n", tool);
    return false;
}

// Starts the calculator as its window does, on the defaults whatever the user
// configured; false (said on stderr) when the library cannot be bound.
inline bool StartForShot(const char* tool, Program& program, WindowPlatform& platform) {
    StartOptions options;
    options.ignoreConfig = true;
    options.platform = &platform.platform();
    std::string error;
    if (StartUp(program, options, error)) return true;
    std::fprintf(stderr, "%s: %s\n", tool, error.c_str());
    return false;
}

} // namespace vex
