#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

std::vector<std::string> AsUtf8(const ListExpressions& expressions) {
    std::vector<std::string> out;
    for (size_t k = 0; k < expressions.size(); ++k)
        out.push_back(U8(expressions[k]));
    return out;
}

// UTF-16 bytes of UTF-8 text, with the byte-order mark first.
std::string Utf16(std::string_view utf8, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t c : zorbit::Utf8ToUtf16(utf8)) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += little ? std::string{lo, hi} : std::string{hi, lo};
    }
    return out;
}

struct ReadRow {
    const char* name;
    std::string bytes;
    std::vector<std::string> expressions; // UTF-8
};

// Files that open, each with the expressions it gives.
std::vector<ReadRow> ReadableFiles() {
    return {
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
        {"latin1_line_beside_utf8_line",
         "Columns: 1\r\nE1\nExpr = \xE4\r\nE2\nExpr = \xC3\xA4\r\n",
         {"Expr = \xC3\xA4", "Expr = \xC3\xA4"}},
        // Strict UTF-8: an overlong form or an encoded surrogate makes the line Latin-1.
        {"overlong_utf8_read_as_latin1", "Columns: 1\r\nE1\nA\xC1\x81\r\n", {"A\xC3\x81\xC2\x81"}},
        {"encoded_surrogate_read_as_latin1",
         "Columns: 1\r\nE1\n\xED\xA0\x80\r\n",
         {"\xC3\xAD\xC2\xA0\xC2\x80"}},
        {"four_byte_utf8", "Columns: 1\r\nE1\n\xF0\x9D\x90\x80\r\n", {"\xF0\x9D\x90\x80"}},
        {"line_feeds_only",
         "Columns: 1\nE1\nExpr = 1\n=\n  1\nE2\nExpr = 2\n",
         {"Expr = 1", "Expr = 2"}},
        {"carriage_returns_only",
         "Columns: 1\rE1\rExpr = 1\r=\r  1\rE2\rExpr = 2\r",
         {"Expr = 1", "Expr = 2"}},
        // A header ending with a CR alone: CR, LF and CR LF all end lines (a list whose CR LFs
        // became CRs, its LFs kept).
        {"line_ends_mixed_after_cr_header",
         "Columns: 1\rE1\nExpr = 1\r=\n  1\r\nE2\rExpr = 2\r",
         {"Expr = 1", "Expr = 2"}},
        // After a LF or CR LF header a lone CR is text: the row goes whole to the entry
        // line, which takes the CR as a line break, never cut at it here.
        {"cr_inside_a_row", "Columns: 1\r\nE1\n1+1\r*100\r\n", {"1+1\r*100"}},
        {"cr_inside_a_row_lf_file", "Columns: 1\nE1\n1+1\r*100\r\n=\n  2\n", {"1+1\r*100"}},
        // CR CR is two line ends: the empty line is the expression.
        {"empty_line_between_crs", "Columns: 1\rE1\r\rE2\rExpr = 2", {"", "Expr = 2"}},
        {"utf16_little_endian",
         Utf16("Columns: 1\r\nE1\nExpr = 2*\xCF\x80\r\n=\n  6.2832\r\n", true),
         {"Expr = 2*\xCF\x80"}},
        {"utf16_big_endian",
         Utf16("Columns: 1\r\nE1\nExpr = \xF0\x9D\x90\x80+1\r\n", false),
         {"Expr = \xF0\x9D\x90\x80+1"}},
        {"utf16_carriage_returns", Utf16("Columns: 1\rE1\rExpr = 1\r", true), {"Expr = 1"}},
        {"no_final_line_break", "Columns: 1\r\nE1\nExpr = 1", {"Expr = 1"}},
        {"number_on_last_line", "Columns: 1\r\nE1\nExpr = 1\r\nE2", {"Expr = 1"}},
        {"header_only", "Columns: 1\r\n", {}},
        {"utf16_header_only", Utf16("Columns: 1\r\n", true), {}},
        {"empty_file", "", {}},
    };
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
    for (const ReadRow& r : ReadableFiles()) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(AsUtf8(ListFileExpressions(r.bytes)), r.expressions);
    }
}

