#include "platform/display.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace vex {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Asks libxcb (which the window's platform plugin uses anyway) to connect; it is
// loaded by name so the terminal program does not depend on it.
bool XDisplayAnswers(const std::string& display) {
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool ok = false;
    if (connect && hasError && disconnect) {
        void* c = connect(display.c_str(), nullptr);
        ok = c && hasError(c) == 0;
        if (c) disconnect(c);
    }
    dlclose(xcb);
    return ok;
}

bool WaylandSocketThere(const std::string& name) {
    std::string path = name;
    if (path.empty() || path.front() != '/') {
        const std::string runtime = Env("XDG_RUNTIME_DIR");
        if (runtime.empty()) return false;
        path = runtime + "/" + name;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

} // namespace

bool DisplayAvailable(std::string& why) {
    if (!Env("QT_QPA_PLATFORM").empty()) return true;
    const std::string x = Env("DISPLAY"), wayland = Env("WAYLAND_DISPLAY");
    if (!x.empty() && XDisplayAnswers(x)) return true;
    if (!wayland.empty() && WaylandSocketThere(wayland)) {
        // No X server to fall back on: the window takes the Wayland platform itself.
        setenv("QT_QPA_PLATFORM", "wayland", 0);
        return true;
    }
    if (x.empty() && wayland.empty())
        why = "no display (DISPLAY and WAYLAND_DISPLAY are not set)";
    else if (!x.empty())
        why = "the display " + x + " does not answer";
    else
        why = "the Wayland display " + wayland + " is not there";
    return false;
}

bool StdinIsData() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0) return false;
    return S_ISFIFO(st.st_mode) || S_ISREG(st.st_mode) || S_ISSOCK(st.st_mode);
}

} // namespace vex
