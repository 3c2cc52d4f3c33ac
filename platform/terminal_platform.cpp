#include "platform/services.h"

#include <cstdio>
#include <string>

#include "common/text.h"

namespace vex {

namespace {

// CR LF pairs become plain line feeds on a terminal.
std::string TerminalText(std::u16string_view text) {
    std::string out = zorbit::Utf16ToUtf8(text);
    std::string clean;
    clean.reserve(out.size());
    for (char c : out)
        if (c != '\r') clean.push_back(c);
    return clean;
}

class StderrMessageBox final : public MessageBoxService {
  public:
    int32_t Show(std::u16string_view title, std::u16string_view text, int32_t,
                 int32_t defaultAnswer) override {
        const std::string line = TerminalText(title) + ": " + TerminalText(text) + "\n";
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        return defaultAnswer;
    }
};

class NoClipboard final : public ClipboardService {
  public:
    bool PutText(std::u16string_view) override {
        std::fputs("vexcalc: no clipboard in terminal mode; the result is not copied\n", stderr);
        return false;
    }
};

class StdoutTextWindow final : public TextWindowService {
  public:
    void ShowText(std::u16string_view text) override {
        const std::string out = TerminalText(text);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (!out.empty() && out.back() != '\n') std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    // The library's own lines are diagnostics: they stay off the results on stdout.
    void WriteLine(std::u16string_view line, int32_t) override {
        const std::string out = TerminalText(line) + "\n";
        std::fwrite(out.data(), 1, out.size(), stderr);
        std::fflush(stderr);
    }
    void Close() override {}
};

// A build without windows draws no plots; the program with windows puts its offscreen
// plotter in here.
class NoPlotWindows final : public PlotService {
  public:
    PlotOutcome Plot(const PlotRequest& request) override {
        PlotOutcome out;
        if (request.save) out.error = u"plots cannot be drawn by this build";
        return out;
    }
    void CloseAll() override {}
};

} // namespace

Platform& TerminalPlatform() {
    static StderrMessageBox box;
    static NoClipboard clipboard;
    static StdoutTextWindow window;
    static NoPlotWindows plot;
    static Platform platform{&box, &clipboard, &window, &plot};
    return platform;
}

} // namespace vex
