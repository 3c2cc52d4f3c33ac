#pragma once
// The entry line's completion popup: the names that start with the word being typed,
// each with its description. Up and Down choose, Tab or Enter take the name, Escape
// closes the popup and leaves the line as it is.

#include <QObject>
#include <string>
#include <vector>

#include "shell/completion.h"

class QLineEdit;
class QTreeWidget;

namespace vex {

class Library;

class EntryCompleter final : public QObject {
  public:
    // The names come from library (asked again after MarkStale) and the command words
    // with their help (helpText).
    EntryCompleter(QLineEdit* entry, const Library& library,
                   const std::vector<std::u16string>& keywords, std::u16string_view helpText);
    ~EntryCompleter() override;

    // The run defined or dropped names: the list is read again when next needed.
    void MarkStale() { stale_ = true; }
    QTreeWidget* popup();
    bool PopupShown() const;
    // The candidates shown, as they read in the popup's first column.
    QStringList Candidates() const;
    // Looks at the word before the caret and shows, refills or hides the popup.
    void Update();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Refresh();
    void Accept();
    void Hide();

    QLineEdit* entry_;
    const Library& library_;
    std::vector<NameEntry> commands_;
    CompletionIndex index_;
    std::vector<const NameEntry*> shown_;
    QTreeWidget* popup_ = nullptr;
    bool stale_ = true;
    bool accepting_ = false;
};

} // namespace vex
