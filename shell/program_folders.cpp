#include "shell/program_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

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

bool Absolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

// An XDG variable counts only when it holds an absolute path; without it and without a
// home there is no folder (never one relative to wherever the program was started).
std::string XdgFolder(const std::string& value, const std::string& home, const char* fallback) {
    if (Absolute(value)) return value;
    return Absolute(home) ? home + fallback : std::string();
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
    std::string home = get("HOME");
    if (!Absolute(home)) home = AccountHome(getuid());
    return {get("XDG_CONFIG_HOME"), get("XDG_DATA_HOME"), home};
}

std::string AccountHome(uid_t uid) {
    long room = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (room <= 0) room = 16384;
    std::vector<char> buffer(static_cast<size_t>(room));
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int rc = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
        // A very long entry needs more room; a bounded amount is tried.
        if (rc == ERANGE && buffer.size() < (size_t{1} << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || !found || !found->pw_dir) return {};
        const std::string home = found->pw_dir;
        return Absolute(home) ? home : std::string();
    }
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
    } else if (const std::string folder = XdgFolder(user.configHome, user.home, "/.config");
               !folder.empty()) {
        f.configPath = folder + "/vexcalc/" + kConfigFile;
    }
    if (!f.installed && writable) {
        const std::string own = programDir + "/vexXNpp";
        f.pictureDir = (IsFolder(own) ? own : programDir) + "/";
    } else if (const std::string folder = XdgFolder(user.dataHome, user.home, "/.local/share");
               !folder.empty()) {
        f.pictureDir = folder + "/vexcalc/";
    }
    return f;
}

} // namespace vex
