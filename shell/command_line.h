#pragma once
// The program's command line: the run mode, its texts, the start options and a list to
// open in the window.

#include <string>
#include <vector>

#include "shell/startup.h"

namespace vex {

struct CommandLine {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    std::string error; // Usage: what is wrong
    std::string mode;  // "", "-e", "-" or "--batch"
    // -e: every text given, in order; --batch: every switch string, in order.
    std::vector<std::string> texts;
    StartOptions options; // listFile is absolute
};

// Reads the arguments after the program's name, in order: --help and --version answer at
// once, the first wrong argument makes it a usage error. A relative list file is taken
// from currentFolder.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::string& currentFolder);

} // namespace vex
