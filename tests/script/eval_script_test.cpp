#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "script/eval_script.h"
#include "script/library_client.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

class EvalScriptTest : public ScriptTest {
  protected:
    std::string Run(std::u16string_view script, ScriptRun run = {}) {
        last = EvalScript(host, script, run);
        return U8(last.report);
    }
    ScriptResult last;
};

constexpr const char* kNote = "                    ";

TEST_F(EvalScriptTest, ExprRecordWithHeaderAndLabels) {
    host.interp.decimals = 2;
    EXPECT_EQ(Run(u"Expr = 2+3"),
              std::string("Ln 1: EXPR = 2+3: ") + kNote + "\r\n Result => Number = 5.00");
    EXPECT_EQ(last.code, 1000);
}

TEST_F(EvalScriptTest, NoLabelsAndNoHeaderLeaveTheBareValue) {
    host.interp.decimals = 2;
    ScriptRun run;
    run.noLabels = true;
    run.noLnExp = true;
    EXPECT_EQ(Run(u"Expr = 2+3", run), " 5.00");
}

TEST_F(EvalScriptTest, DecimalsMinusOneMeansTen) {
    host.interp.decimals = -1;
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(u"Expr = 1/4", run), " 0.2500000000");
}

struct OutputRow {
    const char* name;
    const char16_t* script;
    const char* report;
    int32_t code;
};

class ScriptOutputTest : public EvalScriptTest, public ::testing::WithParamInterface<OutputRow> {};

