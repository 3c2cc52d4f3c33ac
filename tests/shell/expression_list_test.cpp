#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/expression_list.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

std::vector<std::string> Numbers(const ExpressionList& list) {
    std::vector<std::string> out;
    for (const ListRow& r : list.rows)
        out.push_back(U8(r.number) + "|" + U8(r.text));
    return out;
}

// An entry line's result with rows of these texts.
EntryResult Entry(std::u16string text, std::vector<std::u16string> shown) {
    EntryResult entry;
    entry.text = std::move(text);
    for (std::u16string& row : shown)
        entry.rows.emplace_back().text = std::move(row);
    return entry;
}

TEST(ExpressionList, AppendNumbersExpressionsAndIndentsResults) {
    ExpressionList list;
    list.saved = true;
    EXPECT_EQ(AppendEntry(list, Entry(u"Expr = 2+3", {u"5"})), 2u);
    EXPECT_FALSE(list.saved);
    EXPECT_EQ(AppendEntry(list, Entry(u"", {u"ignored"})), 0u);
    EXPECT_EQ(AppendEntry(list, Entry(u"Expr = [m]", {u"1  2", u"3  4"})), 3u);
    EXPECT_EQ(Numbers(list), (std::vector<std::string>{"E1|Expr = 2+3", "=|  5", "E2|Expr = [m]",
                                                       "=|  1  2", "=|  3  4"}));
    EXPECT_TRUE(HasUnsavedRows(list));

    list.saved = true;
    RemoveRows(list, {7, 9}); // nothing there: nothing changes
    EXPECT_TRUE(list.saved);
    RemoveRows(list, {3, 1, 3});
    EXPECT_EQ(Numbers(list),
              (std::vector<std::string>{"E1|Expr = 2+3", "E2|Expr = [m]", "=|  3  4"}));
    EXPECT_FALSE(list.saved);

    list.fileName = u"a.vxc";
    ClearList(list);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_TRUE(list.fileName.empty());
    EXPECT_FALSE(HasUnsavedRows(list));
    AppendEntry(list, Entry(u"Expr = 1", {}));
    EXPECT_EQ(Numbers(list), std::vector<std::string>{"E1|Expr = 1"}); // counter restarted
    list.saved = true;
    EXPECT_FALSE(HasUnsavedRows(list));
}

// E1 expression, its result, a continuation row, E2 expression and its result, a
// blank result of E3, and E4 without results.
ExpressionList Sample() {
    ExpressionList list;
    list.rows = {{u"E1", u"Expr = 2+3"}, {u"=", u"  5"},    {u"", u"  more"},
                 {u"E2", u"Expr = [m]"}, {u"=", u"  1  2"}, {u"=", u"  3  4"},
                 {u"E3", u"Expr = x"},   {u"=", u"  "},     {u"E4", u"Expr = y"}};
    return list;
}

TEST(ExpressionList, ClipboardJoinsTheSelectedRows) {
    const struct Row {
        const char* name;
        std::vector<size_t> selected;
        std::u16string text;
    } rows[] = {
        {"one_row", {0}, u"E1\tExpr = 2+3"},
        {"result_below_expression", {0, 1}, u"E1\tExpr = 2+3\n=\t  5"},
        {"empty_number_continues_selected_row_above", {1, 2}, u"=\t  5\n  more"},
        {"empty_number_alone_keeps_tab", {2}, u"\t  more"},
        {"empty_number_after_a_gap_keeps_tab", {0, 2}, u"E1\tExpr = 2+3\n\t  more"},
        {"unsorted_with_duplicates", {3, 0, 0}, u"E1\tExpr = 2+3\nE2\tExpr = [m]"},
        {"nothing_selected", {}, u""},
        {"rows_past_the_end_ignored", {8, 40}, u"E4\tExpr = y"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(U8(ClipboardText(Sample(), r.selected)), U8(r.text));
    }
}

// Copy result takes the number of the first selected row that has one; an expression
// row stands for its first result.
TEST(ExpressionList, ResultTextIsTheFirstSelectedNumber) {
    ExpressionList list;
    list.rows = {{u"E1", u"Expr = 5/2"},      {u"=", u"  2.5000", 2.5}, {u"E2", u"Expr = [m]"},
                 {u"=", u"  1  2"},           {u"=", u"  3  4"},        {u"E3", u"Expr = 6.02e23"},
                 {u"=", u"  602...", 6.02e23}};
    const struct Row {
        const char* name;
        std::vector<size_t> selected;
        std::optional<std::u16string> text;
    } rows[] = {
        {"result_row", {1}, u"2.5"},
        {"expression_row_gives_its_result", {5}, u"6.02e23"},
        {"first_selected_wins", {6, 1}, u"2.5"},
        {"matrix_rows_have_none", {2, 3, 4}, std::nullopt},
        {"a_row_without_then_one_with", {3, 6}, u"6.02e23"},
        {"nothing_selected", {}, std::nullopt},
        {"past_the_end", {40}, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(ResultText(list, r.selected), r.text);
    }
}

TEST(ExpressionList, TooltipShowsTheRowAndItsResults) {
    const struct Row {
        const char* name;
        size_t row;
        std::u16string tip;
    } rows[] = {
        {"expression_and_results", 0, u"Expr = 2+3\n    5\n    more"},
        {"matrix_rows", 3, u"Expr = [m]\n    1  2\n    3  4"},
        {"from_a_result_row", 4, u"  1  2\n    3  4"},
        {"blank_result", 7, u"   (no result to show)"},
        {"last_expression_without_results", 8, u"Expr = y"},
        {"past_the_end", 9, u""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(U8(TooltipText(Sample(), r.row)), U8(r.tip));
    }
}

} // namespace
} // namespace vex::test
