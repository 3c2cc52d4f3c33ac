#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "script/eval_script.h"
#include "script/keywords.h"
#include "script/text_util.h"
#include "shell/config.h"
#include "shell/entry.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

std::u16string ToUpper16(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    return text;
}

struct CommandRow {
    const char* name;
    const char16_t* text;
    bool command;
};

class CommandTestRows : public ::testing::TestWithParam<CommandRow> {};

TEST_P(CommandTestRows, FirstWordContainsAKeyword) {
    EXPECT_EQ(IsCommand(InitKeywordTable(), GetParam().text), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandTestRows,
                         ::testing::Values(CommandRow{"expr", u"Expr = 2+3", true},
                                           CommandRow{"sdiff", u"sdiff(x) = x^2", true},
                                           CommandRow{"plainFormula", u"2+3", false},
                                           CommandRow{"containsVar", u"variable = 1", true},
                                           CommandRow{"exprfContainsExpr", u"exprf = a.txt", true},
                                           CommandRow{"secondWordIgnored", u"2 + expr", false},
                                           CommandRow{"about", u"aAbout( )", true},
                                           CommandRow{"solvePolyn", u"SolvePolyn = x^2-4", true},
                                           CommandRow{"elemOrderSet", u"aElemOrderSet = 0", true},
                                           CommandRow{"precision", u"Precision = full", true},
                                           CommandRow{"format", u"format = auto", true},
                                           CommandRow{"scientificFormula", u"6.02e23/1e23", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every word the interpreter runs, typed as it would be, is a command in the entry line.
TEST(CommandWordsTest, EveryInterpreterWordIsACommand) {
    const std::vector<std::u16string> keywords = InitKeywordTable();
    const std::vector<std::u16string> words = CommandWords();
    ASSERT_GE(words.size(), 30u);
    for (const std::u16string& word : words) {
        for (const std::u16string& typed : {word + u" = 1", word + u"(1)", ToUpper16(word) + u"=1"})
            EXPECT_TRUE(IsCommand(keywords, typed)) << U8(typed);
    }
}

class EntryLineTest : public ScriptTest {};

struct BatchOnlyRow {
    const char* name;
    const char16_t* line;
    const char* shown; // a row that must be among the results; null: no rows
};

class BatchOnlyCommandRows : public ScriptTest,
                             public ::testing::WithParamInterface<BatchOnlyRow> {};

// Commands the entry line once ran as formulas ("Undefined function").
TEST_P(BatchOnlyCommandRows, RunAsCommands) {
    ASSERT_FALSE(RunEntryLine(host, InitKeywordTable(), u"VarPolyn = x").error);
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), GetParam().line);
    EXPECT_EQ(r.text, GetParam().line) << "no Expr prefix";
    EXPECT_FALSE(r.error);
    if (!GetParam().shown) {
        EXPECT_TRUE(r.rows.empty());
        return;
    }
    std::string all;
    for (const EntryRow& row : r.rows)
        all += U8(row.text) + "\n";
    EXPECT_NE(all.find(GetParam().shown), std::string::npos) << all;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchOnlyCommandRows,
    ::testing::Values(BatchOnlyRow{"solvePolyn", u"SolvePolyn = x^2-4",
                                   "Solution Polyn => -2.0000"},
                      BatchOnlyRow{"about", u"aAbout( )", "Library: Zorbit.dll"},
                      BatchOnlyRow{"elemOrderSet", u"aElemOrderSet = 0", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryLineTest, FormulaGetsExprAndShowsItsValue) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), u"2+3");
    EXPECT_EQ(U8(r.text), "Expr = 2+3");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(U8(r.rows[0].text), "5.0000");
    EXPECT_FALSE(r.error);
}

TEST_F(EntryLineTest, DefinitionsCarryFromLineToLine) {
    RunEntryLine(host, InitKeywordTable(), u"Var = k; 4");
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), u"k*k");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(U8(r.rows[0].text), "16.0000");
}

TEST_F(EntryLineTest, ErrorIsFlaggedAndCut) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), u"1/");
    EXPECT_TRUE(r.error);
    ASSERT_FALSE(r.rows.empty());
    EXPECT_EQ(U8(r.rows[0].text).rfind("ERROR n. = ", 0), 0u);
}