TEST_P(ScriptOutputTest, ReportAndCode) {
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(GetParam().script, run), GetParam().report);
    EXPECT_EQ(last.code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScriptOutputTest,
    ::testing::Values(
        OutputRow{"hex", u"Hex = 255", " &FF", 1000}, OutputRow{"bin", u"Bin = 5", " !101", 1000},
        OutputRow{"hexNegative", u"Hex = -1", " &FFFFFFFFFFFFFFFF", 1000},
        OutputRow{"hexTiesToEven", u"Hex = 2.5", " &2", 1000},
        OutputRow{"copyComment", u"  ''note", "''note", 0},
        OutputRow{"plainComment", u"' note", "", 0}, OutputRow{"plainWordSkipped", u"hello", "", 0},
        OutputRow{"emptyScript", u"", "", 0},
        OutputRow{"caseInsensitive", u"EXPR = 1\r\nexpr = 1", " 1.0000\r\n\r\n 1.0000", 2000},
        OutputRow{"blockOneCopies", u"a \\\\ b\r\nExpr = 1\r\nend //\r\nExpr = 2",
                  "a \\\\ b\r\nExpr = 1\r\nend //\r\n 2.0000", 1000},
        OutputRow{"blockOneSameLine", u"\\\\ one line //\r\nExpr = 3",
                  "\\\\ one line //\r\n 3.0000", 1000},
        OutputRow{"blockTwoCopies", u"!\\ start\r\nExpr = 1\r\n!/ end\r\nExpr = 2",
                  "!\\ start\r\nExpr = 1\r\n!/ end\r\n 2.0000", 1000},
        OutputRow{"pauseCounts", u"Pause( )", "", 1000},
        OutputRow{"varThenExpr", u"Var = y; 2\r\nExpr = y*3", " 6.0000", 2000},
        OutputRow{"leadingLineFeed", u"Expr = 1\r\n  ''x", " 1.0000\r\n\r\n''x", 1000},
        // A lone CR ends a line as CR LF does: what follows it is never dropped.
        OutputRow{"loneCrEndsALine", u"Expr = 1\rExpr = 2", " 1.0000\r\n\r\n 2.0000", 2000},
        OutputRow{"loneCrAfterPairs", u"Expr = 1\r\nExpr = 2\rExpr = 3\r",
                  " 1.0000\r\n\r\n 2.0000\r\n\r\n 3.0000", 3000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvalScriptTest, EmptyReportIsABlockOfTwoBytes) {
    Run(u"");
    EXPECT_EQ(last.ByteSize(), 2u);
    EXPECT_EQ(last.code, 0);
}

TEST_F(EvalScriptTest, UnrecognisedCommandShowsItsLine) {
    EXPECT_EQ(Run(u"x = 1 ' comment"),
              "Ln 1: Expression = x = 1:\r\n Result => ===> ERROR n. = 25: " +
                  U8(host.slots->GetE_ErrDescr(25, 0)));
    EXPECT_EQ(last.code, 1001);
    EXPECT_EQ(host.slots->GetE_Error(), 25);
}

TEST_F(EvalScriptTest, WordWithBracketIsCountedAndFails) {
    Run(u"hello(1)");
    EXPECT_EQ(last.code, 1001);
}

TEST_F(EvalScriptTest, EvaluationErrorIsReportedWithHeaderEvenWithoutHeaders) {
    ScriptRun run;
    run.noLnExp = true;
    const std::string report = Run(u"Expr = 1/", run);
    EXPECT_EQ(report.rfind("Ln 1: EXPR = 1/: ", 0), 0u) << report;
    EXPECT_NE(report.find("===> ERROR n. = "), std::string::npos);
    EXPECT_EQ(last.Errors(), 1);
}

TEST_F(EvalScriptTest, LineSelectionRunsOnlyListedLines) {
    ScriptRun run;
    run.lineSelect = true;
    run.LineList = u";2;";
    run.noLabels = true;
    EXPECT_EQ(Run(u"Expr = 1\r\nExpr = 2\r\nExpr = 3", run),
              std::string("Ln 2: EXPR = 2: ") + kNote + "\r\n 2.0000");
    run.LineOffset = 10;
    run.LineList = u";12;";
    EXPECT_EQ(Run(u"Expr = 1\r\nExpr = 2\r\nExpr = 3", run),
              std::string("Ln 2: EXPR = 2: ") + kNote + "\r\n 2.0000");
    EXPECT_EQ(last.code, 1000);
}

TEST_F(EvalScriptTest, StoExprKeepsTheDecimalsOfTheSetting) {
    EXPECT_EQ(Run(u"StoExpr(x) = 1/3"),
              std::string("Ln 1: Expression = 1/3: ") + kNote + "\r\n Stored => Number x = 0.3333");
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    host.interp.decimals = -1;
    EXPECT_EQ(Run(u"Expr = x*3", run), " 0.9999000000");
}

TEST_F(EvalScriptTest, StoExprWholeNumberWithoutDecimals) {
    host.interp.decimals = 0;
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(u"StoExpr(h) = 100\r\nExpr = h+1", run), "Number h = 100\r\n\r\n 101");
}

TEST_F(EvalScriptTest, StoExprWritesNumberAndMatrixToItsFile) {
    Run(u"StoExpr(x; fileout; n.txt) = 2/4");
    EXPECT_EQ(ReadFile("n.txt"), "0.5");
    EXPECT_NE(U8(last.report).find("(=>fileout n.txt)"), std::string::npos);
    Run(u"Matr = [mA]; 2; 2; 1; 2; 3; 4\r\nStoExpr(m; fileout; m.txt) = [mA]*2");
    EXPECT_EQ(ReadFile("m.txt"), "[m]; 2; 2;2; 4; 6; 8; ");
    EXPECT_NE(U8(last.report).find(" Stored => Matrix: [m]; 2; 2;2; 4; 6; 8; "), std::string::npos)
        << U8(last.report);
}

TEST_F(EvalScriptTest, ShowFindsEveryKindOfName) {
    host.interp.decimals = 2;
    ScriptRun run;
    run.noLabels = true;
    EXPECT_EQ(Run(u"Var = g; 9.81\r\nShow(g)", run), "Ln 2: Show(g) => Number g = 9.81");
    EXPECT_EQ(Run(u"Show(pi)", run), "Ln 1: Show(pi) => Constant pi = 3.14");
    EXPECT_EQ(Run(u"Matr = [v]; 2; 1; 5; 6\r\nShow(v)", run),
              "Ln 2: Show([v]) => [v]\r\nvE(0)=5.00\t\r\nvE(1)=6.00\t");
}

TEST_F(EvalScriptTest, ShowOfAFunctionGivesTheWholeBody) {
    const std::u16string body = u"x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+1";
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(u"Funct = longf; " + body + u"\r\nShow(longf)", run),
              " => Function longf = " + U8(body));
}

