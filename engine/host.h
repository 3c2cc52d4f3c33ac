#pragma once
// Services of the host program that the diagnostics need: a message box, the
// messages window and the clipboard. A host installs its own; without one,
// texts go to stderr and the default answer is taken. Nothing ever blocks.

#include <cstdint>
#include <string_view>

extern "C" {
// buttons/icon use the classic values: 0 OK, 4 Yes/No, 0x30 warning icon.
// Returns the answer: 1 OK, 6 Yes, 7 No.
typedef int32_t (*VexMessageBoxFn)(const char16_t* title, const char16_t* text,
                                   int32_t style, int32_t defaultAnswer);
// One line for the messages window; position as WriteMessage's option.
typedef void (*VexMessageWindowFn)(const char16_t* line, int32_t position);
// Puts text on the clipboard; returns 0 when there is none.
typedef int32_t (*VexClipboardFn)(const char16_t* text);
}

namespace zorbit {

// The host's services as installed through the exported setters (part of the context).
struct HostHooks {
    VexMessageBoxFn messageBox = nullptr;
    VexMessageWindowFn messageWindow = nullptr;
    VexClipboardFn clipboard = nullptr;
};

extern HostHooks& g_hooks;
inline HostHooks& Hooks() { return g_hooks; }

constexpr int32_t kMbOk = 0;
constexpr int32_t kMbYesNo = 4;
constexpr int32_t kMbIconWarning = 0x30;
constexpr int32_t kIdOk = 1;
constexpr int32_t kIdYes = 6;
constexpr int32_t kIdNo = 7;

void SetMessageBoxHandler(VexMessageBoxFn fn);
void SetMessageWindowHandler(VexMessageWindowFn fn);
void SetClipboardHandler(VexClipboardFn fn);

int32_t ShowMessageBox(std::u16string_view title, std::u16string_view text, int32_t style,
                       int32_t defaultAnswer);
void ShowMessageWindowLine(std::u16string_view line, int32_t position);
bool PutOnClipboard(std::u16string_view text);

}  // namespace zorbit
