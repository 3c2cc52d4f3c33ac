#pragma once
// Start-up of the program: folders, binding, help text, keyword list, settings.

#include <optional>
#include <string>
#include <vector>

#include "script/library_client.h"
#include "script/library_loader.h"
#include "script/script_host.h"
#include "shell/config.h"
#include "shell/program_folders.h"

namespace vex {

struct StartOptions {
    bool ignoreConfig = false;          // test mode: the user's configuration is not read
    std::optional<int32_t> decimals;    // --decimals
    std::optional<int32_t> precision;   // --precision: ZORBIT_PRECISION_CLASSIC or _FULL
    std::optional<NumberFormat> format; // --format
    std::string libraryPath;            // a library to load instead of the search
    Platform* platform = nullptr;       // the services to use; the terminal's when none
    std::string listFile;               // a list the window opens at start
};

struct Program {
    LibraryBinding binding;
    Library library; // the client over binding, once it is loaded
    ScriptHost host;
    std::vector<std::u16string> KeywordList;
    std::u16string helpText; // "ShowCmds.vex"
    ShellSettings settings;
    std::string programDir;
    ProgramFolders folders; // help, configuration and pictures: beside it or the user's
    std::string configPath; // empty in test mode: nothing is read or written
};

// The folder of the running executable.
std::string ProgramFolder();

// Binds the library and prepares the terminal program; false (with a message) when the
// library cannot be loaded. A configuration that is not read (not a regular file, no
// home to keep it in) is noted once on stderr.
bool StartUp(Program& program, const StartOptions& options, std::string& error);

// The window takes relative names and puts its pictures in the picture folder (made when
// missing); terminal and batch runs, and a window without a picture folder (no home),
// keep the shell's current folder.
void UsePictureFolder(Program& program);

} // namespace vex
