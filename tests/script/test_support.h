#pragma once
// Shared set-up of the interpreter tests: the real libzorbit.so bound by name, a fresh
// host per test, a temporary folder and a message box that records what it was told.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "script/library_loader.h"
#include "script/script_host.h"

namespace vex::test {

inline std::string U8(std::u16string_view s) {
    return zorbit::Utf16ToUtf8(s);
}
inline std::u16string U16(std::string_view s) {
    return zorbit::Utf8ToUtf16(s);
}

class RecordingBox final : public MessageBoxService {
  public:
    int32_t Show(std::u16string_view title, std::u16string_view text, int32_t,
                 int32_t answer) override {
        shown.push_back(U8(title) + ": " + U8(text));
        return forcedAnswer != 0 ? forcedAnswer : answer;
    }
    std::vector<std::string> shown;
    int32_t forcedAnswer = 0; // 0 takes the default answer
};

class RecordingWindow final : public TextWindowService {
  public:
    void ShowText(std::u16string_view text) override { this->text += U8(text); }
    void WriteLine(std::u16string_view line, int32_t) override { lines.push_back(U8(line)); }
    void Close() override {}
    std::string text;
    std::vector<std::string> lines;
};

class RecordingClipboard final : public ClipboardService {
  public:
    bool PutText(std::u16string_view text) override {
        this->text = U8(text);
        return true;
    }
    std::string text;
};

// The library, bound once for the whole test program.
const LibraryBinding& Zorbit();

// A fresh host on the bound library, with the library's lists emptied and a temp folder.
class ScriptTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void WriteFile(const std::string& name, std::string_view bytes) const;
    std::string ReadFile(const std::string& name) const;

    ScriptHost host;
    RecordingBox box;
    RecordingWindow window;
    RecordingClipboard clipboard;
    Platform platform{&box, &clipboard, &window, nullptr};
    std::filesystem::path dir;
};

} // namespace vex::test
