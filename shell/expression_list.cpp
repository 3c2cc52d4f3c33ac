#include "shell/expression_list.h"

#include <algorithm>
#include <utility>

#include "common/number_text.h"

namespace vex {

size_t AppendEntry(ExpressionList& list, const EntryResult& entry) {
    if (entry.text.empty()) return 0;
    const size_t before = list.rows.size();
    AppendEntryRows(list.rows, list.counter, entry);
    list.saved = false;
    return list.rows.size() - before;
}

void AppendEntryRows(std::vector<ListRow>& rows, int32_t& counter, const EntryResult& entry) {
    AppendEntryRows(rows, counter, EntryResult(entry));
}

void AppendEntryRows(std::vector<ListRow>& rows, int32_t& counter, EntryResult&& entry) {
    if (entry.text.empty()) return;
    rows.push_back({u"E" + zorbit::IntText(++counter), std::move(entry.text)});
    for (const EntryRow& row : entry.rows)
        rows.push_back({u"=", u"  " + row.text, row.value});
}

void RemoveRows(ExpressionList& list, std::vector<size_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    size_t next = 0, out = 0;
    for (size_t k = 0; k < list.rows.size(); ++k) {
        if (next < indices.size() && indices[next] == k) {
            ++next;
            continue;
        }
        if (out != k) list.rows[out] = std::move(list.rows[k]);
        ++out;
    }
    if (out == list.rows.size()) return;
    list.rows.resize(out);
    list.saved = false;
}

void ClearList(ExpressionList& list) {
    list.rows.clear();
    list.counter = 0;
    list.saved = false;
    list.fileName.clear();
}

bool HasUnsavedRows(const ExpressionList& list) {
    return !list.saved && !list.rows.empty();
}

std::u16string ClipboardText(const ExpressionList& list, std::vector<size_t> selected) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    std::u16string text;
    for (size_t k = 0; k < selected.size(); ++k) {
        const size_t row = selected[k];
        if (row >= list.rows.size()) break;
        if (!text.empty()) text += u'\n';
        const ListRow& r = list.rows[row];
        const bool continuation = k > 0 && selected[k - 1] + 1 == row && r.number.empty();
        if (!continuation) text += r.number + u'\t';
        text += r.text;
    }
    return text;
}

std::optional<std::u16string> ResultText(const ExpressionList& list, std::vector<size_t> selected) {
    std::sort(selected.begin(), selected.end());
    for (const size_t row : selected) {
        if (row >= list.rows.size()) break;
        // An expression row's results follow it up to the next expression.
        for (size_t k = row; k < list.rows.size(); ++k) {
            const ListRow& r = list.rows[k];
            if (k > row && !r.number.empty() && r.number.front() == u'E') break;
            if (r.value) return zorbit::PlainNumberText(*r.value);
            if (!r.number.empty() && r.number.front() != u'E') break; // a result without one
        }
    }
    return std::nullopt;
}

std::u16string TooltipText(const ExpressionList& list, size_t row) {
    if (row >= list.rows.size()) return {};
    std::u16string tip = list.rows[row].text;
    for (size_t k = row + 1; k < list.rows.size(); ++k) {
        if (!list.rows[k].number.empty() && list.rows[k].number.front() == u'E') break;
        tip += u"\n  " + list.rows[k].text;
    }
    const bool blank = tip.size() <= 2 || tip.find_first_not_of(u" \t\n", 2) == tip.npos;
    return blank ? std::u16string(u"   (no result to show)") : tip;
}

} // namespace vex
