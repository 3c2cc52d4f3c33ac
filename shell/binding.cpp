#include "shell/binding.h"

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

void BindSlots(LibraryBinding& binding) {
    void* handle = binding.handle;
    binding.bound =
        FillSlots(binding.slots, [handle](const char* name) { return dlsym(handle, name); });
}

} // namespace

bool LoadBindingFrom(LibraryBinding& binding, const std::string& libraryPath, std::string& error) {
    binding = LibraryBinding{};
    binding.handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!binding.handle) {
        const char* why = dlerror();
        error = "cannot load " + libraryPath + (why ? std::string(": ") + why : std::string());
        return false;
    }
    binding.path = libraryPath;
    BindSlots(binding);
    return true;
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

} // namespace vex
