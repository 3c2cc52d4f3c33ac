#include "shell/window/fonts.h"

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

QFont ListFont(const QString& family, int pointSize) {
    const QString name = family.trimmed().isEmpty() ? QStringLiteral("Lucida Console") : family;
    if (!QFontDatabase::hasFamily(name) && QFont::substitutes(name).isEmpty())
        QFont::insertSubstitutions(name, FixedFamilies());
    QFont font(name);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize >= 4 && pointSize <= 96 ? pointSize : 8);
    return font;
}

} // namespace vex
