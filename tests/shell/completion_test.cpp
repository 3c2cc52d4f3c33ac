// Completion without a window: the word at the caret, the index's prefix search, the
// line after a name is taken, and the name list and help read into entries.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/text.h"
#include "shell/completion.h"

namespace vex::test {
namespace {

std::string U8(std::u16string_view s) {
    return zorbit::Utf16ToUtf8(s);
}

const std::u16string kNames = u"function\tsqrt\tsquare root\r\n"
                              u"function\tsin\tsine\r\n"
                              u"function\tsinh\thyperbolic sine\r\n"
                              u"constant\t#pi\tpi = 3.14159\r\n"
                              u"constant\tpi\tpi = 3.14159\r\n"
                              u"statistics\tsum\tsum of the arguments\r\n"
                              u"operator\tmod\tremainder of a division\r\n"
                              u"variable\tspeed\t12.5\r\n"
                              u"userfunction\thyp\thyp(a; b) = sqrt(a^2+b^2)\r\n"
                              u"userfunction\tsq\tsq = x*x\r\n"
                              u"matrix\t[ma]\t2 x 2\r\n"
                              u"unknownkind\tzzz\tleft out\r\n"
                              u"broken line without tabs\r\n";

CompletionIndex Index() {
    std::vector<NameEntry> entries = ParseNameList(kNames);
    const std::vector<NameEntry> commands =
        CommandEntries({u"StoExpr", u"Show", u"Sum", u"NoHelp"},
                       u"' comment\r\nstoexpr(name) = formula\r\n  Stores.\r\n\r\n"
                       u"show(name)\r\n  Shows.\r\n\r\nsum = x\r\n\r\n");
    entries.insert(entries.end(), commands.begin(), commands.end());
    CompletionIndex index;
    index.Assign(std::move(entries));
    return index;
}

// A longer command's entry comes first: "var" must not take the line of "varpolyn".
const std::u16string_view kHelp = u"varpolyn = var\n  Sets.\n\nvar = name; value\n  Defines.\n\n"
                                  u"sdiff(x) = formula\n  Derives.\n\n";

TEST(Completion, EntriesOfTheNameListAndTheCommands) {
    std::string got;
    for (const NameEntry& n : ParseNameList(kNames))
        got += U8(n.name) + (n.takesBracket ? "(" : "") + (DefinedInRun(n.kind) ? "*" : "") + " ";
    EXPECT_EQ(got, "sqrt( sin( sinh( #pi pi sum( mod speed* hyp(* sq* [ma]* ");
    EXPECT_EQ(U8(ParseNameList(kNames)[7].description), "12.5");
    // Commands take the first line of their own help entry, or none.
    got.clear();
    for (const NameEntry& n : CommandEntries({u"Var", u"VarPolyn", u"Show"}, kHelp))
        got += U8(n.description) + "|";
    EXPECT_EQ(got, "var = name; value|varpolyn = var||");
}

TEST(Completion, HelpOfTheCommandBeingTyped) {
    const std::vector<std::u16string> keywords{u"Var", u"VarPolyn", u"Expr", u"sDiff"};
    struct Row {
        const char* name;
        std::u16string_view typed;
        const char* first; // the entry's first line, or "" for none
    } rows[] = {
        {"command_word", u"Var = a; 2", "var = name; value"},
        {"longer_command_first_in_help", u"VarPolyn = x", "varpolyn = var"},
        {"blanks_in_front", u"   var", "var = name; value"},
        {"bracket_after_word", u"sDiff(x) = x^2", "sdiff(x) = formula"},
        {"word_only_starting_as_command", u"variable = 1", ""},
        {"partial_word", u"Va", ""},
        {"command_without_entry", u"Expr = 1", ""},
        {"formula", u"2+3", ""},
        {"empty", u"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto entry = TypedCommandHelp(keywords, kHelp, row.typed);
        EXPECT_EQ(entry ? U8(entry->substr(0, entry->find(u'\n'))) : "", row.first);
    }
}

TEST(Completion, WordAtTheCaret) {
    struct Row {
        const char* name;
        std::u16string_view text;
        size_t caret;
        const char* prefix;
        size_t start, end;
        bool first;
    } rows[] = {
        {"start_of_line", u"sq", 2, "sq", 0, 2, true},
        {"after_operator", u"2*sq", 4, "sq", 2, 4, false},
        {"blanks_before_first_word", u"  Sto", 5, "Sto", 2, 5, true},
        {"middle_of_word_takes_rest", u"sqxx+1", 2, "sq", 0, 4, true},
        {"constant_hash", u"1+#p", 4, "#p", 2, 4, false},
        {"matrix_bracket", u"det([m", 6, "[m", 4, 6, false},
        {"matrix_closing_bracket_taken", u"[mz]+1", 2, "[m", 0, 4, true},
        {"bare_bracket", u"[", 1, "[", 0, 1, true},
        {"digit_start_is_number", u"2e", 2, "", 2, 2, false},
        {"exponent_digits", u"1.5e3", 5, "", 5, 5, false},
        {"after_point", u"1.e", 3, "", 3, 3, false},
        {"hex_digits", u"&fa", 3, "", 3, 3, false},
        {"after_blank", u"sqrt ", 5, "", 5, 5, false},
        {"caret_past_end", u"ab", 9, "ab", 0, 2, true},
        {"empty", u"", 0, "", 0, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TypedWord w = WordAtCaret(row.text, row.caret);
        EXPECT_EQ(U8(w.prefix), row.prefix);
        EXPECT_EQ(w.start, row.start);
        EXPECT_EQ(w.end, row.end);
        if (!w.prefix.empty()) {
            EXPECT_EQ(w.firstWord, row.first);
        }
    }
}

TEST(Completion, MatchesByPrefixWithoutCase) {
    const CompletionIndex index = Index();
    struct Row {
        const char* name;
        std::u16string_view text;
        size_t limit;
        const char* want;
    } rows[] = {
        {"prefix_in_name_order", u"1+s", 10, "sin sinh speed sq sqrt sum"},
        {"upper_case_typed", u"1+SIN", 10, "sin sinh"},
        {"limit_keeps_the_first", u"1+s", 2, "sin sinh"},
        {"commands_only_first", u"Sh", 10, "Show"},
        {"commands_not_later", u"2*Sh", 10, ""},
        {"command_and_function", u"sum", 10, "sum Sum"},
        {"constant_with_hash", u"#", 10, "#pi"},
        {"matrix", u"[", 10, "[ma]"},
        {"nothing_typed", u"1+", 10, ""},
        {"no_such_name", u"qq", 10, ""},
        {"past_every_key", u"zzzz", 10, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string got;
        for (const NameEntry* e : index.Matches(WordAtCaret(row.text, row.text.size()), row.limit))
            got += (got.empty() ? "" : " ") + U8(e->name);
        EXPECT_EQ(got, row.want);
    }
}

// "|" marks the caret, before and after.
TEST(Completion, TakingANameRewritesTheWord) {
    struct Row {
        const char* name;
        std::u16string_view text;
        NameKind kind;
        std::u16string_view entry;
        bool bracket;
        const char* want;
    } rows[] = {
        {"function_gets_bracket", u"2*sq|", NameKind::Function, u"sqrt", true, "2*sqrt(|"},
        {"bracket_not_doubled", u"sq|(4)", NameKind::Function, u"sqrt", true, "sqrt(|4)"},
        {"rest_of_word_replaced", u"sq|xx+1", NameKind::Variable, u"speed", false, "speed|+1"},
        {"matrix_closing_kept_once", u"[m|]+1", NameKind::Matrix, u"[ma]", false, "[ma]|+1"},
        {"command", u"  Sto|", NameKind::Command, u"StoExpr", false, "  StoExpr|"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const size_t at = row.text.find(u'|');
        const std::u16string text =
            std::u16string(row.text.substr(0, at)) + std::u16string(row.text.substr(at + 1));
        size_t caret = 0;
        std::u16string out =
            AcceptCompletion(text, WordAtCaret(text, at),
                             {row.kind, std::u16string(row.entry), u"", row.bracket}, &caret);
        EXPECT_EQ(U8(out.insert(std::min(caret, out.size()), u"|")), row.want);
    }
}

} // namespace
} // namespace vex::test
