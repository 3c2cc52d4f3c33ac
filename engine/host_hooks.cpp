#include "engine/host_hooks.h"

#include <cstdio>
#include <string>

#include "common/text.h"

namespace zorbit {

namespace {

HostHooks& Host() {
    return Hooks();
}

} // namespace

void SetMessageBoxHandler(ZorbitMessageBoxFn fn) {
    Host().messageBox = fn;
}
void SetMessageWindowHandler(ZorbitMessageWindowFn fn) {
    Host().messageWindow = fn;
}
void SetClipboardHandler(ZorbitClipboardFn fn) {
    Host().clipboard = fn;
}

int32_t ShowMessageBox(std::u16string_view title, std::u16string_view text, int32_t style,
                       int32_t defaultAnswer) {
    if (Host().silent) return defaultAnswer;
    if (Host().messageBox) {
        const std::u16string t(title), x(text);
        return Host().messageBox(t.c_str(), x.c_str(), style, defaultAnswer);
    }
    // No host: report on stderr and take the default, never waiting for an answer.
    // Appended piece by piece: "[" + std::string makes GCC 12 at -O3 warn of an overlap
    // that cannot happen (-Wrestrict).
    std::string line = "[";
    line += Utf16ToUtf8(title);
    line += "] ";
    line += Utf16ToUtf8(text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    return defaultAnswer;
}

void ShowMessageWindowLine(std::u16string_view line, int32_t position) {
    if (Host().silent) return;
    if (Host().messageWindow) {
        const std::u16string l(line);
        Host().messageWindow(l.c_str(), position);
        return;
    }
    const std::string out = Utf16ToUtf8(line) + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
}

bool PutOnClipboard(std::u16string_view text) {
    if (!Host().clipboard || Host().silent) return false;
    const std::u16string t(text);
    return Host().clipboard(t.c_str()) != 0;
}

} // namespace zorbit
