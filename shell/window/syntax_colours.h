#pragma once
// Colours for formulas: numbers, names, functions, matrices, operators and brackets, in
// the entry line (as formats laid over its text, the way an input method lays its own)
// and in the list's expression rows (a delegate). The bracket at the caret and its
// partner are highlighted; a bracket without a partner is marked.

#include <QObject>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <climits>

#include "shell/syntax_scan.h"

class QLineEdit;

namespace vex {

// The colours of one scheme; dark for white text on black.
struct SyntaxPalette {
    QColor number, name, function, matrix, op, bracket;
    QColor matchBack, unmatched, unmatchedBack;
    static SyntaxPalette For(bool dark);
    QColor Of(SyntaxKind kind) const;
};

// True when the widget's palette shows light text on a dark base.
bool DarkBase(const QPalette& palette);

// The formats of text: a colour per token, and the bracket pair at caret (-1: none)
// highlighted, unmatched brackets marked. Only the first upTo characters get formats
// (the rest is not shown), though brackets pair over the whole text.
QList<QTextLayout::FormatRange> SyntaxFormats(const QString& text, const SyntaxPalette& colours,
                                              int caret, int upTo = INT_MAX);

class EntryColours final : public QObject {
  public:
    explicit EntryColours(QLineEdit* entry);
    // The ranges laid over the text last time.
    const QList<QTextLayout::FormatRange>& formats() const { return formats_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Apply();

    QLineEdit* entry_;
    QList<QTextLayout::FormatRange> formats_;
    bool applying_ = false;
    bool composing_ = false; // an input method's text is being composed
    bool plain_ = false;     // no formats laid over the text now
    // What the formats were made for.
    QString shownText_;
    int64_t shownBracket_ = -2;
    bool shownDark_ = false;
};

// Paints an expression row's text in colour (selected rows keep the plain highlight).
class SyntaxDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace vex
