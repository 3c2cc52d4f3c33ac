// e_diff as its callers use it: results, buffers, error codes, the log and the exports.

#include <dlfcn.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "derive/diff_log.h"
#include "derive_test_support.h"
#include "engine/diagnostics/host.h"
#include "engine/errors.h"

namespace zorbit::test {
namespace {

struct EntryRow {
    const char* name;
    const char* formula;
    const char* variable;
    const char* derivative;
};

class Entry : public DeriveTest, public testing::WithParamInterface<EntryRow> {};

TEST_P(Entry, PrintsTheDerivative) {
    const EntryRow& row = GetParam();
    const Derived d = Derive(row.formula, row.variable);
    EXPECT_EQ(d.text, row.derivative);
    EXPECT_EQ(d.length, static_cast<int32_t>(d.text.size()));
    EXPECT_EQ(d.error, -1);
    EXPECT_EQ(d.flag, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Entry,
    testing::Values(
        EntryRow{"Square", "x^2", "x", "2*x"},
        EntryRow{"Sine", "sin(x)", "x", "cos(x)"},
        EntryRow{"Linear", "3*x", "x", "3"},
        EntryRow{"Constant", "5", "x", "0"},
        EntryRow{"OtherName", "a", "x", "0"},
        EntryRow{"CaseSensitiveVariable", "X", "x", "0"},
        EntryRow{"OtherVariable", "x*y^2", "y", "2*y*x"},
        EntryRow{"NameExponent", "x^a", "x", "a*x^a/x"},
        EntryRow{"NumberBaseVariableExponent", "2^x", "x", "2^x*0.6931471825"},
        EntryRow{"VariableToItself", "x^x", "x", "x*x^x/x+x^x*ln(x)"},
        EntryRow{"Cube", "x^3", "x", "3*x^2"},
        EntryRow{"SquareRoot", "x^0.5", "x", "0.5*x^(-0.5)"},
        EntryRow{"Reciprocal", "1/x", "x", "(-1)/x^2"},
        EntryRow{"Cosine", "cos(2*x)", "x", "(-(sin(2*x)*2))"},
        EntryRow{"Log10", "log10(x)", "x", "1/x/2.302585"},
        EntryRow{"Negation", "-x", "x", "(-1)"},
        EntryRow{"Polynomial", "x^3-2*x^2+x-1", "x", "3*x^2-2*x*2+1"},
        EntryRow{"Exponential", "exp(x^2)", "x", "exp(x^2)*2*x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeriveTest, ShortBufferGetsTheStartAndTheFullLength) {
    const Derived d = Derive("x^3", "x", 2);
    EXPECT_EQ(d.length, 5);  // "3*x^2"
    EXPECT_EQ(d.text, "3*");
    EXPECT_EQ(d.error, -1);
}

TEST_F(DeriveTest, RoomNeverExceedsTheStatedLength) {
    std::u16string buffer(10, u' ');
    EXPECT_EQ(DiffFormula(u"x^3", u"x", buffer.data(), 3), 5);
    EXPECT_EQ(A(buffer), std::string("3*x") + '\0' + "      ");
}

TEST_F(DeriveTest, NullBufferStillTellsTheLength) {
    EXPECT_EQ(DiffFormula(u"x^2", u"x", nullptr, 0), 3);
    EXPECT_EQ(E_Error(), -1);
}

TEST_F(DeriveTest, FailuresLeaveTheBufferAndSetFlagAndCode) {
    struct Row {
        const char* formula;
        int32_t flag;
        int32_t error;
    };
    for (const Row& row : {Row{"", 7, 7}, Row{"sin(x", 1, 6}, Row{"x)", 1, 6}, Row{"x+", 1, 6},
                           Row{"1.", 1, 6}, Row{"x^(n+1)", 1, 6}, Row{"   ", 1, 6}}) {
        SCOPED_TRACE(row.formula);
        const Derived d = Derive(row.formula, "x", 4);
        EXPECT_EQ(d.length, 0);
        EXPECT_EQ(d.text, "    ");
        EXPECT_EQ(d.flag, row.flag);
        EXPECT_EQ(d.error, row.error);
    }
}

TEST_F(DeriveTest, DivisionByZeroDeliversTheTextButFails) {
    const Derived d = Derive("ln(0)");
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(d.text, "0");
    EXPECT_EQ(d.flag, 1);
    EXPECT_EQ(d.error, 8);
}

TEST_F(DeriveTest, FailureIsRecordedAndTheNextCallStartsClean) {
    Derive("sin(x");
    EXPECT_NE(A(RecordError(u"", 0, u"", 2)).find("e_diff"), std::string::npos);
    const Derived d = Derive("x^2");
    EXPECT_EQ(d.text, "2*x");
    EXPECT_EQ(d.flag, 0);
    EXPECT_EQ(Diff().Index, 0);
}

std::vector<std::string> ReadLog(const std::string& name = "Derive.Log") {
    std::ifstream in(name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::vector<std::string> lines;
    const std::string text = all.str();
    size_t from = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + 2;
    }
    EXPECT_EQ(from, text.size()) << "every line ends with CR LF";
    return lines;
}

TEST_F(DeriveTest, LogTracesEveryStepWithCounterFigureAndIndentation) {
    SetDiffLogMode(1, u"");
    Derive("x");
    const std::vector<std::string> lines = ReadLog();
    ASSERT_GT(lines.size(), 12u);
    const std::vector<std::string> head = {
        "1: (0) Formula, x",
        "2: (1)  GetTreeExpr, IN_, gtNum=0",
        "3: (1)   GetOp, IN_, gtNum=0, c=",
        "4: (1)    GetLex, IN_ 1, \\pos=1, lNum=0",
        "5: (1)    GetLex, OUT 9, con=x, \\pos=2, lNum=8",
        "6: (1)    GetSingleOp, IN_, gtNum=8, \\bc=0",
        "7: (1)     NewNode, IN_, \\Index=0",
        "8: (1)     NewNode, OUT 10, \\Index=1",
        "9: (1)     GetLex, IN_ 2, \\pos=2, lNum=8",
        "10: (1)     GetLex, OUT 8, con=, \\pos=2 > Len(s)=1",
        "11: (1)    GetSingleOp, OUT 11, c=, gtNum=0, opCode=8, Result(l)=1",
        "12: (1)   GetOp, OUT 13, gtNum=0, opCode=8, Result(l)=1",
        "13: (1)  GetTreeExpr, OUT 1, gtNum=0, Result=1",
        "14: (0) Formula, x",
        "15: (0) Nodes Expr., index=1, \\l=0, \\r=0, \\opCode=8, op=f(x), \\con=x",
    };
    for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]);
    EXPECT_EQ(lines.back(), std::to_string(lines.size()) + ": (0) Diff, OUT 21, sol=e^x");
    EXPECT_EQ(lines[lines.size() - 2], std::to_string(lines.size() - 1) + ": (0) Diff, OUT 20, der=1");
}

TEST_F(DeriveTest, LogNumbersLinesAcrossCallsAndRecreatesOnlyTheDefaultFile) {
    std::ofstream("Derive.Log") << "old line\r\n";
    SetDiffLogMode(1, u"");
    Derive("x");
    const size_t first = ReadLog().size();
    Derive("x");
    const std::vector<std::string> lines = ReadLog();
    EXPECT_EQ(lines.front(), "1: (0) Formula, x");
    ASSERT_EQ(lines.size(), 2 * first);
    EXPECT_EQ(lines[first], std::to_string(first + 1) + ": (0) Formula, x");

    std::ofstream("named.log") << "kept\r\n";
    SetDiffLogMode(1, u"named.log");
    Derive("x");
    const std::vector<std::string> named = ReadLog("named.log");
    EXPECT_EQ(named.front(), "kept");
    EXPECT_EQ(named[1], std::to_string(2 * first + 1) + ": (0) Formula, x");
}

TEST_F(DeriveTest, NestingFigureCountsOpenEntriesOfTheProcedure) {
    SetDiffLogMode(1, u"");
    Derive("sin(sin(x))");
    std::vector<std::string> entries;
    for (const std::string& line : ReadLog())
        if (line.find(" GetTreeExpr, ") != std::string::npos)
            entries.push_back(line.substr(line.find('(')));
    ASSERT_GE(entries.size(), 6u);
    EXPECT_EQ(entries[0].substr(0, 34), "(1)  GetTreeExpr, IN_, gtNum=0");
    EXPECT_EQ(entries[1].substr(0, 4), "(2) ");
    EXPECT_EQ(entries[2].substr(0, 4), "(3) ");
    EXPECT_EQ(entries[3].substr(0, 4), "(3) ");  // the exit shares its entry's figure
    EXPECT_NE(entries[3].find("OUT 1"), std::string::npos);
}

TEST_F(DeriveTest, LogReportsErrors) {
    SetDiffLogMode(1, u"");
    Derive("sin(x");
    bool found = false;
    for (const std::string& line : ReadLog())
        found = found || line.ends_with(" Error, ERR, (Error in formula.)");
    EXPECT_TRUE(found);
}

int32_t g_boxes = 0;
std::u16string g_lastTitle;
int32_t CountBox(const char16_t* title, const char16_t*, int32_t, int32_t answer) {
    ++g_boxes;
    g_lastTitle = title;
    return answer;
}

TEST_F(DeriveTest, LogModesBoxesCountOnlyAndOff) {
    SetMessageBoxHandler(&CountBox);
    g_boxes = 0;
    SetDiffLogMode(2, u"");
    Derive("x");
    const int32_t boxes = g_boxes;
    EXPECT_GT(boxes, 10);
    EXPECT_EQ(A(g_lastTitle), "Diff");
    EXPECT_EQ(Diff().log.lineCount, boxes);

    SetDiffLogMode(3, u"");
    Derive("x");
    EXPECT_EQ(g_boxes, boxes);
    EXPECT_EQ(Diff().log.lineCount, 2 * boxes);

    SetDiffLogMode(0, u"");
    Derive("x");
    EXPECT_EQ(Diff().log.lineCount, 2 * boxes);
    SetMessageBoxHandler(nullptr);
    EXPECT_FALSE(std::filesystem::exists("Derive.Log"));
}

TEST_F(DeriveTest, ExportsWorkThroughTheLoadedLibrary) {
    void* lib = dlopen(ZORBIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using DiffFn = int32_t (*)(const char16_t*, const char16_t*, char16_t*, int32_t);
    using FlagFn = int32_t (*)();
    using LogFn = int32_t (*)(int8_t, const char16_t*);
    const auto eDiff = reinterpret_cast<DiffFn>(dlsym(lib, "e_diff"));
    const auto lastErr = reinterpret_cast<FlagFn>(dlsym(lib, "GetLast_diffErr"));
    const auto setLog = reinterpret_cast<LogFn>(dlsym(lib, "SetDiffLogF"));
    const auto getError = reinterpret_cast<FlagFn>(dlsym(lib, "GetE_Error"));
    ASSERT_TRUE(eDiff && lastErr && setLog && getError);

    std::u16string buffer(1000, u' ');
    EXPECT_EQ(eDiff(u"x^2", u"x", buffer.data(), 1000), 3);
    EXPECT_EQ(A(buffer.c_str()), "2*x");
    EXPECT_EQ(getError(), -1);
    EXPECT_EQ(lastErr(), 0);
    EXPECT_EQ(eDiff(u"", u"x", buffer.data(), 1000), 0);
    EXPECT_EQ(lastErr(), 7);
    EXPECT_EQ(getError(), 7);
    EXPECT_EQ(eDiff(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(setLog(5, u""), 5);
    EXPECT_EQ(setLog(0, nullptr), 0);
    dlclose(lib);
}

}  // namespace
}  // namespace zorbit::test
