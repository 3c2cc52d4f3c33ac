#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "script/file_io.h"
#include "shell/window_logic.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

std::string Show(const std::optional<std::u16string>& s) {
    return s ? "[" + U8(*s) + "]" : "nothing";
}

std::string Rect(const GadgetRect& r) {
    std::ostringstream o;
    o << r.x << "," << r.y << "," << r.w << "," << r.h;
    return o.str();
}

TEST(WindowLogic, LayoutPlacesTheGadgets) {
    struct Row {
        const char* name;
        int32_t w, h, numWidth;
        const char* want; // info, list, entry, help, expression column
    } rows[] = {
        {"start_size", 320, 395, 30, "2,2,318,18 0,24,318,315 0,341,318,22 1,365,318,30 284"},
        {"large", 800, 600, 30, "2,2,798,18 0,24,798,520 0,546,798,22 1,570,798,30 764"},
        {"wide_number_column", 801, 600, 57,
         "2,2,799,18 0,24,799,520 0,546,799,22 1,570,799,30 740"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const WindowLayout l = LayoutFor(r.w, r.h, r.numWidth);
        EXPECT_EQ(Rect(l.info) + " " + Rect(l.list) + " " + Rect(l.entry) + " " + Rect(l.help) +
                      " " + std::to_string(l.exprWidth),
                  r.want);
        EXPECT_EQ(ExprWidthFor(r.w, r.numWidth), l.exprWidth);
    }
}

TEST(WindowLogic, PlaceWindowKeepsItReachable) {
    const std::vector<GadgetRect> screens = {{0, 0, 1024, 600}, {1024, 0, 800, 600}};
    struct Row {
        const char* name;
        GadgetRect wanted;
        const char* want;
    } rows[] = {
        {"stored_place_kept", {50, 50, 320, 415}, "50,50,320,415"},
        {"on_the_second_screen", {1100, 40, 320, 415}, "1100,40,320,415"},
        {"unplugged_monitor", {3000, 50, 320, 415}, "50,50,320,415"},
        {"above_every_screen", {50, -900, 320, 415}, "50,50,320,415"},
        {"tiny_size_grows", {10, 10, 20, 30}, "10,10,200,200"},
        {"larger_than_its_screen", {0, 0, 5000, 5000}, "0,0,1024,600"},
        {"mostly_off_the_right_edge", {1750, 10, 320, 415}, "1750,10,320,415"},
        {"off_by_a_sliver", {1820, 10, 320, 415}, "50,50,320,415"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Rect(PlaceWindow(r.wanted, screens)), r.want);
    }
    EXPECT_EQ(Rect(PlaceWindow({-5, -5, 10, 10}, {})), "-5,-5,200,200");
}

TEST(WindowLogic, DecimalsAnswerTakesDigitsOnly) {
    const std::optional<int32_t> bad;
    const struct Row {
        const char* name;
        std::u16string answer;
        std::optional<int32_t> value;
    } rows[] = {
        {"digits", u"12", 12},
        {"in_parentheses", u"(6)", 6},
        {"open_only", u"(6", 6},
        {"close_only", u"6)", 6},
        {"point", u"3.", 3},
        {"empty", u"", 0},
        {"empty_parentheses", u"()", 0},
        {"double_parentheses", u"((6))", bad},
        {"minus_one", u"-1", -1},
        {"minus_one_in_parentheses", u"(-1)", -1},
        {"other_sign", u"-2", bad},
        {"minus_only", u"-", bad},
        {"past_the_range_is_the_callers", u"99", 99},
        {"blank", u" 4", bad},
        {"exponent", u"1e3", bad},
        {"letter", u"four", bad},
        {"too_large_never_wraps", u"99999999999999999999", bad},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(DecimalsAnswer(r.answer), r.value);
    }
}

TEST(WindowLogic, HelpEntryOfTheFirstWord) {
    const std::u16string help =
        u"' the header mentions var and cos\r\n\r\n"
        u"expr = formula\r\n  Evaluates it.\r\n\r\n"
        u"exprf = input\r\n  Reads it.\r\n\r\n"
        u"Hex = formula\r\n  Capitalised.\r\n\r\n"
        u"var = name; value\r\n  Defines.\r\n  Example: Var = g; 9.81\r\n\r\n"
        u"cos(x)\r\n  Cosine.\r\n\r\n"
        u"last = x\r\n  No empty line follows.\r\n";
    const std::optional<std::u16string> none;
    const struct Row {
        const char* name;
        std::u16string text;
        std::optional<std::u16string> entry;
    } rows[] = {
        {"first_word_lower_cased", u"Var = g; 9.81",
         u"var = name; value\n  Defines.\n  Example: Var = g; 9.81"},
        {"upper_case_text", u"EXPR = 2", u"expr = formula\n  Evaluates it."},
        {"longer_word", u"ExprF = in.txt", u"exprf = input\n  Reads it."},
        {"whole_first_word_is_looked_up", u"cos(x) + 1", u"cos(x)\n  Cosine."},
        {"only_at_line_start", u"mentions", none},
        {"search_is_case_sensitive", u"hex = 255", none},
        {"no_empty_line_after", u"last = 1", none},
        {"unknown", u"sin(1)", none},
        {"leading_blank", u" var = x", none},
        {"empty", u"", none},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Show(HelpEntry(help, r.text)), Show(r.entry));
    }
    EXPECT_EQ(Show(HelpEntry(u"a\n\nvar = n\n  Defines.\n\nb", u"var")), "[var = n\n  Defines.]");
}

