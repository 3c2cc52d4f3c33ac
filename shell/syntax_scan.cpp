#include "shell/syntax_scan.h"

#include "common/text.h"

namespace vex {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The words the engine reads as operators rather than names.
bool IsOperatorWord(std::u16string_view lower) {
    for (std::u16string_view w : {u"and", u"or", u"xor", u"not", u"eqv", u"imp", u"mod"})
        if (lower == w) return true;
    return false;
}

} // namespace

std::vector<SyntaxToken> ScanSyntax(std::u16string_view s) {
    std::vector<SyntaxToken> out;
    const size_t n = s.size();
    size_t i = 0;
    for (;;) {
        while (i < n && IsBlank(s[i]))
            ++i;
        if (i >= n) break;
        const char16_t c = zorbit::LowerChar(s[i]);
        size_t j = i + 1;
        SyntaxKind kind = SyntaxKind::Operator;
        if (c == u'[') {
            kind = SyntaxKind::Matrix;
            while (j < n && s[j] != u']')
                ++j;
            if (j < n) ++j;
            if (j < n && s[j - 1] == u']') {
                const char16_t u = zorbit::UpperChar(s[j]);
                if (u == u'I' || u == u'T' || u == u'D') ++j;
            }
        } else if (c == u'#' || c == u'&') {
            kind = SyntaxKind::Number;
            while (j < n && zorbit::IsIdentChar(s[j]))
                ++j;
        } else if (c == u'!') {
            kind = SyntaxKind::Number;
            while (j < n && IsDigit(s[j]))
                ++j;
        } else if (IsDigit(c) || c == u'.') {
            kind = SyntaxKind::Number;
            bool digits = c != u'.';
            for (; j < n && (IsDigit(s[j]) || s[j] == u'.'); ++j)
                digits = digits || s[j] != u'.';
            if (digits && j < n && (s[j] == u'e' || s[j] == u'E')) {
                size_t k = j + 1;
                if (k < n && (s[k] == u'+' || s[k] == u'-')) ++k;
                if (k < n && IsDigit(s[k])) {
                    while (k < n && IsDigit(s[k]))
                        ++k;
                    j = k;
                }
            }
        } else if ((c >= u'a' && c <= u'z') || c == u'_') {
            while (j < n && zorbit::IsIdentChar(s[j]))
                ++j;
            size_t k = j;
            while (k < n && IsBlank(s[k]))
                ++k;
            if (k < n && s[k] == u'(')
                kind = SyntaxKind::Function;
            else if (j - i <= 3 && IsOperatorWord(zorbit::ToLower(s.substr(i, j - i))))
                kind = SyntaxKind::Operator;
            else
                kind = SyntaxKind::Name;
        } else if (c == u'<' || c == u'>') {
            if (j < n && (s[j] == u'=' || s[j] == u'>')) ++j;
        } else if (c == u'(' || c == u')') {
            kind = SyntaxKind::Bracket;
        }
        out.push_back({i, j, kind});
        i = j;
    }
    return out;
}

BracketPairs MatchBrackets(std::u16string_view text, const std::vector<SyntaxToken>& tokens) {
    BracketPairs pairs;
    std::vector<size_t> open; // indices into pairs.at
    for (const SyntaxToken& t : tokens) {
        if (t.kind != SyntaxKind::Bracket) continue;
        const size_t index = pairs.at.size();
        pairs.at.push_back(t.start);
        pairs.partner.push_back(-1);
        if (text[t.start] == u'(') {
            open.push_back(index);
        } else if (!open.empty()) {
            const size_t o = open.back();
            open.pop_back();
            pairs.partner[o] = static_cast<int64_t>(t.start);
            pairs.partner[index] = static_cast<int64_t>(pairs.at[o]);
        }
    }
    return pairs;
}

int64_t BracketAtCaret(std::u16string_view text, size_t caret) {
    const auto bracket = [&](size_t at) { return text[at] == u'(' || text[at] == u')'; };
    if (caret > 0 && caret <= text.size() && bracket(caret - 1))
        return static_cast<int64_t>(caret - 1);
    if (caret < text.size() && bracket(caret)) return static_cast<int64_t>(caret);
    return -1;
}

} // namespace vex
