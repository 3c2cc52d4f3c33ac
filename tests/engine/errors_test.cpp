#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/debugf.h"
#include "engine/errors.h"
#include "engine/variables.h"
#include "engine_fixture.h"

namespace zorbit::test {
namespace {

class Errors : public EngineTest {};

struct DescrRow {
    int32_t code;
    std::u16string_view text;
};

std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The debug file lies in the shared temporary folder: what another user plants under
// its name is neither written through nor waited on.
TEST_F(Errors, DebugFileNeverFollowsWhatIsPlantedUnderItsName) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vex-debugf-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", dir.c_str(), 1);
    const fs::path debug = DebugFilePath();
    ASSERT_EQ(debug, dir / "debugf.dbg");

    DebugF(u"one", false, false);
    DebugF(u"two", true, false);
    EXPECT_EQ(Slurp(debug), "one\r\ntwo\r\n");

    fs::remove(debug);
    std::ofstream(dir / "victim") << "kept";
    fs::create_symlink(dir / "victim", debug);
    DebugF(u"through a link", false, false);
    EXPECT_EQ(Slurp(dir / "victim"), "kept");

    fs::remove(debug);
    ASSERT_EQ(::mkfifo(debug.c_str(), 0600), 0);
    DebugF(u"into a FIFO", true, false); // returns: nothing reads the FIFO
    EXPECT_TRUE(fs::is_fifo(debug));

    if (old)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    fs::remove_all(dir);
}

TEST_F(Errors, DescriptionsArePaddedTableTexts) {
    const DescrRow rows[] = {
        {-1, u"No Error                     (Module: eval)"},
        {8, u"Division by zero             (Module: eval & sDiff)"},
        {14, u"Matrix not defined/found     (Module: eval)"},
        {15, u""},
        {500, u"Undefined Command/Keyword    (Module: eval)"},
        {-31, u"Undefined Command/Keyword    (Module: eval)"},
        {36, u"Error in formula             (Module: sDiff)"},
        {-25, u"Orders not equal               (Module: aMatr)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(std::u16string(GetErrorDescriptionText(r.code, false)), r.text);
    }
}

TEST_F(Errors, CurrentErrorAndExtendedDescription) {
    Code(u"2+");
    EXPECT_EQ(std::u16string(GetErrorDescriptionText(-99, false)),
              u"Parser syntax error          (Module: eval)");
    Code(u"1/0");
    const std::u16string ext = GetErrorDescriptionText(8, true);
    EXPECT_EQ(
        ext.rfind(u"Division by zero             (Module: eval & sDiff) | \r\nProcedure : '", 0),
        0u);
}

TEST_F(Errors, RecordCarriesProcedureCodeExtraAndParserState) {
    E_Error() = 13;
    Engine().parser.e_expr = u"1+2";
    ReportError(u"MyProc", 77, u"Some detail\r\n");
    const std::u16string& m = Engine().errors.ErrMsgs;
    EXPECT_EQ(m.rfind(u"\r\nProcedure : 'MyProc (Line: 77)'\r\nError nr. : 13, Description: "
                      u"Invalid parameter/argument   (Module: eval)\r\nSome detail\r\n",
                      0),
              0u)
        << Narrow(m);
    EXPECT_NE(m.find(u"Extended Error Info:\r\n  expression  : 1+2\r\n  pos("),
              std::u16string::npos);
    EXPECT_EQ(RecordError(u"", 0, u"", 8), Engine().errors.LastErrInfo);
    RecordError(u"", 0, u"", 4);
    EXPECT_TRUE(Engine().errors.ErrMsgs.empty());
}

TEST_F(Errors, ARecordQuotesAHugeFormulaOnlyInPart) {
    // 2,000,000 characters failing at the end: quoted whole, each record would hold the
    // formula three times (expression, position ruler, what remains).
    std::u16string formula;
    for (int i = 0; i < 1000000; ++i)
        formula += u"1+";
    formula.back() = u'*';
    ParserState& ps = Engine().parser;
    ps.e_expr = formula;
    ps.pos = 1000000;
    ps.text = std::u16string_view(ps.e_expr).substr(ps.pos, 1);
    ReportError(u"e_eval", 0, u"");
    const std::u16string& info = Engine().errors.LastErrInfo;
    EXPECT_LT(info.size(), 300000u);
    EXPECT_NE(info.find(u"1+1+1+"), std::u16string::npos);
    EXPECT_NE(info.find(u" ... (2000000 characters)"), std::u16string::npos) << info.size();
}

TEST_F(Errors, CopyHonoursCapacityAndReportsFullSize) {
    Code(u"1/0");
    const int32_t size = CopyErrorMsgs(nullptr, 0, false);
    EXPECT_EQ(size, static_cast<int32_t>(Engine().errors.ErrMsgs.size() * 2));
    char16_t small[6];
    EXPECT_EQ(CopyErrorMsgs(small, 6, false), size);
    EXPECT_EQ(std::u16string(small), Engine().errors.ErrMsgs.substr(0, 5));
    ReSetZiZoruze();
    EXPECT_EQ(CopyErrorMsgs(nullptr, 0, false), 0);
}

TEST_F(Errors, RecordsStayBoundedOverManyErrors) {
    const std::u16string big = u"1+" + std::u16string(20000, u'(');
    for (int i = 0; i < 400; ++i)
        Code(big);
    EXPECT_LE(Engine().errors.ErrMsgs.size(), 4u << 20);
}

TEST_F(Errors, DebugModesRouteTheTrace) {
    Engine().errors.DebugMode = 4;
    Value(u"2+3");
    const std::u16string& log = Engine().errors.DebugLog;
    EXPECT_NE(log.find(u"||| e_nxt(1) ENTRY |||"), std::u16string::npos);
    EXPECT_NE(log.find(u"element     = 2"), std::u16string::npos);
    EXPECT_NE(log.find(u"remaining   = +3"), std::u16string::npos);
    const size_t before = log.size();
    Engine().errors.DebugMode = 5; // bit 1 silences everything
    Value(u"2+3");
    EXPECT_EQ(Engine().errors.DebugLog.size(), before);
}

TEST_F(Errors, TraceShowsReplacedVariables) {
    SetVarFunct(u"x", u"2.5", 0);
    Engine().errors.DebugMode = 4;
    Value(u"x");
    EXPECT_NE(Engine().errors.DebugLog.find(u"element     = x => '2.5000000000'"),
              std::u16string::npos);
}

} // namespace
} // namespace zorbit::test