TEST_F(EvalScriptTest, ShowOfAnUnknownNameCountsAnError) {
    const std::string report = Run(u"Show(zz)");
    EXPECT_EQ(last.code, 1001);
    EXPECT_NE(report.find("Ln 1: Show([zz]) => ===> ERROR n. = 14: "), std::string::npos) << report;
}

TEST_F(EvalScriptTest, FailedFunctionDefinitionIsReported) {
    const std::string report = Run(u"Funct = f");
    EXPECT_EQ(last.code, 1001);
    EXPECT_EQ(report.rfind("Ln 1: Expression = f: ", 0), 0u) << report;
    EXPECT_NE(report.find("===> ERROR n. = 13: "), std::string::npos);
}

TEST_F(EvalScriptTest, MatrixResultsArePrintedWithTheMask) {
    host.interp.decimals = 1;
    ScriptRun run;
    run.noLnExp = true;
    EXPECT_EQ(Run(u"Matr = [mA]; 2; 2; 1; 2; 3; 4\r\nExpr = [mA]*2", run),
              " Result => Matrix: \r\nA(0,0)=2.0\tA(0,1)=4.0\t\r\nA(1,0)=6.0\tA(1,1)=8.0\t");
}

TEST_F(EvalScriptTest, MatrixResultsInAutoFollowTheMasksLayout) {
    host.interp.decimals = 3;
    ScriptRun run;
    run.noLnExp = true;
    EXPECT_EQ(Run(u"Format = auto\r\nMatr = [mA]; 2; 2; 1e20; 2; 1/3; 4\r\nExpr = [mA]\r\n"
                  u"Vect = [v]; 2; 1; 1.5e-9; 2\r\nExpr = [v]\r\nShow([v])",
                  run),
              " Result => Matrix: \r\nA(0,0)=1e20\tA(0,1)=2\t\r\nA(1,0)=0.333\tA(1,1)=4\t\r\n\r\n"
              " Result => Vector: \r\nV(0)=1.5e-9\r\nV(1)=2\r\n\r\n"
              " => Vector: [v]\r\nvE(0)=1.5e-9\t\r\nvE(1)=2\t");
}

struct SettingRow {
    const char* name;
    const char16_t* script;
    const char* report;
    NumberFormat format;
    int32_t precision;
};

class SettingCommandTest : public EvalScriptTest,
                           public ::testing::WithParamInterface<SettingRow> {};

// The setting commands change what later lines show and what the library computes with;
// a value they do not take is an error row that changes nothing.
TEST_P(SettingCommandTest, ChangesTheSettingOrRefuses) {
    host.interp.decimals = -1;
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(GetParam().script, run), GetParam().report);
    EXPECT_EQ(host.interp.format, GetParam().format);
    EXPECT_EQ(host.interp.precision, GetParam().precision);
    EXPECT_EQ(host.slots->GetPrecisionMode(), GetParam().precision);
}

