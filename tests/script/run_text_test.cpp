#include <gtest/gtest.h>

#include <string>

#include "script/run_text.h"
#include "script/text_util.h"

namespace vex {
namespace {

struct LinesRow {
    const char* name;
    const char16_t* script;
};

class ScriptLinesTest : public ::testing::TestWithParam<LinesRow> {};

// The lines are read in place exactly as the script split after an added CR LF.
TEST_P(ScriptLinesTest, AsTheSplitScript) {
    const std::u16string script = GetParam().script;
    const std::u16string text = script + u"\r\n";
    const std::vector<std::u16string_view> fields = SplitFields(text, u'\r');
    size_t pairs = 0;
    for (size_t p = text.find(u"\r\n"); p != text.npos; p = text.find(u"\r\n", p + 2))
        ++pairs;
    const ScriptLines lines(script);
    ASSERT_EQ(lines.size(), fields.size());
    EXPECT_EQ(lines.Pairs(), pairs);
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_TRUE(lines[i] == fields[i]) << i;
    // Asked again from the start, and out of order.
    for (size_t i = fields.size(); i-- > 0;)
        EXPECT_TRUE(lines[i] == fields[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, ScriptLinesTest,
                         ::testing::Values(LinesRow{"empty", u""}, LinesRow{"oneLine", u"Expr = 1"},
                                           LinesRow{"crLfLines", u"a\r\nb\r\n\r\nc"},
                                           LinesRow{"loneCr", u"a\rb\r\nc"},
                                           LinesRow{"endsWithCr", u"a\r\nb\r"},
                                           LinesRow{"endsWithCrLf", u"a\r\n"},
                                           LinesRow{"onlyLf", u"a\nb\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

// More than a piece of the report, so that every operation meets a piece boundary.
constexpr size_t kBig = (size_t{1} << 19) + 3;

TEST(ReportBufferTest, GrowsAcrossPiecesAndHandsOverTheWholeText) {
    ReportBuffer report;
    std::u16string expected;
    for (size_t k = 0; expected.size() < 3 * kBig; ++k) {
        const std::u16string line = u"Ln " + Num(static_cast<long long>(k)) + u"\r\n";
        report += line;
        expected += line;
    }
    EXPECT_EQ(report.size(), expected.size());
    EXPECT_TRUE(report.EndsWith(expected.substr(expected.size() - 40)));
    const std::u16string text = report.Take(100);
    EXPECT_TRUE(text == expected);
    EXPECT_GE(text.capacity(), text.size() + 100);
    EXPECT_EQ(report.size(), 0u);
}

TEST(ReportBufferTest, SuffixRemovedAcrossAPieceBoundary) {
    ReportBuffer report;
    report.append(std::u16string(kBig - 4, u'a'));
    report.append(u"\r\n\r\n\r\n");
    EXPECT_TRUE(report.EndsWith(u"\r\n\r\n\r\n"));
    while (report.EndsWith(u"\r\n"))
        report.RemoveSuffix(2);
    EXPECT_EQ(report.size(), kBig - 4);
    EXPECT_FALSE(report.EndsWith(u"b"));
    EXPECT_FALSE(report.EndsWith(std::u16string(kBig, u'a')));
    report.append(u"b");
    EXPECT_TRUE(report.Take(0) == std::u16string(kBig - 4, u'a') + u"b");
}

} // namespace
} // namespace vex