// The rows as the list took them from the report text before the rows were data: the
// report trimmed, tabs as four spaces, cut after the first arrow when it holds an
// error, split into its non-empty lines.
std::vector<std::string> RowsCutFromReport(std::u16string_view report) {
    std::u16string out;
    for (char16_t c : zorbit::TrimSpaces(StripLineEnds(report)))
        out += c == u'\t' ? std::u16string(u"    ") : std::u16string(1, c);
    const size_t arrow = out.find(u"===>");
    if (arrow != out.npos && out.find(u"ERROR") != out.npos)
        out.erase(0, std::min(out.size(), arrow + 5));
    std::vector<std::string> lines;
    for (size_t start = 0; start <= out.size();) {
        const size_t end = std::min(out.find_first_of(u"\r\n", start), out.size());
        if (end > start) lines.push_back(U8(out.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

struct ShownCase {
    const char* name;
    std::u16string line;
    std::vector<RowKind> kinds; // of the rows shown
    int32_t code;               // of the first error row shown (-1: none shown)
    const char* module;
    int64_t position; // of that row, in the line as typed
};

class EntryRowsTest : public ScriptTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(EntryRowsTest, AreTheReportsRowsAsTheListShowedThem) {
    const ShownCase& c = GetParam();
    RunEntryLine(host, InitKeywordTable(), u"Matr = [mR]; 2; 2; 1; 2; 3; 4");
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), c.line);
    std::vector<std::string> texts;
    std::vector<RowKind> kinds;
    const EntryRow* error = nullptr;
    for (const EntryRow& row : r.rows) {
        texts.push_back(U8(row.text));
        kinds.push_back(row.kind);
        if (!error && row.kind == RowKind::Error) error = &row;
    }
    EXPECT_EQ(texts, RowsCutFromReport(host.batch.vexResStr));
    EXPECT_EQ(kinds, c.kinds);
    EXPECT_EQ(r.error, error != nullptr || (!kinds.empty() && kinds.back() == RowKind::Failure));
    ASSERT_EQ(error != nullptr, c.code != -1);
    if (!error) return;
    EXPECT_EQ(error->code, c.code);
    EXPECT_EQ(U8(error->module), c.module);
    EXPECT_EQ(error->position, c.position);
}

using K = RowKind;
INSTANTIATE_TEST_SUITE_P(
    Rows, EntryRowsTest,
    ::testing::Values(
        ShownCase{"value", u"2+3", {K::Result}, -1, "", -1},
        ShownCase{"hex", u"Hex = 255", {K::Result}, -1, "", -1},
        ShownCase{"syntaxError", u"1/", {K::Error}, 3, "eval", 2},
        ShownCase{"syntaxErrorIndented", u"   2*zork+1", {K::Error}, 4, "eval", 5},
        ShownCase{"errorInCommand", u"Expr = 1+*2", {K::Error}, 3, "eval", 9},
        ShownCase{"unknownCommand", u"variable = 1", {K::Error}, 25, "eval", 0},
        ShownCase{"unknownCommandIndented", u"  variable = 1", {K::Error}, 25, "eval", 2},
        ShownCase{"nul", std::u16string(u"1+2\0+30", 8), {K::Error}, 13, "eval", 3},
        ShownCase{"nulInCommand", std::u16string(u" Expr = 4\0", 10), {K::Error}, 13, "eval", 9},
        ShownCase{"matrixValue", u"[mR]", {K::MatrixRow, K::MatrixRow}, -1, "", -1},
        ShownCase{"showMatrix", u"Show([mR])", {K::Result, K::MatrixRow, K::MatrixRow}, -1, "", -1},
        ShownCase{"showUnknown", u"Show(zz9)", {K::Error}, 14, "eval", -1},
        ShownCase{"derivative", u"sDiff(x) = x^3", {K::Derivative}, -1, "", -1},
        ShownCase{"integral", u"Integrate(0;1;10;trap;x) = x", {K::Result}, -1, "", -1},
        ShownCase{"functionWithoutBody", u"Funct = f9", {K::Error}, 13, "eval", -1},
        ShownCase{"plotWithoutWindow", u"Plot = x", {K::Expression, K::Failure}, -1, "", -1},
        ShownCase{"plotBoundFails", u"Plot(1/; 2) = x", {K::Error}, 3, "eval", -1},
        ShownCase{"valueThenError", u"Expr = 2\r\nExpr = 1/", {K::Error}, 3, "eval", 19},
        ShownCase{"errorThenValue", u"Expr = 1/\r\nExpr = 2", {K::Error, K::Result}, 3, "eval", 9},
        ShownCase{"copiedLine", u"Var = q9; 1\r\n''note", {K::Copy}, -1, "", -1},
        ShownCase{"aboutLines", u"Var = q9; 1\r\naAbout( )", std::vector<K>(10, K::Info), -1, "",
                  -1},
        ShownCase{"elementOrderHidden", u"aElemOrderEx( )", {}, -1, "", -1}),
    [](const auto& info) { return std::string(info.param.name); });

// A typed "===>" is no error arrow: the rows still start at the error's text.
TEST_F(EntryLineTest, ArrowTypedInTheLineDoesNotCutTheRows) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), u"1===>2");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(U8(r.rows[0].text).rfind("ERROR n. = ", 0), 0u) << U8(r.rows[0].text);
    // Cut at the first arrow of the text, the rows were the header's tail and the arrow.
    EXPECT_EQ(RowsCutFromReport(host.batch.vexResStr).size(), 2u);
}

