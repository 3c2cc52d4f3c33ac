// The entry line's scanner against the library's own tokenizer: the same token
// boundaries on every row, and the kinds the colours are chosen by.

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "engine/tokenizer.h"
#include "shell/syntax_scan.h"

namespace vex::test {
namespace {

// "start-end" of each token, a matrix suffix included.
std::string Boundaries(const std::vector<SyntaxToken>& tokens) {
    std::string out;
    for (const SyntaxToken& t : tokens)
        out += std::to_string(t.start) + "-" + std::to_string(t.end) + " ";
    return out;
}

std::string EngineBoundaries(std::u16string_view s) {
    std::string out;
    for (size_t pos = 0;;) {
        const zorbit::Lexeme t = zorbit::ScanToken(s, pos);
        if (t.type == zorbit::Tok::End) break;
        out += std::to_string(t.start) + "-" + std::to_string(t.end) + " ";
        pos = t.end;
    }
    return out;
}

// Number, name, function, matrix, operator, bracket.
char KindLetter(SyntaxKind k) {
    return "nvfmob"[static_cast<size_t>(k)];
}

struct Row {
    const char* name;
    std::u16string_view text;
    const char* kinds; // one letter per token
};

const Row kRows[] = {
    {"sum", u"2+3", "non"},
    {"blanks_and_tabs", u"  2 +\t3\r\n", "non"},
    {"function_call", u"SIN(X)", "fbvb"},
    {"blank_before_bracket", u"sqrt (4)", "fbnb"},
    {"exponents", u"1e5 6.02E23 2.5e-3 1E+10 .5e3", "nnnnn"},
    {"e_without_digits_is_a_name", u"2e-x", "nvov"},
    {"two_points", u"1..5+1", "non"},
    {"hex_binary_constant", u"&FF+!101*#pi", "nonon"},
    {"matrix_and_suffixes", u"[mA]T*[b]I+[c]D-[d]x", "momomomv"},
    {"matrix_never_closed", u"det([mA", "fbm"},
    {"brackets_inside_matrix", u"[a(1)]+(2)", "mobnb"},
    {"compare_operators", u"a<=b<>c>=d>>e<f", "vovovovovov"},
    {"word_operators", u"5 mod 3 AND not x or y", "nonoovov"},
    {"names_with_digits", u"x1_2*_y", "vov"},
    {"command_line", u"Var = g; 9.81", "vovon"},
    {"unicode_and_strays", u"2\u00b7$3", "noon"},
    {"empty", u"", ""},
    {"only_blanks", u" \t ", ""},
};

TEST(SyntaxScan, TokensEndWhereTheLibrarysTokenizerEndsThem) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::vector<SyntaxToken> tokens = ScanSyntax(row.text);
        EXPECT_EQ(Boundaries(tokens), EngineBoundaries(row.text));
        std::string kinds;
        for (const SyntaxToken& t : tokens)
            kinds += KindLetter(t.kind);
        EXPECT_EQ(kinds, row.kinds);
    }
}

TEST(SyntaxScan, BracketsPairInnermostFirst) {
    struct BracketRow {
        const char* name;
        std::u16string_view text;
        const char* partners; // per bracket, the partner's offset or -
    } rows[] = {
        {"nested", u"(1+(2))", "6 5 3 0 "},
        {"sequence", u"f(1)*g(2)", "3 1 8 6 "},
        {"open_left", u"2*(1+(3)", "- 7 5 "},
        {"close_extra", u"1)+(2)", "- 5 3 "},
        {"inside_matrix_ignored", u"([a(1)])", "7 0 "},
        {"none", u"1+2", ""},
    };
    for (const BracketRow& row : rows) {
        SCOPED_TRACE(row.name);
        const BracketPairs pairs = MatchBrackets(row.text, ScanSyntax(row.text));
        std::string got;
        for (int64_t p : pairs.partner)
            got += (p < 0 ? std::string("-") : std::to_string(p)) + " ";
        EXPECT_EQ(got, row.partners);
    }
}

TEST(SyntaxScan, TheCaretTouchesTheBracketBeforeItFirst) {
    struct CaretRow {
        const char* name;
        std::u16string_view text;
        size_t caret;
        int64_t bracket;
    } rows[] = {
        {"after_close", u"(1)", 3, 2},
        {"before_open", u"(1)", 0, 0},
        {"between_prefers_before", u")(", 1, 0},
        {"inside_no_bracket", u"(12)", 2, -1},
        {"empty", u"", 0, -1},
        {"caret_past_end", u"(", 5, -1},
    };
    for (const CaretRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BracketAtCaret(row.text, row.caret), row.bracket);
    }
}

// Every prefix of a long mixed formula splits as the library splits it: a key typed
// at a time never leaves the two apart.
TEST(SyntaxScan, EveryPrefixAgrees) {
    const std::u16string text =
        u"Expr = sin(2.5e-3)*[mA]T + &1F mod !10 <= #e^(x1 - .5)) >> max(1;2;3) (";
    for (size_t n = 0; n <= text.size(); ++n) {
        const std::u16string_view prefix(text.data(), n);
        ASSERT_EQ(Boundaries(ScanSyntax(prefix)), EngineBoundaries(prefix)) << n;
    }
}

} // namespace
} // namespace vex::test
