#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "script/eval_script.h"
#include "script/file_outputs.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

struct OutputRow {
    const char* name;
    const char16_t* script;
    std::vector<std::string> files; // "@/" stands for the run's folder
    bool runs = true;               // the interpreter can run it here (plots cannot)
};

class FilesWrittenTest : public ScriptTest, public ::testing::WithParamInterface<OutputRow> {
  protected:
    std::vector<std::string> Expected() const {
        std::vector<std::string> out;
        for (std::string f : GetParam().files) {
            if (f.starts_with("@/")) f = (dir / f.substr(2)).string();
            out.push_back(f);
        }
        return out;
    }
    std::set<std::string> FilesInDir() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.insert(e.path().string());
        return names;
    }
};

TEST_P(FilesWrittenTest, NamesWhatTheRunWrites) {
    std::vector<std::string> found;
    for (const std::u16string& f : FilesWritten(host, GetParam().script))
        found.push_back(U8(f));
    EXPECT_EQ(found, Expected());
    if (!GetParam().runs) return;

    // The interpreter, run on the same text, writes exactly the files named (their
    // inputs exist; a failed computation still writes its output).
    WriteFile("in.txt", "sDiff(x) = x^2\r\n");
    const std::set<std::string> before = FilesInDir();
    EvalScript(host, std::u16string(GetParam().script) + u"\r\n", ScriptRun{});
    std::set<std::string> written;
    for (const std::string& f : FilesInDir())
        if (!before.contains(f)) written.insert(f);
    std::vector<std::string> expected = Expected();
    EXPECT_EQ(written, std::set<std::string>(expected.begin(), expected.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FilesWrittenTest,
    ::testing::Values(
        OutputRow{"exprf_output", u"ExprF = in.txt out.txt", {"@/out.txt"}},
        OutputRow{"exprf_bracketed_output", u"ExprF = in.txt [out.txt]", {"@/out.txt"}},
        OutputRow{"exprf_input_only", u"ExprF = in.txt", {}},
        OutputRow{"integratef_output", u"IntegrateF = in.txt i.txt", {"@/i.txt"}},
        OutputRow{"sdifff_output", u"sDiffF = in.txt d.txt", {"@/d.txt"}},
        OutputRow{"derivatef_output", u"DerivateF = in.txt p.txt", {"@/p.txt"}},
        OutputRow{"stoexpr_fileout", u"StoExpr(a; fileout; s.txt) = 42", {"@/s.txt"}},
        OutputRow{"stoexpr_fileout_any_case", u"stoexpr(a; FileOut; t.txt) = 6*7", {"@/t.txt"}},
        OutputRow{"stoexpr_plain", u"StoExpr(a) = 42", {}},
        OutputRow{"stoexpr_reads_a_file", u"StoExpr(a; fileinp; in.txt) = 1", {}},
        OutputRow{"matrf_reads_only", u"MatrF = in.txt", {}},
        OutputRow{"functf_reads_only", u"FunctF = f(x) in.txt", {}},
        OutputRow{"debug_and_messages", u"Debug = 4\r\nErrorMsgs = 1\r\nExpr = 1+*2", {}},
        OutputRow{"expression", u"Expr = 2+3", {}},
        OutputRow{"comment_line", u"' StoExpr(a; fileout; s.txt) = 42", {}},
        OutputRow{"several_lines",
                  u"Expr = 1\r\nExprF = in.txt a.txt\r\nStoExpr(b; fileout; b.txt) = 2",
                  {"@/a.txt", "@/b.txt"}},
        OutputRow{"absolute_name",
                  u"StoExpr(a; fileout; /nonexistent-folder/x.txt) = 1",
                  {"/nonexistent-folder/x.txt"},
                  false},
        OutputRow{
            "plot_data_file", u"Plot(0;1;2;x;libzorbit.so.0) = x", {"@/libzorbit.so.0"}, false},
        OutputRow{"plot_quoted_data_file",
                  u"Plot(-pi; pi; 10; x; \"my data.txt\") = sin(x)",
                  {"@/my data.txt"},
                  false},
        OutputRow{
            "plot_absolute_data_file", u"plot(0;1;2;x;/tmp/d.txt) = x", {"/tmp/d.txt"}, false},
        OutputRow{"plot_nested_parentheses",
                  u"Plot(-sqrt(2); sqrt(2); 4; x; n.txt) = x",
                  {"@/n.txt"},
                  false},
        OutputRow{"plot_shown_only", u"Plot(0;1;2;x) = x", {}, false},
        OutputRow{"plot_saved_picture", u"Plot = x^2; save", {"@/aPlotNr_NN.jpg"}, false},
        OutputRow{"plot_save_inside_a_name_is_shown", u"Plot = saveRate*x", {}, false},
        OutputRow{"plot_data_and_picture",
                  u"Plot(-2;2;4;x;pts.txt) = x^2; save",
                  {"@/pts.txt", "@/aPlotNr_NN.jpg"},
                  false}),
    [](const ::testing::TestParamInfo<OutputRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
