#include "shell/binding.h"

#include <dlfcn.h>
#include <unistd.h>

namespace vex {

namespace {

constexpr const char* kLibraryName = "libzorbit.so";

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
    const std::string beside = programDir + "/" + kLibraryName;
    if (access(beside.c_str(), F_OK) == 0) return LoadBindingFrom(binding, beside, error);
    return LoadBindingFrom(binding, kLibraryName, error);
}

} // namespace vex
