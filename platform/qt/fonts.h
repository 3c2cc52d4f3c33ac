#pragma once
// The windows' fixed-width fonts. Families the settings and the windows name (from the
// systems they were first written for) are not found on Linux; they and any other missing
// family resolve to an installed fixed-width font, so columns of text stay aligned. The
// font keeps the family's name as asked.

#include <QFont>
#include <QString>

namespace vex {

// pointSize outside 4..96 becomes 8.
QFont FixedFont(const QString& family, int pointSize);

} // namespace vex
