// window_shot: starts the calculator as vexcalc does, enters lines in its main window
// and saves the window's pixels to a PNG. For the pictures in docs/; not installed.
//
//   window_shot [--light] [--size WxH] [--menu TEXT [--submenu TEXT]] [--typing TEXT]
//               --out FILE.png LINE...
//
// With --typing the entry line holds TEXT, not yet entered, after the lines.
// With --menu the menu bar's menu of that text (as "&Config") is open in the picture,
// and with --submenu also its submenu; the picture is then taken from the screen.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <string>

#include "platform/library_hooks.h"
#include "platform/qt/window_platform.h"
#include "shell/startup.h"
#include "shell/window/main_window.h"
#include "tools/shot_support.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: window_shot [--light] [--size WxH] [--menu TEXT [--submenu "
                         "TEXT]] [--typing TEXT] --out FILE.png LINE...\n");
    return 2;
}

QMenu* MenuOf(const QList<QAction*>& actions, const QString& text) {
    for (QAction* a : actions)
        if (a->menu() && a->text() == text) return a->menu();
    return nullptr;
}

// Opens the menu (and its submenu) and grabs the screen around the window and them.
bool GrabWithMenu(QMainWindow& window, const QString& menuText, const QString& subText,
                  const QString& out) {
    QMenu* menu = MenuOf(window.menuBar()->actions(), menuText);
    if (!menu) return false;
    for (QAction* top : window.menuBar()->actions())
        if (top->menu() == menu)
            menu->popup(
                window.menuBar()->mapToGlobal(window.menuBar()->actionGeometry(top).bottomLeft()));
    vex::Settle(*menu);
    QRect area = window.frameGeometry().united(menu->geometry());
    if (!subText.isEmpty()) {
        QMenu* sub = MenuOf(menu->actions(), subText);
        if (!sub) return false;
        menu->setActiveAction(sub->menuAction());
        sub->popup(menu->mapToGlobal(menu->actionGeometry(sub->menuAction()).topRight()));
        vex::Settle(*sub);
        area = area.united(sub->geometry());
    }
    QScreen* screen = window.screen();
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(out, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (!vex::HaveDisplay("window_shot")) return 2;
    QApplication app(argc, argv);
    QString out, menu, submenu, typing;
    bool light = false;
    int width = 480, height = 415;
    QStringList lines;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype k = 1; k < args.size(); ++k) {
        const QString& a = args[k];
        if (a == QLatin1String("--out") && k + 1 < args.size()) {
            out = args[++k];
        } else if (a == QLatin1String("--menu") && k + 1 < args.size()) {
            menu = args[++k];
        } else if (a == QLatin1String("--submenu") && k + 1 < args.size()) {
            submenu = args[++k];
        } else if (a == QLatin1String("--typing") && k + 1 < args.size()) {
            typing = args[++k];
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

    // Every question is told on stderr and answered No: a picture with a box in it fails.
    vex::ScriptedDialogs dialogs("window_shot", ZORBIT_ID_NO);
    vex::WindowPlatform platform(nullptr, dialogs);
    vex::Program program;
    if (!vex::StartForShot("window_shot", program, platform)) return 10;
    program.settings.wndW = width;
    program.settings.wndH = height;
    int status = 0;
    {
        vex::MainWindow window(program, program.library, dialogs, platform);
        window.show();
        if (!vex::Settle(window)) {
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
        if (!typing.isEmpty()) window.entryLine()->setText(typing);
        vex::Settle(window);
        if (status == 0 && !menu.isEmpty()) {
            if (!GrabWithMenu(window, menu, submenu, out)) {
                std::fprintf(stderr, "window_shot: no menu %s or picture %s\n", qPrintable(menu),
                             qPrintable(out));
                status = 1;
            }
        } else if (status == 0 && !window.grab().save(out, "PNG")) {
            std::fprintf(stderr, "window_shot: cannot write %s\n", qPrintable(out));
            status = 1;
        }
        if (!dialogs.asked.isEmpty()) status = 1;
    }
    vex::RemoveLibraryHooks(program.library.HookSetters());
    return status;
}
