#pragma once
// Set-up shared by the interpreter's fuzz targets: the library bound by name, quiet
// services, and a temporary folder that every file name of a script points into.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/text.h"
#include "script/library_client.h"
#include "script/library_loader.h"
#include "script/script_host.h"

namespace vex::fuzz {

class QuietBox final : public MessageBoxService {
  public:
    int32_t Show(std::u16string_view, std::u16string_view, int32_t, int32_t answer) override {
        return answer;
    }
};
class QuietWindow final : public TextWindowService {
  public:
    void ShowText(std::u16string_view) override {}
    void WriteLine(std::u16string_view, int32_t) override {}
    void Close() override {}
};
class QuietClipboard final : public ClipboardService {
  public:
    bool PutText(std::u16string_view) override { return true; }
};

inline int32_t QuietLibraryBox(const char16_t*, const char16_t*, int32_t, int32_t answer) {
    return answer;
}

struct FuzzHost {
    LibraryBinding binding;
    QuietBox box;
    QuietWindow window;
    QuietClipboard clipboard;
    Platform platform{&box, &clipboard, &window, nullptr};
    ScriptHost host;
    std::string folder;

    FuzzHost() {
        std::string error;
        if (!LoadBindingFrom(binding, VEX_ZORBIT_PATH, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        if (const auto setHook = Library(&binding.slots).HookSetters().messageBox)
            setHook(QuietLibraryBox);
        std::string pattern = (std::filesystem::temp_directory_path() / "vexfuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        folder = pattern;
        Fresh();
    }
    // A fresh interpreter and library state for one input.
    void Fresh() {
        host = ScriptHost{};
        host.slots = &binding.slots;
        host.platform = &platform;
        host.batch.CurDir = zorbit::Utf8ToUtf16(folder);
        host.batch.programDir = host.batch.CurDir;
        host.batch.fileJail = host.batch.CurDir;
        Library(&binding.slots).ResetAll();
        // A Precision line of the last input must not carry over to this one.
        Library(&binding.slots).SetPrecisionMode(ZORBIT_PRECISION_CLASSIC);
    }
};

inline FuzzHost& Host() {
    static FuzzHost h;
    return h;
}

} // namespace vex::fuzz