// Counts what the plot command asks of the plot service.
class CountingPlots final : public PlotService {
  public:
    PlotOutcome Plot(const PlotRequest& request) override {
        requests.push_back(request);
        return {};
    }
    void CloseAll() override { ++closed; }
    std::vector<PlotRequest> requests;
    int closed = 0;
};

TEST_F(EntryLineTest, PlotWindowsOfEarlierLinesStayOpen) {
    CountingPlots plots;
    platform.plot = &plots;
    const EntryResult first = RunEntryLine(host, InitKeywordTable(), u"Plot(-2; 2; 4) = x^2");
    const EntryResult second = RunEntryLine(host, InitKeywordTable(), u"Plot = sin(x)");
    ASSERT_EQ(plots.requests.size(), 2u);
    EXPECT_EQ(plots.closed, 0);
    EXPECT_EQ(U8(plots.requests[0].expression), "x^2");
    EXPECT_EQ(plots.requests[0].steps, 4);
    EXPECT_FALSE(plots.requests[0].save);
    EXPECT_EQ(U8(plots.requests[1].expression), "sin(x)");
    EXPECT_EQ(plots.requests[1].xFrom, -10);
    ASSERT_EQ(second.rows.size(), 1u);
    EXPECT_EQ(U8(second.rows[0].text), "FileName => plot not saved file");
    // "; save" in the entry line saves the picture.
    RunEntryLine(host, InitKeywordTable(), u"Plot = cos(x); save");
    ASSERT_EQ(plots.requests.size(), 3u);
    EXPECT_TRUE(plots.requests[2].save);
    EXPECT_EQ(U8(plots.requests[2].imageName), "0");
    platform.plot = nullptr;
}

TEST_F(EntryLineTest, EmptyLineDoesNothing) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), u"   ");
    EXPECT_TRUE(r.rows.empty());
    EXPECT_TRUE(r.text.empty());
}

TEST_F(EntryLineTest, MatrixResultGivesOneLinePerRow) {
    RunEntryLine(host, InitKeywordTable(), u"Matr = [mA]; 2; 2; 1; 2; 3; 4");
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), u"[mA]");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(U8(r.rows[0].text), "A(0,0)=1.0000    A(0,1)=2.0000    ");
}

struct SlashRow {
    const char* name;
    const char16_t* line;
    const char* row; // the one result row
};

class EntrySlashTest : public ScriptTest, public ::testing::WithParamInterface<SlashRow> {};

// The typed line runs whole: no "/" in it reaches the switch settings, so no log is
// written, no window opens and no line selection hides later results.
TEST_P(EntrySlashTest, FormulaRunsWhole) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), GetParam().line);
    EXPECT_FALSE(r.error);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(U8(r.rows[0].text), GetParam().row);
    EXPECT_FALSE(host.batch.logF);
    EXPECT_FALSE(host.batch.lnsF);
    EXPECT_FALSE(host.batch.SaveToClpBF);
    EXPECT_FALSE(host.batch.delF);
    EXPECT_TRUE(window.text.empty()) << window.text;
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    const EntryResult next = RunEntryLine(host, InitKeywordTable(), u"2+3");
    ASSERT_EQ(next.rows.size(), 1u);
    EXPECT_EQ(U8(next.rows[0].text), "5.0000");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EntrySlashTest,
    ::testing::Values(SlashRow{"logInFormula", u"1/log(10)", "0.4343"},
                      SlashRow{"lnInFormula", u"1/ln(2)", "1.4427"},
                      SlashRow{"abInFormula", u"1/abs(-2)", "0.5000"},
                      SlashRow{"secInFormula", u"1/sec(0)", "1.0000"},
                      SlashRow{"notInFormula", u"1/ not(0)", "-1.0000"},
                      SlashRow{"commentKeepsItsRule", u"1/2 ' half /log:x /sm", "0.5000"},
                      SlashRow{"commentQuotedAtBothEnds", u"2+3 'five'", "5.0000"},
                      SlashRow{"commandWithSlash", u"Expr = 1/4", "0.2500"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryLineTest, NulIsAnInvalidCharacterNotTheLineEnd) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), std::u16string(u"1+2\0+30", 8));
    EXPECT_TRUE(r.error);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_NE(U8(r.rows[0].text).find("invalid character NUL at column 11"), std::string::npos)
        << U8(r.rows[0].text);
}

