#pragma once
// The list's font. The fonts the configuration names by default are not found on
// Linux; they and any other missing family resolve to an installed fixed-width font,
// so the columns of results stay aligned. The configuration keeps the name as chosen.

#include <QFont>
#include <QString>

namespace vex {

QFont ListFont(const QString& family, int pointSize);

} // namespace vex
