#include "shell/window/help_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

namespace vex {

namespace {

// The text wrapped at width, one entry per line as it would be painted.
QStringList Wrapped(const QString& text, const QFont& font, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1));
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace

HelpLabel::HelpLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
}

QStringList HelpLabel::ShownLines() const {
    const QRect room = contentsRect();
    const QFontMetrics fm(font());
    QStringList lines = Wrapped(text(), font(), room.width());
    const int fit = std::max(1, room.height() / std::max(fm.lineSpacing(), 1));
    if (lines.size() <= fit) return lines;
    lines = lines.mid(0, fit);
    // The last line shown says that more follows.
    QString& last = lines.back();
    const QString ellipsis(QChar(0x2026));
    last = fm.elidedText(last.trimmed() + QStringLiteral("    "), Qt::ElideRight, room.width());
    if (!last.endsWith(ellipsis)) {
        while (!last.isEmpty() && fm.horizontalAdvance(last + ellipsis) > room.width())
            last.chop(1);
        last = last.trimmed() + ellipsis;
    }
    return lines;
}

bool HelpLabel::Elided() const {
    const QFontMetrics fm(font());
    const int fit = std::max(1, contentsRect().height() / std::max(fm.lineSpacing(), 1));
    return Wrapped(text(), font(), contentsRect().width()).size() > fit;
}

void HelpLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect();
    const QFontMetrics fm(font());
    painter.setPen(palette().color(foregroundRole()));
    int y = room.top() + fm.ascent();
    for (const QString& line : ShownLines()) {
        painter.drawText(room.left(), y, line);
        y += fm.lineSpacing();
    }
}

bool HelpLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (Elided())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

} // namespace vex
