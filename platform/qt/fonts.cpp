#include "platform/qt/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace vex {

namespace {

const QStringList& FixedFamilies() {
    static const QStringList families{QStringLiteral("DejaVu Sans Mono"),
                                      QStringLiteral("Liberation Mono"),
                                      QStringLiteral("Noto Mono"), QStringLiteral("monospace")};
    return families;
}

} // namespace

QFont FixedFont(const QString& family, int pointSize) {
    if (!QFontDatabase::hasFamily(family) && QFont::substitutes(family).isEmpty())
        QFont::insertSubstitutions(family, FixedFamilies());
    QFont font(family);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize >= 4 && pointSize <= 96 ? pointSize : 8);
    return font;
}

} // namespace vex