// A file is read in pieces: a CR LF, a UTF-8 or UTF-16 character or the byte-order mark
// split between two pieces reads as it does whole.
TEST(ListFileDecoder, PiecesOfAnySizeReadAsTheWhole) {
    for (const ReadRow& r : ReadableFiles()) {
        for (size_t piece = 1; piece <= 5; ++piece) {
            SCOPED_TRACE(std::string(r.name) + " in pieces of " + std::to_string(piece));
            ListExpressions read;
            ListFileDecoder decoder(read);
            for (size_t at = 0; at < r.bytes.size(); at += piece)
                ASSERT_TRUE(decoder.Feed(std::string_view(r.bytes).substr(at, piece)));
            ASSERT_TRUE(decoder.Finish()) << decoder.error();
            EXPECT_EQ(AsUtf8(read), r.expressions);
        }
    }
}

TEST(ListFileDecoder, LayoutsThatCannotBeReadAreRefused) {
    const struct Row {
        const char* name;
        std::string bytes;
        const char* reason; // part of the error
    } rows[] = {
        {"utf32_little_endian", std::string("\xFF\xFE\0\0C\0\0\0", 8), "UTF-32"},
        {"utf32_big_endian", std::string("\0\0\xFE\xFF\0\0\0C", 8), "UTF-32"},
        // UTF-16 without its mark: NULs between the letters.
        {"utf16_without_mark", Utf16("Columns: 1\r\nE1\nExpr = 1\r\n", true).substr(2), "NUL"},
        {"nul_in_a_row", std::string("Columns: 1\r\nE1\nExpr = 1\0+1\r\n", 26), "NUL"},
        {"utf16_cut_in_a_character", Utf16("Columns: 1\r\nE1\nExpr = 1", true) + "1", "UTF-16"},
        {"rows_without_numbers", "Columns: 1\r\n2+3\r\n4*5\r\n", "no expression rows"},
        {"not_a_list", "just some text", "Columns: 1"},
        {"rows_without_header", "E1\nExpr = 1\r\n", "Columns: 1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ListExpressions read;
        ListFileDecoder decoder(read);
        const bool fed = decoder.Feed(r.bytes);
        EXPECT_FALSE(fed && decoder.Finish());
        EXPECT_NE(decoder.error().find(r.reason), std::string::npos) << decoder.error();
        EXPECT_TRUE(ListFileExpressions(r.bytes).empty());
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
    ListExpressions expressions;
    ASSERT_TRUE(ReadListFile(path, expressions, error)) << error;
    EXPECT_EQ(AsUtf8(expressions), AsUtf8({rows[0].text, rows[2].text}));
}

TEST_F(ListFileOnDisk, FailuresChangeNothing) {
    Put(dir / "plain", "old");
    Put(dir / "huge.vxc", "");
    ASSERT_EQ(truncate(Path("huge.vxc").c_str(), off_t(kMaxListFileBytes) + 1), 0); // sparse
    Put(dir / "cr.vxc", "Columns: 1\r2+3\r");
    // A FIFO nobody writes to would hold a blocking read for ever; a socket cannot be
    // opened at all; a device may never end.
    ASSERT_EQ(mkfifo(Path("fifo.vxc").c_str(), 0600), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Path("socket.vxc");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const struct Row {
        std::string path;
        const char* reason;
    } rows[] = {
        {Path("missing.vxc"), "No such file"},
        {Path("huge.vxc"), "64 MiB"},
        {Path("."), "folder"},
        {Path("cr.vxc"), "no expression rows"},
        {Path("fifo.vxc"), "FIFO"},
        {socketPath, "socket"},
        {"/dev/zero", "device"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        ListExpressions expressions;
        expressions.Add(u"kept");
        std::string error;
        EXPECT_FALSE(ReadListFile(r.path, expressions, error));
        EXPECT_NE(error.find(r.reason), std::string::npos) << error;
        EXPECT_EQ(AsUtf8(expressions), std::vector<std::string>{"kept"});
    }
    close(sock);
    std::string error;
    EXPECT_FALSE(WriteListFile(Path("plain/list.vxc"), {{u"E1", u"Expr = 1"}}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(dir / "plain"), "old");
}

} // namespace
} // namespace vex::test
