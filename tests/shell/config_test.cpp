#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "shell/config.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

// Every setting as "key=value", so a failure names the keys that differ.
std::vector<std::string> Fields(const ShellSettings& s) {
    const auto n = [](const char* k, int32_t v) {
        return std::string(k) + "=" + std::to_string(v);
    };
    const auto t = [](const char* k, const std::u16string& v) {
        return std::string(k) + "=[" + U8(v) + "]";
    };
    return {n("wndX", s.wndX),
            n("wndY", s.wndY),
            n("wndW", s.wndW),
            n("wndH", s.wndH),
            n("NumWidth", s.NumWidth),
            n("ExprWidth", s.ExprWidth),
            n("ResWidth", s.ResWidth),
            t("DefFontName", s.DefFontName),
            n("DefFontSize", s.DefFontSize),
            t("curFontName", s.curFontName),
            n("curFontSize", s.curFontSize),
            n("mnuBlackWhite", s.mnuBlackWhite),
            n("Decimals", s.Decimals),
            t("sSeparator", s.sSeparator),
            n("ToolTip", s.ToolTip)};
}

// What a missing file gives.
ShellSettings Defaults() {
    ShellSettings s;
    s.ExprWidth = 213; // ((320 - 30 - 4) / 4) * 3
    s.ResWidth = 71;
    s.curFontName = u"Lucida Console";
    return s;
}

const std::u16string k45 = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrs";

struct ParseRow {
    const char* name;
    std::u16string text;
    std::function<void(ShellSettings&)> change; // applied to Defaults()
};

