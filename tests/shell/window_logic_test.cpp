#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "script/file_io.h"
#include "shell/window_logic.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

std::string Show(const std::optional<std::u16string>& s) {
    return s ? "[" + U8(*s) + "]" : "nothing";
}

struct LayoutRow {
    const char* name;
    int32_t w, h, numWidth;
    WindowLayout want;
};

class Layout : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(Layout, PlacesTheGadgets) {
    const LayoutRow& r = GetParam();
    const WindowLayout l = LayoutFor(r.w, r.h, r.numWidth);
    EXPECT_EQ(l.info, r.want.info);
    EXPECT_EQ(l.list, r.want.list);
    EXPECT_EQ(l.entry, r.want.entry);
    EXPECT_EQ(l.help, r.want.help);
    EXPECT_EQ(l.exprWidth, r.want.exprWidth);
    EXPECT_EQ(ExprWidthFor(r.w, r.numWidth), r.want.exprWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Layout,
    ::testing::Values(
        LayoutRow{"start_size",
                  320,
                  395,
                  30,
                  {{2, 2, 318, 18}, {0, 24, 318, 315}, {0, 341, 318, 22}, {1, 365, 318, 30}, 284}},
        LayoutRow{"large",
                  800,
                  600,
                  30,
                  {{2, 2, 798, 18}, {0, 24, 798, 520}, {0, 546, 798, 22}, {1, 570, 798, 30}, 764}},
        LayoutRow{"wide_number_column",
                  801,
                  600,
                  57,
                  {{2, 2, 799, 18}, {0, 24, 799, 520}, {0, 546, 799, 22}, {1, 570, 799, 30}, 740}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecimalsRow {
    const char* name;
    std::u16string answer;
    std::optional<int32_t> value;
};

class Decimals : public ::testing::TestWithParam<DecimalsRow> {};

TEST_P(Decimals, ReadsTheAnswer) {
    EXPECT_EQ(DecimalsAnswer(GetParam().answer), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Decimals,
    ::testing::Values(DecimalsRow{"digits", u"12", 12}, DecimalsRow{"in_parentheses", u"(6)", 6},
                      DecimalsRow{"open_only", u"(6", 6}, DecimalsRow{"close_only", u"6)", 6},
                      DecimalsRow{"point", u"3.", 3}, DecimalsRow{"empty", u"", 0},
                      DecimalsRow{"empty_parentheses", u"()", 0},
                      DecimalsRow{"double_parentheses", u"((6))", std::nullopt},
                      DecimalsRow{"sign", u"-1", std::nullopt},
                      DecimalsRow{"blank", u" 4", std::nullopt},
                      DecimalsRow{"exponent", u"1e3", std::nullopt},
                      DecimalsRow{"letter", u"four", std::nullopt},
                      DecimalsRow{"too_large_never_wraps", u"99999999999999999999", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

const std::u16string kHelp =
    u"' the header mentions var and cos\r\n\r\n"
    u"expr = formula\r\n  Evaluates it.\r\n\r\n"
    u"exprf = input\r\n  Reads it.\r\n\r\n"
    u"Hex = formula\r\n  Capitalised.\r\n\r\n"
    u"var = name; value\r\n  Defines a variable.\r\n  Example: Var = g; 9.81\r\n\r\n"
    u"cos(x)\r\n  Cosine.\r\n\r\n"
    u"last = x\r\n  No empty line follows.\r\n";

struct HelpRow {
    const char* name;
    std::u16string help, text;
    std::optional<std::u16string> entry;
};

class Help : public ::testing::TestWithParam<HelpRow> {};

TEST_P(Help, FindsTheEntryOfTheFirstWord) {
    EXPECT_EQ(Show(HelpEntry(GetParam().help, GetParam().text)), Show(GetParam().entry));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Help,
    ::testing::Values(
        HelpRow{"first_word_lower_cased", kHelp, u"Var = g; 9.81",
                u"var = name; value\n  Defines a variable.\n  Example: Var = g; 9.81"},
        HelpRow{"upper_case_text", kHelp, u"EXPR = 2", u"expr = formula\n  Evaluates it."},
        HelpRow{"longer_word", kHelp, u"ExprF = in.txt", u"exprf = input\n  Reads it."},
        HelpRow{"whole_first_word_is_looked_up", kHelp, u"cos(x) + 1", u"cos(x)\n  Cosine."},
        HelpRow{"only_at_line_start", kHelp, u"mentions", std::nullopt},
        HelpRow{"search_is_case_sensitive", kHelp, u"hex = 255", std::nullopt},
        HelpRow{"no_empty_line_after", kHelp, u"last = 1", std::nullopt},
        HelpRow{"unknown", kHelp, u"sin(1)", std::nullopt},
        HelpRow{"leading_blank", kHelp, u" var = x", std::nullopt},
        HelpRow{"empty", kHelp, u"", std::nullopt},
        HelpRow{"line_feeds_only", u"a\n\nvar = n\n  Defines.\n\nb", u"var",
                u"var = n\n  Defines."}),
    [](const auto& info) { return std::string(info.param.name); });

// Every entry of the shipped command help is found from its own first line.
TEST(HelpEntry, ShippedHelpFindsEveryCommand) {
    ScriptHost host;
    std::u16string help;
    ASSERT_TRUE(ReadTextFile(host, VEX_SHOWCMDS_PATH, help));
    size_t entries = 0;
    for (size_t at = 0; at < help.size();) {
        size_t end = help.find(u"\r\n\r\n", at);
        if (end == help.npos) end = help.size();
        std::u16string entry;
        for (char16_t c : help.substr(at, end - at))
            if (c != u'\r') entry.push_back(c);
        at = end + 4;
        if (entry.empty() || entry.front() == u'\'') continue;
        ++entries;
        EXPECT_EQ(Show(HelpEntry(help, entry.substr(0, entry.find(u'\n')))), Show(entry));
    }
    EXPECT_GT(entries, 10u);
}

struct HistoryStep {
    HistoryStep(char k, std::u16string t, std::optional<std::u16string> s = std::nullopt)
        : key(k), text(std::move(t)), shown(std::move(s)) {}
    char key;                            // '+' enters text, '^' is Up with text typed, 'v' is Down
    std::u16string text;                 // entered or typed
    std::optional<std::u16string> shown; // what Up or Down brings back
};

struct HistoryRow {
    HistoryRow(const char* n, std::vector<HistoryStep> s, size_t c = 1000)
        : name(n), steps(std::move(s)), capacity(c) {}
    const char* name;
    std::vector<HistoryStep> steps;
    size_t capacity;
};

class History : public ::testing::TestWithParam<HistoryRow> {};

TEST_P(History, RecallsTheEnteredLines) {
    EntryHistory h(GetParam().capacity);
    int n = 0;
    for (const HistoryStep& s : GetParam().steps) {
        SCOPED_TRACE("step " + std::to_string(++n));
        if (s.key == '+') {
            h.Add(s.text);
        } else {
            EXPECT_EQ(Show(s.key == '^' ? h.Older(s.text) : h.Newer()), Show(s.shown));
        }
    }
}

const std::nullopt_t no = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Rows, History,
    ::testing::Values(HistoryRow{"up_newest_first_down_back_to_typed",
                                 {{'+', u"a"},
                                  {'+', u"b"},
                                  {'+', u"c"},
                                  {'^', u"typ", u"c"},
                                  {'^', u"c", u"b"},
                                  {'^', u"b", u"a"},
                                  {'^', u"a", no},
                                  {'v', u"", u"b"},
                                  {'v', u"", u"c"},
                                  {'v', u"", u"typ"},
                                  {'v', u"", no}}},
                      HistoryRow{"consecutive_duplicates_once",
                                 {{'+', u"a"},
                                  {'+', u"a"},
                                  {'+', u"b"},
                                  {'+', u"b"},
                                  {'^', u"", u"b"},
                                  {'^', u"", u"a"},
                                  {'^', u"", no}}},
                      HistoryRow{"repeat_after_other_line_kept",
                                 {{'+', u"a"},
                                  {'+', u"b"},
                                  {'+', u"a"},
                                  {'^', u"", u"a"},
                                  {'^', u"", u"b"},
                                  {'^', u"", u"a"}}},
                      HistoryRow{"entering_restarts_from_newest",
                                 {{'+', u"a"},
                                  {'+', u"b"},
                                  {'^', u"", u"b"},
                                  {'^', u"", u"a"},
                                  {'+', u"c"},
                                  {'^', u"", u"c"},
                                  {'v', u"", u""}}},
                      HistoryRow{"nothing_entered", {{'^', u"typ", no}, {'v', u"", no}}},
                      HistoryRow{"down_without_up",
                                 {{'+', u"a"}, {'v', u"", no}, {'^', u"x", u"a"}}},
                      HistoryRow{"oldest_dropped_beyond_capacity",
                                 {{'+', u"a"},
                                  {'+', u"b"},
                                  {'+', u"c"},
                                  {'^', u"", u"c"},
                                  {'^', u"", u"b"},
                                  {'^', u"", no}},
                                 2}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
