#include "script/library_loader.h"

#include <dlfcn.h>
#include <unistd.h>

namespace vex {

namespace {

// The library's SONAME (libzorbit.so.0): what the run-time package ships. The plain
// name is the development link, which only a build folder or a hand copy may hold alone.
#ifdef VEX_ZORBIT_SONAME
constexpr const char* kLibraryName = VEX_ZORBIT_SONAME;
#else
constexpr const char* kLibraryName = "libzorbit.so.0";
#endif
constexpr const char* kPlainName = "libzorbit.so";

} // namespace

bool OpenBinding(LibraryBinding& binding, const std::string& path, std::string& why) {
    binding = LibraryBinding{};
    why.clear();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (const char* reason = dlerror()) why = reason;
        return false;
    }
    binding.handle = handle;
    binding.path = path;
    binding.bound =
        FillSlots(binding.slots, [handle](const char* name) { return dlsym(handle, name); });
    return true;
}

bool LoadBindingFrom(LibraryBinding& binding, const std::string& libraryPath, std::string& error) {
    std::string why;
    if (OpenBinding(binding, libraryPath, why)) return true;
    error = "cannot load " + libraryPath + (why.empty() ? std::string() : ": " + why);
    return false;
}

bool LoadBinding(LibraryBinding& binding, const std::string& programDir, std::string& error) {
    for (const char* name : {kLibraryName, kPlainName}) {
        const std::string beside = programDir + "/" + name;
        if (access(beside.c_str(), F_OK) == 0) return LoadBindingFrom(binding, beside, error);
    }
    // The library path includes the program's run path: <prefix>/lib when installed.
    if (LoadBindingFrom(binding, kLibraryName, error)) return true;
    error += " (looked beside the program in " + programDir + " first)";
    return false;
}

void CloseBinding(LibraryBinding& binding) {
    if (binding.handle) dlclose(binding.handle);
    binding = LibraryBinding{};
}

std::vector<std::string> LibraryCandidates(const std::string& folder) {
    std::vector<std::string> out;
    for (const char* name : {kLibraryName, kPlainName})
        if (!folder.empty()) out.push_back(folder + name);
    out.push_back(kLibraryName);
    out.push_back(kPlainName);
    return out;
}

std::string ModuleFolder(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) return {};
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace vex
