#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "shell/list_file.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

std::vector<std::string> AsUtf8(const std::vector<std::u16string>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts)
        out.push_back(U8(t));
    return out;
}

TEST(FormatListFile, TwoLinesPerRowWithoutEmptyRows) {
    const std::vector<ListRow> rows = {
        {u"E1", u"Expr = 2+3"}, {u"", u""}, {u"=", u"  5"}, {u"E2", u"Expr = \u221A2"}};
    EXPECT_EQ(FormatListFile(rows),
              "Columns: 1\r\nE1\nExpr = 2+3\r\n=\n  5\r\nE2\nExpr = \xE2\x88\x9A"
              "2\r\n");
    EXPECT_EQ(FormatListFile({}), "Columns: 1\r\n");
}

TEST(ListFileExpressions, KeepsTheLineAfterEachExpressionNumber) {
    const struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::string> expressions; // UTF-8
    } rows[] = {
        {"written_example", "Columns: 1\r\nE1\nExpr = 2+3\r\n=\n  5\r\n", {"Expr = 2+3"}},
        // Every expression line begins with "E" too: it must not count as a number line.
        {"expressions_beginning_with_e",
         "Columns: 1\r\nE1\nExpr = 1\r\nE2\nExpr = E2\r\n",
         {"Expr = 1", "Expr = E2"}},
        {"error_lines_skipped",
         "Columns: 1\r\nERR\n  bad\r\nERROR 3\r\nE7\nExpr = 7\r\n",
         {"Expr = 7"}},
        {"utf8_byte_order_mark",
         "\xEF\xBB\xBF"
         "Columns: 1\r\nE1\nExpr = \xC3\xA4\r\n",
         {"Expr = \xC3\xA4"}},
        {"latin1_bytes",
         "Columns: 1\r\nE1\nExpr = 3\xB0 + \xE4\r\n",
         {"Expr = 3\xC2\xB0 + \xC3\xA4"}},
        {"line_feeds_only",
         "Columns: 1\nE1\nExpr = 1\n=\n  1\nE2\nExpr = 2\n",
         {"Expr = 1", "Expr = 2"}},
        {"no_final_line_break", "Columns: 1\r\nE1\nExpr = 1", {"Expr = 1"}},
        {"number_on_last_line", "Columns: 1\r\nE1\nExpr = 1\r\nE2", {"Expr = 1"}},
        {"header_only", "Columns: 1\r\n", {}},
        {"empty_file", "", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(AsUtf8(ListFileExpressions(r.bytes)), r.expressions);
    }
}

class ListFileOnDisk : public TempDirTest {};

TEST_F(ListFileOnDisk, RowsComeBackAsTheirExpressions) {
    const std::vector<ListRow> rows = {{u"E1", u"Expr = \u221A2 + \u03C0"},
                                       {u"=", u"  4.5558"},
                                       {u"E2", u"Expr = \u00C4rger \u20AC \U0001D400"},
                                       {u"=", u"  ERROR: none"}};
    const std::string path = Path("list.vxc");
    Put(path, "an older and much longer file that the save replaces");
    std::string error;
    ASSERT_TRUE(WriteListFile(path, rows, error)) << error;
    EXPECT_EQ(Slurp(path), FormatListFile(rows));
    std::vector<std::u16string> expressions;
    ASSERT_TRUE(ReadListFile(path, expressions, error)) << error;
    EXPECT_EQ(AsUtf8(expressions), AsUtf8({rows[0].text, rows[2].text}));
}

TEST_F(ListFileOnDisk, FailuresChangeNothing) {
    Put(dir / "plain", "old");
    Put(dir / "huge.vxc", "");
    ASSERT_EQ(truncate(Path("huge.vxc").c_str(), off_t(kMaxListFileBytes) + 1), 0); // sparse
    for (const char* name : {"missing.vxc", "huge.vxc", "."}) {
        SCOPED_TRACE(name);
        std::vector<std::u16string> expressions = {u"kept"};
        std::string error;
        EXPECT_FALSE(ReadListFile(Path(name), expressions, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(expressions, std::vector<std::u16string>{u"kept"});
    }
    std::string error;
    EXPECT_FALSE(WriteListFile(Path("plain/list.vxc"), {{u"E1", u"Expr = 1"}}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(dir / "plain"), "old");
}

} // namespace
} // namespace vex::test
