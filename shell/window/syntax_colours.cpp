#include "shell/window/syntax_colours.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTextCharFormat>
#include <algorithm>

namespace vex {

namespace {

std::u16string_view View(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size())};
}

// An expression row: its number column reads "E" and the count.
bool ExpressionRow(const QModelIndex& index) {
    return index.column() == 1 &&
           index.siblingAtColumn(0).data().toString().startsWith(QLatin1Char('E'));
}

} // namespace

SyntaxPalette SyntaxPalette::For(bool dark) {
    if (dark)
        return {QColor(0x7c, 0xc4, 0xff), QColor(0xf0, 0xf0, 0xf0), QColor(0xe8, 0xa8, 0xff),
                QColor(0x6e, 0xe0, 0xb8), QColor(0xff, 0xc0, 0x70), QColor(0xc8, 0xc8, 0xc8),
                QColor(0x2c, 0x5a, 0x86), QColor(0xff, 0x60, 0x60), QColor(0x6a, 0x1c, 0x1c)};
    return {QColor(0x00, 0x4c, 0xb0), QColor(0x10, 0x10, 0x10), QColor(0x86, 0x1a, 0xa8),
            QColor(0x00, 0x74, 0x5c), QColor(0xa8, 0x50, 0x00), QColor(0x50, 0x50, 0x50),
            QColor(0xbc, 0xe0, 0xff), QColor(0xd0, 0x00, 0x00), QColor(0xff, 0xd4, 0xd4)};
}

QColor SyntaxPalette::Of(SyntaxKind kind) const {
    switch (kind) {
    case SyntaxKind::Number:
        return number;
    case SyntaxKind::Name:
        return name;
    case SyntaxKind::Function:
        return function;
    case SyntaxKind::Matrix:
        return matrix;
    case SyntaxKind::Bracket:
        return bracket;
    case SyntaxKind::Operator:
        break;
    }
    return op;
}

bool DarkBase(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

QList<QTextLayout::FormatRange> SyntaxFormats(const QString& text, const SyntaxPalette& colours,
                                              int caret, int upTo) {
    const std::u16string_view s = View(text);
    const std::vector<SyntaxToken> tokens = ScanSyntax(s);
    QList<QTextLayout::FormatRange> out;
    out.reserve(static_cast<qsizetype>(tokens.size()) + 2);
    const BracketPairs pairs = MatchBrackets(s, tokens);
    const int64_t atCaret = caret >= 0 ? BracketAtCaret(s, static_cast<size_t>(caret)) : -1;
    int64_t partner = -1;
    for (size_t k = 0; k < pairs.at.size(); ++k)
        if (static_cast<int64_t>(pairs.at[k]) == atCaret) partner = pairs.partner[k];
    size_t bracket = 0;
    for (const SyntaxToken& t : tokens) {
        if (t.start >= static_cast<size_t>(std::max(upTo, 0))) break;
        QTextLayout::FormatRange r;
        r.start = static_cast<int>(t.start);
        r.length = std::min(static_cast<int>(t.end - t.start), upTo - r.start);
        r.format.setForeground(colours.Of(t.kind));
        if (t.kind == SyntaxKind::Bracket) {
            const bool lone = pairs.partner[bracket++] < 0;
            const auto at = static_cast<int64_t>(t.start);
            if (lone) {
                r.format.setForeground(colours.unmatched);
                r.format.setBackground(colours.unmatchedBack);
                r.format.setFontWeight(QFont::Bold);
            } else if (atCaret >= 0 && partner >= 0 && (at == atCaret || at == partner)) {
                r.format.setBackground(colours.matchBack);
                r.format.setFontWeight(QFont::Bold);
            }
        }
        out << r;
    }
    return out;
}

EntryColours::EntryColours(QLineEdit* entry) : QObject(entry), entry_(entry) {
    setObjectName(QStringLiteral("entryColours"));
    connect(entry_, &QLineEdit::textChanged, this, [this] { Apply(); });
    connect(entry_, &QLineEdit::cursorPositionChanged, this, [this] { Apply(); });
    entry_->installEventFilter(this);
    Apply();
}

bool EntryColours::eventFilter(QObject* watched, QEvent* event) {
    if (watched != entry_) return false;
    if (event->type() == QEvent::PaletteChange) Apply();
    // While an input method composes a character, its own text and formats stand: an
    // event of ours would end the composition.
    if (event->type() == QEvent::InputMethod && !applying_)
        composing_ = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
    return false;
}

void EntryColours::Apply() {
    if (applying_ || composing_) return;
    const QString text = entry_->text();
    const int caret = entry_->cursorPosition();
    const bool dark = DarkBase(entry_->palette());
    // A caret moved within the same text changes only the bracket it touches.
    const int64_t bracket = BracketAtCaret(View(text), static_cast<size_t>(caret));
    if (text == shownText_ && bracket == shownBracket_ && dark == shownDark_) return;
    shownText_ = text;
    shownBracket_ = bracket;
    shownDark_ = dark;
    applying_ = true;
    // A pasted line of megabytes would be scanned at every key: past this it stays plain.
    constexpr qsizetype kMostColoured = 20000;
    formats_.clear();
    if (text.size() <= kMostColoured)
        formats_ = SyntaxFormats(text, SyntaxPalette::For(dark), caret);
    // The line edit reads format ranges relative to the caret.
    QList<QInputMethodEvent::Attribute> attributes;
    attributes.reserve(formats_.size());
    for (const QTextLayout::FormatRange& r : formats_)
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, r.start - caret,
                                                   r.length, r.format);
    if (!attributes.isEmpty() || !plain_) {
        QInputMethodEvent event(QString(), attributes);
        QCoreApplication::sendEvent(entry_, &event);
    }
    plain_ = attributes.isEmpty();
    applying_ = false;
}

void SyntaxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    if (!ExpressionRow(index) || (o.state & QStyle::State_Selected) || o.text.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QString text = o.text;
    o.text.clear();
    const QWidget* widget = o.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, painter, widget);
    QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &o, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    r.adjust(margin, 0, -margin, 0);
    if (r.width() <= 0) return;
    // What fits, with an ellipsis as the plain cells have; only whole tokens before it
    // are coloured the way the full text colours them.
    const QString shown = o.fontMetrics.elidedText(text, Qt::ElideRight, r.width());
    const int kept =
        shown == text ? static_cast<int>(text.size()) : static_cast<int>(shown.size()) - 1;
    const QList<QTextLayout::FormatRange> clipped =
        SyntaxFormats(text, SyntaxPalette::For(DarkBase(o.palette)), -1, kept);
    QTextLayout layout(shown, o.font);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(wrap);
    layout.setFormats(clipped);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setLineWidth(r.width());
    layout.endLayout();
    painter->save();
    painter->setClipRect(r);
    painter->setPen(o.palette.color(QPalette::Text));
    const qreal y = r.top() + (r.height() - line.height()) / 2;
    layout.draw(painter, QPointF(r.left(), y));
    painter->restore();
}

} // namespace vex
