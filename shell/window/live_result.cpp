#include "shell/window/live_result.h"

#include <QLabel>
#include <QLineEdit>

#include "platform/qt/qt_text.h"

namespace vex {

LiveResult::LiveResult(const Library& library, const InterpreterState& interp,
                       const std::vector<std::u16string>& keywords, QLineEdit* entry,
                       QWidget* parent)
    : QObject(parent), library_(library), interp_(interp), keywords_(keywords), entry_(entry),
      label_(new QLabel(parent)) {
    label_->setTextFormat(Qt::PlainText);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(entry_, &QLineEdit::textChanged, this, [this] { Refresh(); });
}

void LiveResult::SetEnabled(bool on) {
    enabled_ = on;
    label_->setVisible(on);
    Refresh();
}

void LiveResult::Refresh() {
    preview_ = enabled_ ? PreviewLine(library_, interp_, keywords_, Text16(entry_->text()))
                        : LivePreview{};
    const bool failed = preview_.kind == LivePreview::Kind::Error;
    const bool skipped = preview_.kind == LivePreview::Kind::Skipped;
    const QString style = failed    ? QStringLiteral("color: #b00000")
                          : skipped ? QStringLiteral("color: gray")
                                    : QString();
    // A new style sheet polishes the label again: only when the kind of line changes.
    if (label_->styleSheet() != style) label_->setStyleSheet(style);
    const QString text = Text(preview_.text);
    if (label_->text() == text) return;
    label_->setText(text);
    label_->setToolTip(text);
}

} // namespace vex
