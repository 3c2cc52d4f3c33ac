#pragma once
// Services of the host program that the diagnostics need: a message box, the
// messages window and the clipboard. A host installs its own; without one,
// texts go to stderr and the default answer is taken. Nothing ever blocks.

#include <cstdint>
#include <string_view>

#include "zorbit/codes.h"

namespace zorbit {

// The host's services as installed through the exported setters (part of the context).
struct HostHooks {
    ZorbitMessageBoxFn messageBox = nullptr;
    ZorbitMessageWindowFn messageWindow = nullptr;
    ZorbitClipboardFn clipboard = nullptr;
    // While set, nothing reaches the host or a file: boxes take their default answer,
    // window lines and clipboard texts are dropped (a preview runs so).
    bool silent = false;
};

extern HostHooks& g_hooks;
inline HostHooks& Hooks() {
    return g_hooks;
}

void SetMessageBoxHandler(ZorbitMessageBoxFn fn);
void SetMessageWindowHandler(ZorbitMessageWindowFn fn);
void SetClipboardHandler(ZorbitClipboardFn fn);

int32_t ShowMessageBox(std::u16string_view title, std::u16string_view text, int32_t style,
                       int32_t defaultAnswer);
void ShowMessageWindowLine(std::u16string_view line, int32_t position);
bool PutOnClipboard(std::u16string_view text);

} // namespace zorbit