class ParseConfig : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseConfig, GivesTheSettings) {
    ShellSettings want = Defaults();
    GetParam().change(want);
    EXPECT_EQ(Fields(ParseConfiguration(GetParam().text)), Fields(want));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseConfig,
    ::testing::Values(
        ParseRow{"empty_text_gives_defaults", u"", [](ShellSettings&) {}},
        ParseRow{"widths_default_from_values_just_read", u"[vexCalc]\nwndW=801\nNumWidth=50\n",
                 [](ShellSettings& s) {
                     s.wndW = 801, s.NumWidth = 50, s.ExprWidth = 558, s.ResWidth = 186;
                 }},
        ParseRow{"stored_widths_win", u"[vexCalc]\nwndW=801\nExprWidth=9\nResWidth=8\n",
                 [](ShellSettings& s) { s.wndW = 801, s.ExprWidth = 9, s.ResWidth = 8; }},
        ParseRow{"current_font_defaults_to_hand_edited_default",
                 u"[Config]\r\nDefFontName=Courier New\r\n",
                 [](ShellSettings& s) { s.DefFontName = s.curFontName = u"Courier New"; }},
        ParseRow{"not_a_number_reads_zero", u"[Config]\nDecimals=abc\nToolTip=\n",
                 [](ShellSettings& s) { s.Decimals = 0, s.ToolTip = 0; }},
        ParseRow{"leading_number_read", u"[vexCalc]\nwndX=-12px\n",
                 [](ShellSettings& s) { s.wndX = -12; }},
        ParseRow{"value_over_39_is_cut", u"[Config]\ncurFontName=" + k45 + u"\n",
                 [](ShellSettings& s) { s.curFontName = k45.substr(0, 39); }},
        ParseRow{"quotes_keep_outer_blanks", u"[Config]\nsSeparator=\"  \"\n",
                 [](ShellSettings&) {}},
        ParseRow{"unquoted_value_trimmed", u"[Config]\nsSeparator=  ;  \n",
                 [](ShellSettings& s) { s.sSeparator = u";"; }},
        ParseRow{"names_ignore_case", u"[VEXCALC]\r\nWNDX=7\r\n[config]\r\ntooltip=1\r\n",
                 [](ShellSettings& s) { s.wndX = 7, s.ToolTip = 1; }},
        ParseRow{"key_of_other_section_ignored", u"[Config]\nwndX=7\n[vexCalc]\nDecimals=9\n",
                 [](ShellSettings&) {}},
        ParseRow{"comment_lines_skipped", u"[Config]\n;Decimals=9\n", [](ShellSettings&) {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundTripRow {
    const char* name;
    std::function<void(ShellSettings&)> change;      // applied to Defaults() and written
    std::function<void(ShellSettings&)> afterReread; // what reading back changes
};

class ConfigRoundTrip : public TempDirTest, public ::testing::WithParamInterface<RoundTripRow> {};

TEST_P(ConfigRoundTrip, WriteThenReadGivesTheSettingsBack) {
    ShellSettings s = Defaults();
    GetParam().change(s);
    std::string error;
    const std::string path = Path("sub/folder/vexCalc.ini"); // folders created on write
    ASSERT_TRUE(WriteConfiguration(path, s, error)) << error;
    ShellSettings want = s;
    want.DefFontName = u"Lucida Console"; // always written so
    GetParam().afterReread(want);
    EXPECT_EQ(Fields(ReadConfiguration(path)), Fields(want));
}

const auto kSame = [](ShellSettings&) {};

INSTANTIATE_TEST_SUITE_P(
    Rows, ConfigRoundTrip,
    ::testing::Values(
        RoundTripRow{"defaults", kSame, kSame},
        RoundTripRow{"two_space_separator", [](ShellSettings& s) { s.sSeparator = u"  "; }, kSame},
        RoundTripRow{"separator_with_outer_blanks",
                     [](ShellSettings& s) { s.sSeparator = u" ;\t"; }, kSame},
        RoundTripRow{"empty_separator", [](ShellSettings& s) { s.sSeparator = u""; }, kSame},
        RoundTripRow{"values_in_quotes",
                     [](ShellSettings& s) { s.curFontName = u"\"Mono\"", s.sSeparator = u"\""; },
                     kSame},
        RoundTripRow{"font_name_of_45_cut_to_39", [](ShellSettings& s) { s.curFontName = k45; },
                     [](ShellSettings& s) { s.curFontName = k45.substr(0, 39); }},
        RoundTripRow{"hand_edited_default_font_reset",
                     [](ShellSettings& s) { s.DefFontName = u"Courier"; }, kSame},
        RoundTripRow{"non_ascii_font_name",
                     [](ShellSettings& s) { s.curFontName = u"Schrift \u00FC\u20AC \U0001D400"; },
                     kSame},
        RoundTripRow{"cut_never_splits_a_character",
                     [](ShellSettings& s) { s.curFontName = k45.substr(0, 38) + u"\U0001D400"; },
                     [](ShellSettings& s) { s.curFontName = k45.substr(0, 38); }},
        RoundTripRow{"number_limits",
                     [](ShellSettings& s) {
                         s.wndX = INT32_MIN, s.wndY = INT32_MAX, s.wndW = -1, s.ToolTip = 1;
                     },
                     kSame}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatConfiguration, WritesBothSectionsWithKeysInReadingOrder) {
    const std::string text = FormatConfiguration(Defaults());
    std::vector<std::string> keys;
    for (size_t at = 0; at < text.size();) {
        const size_t nl = text.find('\n', at);
        const std::string line = text.substr(at, nl - at);
        keys.push_back(line.substr(0, line.find('=')));
        at = nl == text.npos ? text.size() : nl + 1;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "[vexCalc]", "wndX", "wndY", "wndW", "wndH", "NumWidth", "ExprWidth",
                        "ResWidth", "[Config]", "DefFontName", "DefFontSize", "curFontName",
                        "curFontSize", "mnuBlackWhite", "Decimals", "sSeparator", "ToolTip"}));
}

class WriteConfig : public TempDirTest {};

TEST_F(WriteConfig, MissingFileGivesDefaults) {
    EXPECT_EQ(Fields(ReadConfiguration(Path("none.ini"))), Fields(Defaults()));
}

TEST_F(WriteConfig, ByteOrderMarkOfAnEditorIsSkipped) {
    Put(dir / "vexCalc.ini", "\xEF\xBB\xBF[vexCalc]\r\nwndX=7\r\n");
    EXPECT_EQ(ReadConfiguration(Path("vexCalc.ini")).wndX, 7);
}

TEST_F(WriteConfig, UnwritablePathFailsAndKeepsTheOldFile) {
    // A regular file where a folder of the path should be: nothing can be created there.
    Put(dir / "old.ini", "old text");
    ShellSettings s = Defaults();
    s.wndX = 99;
    std::string error;
    EXPECT_FALSE(WriteConfiguration(Path("old.ini/vexCalc.ini"), s, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(dir / "old.ini"), "old text");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"old.ini"});
}

} // namespace
} // namespace vex::test
