// window_shot: starts the calculator as vexcalc does, enters lines in its main window
// and saves the window's pixels to a PNG. For the pictures in docs/; not installed.
//
//   window_shot [--light] [--size WxH] --out FILE.png LINE...

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QWindow>
#include <cstdio>
#include <string>

#include "platform/library_hooks.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/window_platform.h"
#include "shell/startup.h"
#include "shell/window/main_window.h"
#include "zorbit/codes.h"

namespace {

// No dialog may wait for a click here: a question is printed and counted as a failure.
class NoDialogs final : public vex::DialogService {
  public:
    int32_t Message(QWidget*, const QString& title, const QString& text, int32_t,
                    int32_t) override {
        std::fprintf(stderr, "window_shot: message box: %s: %s\n", qPrintable(title),
                     qPrintable(text));
        ++asked;
        return ZORBIT_ID_NO;
    }
    std::optional<QString> InputText(QWidget*, const QString& title, const QString&,
                                     const QString&) override {
        return Refuse(title);
    }
    QString OpenFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        Refuse(title);
        return {};
    }
    QString SaveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        Refuse(title);
        return {};
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override {
        Refuse(QStringLiteral("Font"));
        return std::nullopt;
    }
    int asked = 0;

  private:
    std::nullopt_t Refuse(const QString& title) {
        std::fprintf(stderr, "window_shot: dialog: %s\n", qPrintable(title));
        ++asked;
        return std::nullopt;
    }
};

int Usage() {
    std::fprintf(stderr, "usage: window_shot [--light] [--size WxH] --out FILE.png LINE...\n");
    return 2;
}

// Events until the window is on the screen and has painted, or 5 s went by.
bool Settle(QWidget& w) {
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

} // namespace

int main(int argc, char** argv) {
    // Without any display Qt aborts; say why instead (scripts/screenshots.sh uses Xvfb).
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "window_shot: no display (run it under xvfb-run, or set "
                             "QT_QPA_PLATFORM=offscreen)\n");
        return 2;
    }
    QApplication app(argc, argv);
    QString out;
    bool light = false;
    int width = 480, height = 415;
    QStringList lines;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype k = 1; k < args.size(); ++k) {
        const QString& a = args[k];
        if (a == QLatin1String("--out") && k + 1 < args.size()) {
            out = args[++k];
        } else if (a == QLatin1String("--light")) {
            light = true;
        } else if (a == QLatin1String("--size") && k + 1 < args.size()) {
            const QStringList wh = args[++k].split(QLatin1Char('x'));
            if (wh.size() != 2) return Usage();
            width = wh[0].toInt();
            height = wh[1].toInt();
            if (width <= 0 || height <= 0) return Usage();
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage();
        } else {
            lines << a;
        }
    }
    if (out.isEmpty()) return Usage();

    NoDialogs dialogs;
    vex::WindowPlatform platform(nullptr, dialogs);
    vex::StartOptions options;
    options.ignoreConfig = true; // the defaults, whatever the user configured
    options.platform = &platform.platform();
    vex::Program program;
    std::string error;
    if (!vex::StartUp(program, options, error)) {
        std::fprintf(stderr, "window_shot: %s\n", error.c_str());
        return 10;
    }
    program.settings.wndW = width;
    program.settings.wndH = height;
    int status = 0;
    {
        vex::MainWindow window(program, platform);
        window.show();
        if (!Settle(window)) {
            std::fprintf(stderr, "window_shot: the window was never shown\n");
            status = 1;
        }
        if (light) window.action(vex::MenuItem::BlackWhite)->trigger();
        for (const QString& line : lines) {
            window.entryLine()->setText(line);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(window.entryLine(), &press);
            QCoreApplication::sendEvent(window.entryLine(), &release);
            QCoreApplication::processEvents();
        }
        Settle(window);
        if (status == 0 && !window.grab().save(out, "PNG")) {
            std::fprintf(stderr, "window_shot: cannot write %s\n", qPrintable(out));
            status = 1;
        }
        if (dialogs.asked) status = 1;
    }
    const vex::EntrySlots& s = program.binding.slots;
    vex::RemoveLibraryHooks({s.SetMessageBoxHook, s.SetMessageWindowHook, s.SetClipboardHook});
    return status;
}
