#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "shell/history_file.h"
#include "shell/window_logic.h"
#include "tests/shell/shell_test_support.h"

namespace vex {
namespace {

using Lines = std::vector<std::u16string>;

TEST(HistoryText, LinesComeBackAsTyped) {
    const struct Row {
        const char* name;
        Lines lines;
    } rows[] = {
        {"plain", {u"1+1", u"Var = hh; 2"}},
        {"backslashes", {u"a\\b", u"\\", u"\\\\n", u"ends\\"}},
        {"line_breaks_inside", {u"Matr = [m]; 2; 1\r\n3\r\n4", u"a\rb", u"c\nd"}},
        {"escape_text_typed", {u"\\r is not a break", u"x\\ny"}},
        {"not_ascii", {u"π*r²", u"\U0001F600"}},
        {"blanks_kept", {u"  2 + 3  ", u"\t4"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string file = FormatHistory(r.lines);
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), std::ptrdiff_t(r.lines.size()));
        EXPECT_EQ(ParseHistory(file), r.lines);
    }
}

TEST(HistoryText, KeepsTheNewestThousand) {
    Lines many;
    for (int k = 0; k < 2500; ++k)
        many.push_back(u"Expr = " + std::u16string(1, char16_t(u'a' + k % 26)) + u"+" +
                       zorbit::Utf8ToUtf16(std::to_string(k)));
    const Lines read = ParseHistory(FormatHistory(many));
    ASSERT_EQ(read.size(), kHistoryLines);
    EXPECT_EQ(read.front(), many[1500]);
    EXPECT_EQ(read.back(), many.back());
    // A file grown by hand past the limit gives its newest lines too.
    std::string big;
    for (const std::u16string& line : many)
        big += FormatHistory({line});
    EXPECT_EQ(ParseHistory(big), read);
}

TEST(HistoryText, HandEditedFiles) {
    EXPECT_EQ(ParseHistory("1+1\r\n\r\n\n2+2"), (Lines{u"1+1", u"2+2"}));
    EXPECT_TRUE(ParseHistory("").empty());
}

class HistoryFile : public test::TempDirTest {};

TEST_F(HistoryFile, RoundTripBesideTheConfiguration) {
    const std::string config = Path("conf/vexCalc.ini");
    const std::string path = HistoryPath(config);
    EXPECT_EQ(path, Path("conf/vexCalc.history"));
    EXPECT_TRUE(ReadHistory(path).empty()) << "not there yet";
    EntryHistory typed;
    typed.Add(u"1+1");
    typed.Add(u"Var = hh; 2");
    std::string error;
    ASSERT_TRUE(WriteHistory(path, typed.lines(), error)) << error;
    EntryHistory next;
    next.Load(ReadHistory(path));
    EXPECT_EQ(next.Older(u""), u"Var = hh; 2");
    EXPECT_EQ(next.Older(u""), u"1+1");
}

TEST_F(HistoryFile, NoConfigurationNoFile) {
    EXPECT_EQ(HistoryPath(""), "");
    EXPECT_TRUE(ReadHistory("").empty());
}

TEST_F(HistoryFile, WhatIsNotARegularFileIsNeitherReadNorWritten) {
    const std::string fifo = Path("h.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string note;
    EXPECT_TRUE(ReadHistory(fifo, &note).empty());
    EXPECT_NE(note.find("not a regular file"), std::string::npos) << note;
    std::string error;
    EXPECT_FALSE(WriteHistory(fifo, {u"1"}, error));
    EXPECT_FALSE(error.empty());
    note.clear();
    EXPECT_TRUE(ReadHistory(Path("."), &note).empty());
    EXPECT_FALSE(note.empty());
}

} // namespace
} // namespace vex