constexpr const char* kRefusedFormat =
    "Ln 1: Expression = Format = sci:                     \r\n"
    "===> ERROR n. = 13: Invalid parameter/argument   (Module: eval) (Format takes fixed or "
    "auto)";

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingCommandTest,
    ::testing::Values(
        SettingRow{"auto_power", u"Format = auto\r\nExpr = 2^100", " 1.26765060022823e30",
                   NumberFormat::Auto, ZORBIT_PRECISION_CLASSIC},
        SettingRow{"auto_third", u"FORMAT = Auto\r\nExpr = 1/3", " 0.333333333333333",
                   NumberFormat::Auto, ZORBIT_PRECISION_CLASSIC},
        SettingRow{"auto_tiny", u"Format = auto\r\nExpr = -2.5e-7", " -2.5e-7", NumberFormat::Auto,
                   ZORBIT_PRECISION_CLASSIC},
        SettingRow{"back_to_fixed", u"Format = auto\r\nFormat =  fixed \r\nExpr = 1/4",
                   " 0.2500000000", NumberFormat::Fixed, ZORBIT_PRECISION_CLASSIC},
        SettingRow{"full", u"Precision = full\r\nExpr = 6.02e23/1e23", " 6.0200000000",
                   NumberFormat::Fixed, ZORBIT_PRECISION_FULL},
        SettingRow{"full_then_classic", u"Precision = FULL\r\nPrecision = classic", "",
                   NumberFormat::Fixed, ZORBIT_PRECISION_CLASSIC},
        SettingRow{"refused_format", u"Format = sci", kRefusedFormat, NumberFormat::Fixed,
                   ZORBIT_PRECISION_CLASSIC},
        SettingRow{"refused_precision_keeps_full", u"Precision = full\r\nPrecision = double",
                   "Ln 2: Expression = Precision = double:                     \r\n"
                   "===> ERROR n. = 13: Invalid parameter/argument   (Module: eval) (Precision "
                   "takes classic or full)",
                   NumberFormat::Fixed, ZORBIT_PRECISION_FULL},
        SettingRow{"refused_empty", u"Format =",
                   "Ln 1: Expression = Format =:                     \r\n"
                   "===> ERROR n. = 13: Invalid parameter/argument   (Module: eval) (Format "
                   "takes fixed or auto)",
                   NumberFormat::Fixed, ZORBIT_PRECISION_CLASSIC}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvalScriptTest, FailedMatrixDefinitionIsAlwaysReported) {
    ScriptRun run;
    run.noLnExp = true;
    const std::string report = Run(u"Matr = [mA]; 2; 2; 1; 2; 3", run);
    EXPECT_EQ(report.rfind(std::string("Ln 1: Expression = [mA]; 2; 2; 1; 2; 3: ") + kNote, 0), 0u)
        << report;
    EXPECT_NE(report.find("===> ERROR n. = 12: "), std::string::npos);
    EXPECT_EQ(last.code, 1001);
}

TEST_F(EvalScriptTest, DimXBlockStoresOnceAndRunsTheNextLine) {
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(u"DimX = mB(2,2); mB(1,1)=1; mB(1,2)=2\r\n"
                  u"DimX = mB(2,2); mB(2,1)=3; mB(2,2)=4\r\n"
                  u"Expr = 1\r\nExpr = det([mB])",
                  run),
              " 1.0000\r\n\r\n -2.0000");
    EXPECT_EQ(last.code, 3000);
}

TEST_F(EvalScriptTest, FailedDimXNamesTheLineThatEndedTheBlock) {
    const std::string report = Run(u"DimX = mC(2,2); mC(1,1)=1\r\nExpr = 1");
    EXPECT_EQ(report.rfind("Ln 2: Expression = DimX = mC(2,2); mC(1,1)=1:\r\n", 0), 0u) << report;
    EXPECT_NE(report.find("===> ERROR n. = 12: "), std::string::npos);
    EXPECT_EQ(last.code, 2001);
}

TEST_F(EvalScriptTest, AboutLinesBecomeComments) {
    const std::string report = Run(u"aAbout( )");
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front(), '\'');
    EXPECT_NE(report.find("\n'"), std::string::npos);
    EXPECT_EQ(last.code, 1000);
}

TEST_F(EvalScriptTest, ElementOrderProbe) {
    EXPECT_EQ(Run(u"aElemOrderEx( )"), "Ln 1: aElemOrderEx = by Row");
    ScriptRun run;
    run.noLnExp = true;
    EXPECT_EQ(Run(u"aElemOrderEx( )", run), "");
}

TEST_F(EvalScriptTest, ExprFReadsItsFormulaAndWritesItsResult) {
    WriteFile("in.txt", "' a comment line\nExpr = 6*7 ' why\n");
    ScriptRun run;
    run.noLabels = true;
    EXPECT_EQ(Run(u"ExprF = in.txt [out.txt]", run),
              "Ln 1: EXPRF = 6*7: =>(in.txt [out.txt])\r\n 42.0000");
    EXPECT_EQ(ReadFile("out.txt"), " 42.0000");
}

TEST_F(EvalScriptTest, ExprFWithAMissingFileReportsTheExitCode) {
    const std::string report = Run(u"ExprF = nothere.txt");
    EXPECT_NE(report.find("===> ERROR n. = -2: File Open Error (not found?)"), std::string::npos)
        << report;
    EXPECT_EQ(last.code, 1001);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("Error 3: Couldn't open the file!"), std::string::npos);
}

