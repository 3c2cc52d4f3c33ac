#include "engine/debugf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/host_hooks.h"

namespace zorbit {

namespace {

// A host that keeps answering Yes must not keep DebugF looping for ever.
constexpr int kMaxDebugFRetries = 100;

// The file lies in the shared temporary folder: a link or a FIFO planted under its name
// by someone else is never followed, written through or waited on.
bool AppendLine(const std::string& path, bool append, std::u16string_view text) {
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY |
                              (append ? O_APPEND : 0),
                          0600);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (append || ::ftruncate(fd, 0) == 0);
    const std::string line = Utf16ToUtf8(text) + "\r\n";
    ok = ok && ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ::close(fd);
    return ok;
}

} // namespace

std::string DebugFilePath() {
    std::error_code ec;
    auto dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    return (dir / "debugf.dbg").string();
}

void DebugF(std::u16string_view text, bool append, bool disabled) {
    if (disabled || Hooks().silent) return;
    const std::string path = DebugFilePath();
    int answer = 0;
    for (int attempt = 0; attempt < kMaxDebugFRetries; ++attempt) {
        if (AppendLine(path, append, text)) return;
        if (answer == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            answer = 1;
            continue;
        }
        answer =
            ShowMessageBox(u"DebugF() Error",
                           u"Unable to open file: '" + Utf8ToUtf16(path) +
                               u"' for message:\r\n\r\n" + std::u16string(text) + u"\r\n\r\nRetry?",
                           ZORBIT_MB_YESNO, ZORBIT_ID_NO);
        if (answer != ZORBIT_ID_YES) return;
        DoEvents(0, u"", 0);
    }
}

int32_t DoEvents(intptr_t /*window*/, std::u16string_view text, int32_t number) {
    if (!text.empty() || number != 0)
        DebugF(u"DoEvents: " + std::u16string(text) + u"(" + IntText(number) + u")", true, false);
    return 0;
}

int32_t OpenMessagesWindow(int32_t /*flags*/, int32_t* windowOut) {
    // The host draws the window; its lines arrive through the message-window service.
    Writer().windowOpen = true;
    Writer().lineCounter = 0;
    if (windowOut) *windowOut = 1;
    return 1;
}

int32_t WriteMessage(std::u16string_view text, uint8_t target, std::u16string_view fileName,
                     int32_t /*reserved*/, uint8_t reset, int32_t option) {
    MessageWriterState& w = Writer();
    if (Hooks().silent) return 0;
    if (reset == 1) {
        if (target == 2) {
            w.windowOpen = false;
            w.lineCounter = 0;
        } else if (target == 1) {
            w.fileName.clear();
            w.fileCreated = false;
        }
        return 0;
    }
    if (target == 2) {
        if (!w.windowOpen) OpenMessagesWindow(-1, nullptr);
        ++w.lineCounter;
        ShowMessageWindowLine(IntText(w.lineCounter) + u": " + std::u16string(text), option);
        return 1;
    }
    if (target == 1) {
        std::u16string line(text);
        if (line.size() < 2 || line.compare(line.size() - 2, 2, u"\r\n") != 0) line += u"\r\n";
        if (w.fileName.empty() && !fileName.empty()) w.fileName = Utf16ToUtf8(fileName);
        if (w.fileName.empty()) return -1;
        std::FILE* f = std::fopen(w.fileName.c_str(), w.fileCreated ? "ab" : "wb");
        if (!f) return -1;
        w.fileCreated = true;
        const std::string bytes = Utf16ToUtf8(line);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return 1;
    }
    return 0;
}

} // namespace zorbit