// Every entry of the shipped command help is found from its own first line.
TEST(WindowLogic, ShippedHelpFindsEveryCommand) {
    ScriptHost host;
    std::u16string help;
    ASSERT_TRUE(ReadTextFile(host, VEX_SHOWCMDS_PATH, help));
    size_t entries = 0;
    for (size_t at = 0; at < help.size();) {
        size_t end = std::min(help.find(u"\r\n\r\n", at), help.size());
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

TEST(WindowLogic, HistoryRecallsTheEnteredLines) {
    // "+a" enters a; "^t>s" is Up with t typed, showing s; "v>s" is Down showing s; "!" is
    // nothing shown.
    const struct Row {
        const char* name;
        size_t capacity;
        std::string steps;
    } rows[] = {
        {"up_newest_first_down_back_to_typed", 9, "+a +b +c ^typ>c ^>b ^>a ^>! v>b v>c v>typ v>!"},
        {"consecutive_duplicates_once", 9, "+a +a +b +b ^>b ^>a ^>!"},
        {"repeat_after_other_line_kept", 9, "+a +b +a ^>a ^>b ^>a"},
        {"entering_restarts_from_newest", 9, "+a +b ^>b ^>a +c ^>c v>"},
        {"nothing_entered", 9, "^typ>! v>!"},
        {"down_without_up", 9, "+a v>! ^x>a v>x"},
        {"oldest_dropped_beyond_capacity", 2, "+a +b +c ^>c ^>b ^>!"},
    };
    for (const Row& r : rows) {
        EntryHistory h(r.capacity);
        std::istringstream steps(r.steps);
        for (std::string step; steps >> step;) {
            SCOPED_TRACE(std::string(r.name) + ": " + step);
            const std::u16string text = zorbit::Utf8ToUtf16(step.substr(1, step.find('>') - 1));
            const std::string shown = step.substr(step.find('>') + 1);
            if (step[0] == '+') {
                h.Add(text);
            } else {
                EXPECT_EQ(Show(step[0] == '^' ? h.Older(text) : h.Newer()),
                          shown == "!" ? "nothing" : "[" + shown + "]");
            }
        }
    }
}

} // namespace
} // namespace vex::test
