#pragma once
// The main window's list as "number|text" rows, the form the window tests compare.

#include <QStringList>

#include "shell/window/main_window.h"

inline QStringList ListRows(const vex::MainWindow& window) {
    QStringList rows;
    for (const vex::ListRow& r : window.list().rows)
        rows << QString::fromStdU16String(r.number) + u'|' + QString::fromStdU16String(r.text);
    return rows;
}
