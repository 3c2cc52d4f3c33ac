// e_diff as its callers use it: buffers, failures, the log and the exports.

#include <dlfcn.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "derive/diff_log.h"
#include "derive_test_support.h"
#include "engine/errors.h"
#include "engine/host_hooks.h"

namespace zorbit::test {
namespace {

TEST_F(DeriveTest, BufferRoomIsItsTextAndNeverMoreThanStated) {
    const Derived d = Derive("x^3", "x", 2);
    EXPECT_EQ(d.length, 5); // "3*x^2": the full length, so the caller can retry
    EXPECT_EQ(d.text, "3*");
    std::u16string buffer(10, u' ');
    EXPECT_EQ(DiffFormula(u"x^3", u"x", buffer.data(), 3), 5);
    EXPECT_EQ(A(buffer), std::string("3*x") + '\0' + "      ");
    EXPECT_EQ(DiffFormula(u"x^2", u"x", nullptr, 0), 3);
}

TEST_F(DeriveTest, FailuresLeaveTheBufferAndSetFlagAndCode) {
    for (const auto& [formula, flag, error] :
         {std::tuple{"", 7, 7}, {"sin(x", 1, 6}, {"x)", 1, 6}, {"1.", 1, 6}, {"   ", 1, 6}}) {
        SCOPED_TRACE(formula);
        const Derived d = Derive(formula, "x", 4);
        EXPECT_EQ(d.length, 0);
        EXPECT_EQ(d.text, "    ");
        EXPECT_EQ(d.flag, flag);
        EXPECT_EQ(d.error, error);
    }
    EXPECT_NE(A(RecordError(u"", 0, u"", 2)).find("e_diff"), std::string::npos);
    EXPECT_EQ(Derive("x^2").text, "2*x"); // the next call starts clean
    EXPECT_EQ(LastDiffErr(), 0);
}

TEST_F(DeriveTest, DivisionByZeroDeliversTheTextButFails) {
    const Derived d = Derive("ln(0)");
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(d.text, "0");
    EXPECT_EQ(d.flag, 1);
    EXPECT_EQ(d.error, 8);
}

std::vector<std::string> ReadLog(const char* name = "Derive.Log") {
    std::stringstream all;
    all << std::ifstream(name, std::ios::binary).rdbuf();
    const std::string text = all.str();
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    EXPECT_EQ(from, text.size()) << "every line ends with CR LF";
    return lines;
}

TEST_F(DeriveTest, LogTracesEveryStepWithCounterFigureAndIndentation) {
    std::ofstream("Derive.Log") << "older\r\n";
    SetDiffLogMode(1, u"");
    Derive("x");
    const std::vector<std::string> lines = ReadLog();
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
    ASSERT_GT(lines.size(), head.size());
    for (size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(lines[i], head[i]);
    const std::string n = std::to_string(lines.size());
    EXPECT_EQ(lines[lines.size() - 2],
              std::to_string(lines.size() - 1) + ": (0) Diff, OUT 20, der=1");
    EXPECT_EQ(lines.back(), n + ": (0) Diff, OUT 21, sol=e^x");

    Derive("x"); // numbering goes on; only the default file was recreated
    EXPECT_EQ(ReadLog()[lines.size()], std::to_string(lines.size() + 1) + ": (0) Formula, x");
    std::ofstream("named.log") << "kept\r\n";
    SetDiffLogMode(1, u"named.log");
    Derive("x");
    EXPECT_EQ(ReadLog("named.log")[0], "kept");
}

TEST_F(DeriveTest, NestingFigureCountsOpenEntriesOfTheProcedure) {
    SetDiffLogMode(1, u"");
    Derive("sin(sin(x");
    std::vector<std::string> figures;
    bool errorLogged = false;
    for (const std::string& line : ReadLog()) {
        if (line.find(" GetTreeExpr, ") != std::string::npos)
            figures.push_back(line.substr(line.find('('), 3) +
                              (line.find("IN_") != std::string::npos ? "in" : "out"));
        errorLogged = errorLogged || line.ends_with(" Error, ERR, (Error in formula.)");
    }
    const std::vector<std::string> want = {"(1)in", "(2)in", "(3)in", "(3)out", "(2)out", "(1)out"};
    EXPECT_EQ(figures, want);
    EXPECT_TRUE(errorLogged);
}

int32_t g_boxes = 0;
int32_t CountBox(const char16_t*, const char16_t*, int32_t, int32_t answer) {
    ++g_boxes;
    return answer;
}

TEST_F(DeriveTest, LogModesBoxesCountOnlyAndOff) {
    SetMessageBoxHandler(&CountBox);
    g_boxes = 0;
    SetDiffLogMode(2, u"");
    Derive("x");
    const int32_t boxes = g_boxes;
    EXPECT_EQ(Diff().log.lineCount, boxes);
    SetDiffLogMode(3, u""); // counted, not shown
    Derive("x");
    SetDiffLogMode(0, u"");
    Derive("x");
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(g_boxes, boxes);
    EXPECT_EQ(Diff().log.lineCount, 2 * boxes);
    EXPECT_FALSE(std::filesystem::exists("Derive.Log"));
}

// A counted line is not formed, but every line a written log would hold is counted, on
// every path: chains, calls, powers, a parse error, an early end and the node dump.
// Counting leaves the written lines' indentation and figures as they were.
TEST_F(DeriveTest, CountedLogCountsWhatAWrittenLogHolds) {
    SetMessageBoxHandler(&CountBox);
    for (const char* formula :
         {"x*sin(x)^2-3/x+x*x*x", "arcsin(arctg(x^2))", "x+-y", "sin(x", "(x+1)*(x-1)/x"}) {
        SCOPED_TRACE(formula);
        g_boxes = 0;
        SetDiffLogMode(2, u"");
        Derive(formula);
        const int64_t before = Diff().log.lineCount;
        SetDiffLogMode(3, u"");
        Derive(formula);
        EXPECT_EQ(Diff().log.lineCount - before, g_boxes);
        EXPECT_EQ(Diff().log.indent, u"");
    }
    SetMessageBoxHandler(nullptr);
    SetDiffLogMode(1, u"");
    Derive("x");
    const std::vector<std::string> lines = ReadLog();
    ASSERT_GT(lines.size(), 2u);
    EXPECT_TRUE(lines[1].ends_with(": (1)  GetTreeExpr, IN_, gtNum=0")) << lines[1];
}

TEST_F(DeriveTest, ExportsWorkThroughTheLoadedLibrary) {
    void* lib = dlopen(ZORBIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    const auto eDiff =
        reinterpret_cast<int32_t (*)(const char16_t*, const char16_t*, char16_t*, int32_t)>(
            dlsym(lib, "e_diff"));
    const auto lastErr = reinterpret_cast<int32_t (*)()>(dlsym(lib, "GetLast_diffErr"));
    const auto setLog =
        reinterpret_cast<int32_t (*)(int8_t, const char16_t*)>(dlsym(lib, "SetDiffLogF"));
    const auto getError = reinterpret_cast<int32_t (*)()>(dlsym(lib, "GetE_Error"));
    ASSERT_TRUE(eDiff && lastErr && setLog && getError);
    std::u16string buffer(1000, u' ');
    EXPECT_EQ(eDiff(u"x^2", u"x", buffer.data(), 1000), 3);
    EXPECT_EQ(A(buffer.c_str()), "2*x");
    EXPECT_EQ(getError(), -1);
    EXPECT_EQ(eDiff(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(lastErr(), 7);
    EXPECT_EQ(getError(), 7);
    EXPECT_EQ(setLog(5, nullptr), 5);
    dlclose(lib);
}

} // namespace
} // namespace zorbit::test
