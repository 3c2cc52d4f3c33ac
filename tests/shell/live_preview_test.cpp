// The entry line's live result on the real library: what it shows for each kind of
// line, and that working it out changes nothing a later line could see.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "script/keywords.h"
#include "script/library_client.h"
#include "script/report_windows.h"
#include "shell/entry.h"
#include "shell/live_preview.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

using Kind = LivePreview::Kind;

class LivePreviewTest : public ScriptTest {
  protected:
    LivePreview Preview(std::u16string_view typed) {
        return PreviewLine(Library(host.slots), host.interp, keywords, typed);
    }
    EntryResult Enter(std::u16string_view line) { return RunEntryLine(host, keywords, line); }
    std::vector<std::u16string> keywords = InitKeywordTable();
};

TEST_F(LivePreviewTest, ShowsWhatTheLineWouldGive) {
    Enter(u"Var = k; 4");
    Enter(u"Matr = [mP]; 2; 2; 1; 2; 3; 4");
    Enter(u"2+3"); // ans = 5
    std::u16string longList = u"sum(1";
    while (longList.size() < kPreviewMaxLength)
        longList += u";1";
    longList += u")";
    // A short formula with much work: powers of an 80 x 80 matrix.
    std::u16string big = u"Matr = [mB]; 80; 80";
    for (int n = 0; n < 80 * 80; ++n)
        big += u"; 1";
    Enter(big);
    const struct Row {
        const char* name;
        std::u16string typed;
        Kind kind;
        std::string text;
    } rows[] = {
        {"empty", u"   ", Kind::None, ""},
        {"number", u"1/4", Kind::Value, "= 0.2500"},
        {"variable_and_ans", u"  k*ans", Kind::Value, "= 20.0000"},
        {"comment_cut_as_enter_cuts_it", u"2*3 ' six", Kind::Value, "= 6.0000"},
        {"matrix", u"[mP]*2", Kind::Matrix, "= matrix 2 x 2"},
        {"error_with_column", u" 2*zork", Kind::Error,
         "ERROR n. = 4: Undefined function           (Module: eval) at column 4"},
        {"command_defines", u"Var = k; 9", Kind::None, ""},
        {"command_expr", u"Expr = 1", Kind::None, ""},
        {"line_break", u"1\r\n2", Kind::None, ""},
        {"too_long", longList, Kind::Skipped,
         "(too long to work out while typing: Enter evaluates it)"},
        {"too_much_work", u"[mB]^20", Kind::Skipped,
         "(too much work to work out while typing: Enter evaluates it)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const LivePreview p = Preview(r.typed);
        EXPECT_EQ(p.kind, r.kind);
        EXPECT_EQ(U8(p.text), r.text);
        EXPECT_EQ(p.value.has_value(), r.kind == Kind::Value);
    }
}

TEST_F(LivePreviewTest, NoneWithoutTheLibrarysRoutine) {
    EntrySlots without = *host.slots;
    without.e_evalPreview = nullptr;
    const LivePreview p = PreviewLine(Library(&without), host.interp, keywords, u"1+1");
    EXPECT_EQ(p.kind, Kind::None);
    EXPECT_EQ(U8(p.text), "");
}

TEST_F(LivePreviewTest, FollowsTheListsFormat) {
    host.interp.decimals = 2;
    EXPECT_EQ(U8(Preview(u"2/3").text), "= 0.67");
    host.interp.format = NumberFormat::Auto;
    host.interp.decimals = -1;
    EXPECT_EQ(U8(Preview(u"6.02e23*1").text), "= 6.02e23");
}

// The rows of a line carry the number they show, whole, for Copy result; the last one shown
// is "ans", which lines without a number and previews leave alone.
TEST_F(LivePreviewTest, ResultRowsCarryTheirNumberAndTheLastIsAns) {
    const Library lib(host.slots);
    Enter(u"Matr = [mP]; 2; 2; 1; 2; 3; 4");
    const std::nullopt_t none = std::nullopt;
    const struct Row {
        const char* name;
        std::u16string line;
        std::vector<std::optional<double>> values;
    } rows[] = {
        {"value", u"1/3", {1.0 / 3}},
        {"hex", u"Hex = 255", {255.0}},
        {"stored", u"StoExpr(s) = 2/3", {2.0 / 3}},
        {"integral", u"Integrate(0;1;10;trap;x) = 1", {1.0}},
        {"two_statements", u"Expr = 7\r\nExpr = 2", {7.0, 2.0}},
        {"matrix", u"[mP]", {none, none}},
        {"error", u"1/0", {none}},
        {"matrix_defined", u"Matr = [mQ]; 1; 1; 5", {}},
        {"variable_defined", u"Var = z; 3", {}},
        {"plot", u"Plot = x", {none, none}},
        {"uses_ans", u"ans+1", {3.0}},
    };
    std::optional<double> ans;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const EntryResult e = Enter(r.line);
        std::vector<std::optional<double>> values;
        for (const EntryRow& row : e.rows) {
            values.push_back(row.value);
            ans = row.value ? row.value : ans;
        }
        EXPECT_EQ(values, r.values);
        Preview(u"ans*2");
        EXPECT_EQ(lib.LastAnswer(), ans);
    }
    EXPECT_NE(U8(MemoryReport(host)).find("Last answer:\r\nans = 3\r\n"), std::string::npos);
}

} // namespace
} // namespace vex::test
