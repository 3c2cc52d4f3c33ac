// vexcalc: the calculator's terminal front end (-e, -, --batch).

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/number_text.h"
#include "common/text.h"
#include "script/batch.h"
#include "script/file_write.h"
#include "platform/display.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "shell/terminal.h"
#ifdef VEX_HAVE_WINDOW
#include "plot/plot_service.h"
#include "shell/window/window_app.h"
#endif

namespace {

constexpr int kExitCannotLoad = 10;
constexpr int kExitUsage = 11;

const char* const kHelp =
    "Usage: vexcalc [options]              open the calculator's window (without a\n"
    "                                      display: read lines from the terminal;\n"
    "                                      from a pipe or a file: as with -)\n"
    "       vexcalc [options] -e LINES     evaluate each line as the entry field does\n"
    "       vexcalc [options] -            evaluate every line of standard input\n"
    "       vexcalc [options] --batch SWITCHES [--batch SWITCHES ...]\n"
    "                                      run the batch entry with a switch string,\n"
    "                                      e.g. \"/i in.vex /o out.vex /\"; several run\n"
    "                                      one after the other in one process; a\n"
    "                                      path with \"/\" goes in double quotes:\n"
    "                                      \"/i \\\"/tmp/in.vex\\\" /\"\n"
    "Options:\n"
    "  --decimals N   decimals of results (-1 means 10); default: the configuration's\n"
    "  --no-config    ignore the user's configuration file\n"
    "  --help         this text\n"
    "  --version      the program's version\n"
    "Exit status: -e and -: 0, or 1 when a line reported an error; --batch: 0 on\n"
    "success, 2 to 9 for the batch exit codes -2 to -9 (of the last run);\n"
    "10 when libzorbit.so cannot be loaded; 11 for a wrong command line.\n";

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

int Main(int argc, char** argv) {
    vex::StartOptions options;
    std::string mode, value;
    std::vector<std::string> batches;
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        }
        if (a == "--version") {
            std::cout << "vexcalc " << zorbit::Utf16ToUtf8(VEX_VERSION_TEXT) << '\n';
            return 0;
        }
        if (a == "--no-config") {
            options.ignoreConfig = true;
        } else if (a == "--decimals") {
            if (++k >= argc) return Usage("--decimals needs a number");
            size_t used = 0;
            const std::u16string text = zorbit::Utf8ToUtf16(argv[k]);
            const double d = zorbit::ReadDecimal(text, &used);
            if (used != text.size() || d != static_cast<int>(d) || d < -1 || d > 30)
                return Usage("--decimals takes a whole number from -1 to 30");
            options.decimals = static_cast<int32_t>(d);
        } else if (a == "-e" || a == "--batch") {
            if (++k >= argc) return Usage(a + " needs a text");
            if (!mode.empty() && mode != a) return Usage("use one of -e, - and --batch");
            mode = a;
            value = argv[k];
            batches.push_back(value);
        } else if (a == "-") {
            if (!mode.empty()) return Usage("use one of -e, - and --batch");
            mode = a;
        } else {
            return Usage("unknown argument " + a);
        }
    }
    if (mode.empty()) {
        // Lines piped or redirected in are evaluated, as bc does.
        if (vex::StdinIsData()) {
            mode = std::string("-"); // not = "-": GCC 12 at -O3 warns of a false overlap
        } else {
            std::string why;
#ifdef VEX_HAVE_WINDOW
            if (vex::DisplayAvailable(why)) return vex::RunWindow(argc, argv, options);
#else
            why = "the main window is not part of this build";
#endif
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
    plots.Bind(&program.binding.slots);
#endif
    if (mode == "-")
        return vex::RunEntryStream(program.host, program.KeywordList, std::cin, std::cout,
                                   std::cerr);
    if (mode == "-e")
        return vex::RunEntryText(program.host, program.KeywordList, value, std::cout, std::cerr);
    // Several --batch switch strings run one after the other in this one process.
    int status = 0;
    for (const std::string& switches : batches)
        status = RunBatchLine(program, switches);
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
