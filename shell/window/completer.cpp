#include "shell/window/completer.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>

#include "platform/qt/qt_text.h"
#include "script/library_client.h"

namespace vex {

namespace {

// More would not help anyone choose; the popup shows the first ones in name order.
constexpr size_t kMostCandidates = 200;
constexpr int kVisibleRows = 10;

QString Shown(const NameEntry& e) {
    return Text(e.name) + (e.takesBracket ? QStringLiteral("(") : QString());
}

} // namespace

EntryCompleter::EntryCompleter(QLineEdit* entry, const Library& library,
                               const std::vector<std::u16string>& keywords,
                               std::u16string_view helpText)
    : QObject(entry), entry_(entry), library_(library),
      commands_(CommandEntries(keywords, helpText)) {
    connect(entry_, &QLineEdit::textEdited, this, [this] { Update(); });
    // The caret moved away from the word, or the line was replaced (history, Enter).
    connect(entry_, &QLineEdit::cursorPositionChanged, this, [this] {
        if (PopupShown()) Update();
    });
    entry_->installEventFilter(this);
    // A popup left where the window was would point at nothing.
    entry_->window()->installEventFilter(this);
}

EntryCompleter::~EntryCompleter() {
    delete popup_;
}

QTreeWidget* EntryCompleter::popup() {
    // Made when first needed: a window that never completes a name does not pay for it.
    if (popup_) return popup_;
    popup_ = new QTreeWidget;
    // A tool window never takes the focus: keys stay with the entry line.
    popup_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    popup_->setAttribute(Qt::WA_ShowWithoutActivating);
    popup_->setFocusPolicy(Qt::NoFocus);
    popup_->setColumnCount(2);
    popup_->setHeaderHidden(true);
    popup_->setRootIsDecorated(false);
    popup_->setUniformRowHeights(true);
    popup_->setSelectionMode(QAbstractItemView::SingleSelection);
    popup_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    popup_->setTextElideMode(Qt::ElideRight);
    popup_->header()->setStretchLastSection(true);
    connect(popup_, &QTreeWidget::itemClicked, this, [this] { Accept(); });
    return popup_;
}

bool EntryCompleter::PopupShown() const {
    return popup_ && popup_->isVisible();
}

QStringList EntryCompleter::Candidates() const {
    QStringList out;
    if (!popup_) return out;
    for (int i = 0; i < popup_->topLevelItemCount(); ++i)
        out << popup_->topLevelItem(i)->text(0);
    return out;
}

void EntryCompleter::Refresh() {
    if (!stale_) return;
    stale_ = false;
    std::vector<NameEntry> entries = ParseNameList(library_.NameList());
    entries.insert(entries.end(), commands_.begin(), commands_.end());
    index_.Assign(std::move(entries));
}

void EntryCompleter::Update() {
    if (accepting_) return;
    const QString text = entry_->text();
    const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()),
                                   static_cast<size_t>(text.size()));
    const TypedWord word = WordAtCaret(view, static_cast<size_t>(entry_->cursorPosition()));
    if (word.prefix.empty() || !entry_->hasFocus() || entry_->hasSelectedText()) {
        Hide();
        return;
    }
    Refresh();
    shown_ = index_.Matches(word, kMostCandidates);
    // A word typed whole has nothing left to complete.
    if (shown_.empty() || (shown_.size() == 1 && !shown_[0]->takesBracket &&
                           shown_[0]->name.size() == word.prefix.size())) {
        Hide();
        return;
    }
    popup()->setUpdatesEnabled(false);
    popup_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(shown_.size()));
    for (const NameEntry* e : shown_) {
        auto* item = new QTreeWidgetItem({Shown(*e), Text(e->description)});
        item->setToolTip(1, Text(e->description));
        items << item;
    }
    popup_->addTopLevelItems(items);
    popup_->setCurrentItem(popup_->topLevelItem(0));
    popup_->setUpdatesEnabled(true);

    // Under the word, as wide as the entry line and as tall as ten rows.
    const QFontMetrics fm(popup_->font());
    int nameWidth = 0;
    for (const NameEntry* e : shown_)
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(Shown(*e)));
    popup_->setColumnWidth(0, nameWidth + 3 * fm.averageCharWidth());
    const int rows = std::min(kVisibleRows, static_cast<int>(shown_.size()));
    const int rowHeight = std::max(popup_->sizeHintForRow(0), fm.height());
    const int width = std::max(entry_->width(), nameWidth + 24 * fm.averageCharWidth());
    const QRect caret = entry_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QPoint at =
        entry_->mapToGlobal(QPoint(std::max(caret.left() - nameWidth / 4, 0), entry_->height()));
    const int height = rows * rowHeight + 2 * popup_->frameWidth();
    if (const QScreen* screen = entry_->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + height > room.bottom())
            at.setY(entry_->mapToGlobal(QPoint(0, 0)).y() - height);
        at.setX(std::max(room.left(), std::min(at.x(), room.right() - width)));
    }
    popup_->setGeometry(at.x(), at.y(), width, height);
    popup_->show();
}

void EntryCompleter::Hide() {
    if (popup_) popup_->hide();
    shown_.clear();
}

void EntryCompleter::Accept() {
    if (!popup_) return;
    const int row = popup_->indexOfTopLevelItem(popup_->currentItem());
    if (row < 0 || static_cast<size_t>(row) >= shown_.size()) {
        Hide();
        return;
    }
    const NameEntry entry = *shown_[static_cast<size_t>(row)];
    Hide();
    const std::u16string text = Text16(entry_->text());
    const TypedWord word = WordAtCaret(text, static_cast<size_t>(entry_->cursorPosition()));
    if (word.prefix.empty()) return;
    size_t caret = 0;
    const std::u16string done = AcceptCompletion(text, word, entry, &caret);
    // One step the user can undo, as a typed word would be.
    accepting_ = true;
    entry_->setSelection(0, static_cast<int>(text.size()));
    entry_->insert(Text(done));
    entry_->setCursorPosition(static_cast<int>(caret));
    accepting_ = false;
}

bool EntryCompleter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == entry_->window() && watched != entry_) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
            event->type() == QEvent::WindowDeactivate)
            Hide();
        return false;
    }
    if (watched != entry_) return false;
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide) {
        Hide();
        return false;
    }
    if (!PopupShown()) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // While the popup shows, these keys are the popup's, not a menu's.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Return ||
            key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int count = popup_->topLevelItemCount();
    const int row = popup_->indexOfTopLevelItem(popup_->currentItem());
    const auto go = [&](int to) {
        popup_->setCurrentItem(popup_->topLevelItem(std::clamp(to, 0, count - 1)));
        return true;
    };
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Accept();
        return true;
    case Qt::Key_Escape:
        Hide();
        return true;
    case Qt::Key_Up:
        return go(row - 1);
    case Qt::Key_Down:
        return go(row + 1);
    case Qt::Key_PageUp:
        return go(row - kVisibleRows);
    case Qt::Key_PageDown:
        return go(row + kVisibleRows);
    default:
        return false;
    }
}

} // namespace vex
