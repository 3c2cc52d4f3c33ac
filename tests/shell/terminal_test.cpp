#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "script/keywords.h"
#include "shell/terminal.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

class TerminalTest : public ScriptTest {
  protected:
    int Text(std::string_view text) {
        return RunEntryText(host, InitKeywordTable(), text, out, err);
    }
    int Stream(const std::string& input) {
        std::istringstream in(input);
        return RunEntryStream(host, InitKeywordTable(), in, out, err);
    }
    std::ostringstream out, err;
};

struct LinesRow {
    const char* name;
    const char* text;
    const char* out;
    int status;
};

class EntryTextTest : public TerminalTest, public ::testing::WithParamInterface<LinesRow> {};

// -e and standard input run the same lines the same way.
TEST_P(EntryTextTest, EachLineRuns) {
    SCOPED_TRACE("-e");
    EXPECT_EQ(Text(GetParam().text), GetParam().status);
    EXPECT_EQ(out.str(), GetParam().out);
    EXPECT_EQ(err.str(), "");
    out.str("");
    SCOPED_TRACE("stdin");
    EXPECT_EQ(Stream(GetParam().text), GetParam().status);
    EXPECT_EQ(out.str(), GetParam().out);
    EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, EntryTextTest,
                         ::testing::Values(LinesRow{"oneLine", "1/log(10)", "0.4343\n", 0},
                                           LinesRow{"severalLines", "1+1\n2*3\r\n\n7/2\n",
                                                    "2.0000\n6.0000\n3.5000\n", 0},
                                           LinesRow{"errorLineDoesNotStopTheRest", "1/\n4",
                                                    "ERROR n. = 3: Parser syntax "
                                                    "error          (Module: "
                                                    "eval)\n4.0000\n",
                                                    1},
                                           LinesRow{"slashLinesLeaveLaterLinesAlone",
                                                    "1/ln(2)\n2+3\n1/log(10)\n1/abs(-2)\n4*4",
                                                    "1.4427\n5.0000\n0.4343\n0.5000\n16.0000\n", 0},
                                           LinesRow{"definitionsCarry", "Var = k; 3\nk*k",
                                                    "9.0000\n", 0},
                                           LinesRow{"answerCarries", "2+3\nans*2\n1/0\nans+1",
                                                    "5.0000\n10.0000\nERROR n. = 8: Division by "
                                                    "zero             (Module: eval & sDiff)\n"
                                                    "11.0000\n",
                                                    1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TerminalTest, SessionLeavesTheSwitchesAlone) {
    EXPECT_EQ(Stream("1/ln(2)\n1/log(10)\n1/sec(0)\n"), 0);
    EXPECT_FALSE(host.batch.lnsF);
    EXPECT_FALSE(host.batch.logF);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(TerminalTest, NulLineIsReportedAndTheNextRuns) {
    EXPECT_EQ(Stream(std::string("1+2\0+30\n4\n", 11)), 1);
    const std::string shown = out.str();
    EXPECT_NE(shown.find("invalid character NUL"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("3.0000"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\n4.0000\n"), std::string::npos) << shown;
}

// A line at the bound runs; one byte more is reported and not run, the next line is.
TEST_F(TerminalTest, LineOverTheBoundIsReportedNotCut) {
    const std::string atBound = std::string(kMaxEntryLine - 3, ' ') + "2+3";
    EXPECT_EQ(Stream(atBound + "\r\n" + "1" + atBound + "\n7\n"), 1);
    EXPECT_EQ(out.str(), "5.0000\n7.0000\n");
    EXPECT_EQ(err.str(), "vexcalc: line 2 is longer than 1048576 bytes; it was not run\n");
}

TEST_F(TerminalTest, LongLineInEntryTextIsReportedToo) {
    EXPECT_EQ(Text(std::string(kMaxEntryLine, ' ') + "1\n2"), 1);
    EXPECT_EQ(out.str(), "2.0000\n");
    EXPECT_NE(err.str().find("line 1 is longer"), std::string::npos);
}

struct NoteRow {
    const char* name;
    std::vector<std::u16string> ignored;
    const char16_t* replaced;
    bool selection;
    const char* err;
};

class BatchNotesTest : public ::testing::TestWithParam<NoteRow> {};

TEST_P(BatchNotesTest, SaidOnStderr) {
    BatchSettings b;
    b.ignoredSwitches = GetParam().ignored;
    b.outputReplaced = GetParam().replaced;
    b.InputFileF = !GetParam().selection;
    b.getFromSelTextF = GetParam().selection;
    b.OutpFN = u"/w/Result.vex";
    std::ostringstream err;
    PrintBatchNotes(b, err);
    EXPECT_EQ(err.str(), GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchNotesTest,
    ::testing::Values(NoteRow{"none", {}, u"", false, ""},
                      NoteRow{"unknownSwitches",
                              {u"xx", u"yy z"},
                              u"",
                              false,
                              "vexcalc: unknown switches ignored: /xx /yy z\n"},
                      NoteRow{"folderAsOutput",
                              {},
                              u"sub",
                              false,
                              "vexcalc: the output name \"sub\" names a folder; the report goes to "
                              "\"/w/Result.vex\" instead\n"},
                      NoteRow{"selectionWritesNoFile", {}, u"sub", true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
