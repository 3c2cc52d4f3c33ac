#include "platform/protected_files.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <filesystem>
#include <mutex>
#include <utility>
#include <vector>

namespace vex {

namespace {

namespace fs = std::filesystem;

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    std::string name;
};

struct Registry {
    std::mutex mutex;
    std::vector<std::string> files;                         // canonical names
    std::vector<std::pair<std::string, std::string>> names; // canonical folder, prefix
    std::vector<std::string> folders;                       // canonical, no trailing '/'
    std::vector<FileId> ids;                                // files that existed
};

Registry& Protected() {
    static Registry registry;
    return registry;
}

// The name with symlinks and ".." resolved as far as it exists; the rest lexically.
std::string Canonical(const std::string& path) {
    if (path.empty()) return {};
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) p = fs::absolute(path, ec).lexically_normal();
    std::string text = p.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

void RememberId(Registry& r, const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        r.ids.push_back({st.st_dev, st.st_ino, name});
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void ProtectFile(const std::string& path) {
    const std::string name = Canonical(path);
    if (name.empty()) return;
    Registry& r = Protected();
    const std::lock_guard lock(r.mutex);
    r.files.push_back(name);
    RememberId(r, name);
}

void ProtectNamesIn(const std::string& folder, const std::string& prefix) {
    const std::string dir = Canonical(folder);
    if (dir.empty() || prefix.empty()) return;
    Registry& r = Protected();
    const std::lock_guard lock(r.mutex);
    r.names.emplace_back(dir, prefix);
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (StartsWith(it->path().filename().string(), prefix)) RememberId(r, it->path().string());
    }
}

void ProtectFolder(const std::string& folder) {
    const std::string dir = Canonical(folder);
    if (dir.empty()) return;
    Registry& r = Protected();
    const std::lock_guard lock(r.mutex);
    r.folders.push_back(dir);
}

void ClearProtectedFiles() {
    Registry& r = Protected();
    const std::lock_guard lock(r.mutex);
    r.files.clear();
    r.names.clear();
    r.folders.clear();
    r.ids.clear();
}

bool IsProtectedFile(const std::string& path, std::string* which) {
    Registry& r = Protected();
    const std::lock_guard lock(r.mutex);
    if (r.files.empty() && r.names.empty() && r.folders.empty()) return false;
    const std::string name = Canonical(path);
    const auto found = [&](const std::string& match) {
        if (which) *which = match;
        return true;
    };
    for (const std::string& file : r.files)
        if (name == file) return found(file);
    const size_t slash = name.rfind('/');
    const std::string folder = slash == 0 ? "/" : name.substr(0, slash);
    const std::string base = name.substr(slash + 1);
    for (const auto& [dir, prefix] : r.names)
        if (folder == dir && StartsWith(base, prefix)) return found(name);
    for (const std::string& dir : r.folders)
        if (name == dir || StartsWith(name, dir == "/" ? dir : dir + "/")) return found(name);
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0)
        for (const FileId& id : r.ids)
            if (id.dev == st.st_dev && id.ino == st.st_ino) return found(id.name);
    return false;
}

void ProtectProgramFiles(const ProgramFiles& files) {
    if (!files.executable.empty()) ProtectFile(files.executable);
    if (!files.library.empty()) {
        ProtectFile(files.library);
        const std::string folder = fs::path(Canonical(files.library)).parent_path().string();
        ProtectNamesIn(folder, "libzorbit.so");
        ProtectNamesIn(folder, "libgridentry.so");
    }
    if (!files.helpDir.empty()) ProtectFile(files.helpDir + "/ShowCmds.vex");
    if (files.installed) {
        if (!files.executable.empty())
            ProtectFolder(fs::path(Canonical(files.executable)).parent_path().string());
        if (!files.helpDir.empty()) ProtectFolder(files.helpDir);
    }
}

std::string LoadedLibraryFile(void* handle) {
    if (!handle) return {};
    struct link_map* map = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
    return map->l_name;
}

} // namespace vex
