#pragma once
// The main window's expression list without the window: its rows, the expression
// counter, the saved flag and the current file, and the texts built from them
// (clipboard, tooltip). The window shows these rows; tests drive them directly.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/entry.h"

namespace vex {

// One list row: "E3" and the expression, or "=" and two spaces and one result line.
struct ListRow {
    std::u16string number;
    std::u16string text;
    std::optional<double> value = std::nullopt; // a numeric result's number, whole
};

struct ExpressionList {
    std::vector<ListRow> rows;
    int32_t counter = 0;     // number shown after "E"; 0 again when a file is opened
    bool saved = false;      // true after a successful save, false after any change
    std::u16string fileName; // the list file last opened or saved
};

// Appends the expression row and its result rows; returns how many rows were added.
size_t AppendEntry(ExpressionList& list, const EntryResult& entry);
// The same rows appended to rows instead, numbered from counter (which counts on): a
// list being opened collects them and hands them to the list in batches.
void AppendEntryRows(std::vector<ListRow>& rows, int32_t& counter, const EntryResult& entry);
// The same, taking the entry's texts rather than copying them.
void AppendEntryRows(std::vector<ListRow>& rows, int32_t& counter, EntryResult&& entry);
// Removes the rows at the given indices (any order, duplicates allowed).
void RemoveRows(ExpressionList& list, std::vector<size_t> indices);
// Empties the list and starts a new one ("New file").
void ClearList(ExpressionList& list);
// True when closing or clearing would lose rows nobody saved.
bool HasUnsavedRows(const ExpressionList& list);

// The clipboard text of the selected rows: each row as its "#" text, a tab and its
// text, one row per line; a selected row with an empty "#" continues the row above.
std::u16string ClipboardText(const ExpressionList& list, std::vector<size_t> selected);
// What Copy result takes from the selected rows: the number of the first selected row
// that has one, an expression row standing for its first numeric result; as text that
// the entry line reads back (PlainNumberText). Nothing when no selected row has a number.
std::optional<std::u16string> ResultText(const ExpressionList& list, std::vector<size_t> selected);
// The tooltip of a row: its text and the results that follow it up to the next
// expression row, each on its own line after two spaces.
std::u16string TooltipText(const ExpressionList& list, size_t row);

} // namespace vex
