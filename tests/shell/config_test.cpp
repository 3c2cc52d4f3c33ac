#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "shell/config.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

// Every setting in one line, so a failure shows the ones that differ.
std::string Fields(const ShellSettings& s) {
    std::ostringstream o;
    o << "wnd " << s.wndX << "," << s.wndY << "," << s.wndW << "," << s.wndH << " widths "
      << s.NumWidth << "," << s.ExprWidth << "," << s.ResWidth << " fonts [" << U8(s.DefFontName)
      << "] " << s.DefFontSize << " [" << U8(s.curFontName) << "] " << s.curFontSize << " bw "
      << s.mnuBlackWhite << " decimals " << s.Decimals << " sep [" << U8(s.sSeparator) << "] tip "
      << s.ToolTip << " precision " << s.Precision << " format " << U8(NumberFormatName(s.Format))
      << " live " << s.LiveResult << " names " << s.NamesPanel;
    return o.str();
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

using Change = void (*)(ShellSettings&);

TEST(Configuration, ParseGivesTheSettings) {
    const struct Row {
        const char* name;
        std::u16string text;
        Change change; // applied to Defaults()
    } rows[] = {
        {"empty_text_gives_defaults", u"", [](ShellSettings&) {}},
        {"widths_default_from_values_just_read", u"[vexCalc]\nwndW=801\nNumWidth=50\n",
         [](ShellSettings& s) {
             s.wndW = 801, s.NumWidth = 50, s.ExprWidth = 558, s.ResWidth = 186;
         }},
        {"stored_widths_win", u"[vexCalc]\nwndW=801\nExprWidth=9\nResWidth=8\n",
         [](ShellSettings& s) { s.wndW = 801, s.ExprWidth = 9, s.ResWidth = 8; }},
        {"current_font_defaults_to_hand_edited_default", u"[Config]\r\nDefFontName=Courier New\r\n",
         [](ShellSettings& s) { s.DefFontName = s.curFontName = u"Courier New"; }},
        {"not_a_number_reads_zero", u"[Config]\nDecimals=abc\nToolTip=\n",
         [](ShellSettings& s) { s.Decimals = 0, s.ToolTip = 0; }},
        {"leading_number_read", u"[vexCalc]\nwndX=-12px\n", [](ShellSettings& s) { s.wndX = -12; }},
        {"value_over_39_is_cut", u"[Config]\ncurFontName=" + k45 + u"\n",
         [](ShellSettings& s) { s.curFontName = k45.substr(0, 39); }},
        {"quotes_keep_outer_blanks", u"[Config]\nsSeparator=\"  \"\n", [](ShellSettings&) {}},
        {"unquoted_value_trimmed", u"[Config]\nsSeparator=  ;  \n",
         [](ShellSettings& s) { s.sSeparator = u";"; }},
        {"names_ignore_case", u"[VEXCALC]\r\nWNDX=7\r\n[config]\r\ntooltip=1\r\n",
         [](ShellSettings& s) { s.wndX = 7, s.ToolTip = 1; }},
        {"key_of_other_section_ignored", u"[Config]\nwndX=7\n[vexCalc]\nDecimals=9\n",
         [](ShellSettings&) {}},
        {"comment_lines_skipped", u"[Config]\n;Decimals=9\n", [](ShellSettings&) {}},
        {"lone_cr_ends_lines", u"[vexCalc]\rwndX=7\r[Config]\rToolTip=1\r",
         [](ShellSettings& s) { s.wndX = 7, s.ToolTip = 1; }},
        {"mixed_line_ends", u"[vexCalc]\r\nwndX=7\rwndY=8\n\r[Config]\nDecimals=2",
         [](ShellSettings& s) { s.wndX = 7, s.wndY = 8, s.Decimals = 2; }},
        {"cr_inside_value_ends_it", u"[Config]\ncurFontName=Mono\rDecimals=3\n",
         [](ShellSettings& s) { s.curFontName = u"Mono", s.Decimals = 3; }},
        {"full_and_auto", u"[Config]\nPrecision=full\nNumberFormat=auto\n",
         [](ShellSettings& s) {
             s.Precision = ZORBIT_PRECISION_FULL, s.Format = NumberFormat::Auto;
         }},
        {"full_and_auto_any_case", u"[config]\nprecision= FULL \nnumberformat=Auto\n",
         [](ShellSettings& s) {
             s.Precision = ZORBIT_PRECISION_FULL, s.Format = NumberFormat::Auto;
         }},
        {"unknown_values_read_classic_fixed", u"[Config]\nPrecision=1\nNumberFormat=sci\n",
         [](ShellSettings&) {}},
        {"keys_of_other_section_ignored", u"[vexCalc]\nPrecision=full\nNumberFormat=auto\n",
         [](ShellSettings&) {}},
        {"live_result_off", u"[Config]\nLiveResult=0\n",
         [](ShellSettings& s) { s.LiveResult = 0; }},
        {"live_result_other_values_on", u"[Config]\nLiveResult=7\n", [](ShellSettings&) {}},
        {"names_panel_shown", u"[Config]\nNamesPanel=1\n",
         [](ShellSettings& s) { s.NamesPanel = 1; }},
        {"names_panel_other_values_hidden", u"[Config]\nNamesPanel=2\n", [](ShellSettings&) {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ShellSettings want = Defaults();
        r.change(want);
        EXPECT_EQ(Fields(ParseConfiguration(r.text)), Fields(want));
    }
}

class ConfigFile : public TempDirTest {};

TEST_F(ConfigFile, WriteThenReadGivesTheSettingsBack) {
    const Change same = [](ShellSettings&) {};
    const struct Row {
        const char* name;
        Change change;      // applied to Defaults() and written
        Change afterReread; // what writing and reading back changes
    } rows[] = {
        {"defaults", same, same},
        {"two_space_separator", [](ShellSettings& s) { s.sSeparator = u"  "; }, same},
        {"separator_with_outer_blanks", [](ShellSettings& s) { s.sSeparator = u" ;\t"; }, same},
        {"empty_separator", [](ShellSettings& s) { s.sSeparator = u""; }, same},
        {"values_in_quotes",
         [](ShellSettings& s) { s.curFontName = u"\"Mono\"", s.sSeparator = u"\""; }, same},
        {"font_name_of_45_cut_to_39", [](ShellSettings& s) { s.curFontName = k45; },
         [](ShellSettings& s) { s.curFontName = k45.substr(0, 39); }},
        {"hand_edited_default_font_reset", [](ShellSettings& s) { s.DefFontName = u"Courier"; },
         [](ShellSettings& s) { s.DefFontName = u"Lucida Console"; }},
        {"non_ascii_font_name",
         [](ShellSettings& s) { s.curFontName = u"Schrift \u00FC\u20AC \U0001D400"; }, same},
        {"cut_never_splits_a_character",
         [](ShellSettings& s) { s.curFontName = k45.substr(0, 38) + u"\U0001D400"; },
         [](ShellSettings& s) { s.curFontName = k45.substr(0, 38); }},
        {"full_precision", [](ShellSettings& s) { s.Precision = ZORBIT_PRECISION_FULL; }, same},
        {"auto_format", [](ShellSettings& s) { s.Format = NumberFormat::Auto; }, same},
        {"live_result_off", [](ShellSettings& s) { s.LiveResult = 0; }, same},
        {"names_panel_shown", [](ShellSettings& s) { s.NamesPanel = 1; }, same},
        {"number_limits",
         [](ShellSettings& s) {
             s.wndX = INT32_MIN, s.wndY = INT32_MAX, s.wndW = -1, s.ToolTip = 1;
         },
         same},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ShellSettings s = Defaults();
        r.change(s);
        std::string error;
        const std::string path = Path(std::string(r.name) + "/vexCalc.ini"); // folder created
        ASSERT_TRUE(WriteConfiguration(path, s, error)) << error;
        r.afterReread(s);
        EXPECT_EQ(Fields(ReadConfiguration(path)), Fields(s));
    }
}

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
                        "[vexCalc]",   "wndX",        "wndY",        "wndW",          "wndH",
                        "NumWidth",    "ExprWidth",   "ResWidth",    "[Config]",      "DefFontName",
                        "DefFontSize", "curFontName", "curFontSize", "mnuBlackWhite", "Decimals",
                        "sSeparator",  "ToolTip",     "Precision",   "NumberFormat",  "LiveResult",
                        "NamesPanel"}));
}

