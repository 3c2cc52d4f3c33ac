#include "shell/entry.h"

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

std::u16string CleanEntryOutput(std::u16string_view report) {
    const std::u16string_view trimmed = zorbit::TrimSpaces(StripLineEnds(report));
    std::u16string out;
    out.reserve(trimmed.size());
    for (char16_t c : trimmed) {
        if (c == u'\t')
            out.append(u"    ");
        else
            out.push_back(c);
    }
    const size_t arrow = out.find(u"===>");
    if (arrow != out.npos && Contains(out, u"ERROR")) out.erase(0, std::min(out.size(), arrow + 5));
    return out;
}

std::vector<std::u16string> ResultLines(std::u16string_view cleaned) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= cleaned.size()) {
        size_t end = cleaned.find_first_of(u"\r\n", start);
        if (end == cleaned.npos) end = cleaned.size();
        if (end > start) lines.emplace_back(cleaned.substr(start, end - start));
        start = end + 1;
    }
    return lines;
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
            result.lines = {u"ERROR: line break (" +
                            std::u16string(typed[at] == u'\r' ? u"CR" : u"LF") + u") at column " +
                            zorbit::IntText(static_cast<long long>(at + 1)) +
                            u"; the line was not run: enter its lines one at a time"};
            return result;
        }
        // The formula goes in whole: nothing in it is read as a switch.
        host.batch.vexResStr.clear();
        const int32_t code = vexEvalMain(host, u" /noh /nln /nt /", result.text);
        if (host.batch.outOfMemory) {
            result.outOfMemory = result.error = true;
            return result;
        }
        result.error = code != -1 || host.batch.lastErrors > 0;
        result.lines = ResultLines(CleanEntryOutput(host.batch.vexResStr));
    } catch (const std::bad_alloc&) {
        result.lines.clear();
        result.outOfMemory = result.error = true;
    }
    return result;
}

} // namespace vex
