#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/command_line.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

using Action = CommandLine::Action;

struct LineRow {
    const char* name;
    std::vector<std::string> args;
    Action action;
    std::string mode;     // Run: the mode
    std::string listFile; // Run: the list, absolute
    std::string error;    // Usage: a part of the message
};

class ParseCommandLineTest : public ::testing::TestWithParam<LineRow> {};

TEST_P(ParseCommandLineTest, GivesModeListAndErrors) {
    const LineRow& row = GetParam();
    const CommandLine c = ParseCommandLine(row.args, "/home/u/work");
    ASSERT_EQ(c.action, row.action) << c.error;
    if (row.action == Action::Usage) {
        EXPECT_NE(c.error.find(row.error), std::string::npos) << c.error;
    }
    if (row.action != Action::Run) return;
    EXPECT_EQ(c.mode, row.mode);
    EXPECT_EQ(c.options.listFile, row.listFile);
}

const LineRow kLineRows[] = {
    {"nothing_opens_the_window", {}, Action::Run, "", "", ""},
    // What a file manager passes: relative to where the program was started.
    {"relative_list", {"lists/a.vxc"}, Action::Run, "", "/home/u/work/lists/a.vxc", ""},
    {"dotted_list_is_cleaned", {"../b.vxc"}, Action::Run, "", "/home/u/b.vxc", ""},
    {"absolute_list", {"--no-config", "/tmp/x y.vxc"}, Action::Run, "", "/tmp/x y.vxc", ""},
    {"list_of_any_name", {"notes.txt"}, Action::Run, "", "/home/u/work/notes.txt", ""},
    {"two_lists", {"a.vxc", "b.vxc"}, Action::Usage, "", "", "one list at a time: b.vxc"},
    {"list_then_e", {"a.vxc", "-e", "1"}, Action::Usage, "", "", "a list opens in the window"},
    {"batch_then_list",
     {"--batch", "/i a /", "a.vxc"},
     Action::Usage,
     "",
     "",
     "a list opens in the window"},
    {"stdin_then_list", {"-", "a.vxc"}, Action::Usage, "", "", "a list opens in the window"},
    {"list_then_stdin", {"a.vxc", "-"}, Action::Usage, "", "", "a list opens in the window"},
    {"e_mode", {"-e", "2+3"}, Action::Run, "-e", "", ""},
    {"stdin_mode", {"-"}, Action::Run, "-", "", ""},
    {"e_and_batch",
     {"-e", "1", "--batch", "/"},
     Action::Usage,
     "",
     "",
     "use one of -e, - and --batch"},
    {"e_without_text", {"-e"}, Action::Usage, "", "", "-e needs a text"},
    {"unknown_option", {"-x"}, Action::Usage, "", "", "unknown argument -x"},
    {"empty_argument", {""}, Action::Usage, "", "", "unknown argument"},
    {"decimals_not_whole", {"--decimals", "2.5"}, Action::Usage, "", "", "whole number"},
    {"decimals_too_large",
     {"--decimals", "31"},
     Action::Usage,
     "",
     "",
     "--decimals takes a whole number from -1 to 30"},
    {"decimals_missing", {"--decimals"}, Action::Usage, "", "", "--decimals needs a number"},
    {"precision_and_format_with_e",
     {"--precision", "full", "--format", "auto", "-e", "1"},
     Action::Run,
     "-e",
     "",
     ""},
    {"precision_and_format_with_batch",
     {"--batch", "/", "--format", "Fixed", "--precision", "classic"},
     Action::Run,
     "--batch",
     "",
     ""},
    {"precision_and_format_with_stdin", {"-", "--precision", "full"}, Action::Run, "-", "", ""},
    {"precision_unknown",
     {"--precision", "double"},
     Action::Usage,
     "",
     "",
     "--precision takes classic or full, not double"},
    {"precision_missing",
     {"--precision"},
     Action::Usage,
     "",
     "",
     "--precision needs classic or full"},
    {"format_unknown",
     {"--format", "sci", "-e", "1"},
     Action::Usage,
     "",
     "",
     "--format takes fixed or auto, not sci"},
    {"format_missing",
     {"-e", "1", "--format"},
     Action::Usage,
     "",
     "",
     "--format needs fixed or auto"},
    {"format_empty", {"--format", ""}, Action::Usage, "", "", "--format takes fixed or auto"},
    // Read in order: help answers before a later mistake, not after an earlier one.
    {"help_before_mistake", {"--help", "-x"}, Action::Help, "", "", ""},
    {"mistake_before_help", {"-x", "--help"}, Action::Usage, "", "", "unknown argument -x"},
    {"version", {"a.vxc", "--version"}, Action::Version, "", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, ParseCommandLineTest, ::testing::ValuesIn(kLineRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseCommandLine, KeepsTextsAndOptions) {
    const CommandLine e = ParseCommandLine({"--decimals", "-1", "-e", "1", "-e", "2+3"}, "/");
    EXPECT_EQ(e.texts, (std::vector<std::string>{"1", "2+3"})) << "every -e, in order";
    EXPECT_EQ(e.options.decimals, -1);
    EXPECT_FALSE(e.options.precision) << "the configuration's unless given";
    EXPECT_FALSE(e.options.format);
    const CommandLine f = ParseCommandLine(
        {"--precision", "full", "--format", "auto", "--precision", "classic"}, "/");
    EXPECT_EQ(f.options.precision, ZORBIT_PRECISION_CLASSIC) << "the last one given counts";
    EXPECT_EQ(f.options.format, NumberFormat::Auto);
    const CommandLine b = ParseCommandLine({"--batch", "/i a /", "--batch", "/i b /"}, "/");
    EXPECT_EQ(b.texts, (std::vector<std::string>{"/i a /", "/i b /"}));
    EXPECT_FALSE(b.options.ignoreConfig);
    EXPECT_TRUE(ParseCommandLine({"--no-config"}, "/").options.ignoreConfig);
}

// --help and the man page are made from data/vexcalc-help.txt: every argument the
// program takes must be explained there.
TEST(ParseCommandLine, HelpTextNamesEveryArgument) {
    const std::string help = Slurp(VEX_HELP_TEXT_PATH);
    ASSERT_FALSE(help.empty());
    const struct {
        std::vector<std::string> args;
        const char* inHelp;
    } rows[] = {{{"-e", "1"}, "-e LINES"},
                {{"-"}, "vexcalc [options] -  "},
                {{"--batch", "/"}, "--batch SWITCHES"},
                {{"--decimals", "3"}, "--decimals N"},
                {{"--precision", "full"}, "--precision P"},
                {{"--format", "auto"}, "--format F"},
                {{"--no-config"}, "--no-config"},
                {{"--help"}, "--help"},
                {{"--version"}, "--version"},
                {{"x.vxc"}, "FILE.vxc"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.inHelp);
        EXPECT_NE(ParseCommandLine(row.args, "/").action, Action::Usage);
        EXPECT_NE(help.find(row.inHelp), std::string::npos);
    }
}

} // namespace
} // namespace vex::test
