#include <gtest/gtest.h>

#include <tuple>

#include "common/text.h"
#include "script/batch.h"
#include "script/batch_switches.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

BatchSettings Parse(std::u16string_view line, ScriptHost host = {}) {
    host.batch.commandLine = std::u16string(line);
    ParseCmdLine(host);
    return host.batch;
}

TEST(ParseCmdLine, TextAfterTheLastSlashIsNotRead) {
    const BatchSettings both = Parse(u"/nln /noh /");
    EXPECT_TRUE(both.noLnExpF);
    EXPECT_TRUE(both.NoHF);
    const BatchSettings first = Parse(u"/nln /noh");
    EXPECT_TRUE(first.noLnExpF);
    EXPECT_FALSE(first.NoHF);
}

TEST(ParseCmdLine, QuotedSelectionIsOneUnit) {
    const BatchSettings b = Parse(u"/sel:'Expr = 1/2' /");
    EXPECT_TRUE(b.getFromSelTextF);
    EXPECT_TRUE(b.NoHF);
    EXPECT_FALSE(b.InputFileF);
    EXPECT_EQ(U8(zorbit::TrimSpaces(b.selText)), "'Expr = 1/2'");
}

// Every switch setting a field could change, apart from the selection text.
auto Switches(const BatchSettings& b) {
    return std::make_tuple(b.noLabels, b.InpFN, b.InputFileF, b.OutpFN, b.OutputFileF, b.AppendF,
                           b.NoHF, b.noLnExpF, b.SaveToClpBF, b.getFromSelTextF, b.delF, b.lnsF,
                           b.LnsStr, b.LineOffset, b.splF, b.splPath, b.logF, b.logFileN, b.rsetF,
                           b.showMemory, b.showLog, b.showFlags, b.showCommands, b.showAbout,
                           b.ignoredSwitches);
}

struct SelectionRow {
    const char* name;
    const char16_t* line;
    const char* selection; // the selection text, trimmed
};

class SelectionUnitTest : public ::testing::TestWithParam<SelectionRow> {};

