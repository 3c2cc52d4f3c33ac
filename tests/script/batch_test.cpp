#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

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
    FaultHooks faults;
    faults.fileStep = [](std::string_view step) { return step == "write" ? EIO : 0; };
    host.faults = &faults;
    EXPECT_EQ(Run("/i in.vex /o out.vex /"), -3);
    EXPECT_EQ(ReadFile("out.vex"), "keep me");
}

// Temporary files left in the folder.
std::vector<std::string> Leftovers(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with(".vex")) names.push_back(name);
    }
    return names;
}

// A run that fails keeps the old output as it was, and its exit code says so.
struct KeptOutputRow {
    const char* name;
    const char* line;
    const char* failingStep;   // a file step made to fail, or ""
    const char* outOfMemoryAt; // an allocation point that throws, or ""
    int32_t code;
};

class KeptOutputTest : public BatchTest, public ::testing::WithParamInterface<KeptOutputRow> {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        WriteFile("in.vex", "Expr = 1\r\nExpr = 2\r\n");
        WriteFile("out.vex", "keep");
        WriteFile("be.vex", std::string("\xFE\xFF\0E", 4));
        std::filesystem::create_directory(dir / "folder.vex");
        std::ofstream(dir / "huge.vex").put('E');
        std::filesystem::resize_file(dir / "huge.vex", kMaxFileBytes + 1);
    }
};

