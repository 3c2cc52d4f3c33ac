#include "platform/library_hooks.h"

#include "common/text.h"

namespace vex {

namespace {

// C callbacks carry no context: the installed platform is the one the hooks serve.
Platform* g_installed = nullptr;

// Nothing may unwind into the library through a C callback: a failing service answers
// as if there were none.
int32_t MessageBoxHook(const char16_t* title, const char16_t* text, int32_t style,
                       int32_t defaultAnswer) {
    try {
        if (g_installed && g_installed->messageBox)
            return g_installed->messageBox->Show(zorbit::View(title), zorbit::View(text), style,
                                                 defaultAnswer);
    } catch (...) {
    }
    return defaultAnswer;
}

void MessageWindowHook(const char16_t* line, int32_t position) {
    try {
        if (g_installed && g_installed->textWindow)
            g_installed->textWindow->WriteLine(zorbit::View(line), position);
    } catch (...) {
    }
}

int32_t ClipboardHook(const char16_t* text) {
    try {
        if (g_installed && g_installed->clipboard)
            return g_installed->clipboard->PutText(zorbit::View(text)) ? 1 : 0;
    } catch (...) {
    }
    return 0;
}

} // namespace

void InstallLibraryHooks(Platform& platform, const LibraryHookSetters& setters) {
    g_installed = &platform;
    if (setters.messageBox) setters.messageBox(&MessageBoxHook);
    if (setters.messageWindow) setters.messageWindow(&MessageWindowHook);
    if (setters.clipboard) setters.clipboard(&ClipboardHook);
}

void RemoveLibraryHooks(const LibraryHookSetters& setters) {
    if (setters.messageBox) setters.messageBox(nullptr);
    if (setters.messageWindow) setters.messageWindow(nullptr);
    if (setters.clipboard) setters.clipboard(nullptr);
    g_installed = nullptr;
}

} // namespace vex
