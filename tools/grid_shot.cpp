// grid_shot: the matrix-entry window with a 3x3 grid being filled in (the last cell
// still in its editor) and its definition below, saved as a PNG. For the picture in
// docs/; not installed.
//
//   grid_shot --out FILE.png

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cstdio>

#include "gridentry/grid_calculate.h"
#include "gridentry/window/grid_window.h"
#include "platform/qt/window_platform.h"
#include "tools/shot_support.h"

int main(int argc, char** argv) {
    if (!vex::HaveDisplay("grid_shot")) return 2;
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 || args[1] != QLatin1String("--out")) {
        std::fprintf(stderr, "usage: grid_shot --out FILE.png\n");
        return 2;
    }
    // Every question is told on stderr and answered No: a picture with a box in it fails.
    vex::ScriptedDialogs dialogs("grid_shot", ZORBIT_ID_NO);
    vex::MessagesWindow messages(nullptr);
    vex::grid::GridState state;
    // The picture calculates nothing: no library is loaded.
    const vex::Library library;
    vex::grid::GridWindow window(state, library, dialogs, {&messages, 0});
    window.show();
    if (!vex::Settle(window)) {
        std::fprintf(stderr, "grid_shot: the window was never shown\n");
        return 1;
    }
    using namespace vex::grid;
    auto* rows = qobject_cast<QLineEdit*>(window.control(kRows));
    auto* cols = qobject_cast<QLineEdit*>(window.control(kCols));
    auto* name = qobject_cast<QLineEdit*>(window.control(kName));
    rows->setText(QStringLiteral("3"));
    cols->setText(QStringLiteral("3"));
    name->setText(QStringLiteral("[mR]"));
    QTest::mouseClick(window.control(kGenerate), Qt::LeftButton);
    // Typed as a user types: each cell, then Tab to the next one.
    const char* values[] = {"1", "0", "0", "0", "cos(pi/6)", "-0.5", "0", "0.5"};
    QTableView* cells = window.cells();
    cells->setFocus();
    cells->setCurrentIndex(cells->model()->index(0, 0));
    for (const char* v : values) {
        for (const char* c = v; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The last cell is still being typed.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("cos(pi/"));
    if (!vex::Settle(window)) return 1;
    if (!window.grab().save(args[2], "PNG")) {
        std::fprintf(stderr, "grid_shot: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return dialogs.asked.isEmpty() ? 0 : 1;
}