TEST_P(KeptOutputTest, OldOutputUntouched) {
    const KeptOutputRow& row = GetParam();
    FaultHooks faults;
    faults.fileStep = [&](std::string_view step) { return step == row.failingStep ? EIO : 0; };
    faults.allocation = [&](std::string_view point) {
        if (point == row.outOfMemoryAt) throw std::bad_alloc();
    };
    host.faults = &faults;
    EXPECT_EQ(Run(row.line), row.code);
    EXPECT_EQ(ReadFile("out.vex"), "keep");
    EXPECT_TRUE(Leftovers(dir).empty());
    if (row.code != -3) {
        EXPECT_EQ(Result(), "") << "no report of a run that did not finish";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeptOutputTest,
    ::testing::Values(
        KeptOutputRow{"failedRenameExitsMinus3", "/i in.vex /o out.vex /", "rename", "", -3},
        KeptOutputRow{"failedTempFileExitsMinus3", "/i in.vex /o out.vex /", "temp", "", -3},
        KeptOutputRow{"outOfMemoryInTheScript", "/i in.vex /o out.vex /", "", "line", -5},
        KeptOutputRow{"outOfMemoryForTheReport", "/i in.vex /o out.vex /", "", "report", -5},
        KeptOutputRow{"outOfMemoryWhileWriting", "/i in.vex /o out.vex /", "", "output", -5},
        KeptOutputRow{"missingInput", "/i none.vex /o out.vex /", "", "", -2},
        KeptOutputRow{"inputIsAFolder", "/i folder.vex /o out.vex /", "", "", -2},
        KeptOutputRow{"refusedEncoding", "/i be.vex /o out.vex /", "", "", -2},
        KeptOutputRow{"inputTooLarge", "/i huge.vex /o out.vex /", "", "", -2},
        KeptOutputRow{"delWithAMissingInput", "/i none.vex /o out.vex /del /", "", "", -2},
        KeptOutputRow{"delWithAFailedRename", "/i in.vex /o out.vex /del /", "rename", "", -3},
        KeptOutputRow{"delOutOfMemory", "/i in.vex /a out.vex /del /", "", "line", -5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchTest, DelStartsAnAppendedOutputAfreshAndOnlyInItsCall) {
    WriteFile("in.vex", "Expr = 2\r\n");
    WriteFile("out.vex", "before\r\n");
    ASSERT_EQ(Run("/i in.vex /a out.vex /del /"), -1);
    EXPECT_EQ(ReadFile("out.vex").rfind("Ln 1: EXPR = 2:", 0), 0u) << ReadFile("out.vex");
    EXPECT_FALSE(host.batch.delF);
    // The next call appends again.
    ASSERT_EQ(Run("/i in.vex /a out.vex /"), -1);
    const std::string out = ReadFile("out.vex");
    EXPECT_EQ(out.rfind("Ln 1: EXPR = 2:", 0), 0u);
    EXPECT_NE(out.find("Ln 1: EXPR = 2:", 1), std::string::npos) << out;
}

TEST_F(BatchTest, DelRemovesOnlyThisProgramsPlotImagesInThePlotFolder) {
    namespace fs = std::filesystem;
    WriteFile("in.vex", "Expr = 1\r\n");
    fs::create_directories(dir / "photos/sub");
    for (const char* name :
         {"photos/aPlotNr_1.jpg", "photos/aPlotNr_12.jpg", "photos/holiday.jpg",
          "photos/aPlotNr_.jpg", "photos/aPlotNr_1x.jpg", "photos/aPlotNr_1.jpg.bak",
          "photos/sub/aPlotNr_2.jpg", "aPlotNr_3.jpg", "parent.jpg", "mine.jpg"})
        WriteFile(name, "jpg");
    fs::create_symlink(dir / "mine.jpg", dir / "photos/aPlotNr_4.jpg");
    ASSERT_EQ(Run("/i in.vex /o out.vex /spl:photos /del /"), -1);
    EXPECT_EQ(U8(host.batch.splPath), (dir / "photos/").string());
    for (const char* gone : {"photos/aPlotNr_1.jpg", "photos/aPlotNr_12.jpg"})
        EXPECT_FALSE(fs::exists(dir / gone)) << gone;
    for (const char* kept : {"photos/holiday.jpg", "photos/aPlotNr_.jpg", "photos/aPlotNr_1x.jpg",
                             "photos/aPlotNr_1.jpg.bak", "photos/sub/aPlotNr_2.jpg",
                             "aPlotNr_3.jpg", "parent.jpg", "mine.jpg"})
        EXPECT_TRUE(fs::exists(dir / kept)) << kept;
    EXPECT_TRUE(fs::is_symlink(dir / "photos/aPlotNr_4.jpg"));
}

TEST_F(BatchTest, LogNamingTheInputIsRefusedAndTheInputRuns) {
    WriteFile("in.vex", "Expr = 5\r\n");
    EXPECT_EQ(Run("/i in.vex /noh /log:in.vex /"), -1);
    EXPECT_EQ(ReadFile("in.vex"), "Expr = 5\r\n");
    EXPECT_NE(Result().find("Number = 5.0000"), std::string::npos) << Result();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("the log file is the input file"), std::string::npos);
    // Refused for that run only: the switch stays as given.
    EXPECT_TRUE(host.batch.logF);
}

TEST_F(BatchTest, OutputNamingTheInputIsWrittenAfterTheInputWasRead) {
    WriteFile("in.vex", "Expr = 5\r\n");
    EXPECT_EQ(Run("/i in.vex /o in.vex /noh /"), -1);
    EXPECT_EQ(ReadFile("in.vex").rfind("Ln 1: EXPR = 5:", 0), 0u) << ReadFile("in.vex");
}

TEST_F(BatchTest, DeviceOutputIsWrittenDirectly) {
    WriteFile("in.vex", "Expr = 1\r\n");
    EXPECT_EQ(Run("/i in.vex /o \"/dev/null\" /"), -1);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_EQ(Run("/i in.vex /o \"/dev/full\" /"), -3);
}

TEST_F(BatchTest, LargeRunGivesTheSameReportAsItsLines) {
    // Many lines: the report spans many pieces and the input many reads.
    std::string script;
    for (int k = 0; k < 40000; ++k)
        script += "Expr = " + std::to_string(k % 7) + "\r\n";
    WriteFile("in.vex", script);
    ASSERT_EQ(Run("/i in.vex /o out.vex /noh /"), -1);
    const std::string out = ReadFile("out.vex");
    EXPECT_EQ(out.rfind(Result(), 0), 0u);
    EXPECT_NE(Result().find("Ln 40000: EXPR = 1:"), std::string::npos);
    size_t records = 0;
    for (size_t p = out.find("Result => "); p != out.npos; p = out.find("Result => ", p + 1))
        ++records;
    EXPECT_EQ(records, 40000u);
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
