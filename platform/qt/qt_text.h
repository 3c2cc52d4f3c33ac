#pragma once
// The one conversion between the system's text and Qt's: both are UTF-16, so nothing is
// re-encoded on the way.

#include <QString>
#include <string>
#include <string_view>

namespace vex {

inline QString Text(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::u16string Text16(const QString& s) {
    return s.toStdU16String();
}

} // namespace vex