TEST_F(ConfigFile, MissingFileGivesDefaults) {
    EXPECT_EQ(Fields(ReadConfiguration(Path("none.ini"))), Fields(Defaults()));
}

TEST_F(ConfigFile, ByteOrderMarkOfAnEditorIsSkipped) {
    Put(dir / "vexCalc.ini", "\xEF\xBB\xBF[vexCalc]\r\nwndX=7\r\n");
    EXPECT_EQ(ReadConfiguration(Path("vexCalc.ini")).wndX, 7);
}

TEST(ConfigurationText, ReadsUtf8AndUtf16WithTheirMarks) {
    const struct Row {
        const char* name;
        std::string bytes;
        std::u16string text;
    } rows[] = {
        {"utf8_plain", "[vexCalc]\nwndX=\xC3\xBC", u"[vexCalc]\nwndX=\u00FC"},
        {"utf8_mark_dropped", "\xEF\xBB\xBFwndX=7", u"wndX=7"},
        {"utf16_little_endian", std::string("\xFF\xFEw\0=\0\xAC\x20\r\0", 10), u"w=\u20AC\r"},
        {"utf16_big_endian", std::string("\xFE\xFF\0w\0=\x20\xAC", 8), u"w=\u20AC"},
        {"utf16_odd_last_byte_dropped", std::string("\xFF\xFEx\0y", 5), u"x"},
        {"utf16_mark_alone", "\xFF\xFE", u""},
        {"utf16_pair_kept", std::string("\xFF\xFE\x35\xD8\x00\xDC", 6), u"\U0001D400"},
        {"utf16_half_pairs_replaced", std::string("\xFF\xFE\x35\xD8x\0\x00\xDC", 8),
         u"\uFFFDx\uFFFD"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(U8(ConfigurationText(r.bytes)), U8(r.text));
    }
}

TEST_F(ConfigFile, Utf16FileWithCrLineEndsIsRead) {
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("[vexCalc]\rwndX=7\r[Config]\rDecimals=2\r")) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    Put(dir / "vexCalc.ini", bytes);
    std::string note;
    const ShellSettings s = ReadConfiguration(Path("vexCalc.ini"), &note);
    EXPECT_EQ(s.wndX, 7);
    EXPECT_EQ(s.Decimals, 2);
    EXPECT_EQ(note, "");
}

