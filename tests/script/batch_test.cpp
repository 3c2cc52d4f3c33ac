#include <gtest/gtest.h>

#include "script/batch.h"
#include "script/file_io.h"
#include "script/report_windows.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

class BatchTest : public ScriptTest {
  protected:
    int32_t Run(const std::string& line) { return vexEvalMain(host, U16(line)); }
    std::string Result() const { return U8(host.batch.vexResStr); }
};

TEST_F(BatchTest, SelectionFromTheMainWindow) {
    EXPECT_EQ(Run(" /noh /nln /nt /sel:'Expr = 2+3' /"), -1);
    EXPECT_EQ(Result(), " 5.0000\r\n");
}

TEST_F(BatchTest, NoHeaderGivesTheBareReportAndAFinalLineBreak) {
    WriteFile("in.vex", "Expr = 1\r\n");
    EXPECT_EQ(Run("/i in.vex /noh /"), -1);
    EXPECT_EQ(Result(), "Ln 1: EXPR = 1:                     \r\n Result => Number = 1.0000\r\n");
}

TEST_F(BatchTest, FileRunWritesTheReportWithItsEndLine) {
    WriteFile("in.vex", "Expr = 1\r\n");
    ASSERT_EQ(Run("/i in.vex /o out.vex /"), -1);
    const std::string out = ReadFile("out.vex");
    EXPECT_EQ(out.rfind("'vexCalc", 0), 0u);
    EXPECT_NE(out.find("'Executed Commands: 1, Errors found: 0\r\n"), std::string::npos);
    const size_t end = out.find("'--- End Of BatchRun : Time ");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(out.size() - end, 84u + 2u);
    EXPECT_EQ(out.substr(out.size() - 4), "--\r\n");
}

TEST_F(BatchTest, AppendKeepsTheOldText) {
    WriteFile("in.vex", "Expr = 2\r\n");
    WriteFile("out.vex", "before\r\n");
    ASSERT_EQ(Run("/i in.vex /a out.vex /"), -1);
    EXPECT_EQ(ReadFile("out.vex").rfind("before\r\nLn 1: EXPR = 2:", 0), 0u);
}

struct ExitRow {
    const char* name;
    const char* line;
    int32_t code;
};

class ExitCodeTest : public BatchTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitCodeTest, EachFailureHasItsCode) {
    WriteFile("in.vex", "Expr = 1\r\n");
    EXPECT_EQ(Run(GetParam().line), GetParam().code);
    EXPECT_EQ(host.batch.ExitCode, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Rows, ExitCodeTest,
                         ::testing::Values(ExitRow{"success", "/i in.vex /noh /", -1},
                                           ExitRow{"missingInput", "/i none.vex /noh /", -2},
                                           ExitRow{"unwritableOutput",
                                                   "/i in.vex /o \"no/folder/out.vex\" /", -3},
                                           ExitRow{"noSource", "/noh /", -5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchTest, FailedWriteLeavesTheOldFile) {
    WriteFile("in.vex", "Expr = 1\r\n");
    WriteFile("out.vex", "keep me");
    std::filesystem::create_directory(dir / "out.vex.vextmp");
    EXPECT_EQ(Run("/i in.vex /o out.vex /"), -3);
    EXPECT_EQ(ReadFile("out.vex"), "keep me");
}

TEST_F(BatchTest, RefusedEncodingIsAReadFailure) {
    WriteFile("in.vex", std::string("\xFE\xFF\0E", 4));
    EXPECT_EQ(Run("/i in.vex /noh /"), -2);
}

TEST_F(BatchTest, ExitCodeTexts) {
    EXPECT_EQ(U8(ExitCodeText(-2)), "File Open Error (not found?)");
    EXPECT_EQ(U8(ExitCodeText(-5)), "Invalid Parameter.");
    EXPECT_EQ(U8(ExitCodeText(-9)), "Child Window Not Found");
    EXPECT_EQ(U8(ExitCodeText(-1)), "");
}

TEST_F(BatchTest, MemoryWindowReturnsAtOnceWithThePreviousCode) {
    Run("/noh /");
    ASSERT_EQ(host.batch.ExitCode, -5);
    host.slots->SetVarFunct(u"g", u"9.81", 0);
    EXPECT_EQ(Run("/sm /"), -5);
    EXPECT_NE(window.text.find("Variables:\r\ng = 9.81; "), std::string::npos) << window.text;
}

TEST_F(BatchTest, ResetEmptiesTheLibraryAndTheFileSwitches) {
    Run("/sel:'Var = q; 5' /");
    Run("/i x.vex /o y.vex /nln /rset /");
    EXPECT_TRUE(host.batch.InpFN.empty());
    EXPECT_FALSE(host.batch.noLnExpF);
    double v = 0;
    EXPECT_EQ(host.slots->FindVarFunct(u"q", 0, &v, nullptr), 0);
}

TEST_F(BatchTest, ClipboardGetsTheReport) {
    Run("/sel:'Expr = 1' /sclp /");
    EXPECT_EQ(clipboard.text, U8(host.batch.vexResStr));
    EXPECT_FALSE(clipboard.text.empty());
}

TEST_F(BatchTest, LogRecordsTheRun) {
    WriteFile("in.vex", "Expr = 1\r\n");
    Run("/i in.vex /noh /log: /");
    const std::string log = ReadFile("vexCmds.log");
    EXPECT_NE(log.find("Command Line  : \"/i in.vex /noh /log: /\""), std::string::npos) << log;
    EXPECT_NE(log.find("Eval Executed : Commands: 1, Errors: 0"), std::string::npos);
    EXPECT_NE(log.find("            1 : Command Line Executed."), std::string::npos);
    EXPECT_NE(log.find("Evaluation End: Exit code: -1\r\n" + std::string(53, '-')),
              std::string::npos);
}

} // namespace
} // namespace vex::test
