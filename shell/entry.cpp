#include "shell/entry.h"

#include <algorithm>
#include <new>

#include "common/number_text.h"
#include "common/text.h"
#include "script/batch.h"
#include "script/text_util.h"

namespace vex {

namespace {

// The first line break in the entry that would make it run cut short, or npos. The
// script behind the entry ends a line at CR (CR LF or alone), so a command may span
// lines, as the matrix window's multi-line form does; a LF without its CR would stay
// inside a line. A formula gets "Expr = " in front of its first line only, so any break
// in it would leave the rest out.
size_t CuttingBreak(std::u16string_view typed, bool command) {
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == u'\r' && command) continue;
        if (typed[i] == u'\n' && command && i > 0 && typed[i - 1] == u'\r') continue;
        if (typed[i] == u'\r' || typed[i] == u'\n') return i;
    }
    return typed.npos;
}

} // namespace

bool IsCommand(const std::vector<std::u16string>& keywords, std::u16string_view text) {
    const std::u16string padded = std::u16string(text) + u" ";
    const std::u16string word = zorbit::ToLower(
        zorbit::TrimSpaces(std::u16string_view(padded).substr(0, padded.find(u' '))));
    for (const std::u16string& k : keywords)
        if (Contains(word, zorbit::ToLower(k))) return true;
    return false;
}

std::u16string EntryText(const std::vector<std::u16string>& keywords, std::u16string_view text) {
    if (IsCommand(keywords, text)) return std::u16string(text);
    return u"Expr = " + std::u16string(text);
}

namespace {

// The non-empty lines of the rows as the report writes them, each with the row it
// starts in.
struct ShownLines {
    struct Line {
        size_t row;
        std::u16string text;
    };
    std::vector<Line> lines;
    size_t row = 0;

    void append(std::u16string_view text) {
        for (;;) {
            const size_t end = text.find_first_of(u"\r\n");
            const std::u16string_view piece = text.substr(0, end);
            if (lines.empty()) lines.push_back(Line{row, {}});
            if (!piece.empty()) {
                if (lines.back().text.empty()) lines.back().row = row;
                lines.back().text.append(piece);
            }
            if (end == text.npos) return;
            if (!lines.back().text.empty()) lines.push_back(Line{row, {}});
            text.remove_prefix(end + 1);
        }
    }
};

} // namespace

std::vector<EntryRow> EntryRows(const std::vector<ReportRow>& rows, int64_t shift) {
    // An error opens what is shown with its text; the rows before it are not shown.
    size_t from = 0;
    while (from < rows.size() && rows[from].kind != RowKind::Error)
        ++from;
    const bool cut = from < rows.size();
    ShownLines shown;
    shown.lines.reserve(rows.size() + 1);
    for (size_t k = cut ? from : 0; k < rows.size(); ++k) {
        shown.row = k;
        if (cut && k == from) {
            shown.append(rows[k].Content());
            for (uint8_t n = 0; n < rows[k].breaks; ++n)
                shown.append(kCrLf);
        } else {
            AppendRow(shown, rows[k]);
        }
    }
    std::vector<ShownLines::Line>& lines = shown.lines;
    if (!lines.empty() && lines.back().text.empty()) lines.pop_back();
    // The ends of what is shown are trimmed of blanks, tabs become four spaces.
    std::vector<EntryRow> out;
    out.reserve(lines.size());
    size_t valued = rows.size(); // the last row whose number went to a shown line
    for (size_t k = 0; k < lines.size(); ++k) {
        std::u16string_view text = lines[k].text;
        if (k == 0 && !cut) text = text.substr(std::min(text.size(), text.find_first_not_of(u' ')));
        if (k + 1 == lines.size()) text = text.substr(0, text.find_last_not_of(u' ') + 1);
        if (text.empty()) continue;
        const ReportRow& row = rows[lines[k].row];
        EntryRow& r = out.emplace_back();
        r.kind = row.kind;
        r.text.reserve(text.size());
        for (char16_t c : text) {
            if (c == u'\t')
                r.text.append(u"    ");
            else
                r.text.push_back(c);
        }
        if (row.value && lines[k].row != valued) {
            r.value = row.value;
            valued = lines[k].row;
        }
        if (row.kind == RowKind::Error) {
            r.code = row.code;
            r.module = row.module;
            if (row.position >= 0) r.position = std::max<int64_t>(0, row.position + shift);
        }
    }
    return out;
}

EntryResult RunEntryLine(ScriptHost& host, const std::vector<std::u16string>& keywords,
                         std::u16string_view line) {
    EntryResult result;
    try {
        const std::u16string_view typed = zorbit::TrimSpaces(line);
        if (typed.empty()) return result;
        result.text = EntryText(keywords, typed);
        if (const size_t at = CuttingBreak(typed, IsCommand(keywords, typed)); at != typed.npos) {
            for (char16_t& c : result.text)
                if (c == u'\r' || c == u'\n') c = u' ';
            result.error = true;
            EntryRow& refused = result.rows.emplace_back();
            refused.kind = RowKind::Failure;
            refused.text = u"ERROR: line break (" +
                           std::u16string(typed[at] == u'\r' ? u"CR" : u"LF") + u") at column " +
                           zorbit::IntText(static_cast<long long>(at + 1)) +
                           u"; the line was not run: enter its lines one at a time";
            refused.position = static_cast<int64_t>(typed.data() - line.data() + at);
            return result;
        }
        // The formula goes in whole: nothing in it is read as a switch.
        host.batch.vexResStr.clear();
        std::vector<ReportRow> rows;
        const int32_t code = vexEvalMain(host, u" /noh /nln /nt /", result.text, &rows);
        if (host.batch.outOfMemory) {
            result.outOfMemory = result.error = true;
            return result;
        }
        result.error = code != -1 || host.batch.lastErrors > 0;
        // The script starts after the quotes the batch run takes off the text as run;
        // the typed line has its blanks in front, the text as run "Expr = ".
        const int64_t quotes = static_cast<int64_t>(
            std::min(result.text.find_first_not_of(u'\''), result.text.size()));
        const int64_t prefix = static_cast<int64_t>(result.text.size() - typed.size());
        result.rows = EntryRows(rows, quotes - prefix + (typed.data() - line.data()));
    } catch (const std::bad_alloc&) {
        result.rows.clear();
        result.outOfMemory = result.error = true;
    }
    return result;
}

} // namespace vex
