#include "shell/program_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace vex {

namespace {

constexpr const char* kHelpFile = "ShowCmds.vex";
constexpr const char* kConfigFile = "vexCalc.ini";

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// An XDG variable counts only when it holds an absolute path.
std::string XdgFolder(const std::string& value, const std::string& home, const char* fallback) {
    if (!value.empty() && value.front() == '/') return value;
    return (home.empty() ? std::string(".") : home) + fallback;
}

} // namespace

std::string DataFolderFromBin() {
#ifdef VEX_DATA_FROM_BIN
    return VEX_DATA_FROM_BIN;
#else
    return "../share/vexcalc";
#endif
}

UserFolders UserFoldersFromEnvironment() {
    const auto get = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    return {get("XDG_CONFIG_HOME"), get("XDG_DATA_HOME"), get("HOME")};
}

ProgramFolders FindProgramFolders(const std::string& programDir, const UserFolders& user,
                                  const std::string& dataFromBin) {
    ProgramFolders f;
    const std::string dataDir = programDir + "/" + dataFromBin;
    f.installed = !Exists(programDir + "/" + kHelpFile) && IsFolder(dataDir);
    f.helpDir =
        f.installed ? std::filesystem::path(dataDir).lexically_normal().string() : programDir;
    if (f.helpDir.size() > 1 && f.helpDir.back() == '/') f.helpDir.pop_back();
    const bool writable = access(programDir.c_str(), W_OK) == 0;
    const std::string portable = programDir + "/" + kConfigFile;
    // A portable copy that carries its file keeps it even where the folder is read-only.
    if (!f.installed && (Exists(portable) || writable)) {
        f.configPath = portable;
    } else {
        f.configPath =
            XdgFolder(user.configHome, user.home, "/.config") + "/vexcalc/" + kConfigFile;
    }
    if (!f.installed && writable) {
        const std::string own = programDir + "/vexXNpp";
        f.pictureDir = (IsFolder(own) ? own : programDir) + "/";
    } else {
        f.pictureDir = XdgFolder(user.dataHome, user.home, "/.local/share") + "/vexcalc/";
    }
    return f;
}

} // namespace vex
