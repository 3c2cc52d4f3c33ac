#include <gtest/gtest.h>

#include "script/cmdline.h"
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

TEST(ParseCmdLine, SelectionPiecesAreJoinedBack) {
    const BatchSettings b = Parse(u"/sel:'Expr = 1/2' /");
    EXPECT_TRUE(b.getFromSelTextF);
    EXPECT_TRUE(b.NoHF);
    EXPECT_FALSE(b.InputFileF);
    EXPECT_EQ(U8(b.selText).rfind("'Expr = 1 /2' /", 0), 0u) << U8(b.selText);
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

class LogLineTest : public ScriptTest {};

TEST_F(LogLineTest, FirstWriteCreatesLaterOnesAppend) {
    WriteFile("run.log", "older run\r\n");
    host.batch.logF = true;
    host.batch.logFileN = U16(Path("run.log"));
    EXPECT_EQ(LogLine(host, u"one"), 1);
    host.batch.logFileN = U16(Path("other.log"));
    EXPECT_EQ(LogLine(host, u"two\r\n"), 1);
    EXPECT_EQ(ReadFile("run.log"), "one\r\ntwo\r\n");
    EXPECT_EQ(ReadFile("other.log"), "");
}

TEST_F(LogLineTest, OffOrNamelessWritesNothing) {
    EXPECT_EQ(LogLine(host, u"x"), 0);
    host.batch.logF = true;
    EXPECT_EQ(LogLine(host, u"x"), -1);
}

TEST_F(LogLineTest, UnopenableLogIsReportedOnceAndTheRunGoesOn) {
    host.batch.logF = true;
    host.batch.logFileN = U16(Path("no/such/folder/run.log"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(LogLine(host, u"a"), -1);
    EXPECT_EQ(LogLine(host, u"b"), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("cannot open the log file"), err.rfind("cannot open the log file"));
    EXPECT_NE(err.find("cannot open the log file"), std::string::npos);
}

} // namespace
} // namespace vex::test