// A result file that cannot be written turns the command's record into a failure.
struct WriteFailureRow {
    const char* name;
    const char16_t* script;
    int32_t code;       // executed * 1000 + errors
    bool fullDisk;      // every write of a piece fails with ENOSPC
    const char* noFile; // a name that must not exist after, or ""
};

class ScriptWriteFailureTest : public EvalScriptTest,
                               public ::testing::WithParamInterface<WriteFailureRow> {};

TEST_P(ScriptWriteFailureTest, RecordFailsBesidesTheMessage) {
    const WriteFailureRow& row = GetParam();
    WriteFile("in.txt", "Expr = 6*7\n");
    WriteFile("integral.txt", "Integrate(0;2;10;trap;x) = 3*x^2\n");
    WriteFile("poly.txt", "x^2+x\n");
    WriteFile("diff.txt", "sDiff(y) = y^2\n");
    FaultHooks faults;
    if (row.fullDisk)
        faults.fileStep = [](std::string_view s) { return s == "write" ? ENOSPC : 0; };
    host.faults = &faults;
    const std::string report = Run(row.script);
    EXPECT_NE(report.find("===> ERROR n. = -3: File Write Error (already in use?)"),
              std::string::npos)
        << report;
    EXPECT_EQ(last.code, row.code);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("Error 1: can't write the file."), std::string::npos);
    if (*row.noFile) {
        EXPECT_FALSE(std::filesystem::exists(Path(row.noFile))) << row.noFile;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScriptWriteFailureTest,
    ::testing::Values(
        WriteFailureRow{"exprFToAMissingFolder", u"ExprF = in.txt [no/folder/r.txt]", 1001, false,
                        "no"},
        WriteFailureRow{"exprFToAFullDevice", u"ExprF = in.txt [/dev/full]", 1001, false, ""},
        WriteFailureRow{"exprFOnAFullDiskLeavesNoEmptyFile", u"ExprF = in.txt [r.txt]", 1001, true,
                        "r.txt"},
        WriteFailureRow{"stoExprNumberToAFullDevice", u"StoExpr(s; fileout; /dev/full) = 1/8", 1001,
                        false, ""},
        WriteFailureRow{"stoExprMatrixToAMissingFolder",
                        u"Matr = [mA]; 1; 2; 3; 4\r\nStoExpr(m; FileOut; no/m.txt) = [mA]", 2001,
                        false, "no"},
        WriteFailureRow{"stoExprOnAFullDiskLeavesNoEmptyFile", u"StoExpr(s; fileout; s.txt) = 2",
                        1001, true, "s.txt"},
        WriteFailureRow{"integrateFToAFullDevice", u"IntegrateF = integral.txt [/dev/full]", 1001,
                        false, ""},
        WriteFailureRow{"derivateFToAMissingFolder", u"DerivateF = poly.txt [no/p.txt]", 1001,
                        false, "no"},
        WriteFailureRow{"sDiffFOnAFullDiskLeavesNoEmptyFile", u"sDiffF = diff.txt [d.txt]", 1001,
                        true, "d.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvalScriptTest, FunctFReadsTheBody) {
    WriteFile("body.txt", "x*x\n");
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_EQ(Run(u"FunctF = sq(x) body.txt\r\nVar = x; 3\r\nExpr = sq(x)+1", run), " 10.0000");
}

TEST_F(EvalScriptTest, MissingRoutineIsNeverCalled) {
    EntrySlots slots = *host.slots;
    slots.e_eval = nullptr;
    host.slots = &slots;
    const std::string report = Run(u"Expr = 1");
    EXPECT_NE(report.find("e_eval not found"), std::string::npos) << report;
    EXPECT_EQ(last.code, 1001);
}

struct NulRow {
    const char* name;
    std::u16string script;
    const char* present; // a part of the report
    const char* absent;  // what a cut line would have given
    int32_t code;
};

class NulLineTest : public EvalScriptTest, public ::testing::WithParamInterface<NulRow> {};

// The library reads a text only up to a NUL, so a line holding one must be refused.
TEST_P(NulLineTest, ReportedNotTakenAsTheLineEnd) {
    const std::string report = Run(GetParam().script);
    EXPECT_NE(report.find(GetParam().present), std::string::npos) << report;
    EXPECT_EQ(report.find(GetParam().absent), std::string::npos) << report;
    EXPECT_EQ(last.code, GetParam().code);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Rows, NulLineTest,
    ::testing::Values(
        NulRow{"inAFormula", u"Expr = 1+2\0+30\r\nExpr = 5"s,
               "Ln 1: Expression = Expr = 1+2<NUL>+30:\r\n Result => ===> ERROR n. = 13: "
               "Invalid parameter/argument   (Module: eval) (invalid character NUL at column 11)"
               "\r\n\r\nLn 2: EXPR = 5:",
               "3.0000", 2001},
        NulRow{"atTheLineEnd", u"Expr = 7\0"s, "(invalid character NUL at column 9)", "7.0000",
               1001},
        NulRow{"lineWithoutStatement", u"abc\0def"s, "Ln 1: Expression = abc<NUL>def:", "Ln 2",
               1001},
        NulRow{"inTheComment", u"Expr = 4 ' a\0b"s, "Number = 4.0000", "ERROR", 1000},
        NulRow{"inADimXBlock",
               u"DimX = mB(1,2); mB(1,1)=1\r\nDimX = mB(1,2); mB(1,2)=2\0\r\nExpr = 3"s,
               "Ln 2: Expression = DimX = mB(1,2); mB(1,2)=2<NUL>:", "Ln 3: Expression = DimX",
               3002}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test

namespace vex::test {
namespace {

// Scripts with the library in Full precision: 15 decimals show correct digits, and a
// stored value comes back whole.
class FullPrecisionScript : public EvalScriptTest, public ::testing::WithParamInterface<OutputRow> {
  protected:
    void SetUp() override {
        EvalScriptTest::SetUp();
        Zorbit().slots.SetPrecisionMode(ZORBIT_PRECISION_FULL);
        host.interp.decimals = 15;
    }
    void TearDown() override {
        Zorbit().slots.SetPrecisionMode(ZORBIT_PRECISION_CLASSIC);
        EvalScriptTest::TearDown();
    }
};

TEST_P(FullPrecisionScript, ReportAndCode) {
    ScriptRun run;
    run.noLabels = run.noLnExp = true;
    EXPECT_TRUE(vex::Library(host.slots).FullPrecision());
    EXPECT_EQ(Run(GetParam().script, run), GetParam().report);
    EXPECT_EQ(last.code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FullPrecisionScript,
    ::testing::Values(OutputRow{"sqrt2", u"Expr = sqrt(2)", " 1.414213562373095", 1000},
                      OutputRow{"ln10", u"Expr = ln(10)", " 2.302585092994046", 1000},
                      OutputRow{"sin_pi", u"Expr = sin(pi)*10^16", " 1.224646799147353", 1000},
                      OutputRow{"exp1", u"Expr = exp(1)", " 2.718281828459045", 1000},
                      OutputRow{"stored_tiny_value", u"StoExpr(t) = 1/10^12\r\nExpr = t*10^12",
                                "Number t = 0.000000000001000\r\n\r\n 1.000000000000000", 2000},
                      OutputRow{"stored_third", u"StoExpr(x) = 1/3\r\nExpr = x*3-1",
                                "Number x = 0.333333333333333\r\n\r\n 0.000000000000000", 2000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvalScriptTest, FullPrecisionStoresMatrixElementsWhole) {
    Zorbit().slots.SetPrecisionMode(ZORBIT_PRECISION_FULL);
    Run(u"Matr = [mA]; 1; 2; 1; 2\r\nStoExpr(m; fileout; m.txt) = [mA]/3");
    Zorbit().slots.SetPrecisionMode(ZORBIT_PRECISION_CLASSIC);
    EXPECT_EQ(ReadFile("m.txt"), "[m]; 1; 2;0.3333333333333333; 0.6666666666666666; ");
}

} // namespace
} // namespace vex::test
