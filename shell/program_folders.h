#pragma once
// Where the program finds its command help and keeps its configuration and pictures.
// Run from a writable folder of its own (the build folder, a portable copy) it keeps
// them beside itself. Installed (<prefix>/bin with <prefix>/share/vexcalc/) it never
// writes into the installation, even where it could (as root): the user's XDG folders
// hold the configuration and the window's pictures.

#include <sys/types.h>

#include <string>

namespace vex {

// The user's folders as the environment gives them ($XDG_CONFIG_HOME, $XDG_DATA_HOME,
// $HOME); tests fill them by hand.
struct UserFolders {
    std::string configHome; // may be empty or relative: then home/.config
    std::string dataHome;   // may be empty or relative: then home/.local/share
    std::string home;       // absolute, or empty when there is none
};
// Without an absolute $HOME the home is the account's, from the password database.
UserFolders UserFoldersFromEnvironment();
// The home folder of the account uid in the password database; empty when it has none
// (or not an absolute one).
std::string AccountHome(uid_t uid);

struct ProgramFolders {
    bool installed = false;
    std::string helpDir;    // holds ShowCmds.vex
    std::string configPath; // vexCalc.ini; empty when there is no folder for it (no home)
    // The window's plot pictures and relative names; ends with '/'. Empty when there is no
    // folder for them (no home): the current folder is kept.
    std::string pictureDir;
};

// An installed program's data folder relative to its own folder, as the build's install
// directories lay them out ("../share/vexcalc").
std::string DataFolderFromBin();

// The folders of a program in programDir. Installed means the data folder
// (programDir/dataFromBin) exists and the command help is not beside the program, as it
// is in the build folder.
ProgramFolders FindProgramFolders(const std::string& programDir, const UserFolders& user,
                                  const std::string& dataFromBin);

} // namespace vex