// Opening a FIFO for reading waits for a writer: every mode of the program would hang.
// Anything but a regular file is passed over at once with a note.
TEST_F(ConfigFile, OnlyARegularFileIsRead) {
    ASSERT_EQ(mkfifo(Path("fifo.ini").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.ini");
    std::filesystem::create_symlink(dir / "fifo.ini", dir / "link.ini");
    for (const char* name : {"fifo.ini", "folder.ini", "link.ini", "/dev/zero"}) {
        SCOPED_TRACE(name);
        const std::string path = name[0] == '/' ? std::string(name) : Path(name);
        std::string note;
        EXPECT_EQ(Fields(ReadConfiguration(path, &note)), Fields(Defaults()));
        EXPECT_NE(note.find(path + ": not a regular file"), std::string::npos) << note;
    }
    std::string note;
    ReadConfiguration(Path("none.ini"), &note);
    EXPECT_EQ(note, "") << "a missing file is no fault";
}

TEST_F(ConfigFile, UnreadableFileIsNoted) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    Put(dir / "vexCalc.ini", "[vexCalc]\nwndX=7\n");
    chmod(Path("vexCalc.ini").c_str(), 0);
    std::string note;
    EXPECT_EQ(ReadConfiguration(Path("vexCalc.ini"), &note).wndX, 50);
    EXPECT_NE(note.find("Permission denied"), std::string::npos) << note;
}

// Writing into a FIFO would wait for a reader; a device could be anything.
TEST_F(ConfigFile, WriteNeverGoesIntoAFifoOrADevice) {
    ASSERT_EQ(mkfifo(Path("fifo.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "fifo.ini", dir / "link.ini");
    std::filesystem::create_symlink("/dev/null", dir / "null.ini");
    for (const char* name : {"fifo.ini", "link.ini", "null.ini"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(WriteConfiguration(Path(name), Defaults(), error));
        EXPECT_EQ(error, "not a regular file");
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "null.ini"));
}

// A portable copy in a read-only folder that carries its own file keeps writing it.
TEST_F(ConfigFile, FileInAReadOnlyFolderIsRewrittenInPlace) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into every folder";
    Put(dir / "vexCalc.ini", std::string(4000, ';'));
    chmod(dir.c_str(), 0555);
    ShellSettings s = Defaults();
    s.wndX = 99;
    std::string error;
    const bool written = WriteConfiguration(Path("vexCalc.ini"), s, error);
    chmod(dir.c_str(), 0755);
    ASSERT_TRUE(written) << error;
    EXPECT_EQ(Slurp(dir / "vexCalc.ini"), FormatConfiguration(s)) << "the old tail is cut";
}

TEST_F(ConfigFile, UnwritablePathFailsAndKeepsTheOldFile) {
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
