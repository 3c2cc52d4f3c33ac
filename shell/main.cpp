// vexcalc: the calculator's terminal front end (-e, -, --batch).

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/number_text.h"
#include "common/text.h"
#include "platform/display.h"
#include "script/batch.h"
#include "script/file_write.h"
#include "shell/command_line.h"
#include "shell/entry.h"
#include "shell/help_text.h"
#include "shell/startup.h"
#include "shell/terminal.h"
#ifdef VEX_HAVE_WINDOW
#include "plot/window/plot_service.h"
#include "shell/window/window_app.h"
#endif

namespace {

constexpr int kExitCannotLoad = 10;
constexpr int kExitUsage = 11;
constexpr int kExitNoWindowForList = 12;
const char* const kHelp = vex::kHelpText;

// One batch run; the report for the caller goes to stdout.
int RunBatchLine(vex::Program& p, const std::string& switches) {
    const int32_t code = vex::vexEvalMain(p.host, zorbit::Utf8ToUtf16(switches));
    // In pieces: a large report is not copied once more to be printed.
    vex::ForEachUtf8Piece(p.host.batch.vexResStr, [](std::string_view piece) {
        for (size_t i = 0; i < piece.size();) {
            const size_t cr = std::min(piece.find('\r', i), piece.size());
            std::cout.write(piece.data() + i, static_cast<std::streamsize>(cr - i));
            i = cr + 1;
        }
        return static_cast<bool>(std::cout);
    });
    std::cout.flush();
    vex::PrintBatchNotes(p.host.batch, std::cerr);
    if (code == -1) return 0;
    return code <= -2 && code >= -9 ? -code : 1;
}

int Usage(const std::string& why) {
    std::cerr << "vexcalc: " << why << "\n" << kHelp;
    return kExitUsage;
}

std::string CurrentFolder() {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    return ec ? std::string(".") : here.string();
}

// Runs the main window (status: its exit status) when this build has one and a display
// can show it; false, with why, otherwise.
bool RunWindowIfPossible([[maybe_unused]] int argc, [[maybe_unused]] char** argv,
                         [[maybe_unused]] const vex::StartOptions& options, int& status,
                         std::string& why) {
#ifdef VEX_HAVE_WINDOW
    if (!vex::DisplayAvailable(why)) return false;
    status = vex::RunWindow(argc, argv, options);
    return true;
#else
    status = 0;
    why = "the main window is not part of this build";
    return false;
#endif
}

int Main(int argc, char** argv) {
    vex::CommandLine line =
        vex::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), CurrentFolder());
    switch (line.action) {
    case vex::CommandLine::Action::Help:
        std::cout << kHelp;
        return 0;
    case vex::CommandLine::Action::Version:
        std::cout << "vexcalc " << zorbit::Utf16ToUtf8(VEX_VERSION_TEXT) << '\n';
        return 0;
    case vex::CommandLine::Action::Usage:
        return Usage(line.error);
    case vex::CommandLine::Action::Run:
        break;
    }
    const vex::StartOptions& options = line.options;
    std::string& mode = line.mode;
    if (!options.listFile.empty()) {
        // A list is shown in the window; without one there is nothing to show it in.
        std::string why;
        if (int status = 0; RunWindowIfPossible(argc, argv, options, status, why)) return status;
        std::cerr << "vexcalc: " << options.listFile
                  << ": a list opens in the window, and no window can open: " << why << ".\n";
        return kExitNoWindowForList;
    }
    if (mode.empty()) {
        // Lines piped or redirected in are evaluated, as bc does.
        if (vex::StdinIsData()) {
            mode = std::string("-"); // not = "-": GCC 12 at -O3 warns of a false overlap
        } else {
            std::string why;
            if (int status = 0; RunWindowIfPossible(argc, argv, options, status, why))
                return status;
            // Without a window, the calculator takes its lines from the terminal.
            std::cerr << "vexcalc: no window: " << why << ".\n";
            if (isatty(STDIN_FILENO))
                std::cerr << "vexcalc: type a formula or a command per line; Ctrl-D ends.\n";
            mode = std::string("-");
        }
    }
    vex::Program program;
#ifdef VEX_HAVE_WINDOW
    // Saved plots are drawn without a window; nothing here needs a display.
    vex::PlotWindows plots(nullptr, true);
    vex::TerminalPlatform().plot = &plots;
#endif
    std::string error;
    if (!vex::StartUp(program, options, error)) {
        std::cerr << "vexcalc: " << error << "\n";
        return kExitCannotLoad;
    }
#ifdef VEX_HAVE_WINDOW
    plots.Bind(&program.library);
#endif
    if (mode == "-")
        return vex::RunEntryStream(program.host, program.KeywordList, std::cin, std::cout,
                                   std::cerr);
    if (mode == "-e") {
        // Every -e runs, in order, as the lines of one text: one session, one status.
        std::string text;
        for (size_t k = 0; k < line.texts.size(); ++k)
            text.append(k ? "\n" : "").append(line.texts[k]);
        return vex::RunEntryText(program.host, program.KeywordList, text, std::cout, std::cerr);
    }
    // Several --batch switch strings run one after the other in this one process; the
    // first that fails gives the status, so a later success never hides it.
    int status = 0;
    for (const std::string& switches : line.texts) {
        const int run = RunBatchLine(program, switches);
        if (status == 0) status = run;
    }
    return status;
}
} // namespace

int main(int argc, char** argv) {
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "vexcalc: out of memory; the run ends\n";
        return 1;
    }
}
