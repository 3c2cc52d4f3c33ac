#pragma once
// The one host channel: the platform's message box, messages window and clipboard
// installed into the library's hooks, so the library's messages and the interpreter's
// go through the same services. The program installs its platform once at start-up
// (and again when it changes, e.g. from the terminal to a window).

#include "platform/services.h"
#include "zorbit/zorbit.h"

namespace vex {

// The library's hook setters as the program bound them; an empty one is skipped.
struct LibraryHookSetters {
    decltype(&::SetMessageBoxHook) messageBox = nullptr;
    decltype(&::SetMessageWindowHook) messageWindow = nullptr;
    decltype(&::SetClipboardHook) clipboard = nullptr;
};

// Routes the library's hooks to platform's services (platform must outlive the hooks).
void InstallLibraryHooks(Platform& platform, const LibraryHookSetters& setters);
// Takes the hooks out again: the library falls back to stderr and default answers.
void RemoveLibraryHooks(const LibraryHookSetters& setters);

} // namespace vex