struct BreakRow {
    const char* name;
    std::u16string line;
    const char* note; // in the one error row
    const char* text; // the line as the list shows it
};

class EntryBreakTest : public ScriptTest, public ::testing::WithParamInterface<BreakRow> {};

// The script behind the entry would run only the part before the break and answer as if
// it were the whole line.
TEST_P(EntryBreakTest, LineWithABreakIsRefusedNotCut) {
    const EntryResult r = RunEntryLine(host, InitKeywordTable(), GetParam().line);
    EXPECT_TRUE(r.error);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_NE(U8(r.rows[0].text).find(GetParam().note), std::string::npos) << U8(r.rows[0].text);
    EXPECT_EQ(U8(r.text), GetParam().text);
    EXPECT_TRUE(RunEntryLine(host, InitKeywordTable(), u"brk9").error) << "a part of it ran";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EntryBreakTest,
    ::testing::Values(BreakRow{"loneCr", u"2\r*3", "line break (CR) at column 2", "Expr = 2 *3"},
                      BreakRow{"lf", u"1+1\n*100", "line break (LF) at column 4",
                               "Expr = 1+1 *100"},
                      BreakRow{"crLfInFormula", u"1+1\r\n*100", "line break (CR) at column 4",
                               "Expr = 1+1  *100"},
                      BreakRow{"loneLfInCommand", u"Var = brk9; 1\nVar = brk9; x",
                               "line break (LF) at column 14", "Var = brk9; 1 Var = brk9; x"},
                      BreakRow{"lfBeforeCrInCommand", u"Var = brk9; 1\n\rVar = brk9; 2",
                               "line break (LF) at column 14", "Var = brk9; 1  Var = brk9; 2"}),
    [](const auto& info) { return std::string(info.param.name); });

// A command may span lines (the matrix window's multi-line form): each runs.
TEST_F(EntryLineTest, CommandSpansLinesEndedByCrLfOrCr) {
    const EntryResult r =
        RunEntryLine(host, InitKeywordTable(), u"Var = brk7; 2\r\nVar = brk8; 3\rExpr = brk7*brk8");
    EXPECT_FALSE(r.error);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(U8(r.rows[0].text), "6.0000");
}

struct ConfigRow {
    const char* name;
    const char16_t* ini;
    int32_t decimals;
    int32_t exprWidth;
    const char* font;
};

class ConfigurationTest : public ::testing::TestWithParam<ConfigRow> {};

TEST_P(ConfigurationTest, ReadAsTheMainWindowReadsIt) {
    const ShellSettings s = ParseConfiguration(GetParam().ini);
    EXPECT_EQ(s.Decimals, GetParam().decimals);
    EXPECT_EQ(s.ExprWidth, GetParam().exprWidth);
    EXPECT_EQ(U8(s.curFontName), GetParam().font);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConfigurationTest,
    ::testing::Values(
        ConfigRow{"noFile", u"", 4, 213, "Lucida Console"},
        ConfigRow{"decimals", u"[Config]\r\nDecimals=2\r\n", 2, 213, "Lucida Console"},
        ConfigRow{"keysIgnoreCase", u"[config]\ndecimals = 7\n", 7, 213, "Lucida Console"},
        ConfigRow{"notANumber", u"[Config]\nDecimals=abc\n", 0, 213, "Lucida Console"},
        ConfigRow{"otherSection", u"[vexCalc]\nDecimals=2\nwndW=420\n", 4, 288, "Lucida Console"},
        ConfigRow{"longValueCut",
                  u"[Config]\nDefFontName=ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRS\n", 4, 213,
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLM"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
