#include "shell/completion.h"

#include <algorithm>
#include <unordered_map>

#include "common/text.h"
#include "shell/entry.h"
#include "shell/window_logic.h"

namespace vex {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Calls visit(fields...) for each "a\tb\tc" line of a CR LF list.
template <typename Visit> void ForEachLine(std::u16string_view list, Visit visit) {
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(u'\n', start);
        if (end == std::u16string_view::npos) end = list.size();
        std::u16string_view line = list.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        start = end + 1;
        const size_t a = line.find(u'\t');
        const size_t b = a == line.npos ? a : line.find(u'\t', a + 1);
        if (b == line.npos) continue;
        visit(line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1));
    }
}

} // namespace

std::vector<NameEntry> ParseNameList(std::u16string_view list) {
    std::vector<NameEntry> out;
    ForEachLine(list, [&](std::u16string_view kind, std::u16string_view name,
                          std::u16string_view description) {
        if (name.empty()) return;
        NameEntry e;
        if (kind == u"function" || kind == u"statistics" || kind == u"matrixfunction") {
            e.kind = NameKind::Function;
            e.takesBracket = true;
        } else if (kind == u"constant") {
            e.kind = NameKind::Constant;
        } else if (kind == u"operator") {
            e.kind = NameKind::Operator;
        } else if (kind == u"variable") {
            e.kind = NameKind::Variable;
        } else if (kind == u"userfunction") {
            e.kind = NameKind::UserFunction;
            // "name(a; b) = body": called with arguments; "name = body" stands alone.
            e.takesBracket = description.size() > name.size() && description[name.size()] == u'(';
        } else if (kind == u"matrix") {
            e.kind = NameKind::Matrix;
        } else {
            return;
        }
        e.name = name;
        e.description = description;
        out.push_back(std::move(e));
    });
    return out;
}

std::vector<NameEntry> CommandEntries(const std::vector<std::u16string>& keywords,
                                      std::u16string_view helpText) {
    // An entry starts at a line that opens with its command word, in lower case.
    std::unordered_map<std::u16string, std::u16string_view> firstLines;
    size_t start = 0;
    while (start < helpText.size()) {
        size_t end = helpText.find(u'\n', start);
        if (end == helpText.npos) end = helpText.size();
        std::u16string_view line = helpText.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        start = end + 1;
        size_t word = 0;
        while (word < line.size() && zorbit::IsIdentChar(line[word]))
            ++word;
        if (word > 0) firstLines.emplace(std::u16string(line.substr(0, word)), line);
    }
    std::vector<NameEntry> out;
    out.reserve(keywords.size());
    for (const std::u16string& k : keywords) {
        NameEntry e;
        e.kind = NameKind::Command;
        e.name = k;
        if (const auto found = firstLines.find(zorbit::ToLower(k)); found != firstLines.end())
            e.description = found->second;
        out.push_back(std::move(e));
    }
    return out;
}

TypedWord WordAtCaret(std::u16string_view text, size_t caret) {
    TypedWord w;
    caret = std::min(caret, text.size());
    w.start = w.end = caret;
    size_t start = caret;
    while (start > 0 && zorbit::IsIdentChar(text[start - 1]))
        --start;
    // A name never starts with a digit: this is a number ("2e", "1.5e3").
    if (start < caret && IsDigit(text[start])) return w;
    if (start > 0 && (text[start - 1] == u'#' || text[start - 1] == u'[')) {
        --start;
    } else if (start > 0 && (text[start - 1] == u'&' || text[start - 1] == u'.')) {
        return w; // a hexadecimal number, or the digits after a point
    }
    if (start == caret) return w;
    size_t end = caret;
    while (end < text.size() && zorbit::IsIdentChar(text[end]))
        ++end;
    if (text[start] == u'[' && end < text.size() && text[end] == u']') ++end;
    w.start = start;
    w.end = end;
    w.prefix = text.substr(start, caret - start);
    w.firstWord = zorbit::TrimBlanks(text.substr(0, start)).empty();
    return w;
}

void CompletionIndex::Assign(std::vector<NameEntry> entries) {
    std::vector<std::u16string> keys;
    keys.reserve(entries.size());
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        keys.push_back(zorbit::ToLower(entries[i].name));
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    entries_.clear();
    keys_.clear();
    entries_.reserve(order.size());
    keys_.reserve(order.size());
    for (size_t i : order) {
        entries_.push_back(std::move(entries[i]));
        keys_.push_back(std::move(keys[i]));
    }
}

std::vector<const NameEntry*> CompletionIndex::Matches(const TypedWord& word, size_t limit) const {
    std::vector<const NameEntry*> out;
    if (word.prefix.empty()) return out;
    const std::u16string key = zorbit::ToLower(word.prefix);
    for (auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
         it != keys_.end() && out.size() < limit && it->starts_with(key); ++it) {
        const NameEntry& e = entries_[static_cast<size_t>(it - keys_.begin())];
        if (e.kind == NameKind::Command && !word.firstWord) continue;
        // The same name twice (a command word that is also a function): shown once.
        if (!out.empty() && zorbit::EqualsNoCase(out.back()->name, e.name) &&
            out.back()->kind == e.kind)
            continue;
        out.push_back(&e);
    }
    return out;
}

std::optional<std::u16string> TypedCommandHelp(const std::vector<std::u16string>& keywords,
                                               std::u16string_view helpText,
                                               std::u16string_view typed) {
    const std::u16string_view trimmed = zorbit::TrimSpaces(typed);
    size_t word = 0;
    while (word < trimmed.size() && zorbit::IsIdentChar(trimmed[word]))
        ++word;
    if (word == 0 || !IsCommand(keywords, trimmed)) return std::nullopt;
    // The entry that starts a line with this very word, not with a longer one.
    const std::u16string lower = zorbit::ToLower(trimmed.substr(0, word));
    for (size_t at = helpText.find(lower); at != helpText.npos; at = helpText.find(lower, at + 1)) {
        const size_t end = at + lower.size();
        if ((at == 0 || helpText[at - 1] == u'\n') &&
            (end == helpText.size() || !zorbit::IsIdentChar(helpText[end])))
            return HelpEntry(helpText.substr(at), lower);
    }
    return std::nullopt;
}

std::u16string AcceptCompletion(std::u16string_view text, const TypedWord& word,
                                const NameEntry& entry, size_t* caret) {
    std::u16string out(text.substr(0, word.start));
    out += entry.name;
    size_t at = out.size();
    const std::u16string_view rest = text.substr(std::min(word.end, text.size()));
    if (entry.takesBracket) {
        if (rest.empty() || rest.front() != u'(') out += u'(';
        at = out.size() + (rest.empty() || rest.front() != u'(' ? 0 : 1);
    }
    out += rest;
    if (caret) *caret = at;
    return out;
}

} // namespace vex