// A "/" inside the quoted selection never starts a switch: the settings are those of
// a selection without one.
TEST_P(SelectionUnitTest, NothingInsideIsASwitch) {
    const BatchSettings b = Parse(GetParam().line);
    EXPECT_EQ(U8(zorbit::TrimSpaces(b.selText)), GetParam().selection);
    EXPECT_EQ(Switches(b), Switches(Parse(u"/sel:'x' /")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelectionUnitTest,
    ::testing::Values(
        SelectionRow{"logInFormula", u"/sel:'Expr = 1/log(10)' /", "'Expr = 1/log(10)'"},
        SelectionRow{"lnInFormula", u"/sel:'Expr = 1/ln(2)' /", "'Expr = 1/ln(2)'"},
        SelectionRow{"abInFormula", u"/sel:'Expr = 1/abs(-2)' /", "'Expr = 1/abs(-2)'"},
        SelectionRow{"everySwitchInFormula",
                     u"/sel:'1/i a/o b/sclp/del/lns:1/lc:2/spl:c/log:d/rset/sm/lg/sf/cm/ab/xx' /",
                     "'1/i a/o b/sclp/del/lns:1/lc:2/spl:c/log:d/rset/sm/lg/sf/cm/ab/xx'"},
        SelectionRow{"doubleQuoteInside", u"/sel:'a\"/sm' /", "'a\"/sm'"},
        SelectionRow{"blankBeforeQuote", u"/sel: 'Expr = 1/2' /", "'Expr = 1/2'"},
        SelectionRow{"upperCase", u"/SEL:'Expr = 1/2' /", "'Expr = 1/2'"},
        SelectionRow{"textAfterClosingQuote", u"/sel:'1/2' note /", "'1/2' note"},
        SelectionRow{"unclosedRunsToTheLastSlash", u"/sel:'Expr = 1/sm /", "'Expr = 1/sm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseCmdLine, SwitchesResumeAfterTheQuotedSelection) {
    const BatchSettings b = Parse(u"/nln /sel:'Expr = 1/2' /log:run.log /sm /");
    EXPECT_EQ(U8(zorbit::TrimSpaces(b.selText)), "'Expr = 1/2'");
    EXPECT_TRUE(b.noLnExpF);
    EXPECT_TRUE(b.logF);
    EXPECT_EQ(U8(b.logFileN), "run.log");
    EXPECT_TRUE(b.showMemory);
    EXPECT_TRUE(b.ignoredSwitches.empty());
}

TEST(ParseCmdLine, UnquotedSelectionStillJoinsItsPieces) {
    const BatchSettings b = Parse(u"/sel:Expr = 1/2 /");
    EXPECT_EQ(U8(b.selText).rfind("Expr = 1 /2", 0), 0u) << U8(b.selText);
    EXPECT_TRUE(b.ignoredSwitches.empty());
}

TEST(ParseCmdLine, UnknownSwitchesAreListed) {
    const BatchSettings b = Parse(u"/xx /noh /yy z / /sel:'1/qq' /");
    ASSERT_EQ(b.ignoredSwitches.size(), 2u);
    EXPECT_EQ(U8(b.ignoredSwitches[0]), "xx");
    EXPECT_EQ(U8(b.ignoredSwitches[1]), "yy z");
    ScriptHost host;
    host.batch = Parse(u"/xx /");
    EXPECT_TRUE(Parse(u"/noh /", host).ignoredSwitches.empty());
}

class OutputRuleTest : public ScriptTest {};

TEST_F(OutputRuleTest, FolderGivenAsOutputIsNoted) {
    std::filesystem::create_directory(dir / "sub");
    host.batch.commandLine = u"/i in.vex /o sub /";
    ParseCmdLine(host);
    EXPECT_EQ(U8(host.batch.OutpFN), "Result.vex");
    EXPECT_EQ(U8(host.batch.outputReplaced), "sub");
    host.batch.commandLine = u"/i in.vex /o new.vex /";
    ParseCmdLine(host);
    EXPECT_EQ(U8(host.batch.OutpFN), "new.vex");
    EXPECT_TRUE(host.batch.outputReplaced.empty());
}

TEST(ParseCmdLine, LineSelectionSwitch) {
    const BatchSettings b = Parse(u"/lns:2;4 /lc:10 /");
    EXPECT_EQ(U8(b.LnsStr), ";2;4;");
    EXPECT_TRUE(b.lnsF);
    EXPECT_TRUE(b.AppendF);
    EXPECT_TRUE(b.NoHF);
    EXPECT_EQ(b.LineOffset, 10);
}

struct SwitchRow {
    const char* name;
    const char16_t* line;
    const char* inp;
    const char* outp;
    const char* log;
};

class FileSwitchTest : public ::testing::TestWithParam<SwitchRow> {};

TEST_P(FileSwitchTest, FileNames) {
    const BatchSettings b = Parse(GetParam().line);
    EXPECT_EQ(U8(b.InpFN), GetParam().inp);
    EXPECT_EQ(U8(b.OutpFN), GetParam().outp);
    EXPECT_EQ(U8(b.logFileN), GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileSwitchTest,
    ::testing::Values(SwitchRow{"inputGivesResultVex", u"/i in.vex /", "in.vex", "Result.vex", ""},
                      SwitchRow{"resultBesideInput", u"/i data\\in.vex /", "data\\in.vex",
                                "data\\Result.vex", ""},
                      SwitchRow{"namedOutput", u"/i in.vex /o new.vex /", "in.vex", "new.vex", ""},
                      SwitchRow{"emptyOutputName", u"/i in.vex /o /", "in.vex", "Result.vex", ""},
                      SwitchRow{"quotedPaths", u"/i \"/tmp/in.vex\" /a \"/tmp/o.vex\" /",
                                "/tmp/in.vex", "/tmp/o.vex", ""},
                      SwitchRow{"windowsLog", u"/log:C:\\tmp\\run.log /", "", "",
                                "C:\\tmp\\run.log"},
                      SwitchRow{"emptyLog", u"/log: /", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseCmdLine, AppendAndOutputSwitches) {
    const BatchSettings a = Parse(u"/i in.vex /a out.vex /");
    EXPECT_TRUE(a.AppendF);
    EXPECT_TRUE(a.NoHF);
    EXPECT_TRUE(a.OutputFileF);
    const BatchSettings o = Parse(u"/noh /i in.vex /o out.vex /");
    EXPECT_FALSE(o.AppendF);
    EXPECT_FALSE(o.NoHF);
}

TEST(ParseCmdLine, PlotSavingFollowsTheSelection) {
    EXPECT_TRUE(Parse(u"/sel:'Plot = sin(x); save' /").splF);
    ScriptHost host;
    host.batch.splF = true;
    EXPECT_FALSE(Parse(u"/sel:'Plot = sin(x)' /", host).splF);
    // Only a Plot line's "; save" suffix counts, on any line of the selection.
    host.batch.splF = true;
    EXPECT_FALSE(Parse(u"/sel:'Plot = saveRate*x' /", host).splF);
    EXPECT_FALSE(Parse(u"/sel:'Expr = 1; save\r\nPlot = x' /").splF);
    EXPECT_TRUE(Parse(u"/sel:'Expr = 1\r\nPlot = x; save' /").splF);
}

TEST(ParseCmdLine, LabelsSwitchLastsOneCall) {
    ScriptHost host;
    host.batch = Parse(u"/nt /");
    EXPECT_TRUE(host.batch.noLabels);
    host.batch = Parse(u"/nt /", host);
    EXPECT_TRUE(host.batch.noLabels);
    host.batch = Parse(u"/noh /", host);
    EXPECT_FALSE(host.batch.noLabels);
    EXPECT_TRUE(host.batch.NoHF);
}

TEST(ParseCmdLine, WindowRequestsAndUnknownSwitches) {
    const BatchSettings b = Parse(u"/sm /lg /xx /cm /ab /sf /");
    EXPECT_TRUE(b.showMemory && b.showLog && b.showCommands && b.showAbout && b.showFlags);
}

struct PathRow {
    const char* name;
    const char16_t* file;
    const char* path;
};

class ResolvePathTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(ResolvePathTest, RelativeFromCurDir) {
    EXPECT_EQ(U8(ResolvePath(GetParam().file, u"/home/u/work")), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Rows, ResolvePathTest,
                         ::testing::Values(PathRow{"empty", u"", ""},
                                           PathRow{"relative", u"in.vex", "/home/u/work/in.vex"},
                                           PathRow{"absolute", u"/data/in.vex", "/data/in.vex"},
                                           PathRow{"drive", u"C:\\data\\in.vex", "/data/in.vex"},
                                           PathRow{"backslashes", u"sub\\in.vex",
                                                   "/home/u/work/sub/in.vex"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RunRow {
    const char* name;
    const char16_t* line;
    const char* report;
};

class SelectionRunTest : public ScriptTest, public ::testing::WithParamInterface<RunRow> {};

// What the batch entry runs of a selection: exactly the quoted text, up to a "'".
TEST_P(SelectionRunTest, RunsTheQuotedText) {
    EXPECT_EQ(vexEvalMain(host, GetParam().line), -1);
    EXPECT_EQ(U8(host.batch.vexResStr), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelectionRunTest,
    ::testing::Values(
        RunRow{"halfFromThePart", u"/sel:'Expr = 1/2' /",
               "Ln 1: EXPR = 1/2:                     \r\n Result => Number = 0.5000\r\n"},
        RunRow{"logInFormula", u"/nln /sel:'Expr = 1/log(10)' /", " Result => Number = 0.4343\r\n"},
        RunRow{"unclosedQuote", u"/nln /sel:'Expr = 1/2 /", " Result => Number = 0.5000\r\n"},
        RunRow{"commentAfterFormula", u" /noh /nln /nt /sel:'Expr = 1/2 ' half' /", " 0.5000\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class NulFileTest : public ScriptTest {};

TEST_F(NulFileTest, ScriptFileLineIsReported) {
    WriteFile("in.vex", std::string("Expr = 1+2\0+30\r\nExpr = 5\r\n", 26));
    EXPECT_EQ(vexEvalMain(host, u"/i in.vex /o out.vex /noh /"), -1);
    const std::string report = U8(host.batch.vexResStr);
    EXPECT_NE(report.find("(invalid character NUL at column 11)"), std::string::npos) << report;
    EXPECT_NE(report.find("Number = 5.0000"), std::string::npos) << report;
    EXPECT_EQ(report.find("3.0000"), std::string::npos) << report;
    EXPECT_EQ(host.batch.lastErrors, 1);
}

TEST_F(NulFileTest, DataFileIsRefused) {
    WriteFile("data.txt", std::string("1+2\0+30\n", 9));
    WriteFile("in.vex", "ExprF = data.txt\r\n");
    EXPECT_EQ(vexEvalMain(host, u"/i in.vex /o out.vex /noh /"), -1);
    const std::string report = U8(host.batch.vexResStr);
    EXPECT_NE(report.find("===> ERROR n. = -5: Invalid Parameter."), std::string::npos) << report;
    EXPECT_EQ(report.find("3.0000"), std::string::npos) << report;
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("invalid character (NUL) in line 1 of the file"), std::string::npos)
        << box.shown[0];
}

} // namespace
} // namespace vex::test
