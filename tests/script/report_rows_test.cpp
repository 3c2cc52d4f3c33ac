#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/eval_script.h"
#include "script/report_rows.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

using K = RowKind;

struct ScriptCase {
    const char* name;
    std::u16string script;
    std::vector<RowKind> kinds; // with labels and headers
    int32_t code;               // of the first error row (-1: none)
    const char* module;
};

class ReportRowsTest : public ScriptTest, public ::testing::WithParamInterface<ScriptCase> {};

// The report a run hands back is its rows' text, whatever the switches; the rows say
// what each line of it is.
TEST_P(ReportRowsTest, ReportIsTheTextOfItsRows) {
    const ScriptCase& c = GetParam();
    host.slots = &Zorbit().slots;
    host.batch.CurDir = U16(dir.string()) + u"/";
    std::vector<ReportRow> rows;
    for (const bool bare : {true, false}) {
        SCOPED_TRACE(bare ? "without labels and headers" : "with labels and headers");
        ScriptRun run;
        run.noLabels = run.noLnExp = bare;
        run.rows = &rows;
        const ScriptResult r = EvalScript(host, c.script, run);
        EXPECT_EQ(U8(ReportText(rows)), U8(r.report));
    }
    std::vector<RowKind> kinds;
    const ReportRow* error = nullptr;
    for (const ReportRow& row : rows) {
        kinds.push_back(row.kind);
        if (!error && row.kind == K::Error) error = &row;
    }
    EXPECT_EQ(kinds, c.kinds);
    ASSERT_EQ(error != nullptr, c.code != -1);
    if (!error) return;
    EXPECT_EQ(error->code, c.code);
    EXPECT_EQ(U8(error->module), c.module);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportRowsTest,
    ::testing::Values(
        ScriptCase{"value", u"Expr = 2+3", {K::Expression, K::Result}, -1, ""},
        ScriptCase{"divisionByZero", u"Expr = 1/0", {K::Expression, K::Error}, 8, "eval & sDiff"},
        ScriptCase{"matrix",
                   u"Matr = [mP]; 2; 2; 1; 2; 3; 4\r\nExpr = [mP]\r\nShow([mP])",
                   {K::Expression, K::Result, K::MatrixRow, K::MatrixRow, K::Result, K::MatrixRow,
                    K::MatrixRow},
                   -1,
                   ""},
        ScriptCase{"badMatrix", u"Matr = [mQ]; 2; 2; 1", {K::Expression, K::Error}, 12, "eval"},
        ScriptCase{"derivatives",
                   u"sDiff(x) = x^2\r\nVarPolyn = x\r\nDerivate = x^3",
                   {K::Expression, K::Derivative, K::Expression, K::Derivative},
                   -1,
                   ""},
        ScriptCase{"missingInput", u"ExprF = nofile.txt", {K::Expression, K::Error}, -2, "batch"},
        ScriptCase{"copiedAndComments",
                   u"''kept\r\n' dropped\r\n\\\\ block\r\nin it //\r\naElemOrderEx( )",
                   {K::Copy, K::Copy, K::Copy, K::Info},
                   -1,
                   ""},
        ScriptCase{"unknownThenPlot",
                   u"hello(1)\r\nPlot = x",
                   {K::Expression, K::Error, K::Expression, K::Failure},
                   25,
                   "eval"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ModuleCase {
    const char* name;
    std::u16string_view description;
    const char* module;
};

class ErrorRowTest : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(ErrorRowTest, TakesItsModuleFromTheDescription) {
    const ReportRow row = ErrorRow(7, GetParam().description, u" (note)");
    EXPECT_EQ(U8(row.module), GetParam().module);
    EXPECT_EQ(U8(row.text), "ERROR n. = 7: " + U8(GetParam().description) + " (note)");
    std::u16string body;
    AppendBody(body, row);
    EXPECT_EQ(U8(body), "===> " + U8(row.text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ErrorRowTest,
    ::testing::Values(ModuleCase{"eval", u"Division by zero    (Module: eval & sDiff)",
                                 "eval & sDiff"},
                      ModuleCase{"lastOfTwo", u"a (Module: x) b (Module: aMatr)", "aMatr"},
                      ModuleCase{"none", u"File Write Error (already in use?)", ""},
                      ModuleCase{"unclosed", u"Odd (Module: eval", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
