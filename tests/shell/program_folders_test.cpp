#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shell/program_folders.h"
#include "tests/shell/shell_test_support.h"

namespace vex::test {
namespace {

namespace fs = std::filesystem;

// A program folder laid out in a temporary tree ("prefix/..."), and where its files go.
// "@" in an expected path stands for the tree, "~" for the home folder.
struct FolderRow {
    const char* name;
    std::vector<std::string> files; // created empty; a name ending with "/" is a folder
    std::string programDir;
    UserFolders user; // "@" in front is replaced by the tree
    bool readOnly;    // the program folder loses its write permission
    bool installed;
    std::string helpDir, configPath, pictureDir;
};

class ProgramFoldersTest : public TempDirTest, public ::testing::WithParamInterface<FolderRow> {
  protected:
    std::string Here(const std::string& s) const {
        if (s.empty() || s.front() != '@') return s;
        return dir.string() + s.substr(1);
    }
};

TEST_P(ProgramFoldersTest, FollowTheLayout) {
    const FolderRow& row = GetParam();
    // root writes everywhere: a read-only folder cannot be tried.
    if (row.readOnly && geteuid() == 0) GTEST_SKIP() << "runs as root";
    for (const std::string& f : row.files) {
        const fs::path p = dir / f;
        if (f.back() == '/') {
            fs::create_directories(p);
        } else {
            fs::create_directories(p.parent_path());
            Put(p, "");
        }
    }
    const std::string programDir = Here(row.programDir);
    fs::create_directories(programDir);
    if (row.readOnly) chmod(programDir.c_str(), 0555);
    const UserFolders user{Here(row.user.configHome), Here(row.user.dataHome), Here(row.user.home)};
    const ProgramFolders f = FindProgramFolders(programDir, user, "../share/vexcalc");
    if (row.readOnly) chmod(programDir.c_str(), 0755);
    EXPECT_EQ(f.installed, row.installed);
    EXPECT_EQ(f.helpDir, Here(row.helpDir));
    EXPECT_EQ(f.configPath, Here(row.configPath));
    EXPECT_EQ(f.pictureDir, Here(row.pictureDir));
}

const UserFolders kXdg{"@/cfg", "@/data", "@/home"};

const FolderRow kFolderRows[] = {
    // The build folder: the command help beside the program.
    {"build_folder",
     {"build/bin/ShowCmds.vex"},
     "@/build/bin",
     kXdg,
     false,
     false,
     "@/build/bin",
     "@/build/bin/vexCalc.ini",
     "@/build/bin/"},
    {"build_folder_with_picture_folder",
     {"build/bin/ShowCmds.vex", "build/bin/vexXNpp/"},
     "@/build/bin",
     kXdg,
     false,
     false,
     "@/build/bin",
     "@/build/bin/vexCalc.ini",
     "@/build/bin/vexXNpp/"},
    // Installed and writable (as root in /usr/local/bin): still nothing written there.
    {"installed_writable",
     {"usr/share/vexcalc/ShowCmds.vex"},
     "@/usr/bin",
     kXdg,
     false,
     true,
     "@/usr/share/vexcalc",
     "@/cfg/vexcalc/vexCalc.ini",
     "@/data/vexcalc/"},
    // A configuration file left in an installed bin folder is not taken.
    {"installed_ignores_file_in_bin",
     {"usr/share/vexcalc/ShowCmds.vex", "usr/bin/vexCalc.ini"},
     "@/usr/bin",
     kXdg,
     false,
     true,
     "@/usr/share/vexcalc",
     "@/cfg/vexcalc/vexCalc.ini",
     "@/data/vexcalc/"},
    // Both beside and under share: the build folder's rule wins.
    {"help_beside_and_under_share",
     {"p/bin/ShowCmds.vex", "p/share/vexcalc/"},
     "@/p/bin",
     kXdg,
     false,
     false,
     "@/p/bin",
     "@/p/bin/vexCalc.ini",
     "@/p/bin/"},
    {"xdg_unset_takes_home",
     {"usr/share/vexcalc/"},
     "@/usr/bin",
     {"", "", "@/home"},
     false,
     true,
     "@/usr/share/vexcalc",
     "@/home/.config/vexcalc/vexCalc.ini",
     "@/home/.local/share/vexcalc/"},
    // The XDG folders must be absolute; a relative one is ignored.
    {"xdg_relative_ignored",
     {"usr/share/vexcalc/"},
     "@/usr/bin",
     {"cfg", "data", "@/home"},
     false,
     true,
     "@/usr/share/vexcalc",
     "@/home/.config/vexcalc/vexCalc.ini",
     "@/home/.local/share/vexcalc/"},
    // No home and no XDG folder: nothing is kept anywhere, least of all in the folder the
    // program was started from.
    {"no_home_no_folders",
     {"usr/share/vexcalc/"},
     "@/usr/bin",
     {"", "", ""},
     false,
     true,
     "@/usr/share/vexcalc",
     "",
     ""},
    {"relative_home_is_no_home",
     {"usr/share/vexcalc/"},
     "@/usr/bin",
     {"", "data", "home"},
     false,
     true,
     "@/usr/share/vexcalc",
     "",
     ""},
    {"xdg_without_home",
     {"usr/share/vexcalc/"},
     "@/usr/bin",
     {"@/cfg", "@/data", ""},
     false,
     true,
     "@/usr/share/vexcalc",
     "@/cfg/vexcalc/vexCalc.ini",
     "@/data/vexcalc/"},
    // Neither installed nor writable: a copy in a read-only folder.
    {"read_only_copy",
     {"ro/ShowCmds.vex"},
     "@/ro",
     kXdg,
     true,
     false,
     "@/ro",
     "@/cfg/vexcalc/vexCalc.ini",
     "@/data/vexcalc/"},
    {"read_only_copy_without_home",
     {"ro/ShowCmds.vex"},
     "@/ro",
     {"", "", ""},
     true,
     false,
     "@/ro",
     "",
     ""},
    // A portable copy that carries its configuration keeps it.
    {"read_only_copy_with_file",
     {"ro/ShowCmds.vex", "ro/vexCalc.ini"},
     "@/ro",
     kXdg,
     true,
     false,
     "@/ro",
     "@/ro/vexCalc.ini",
     "@/data/vexcalc/"},
};

INSTANTIATE_TEST_SUITE_P(Rows, ProgramFoldersTest, ::testing::ValuesIn(kFolderRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AccountHome, AnAccountWithoutAnEntryHasNone) {
    EXPECT_EQ(AccountHome(static_cast<uid_t>(0x7FFFFFF0)), "");
}

} // namespace
} // namespace vex::test
