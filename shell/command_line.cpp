#include "shell/command_line.h"

#include <filesystem>

#include "common/number_text.h"
#include "common/text.h"
#include "shell/window_logic.h"

namespace vex {

namespace {

CommandLine Wrong(CommandLine& c, std::string why) {
    c.action = CommandLine::Action::Usage;
    c.error = std::move(why);
    return c;
}

constexpr const char* kListNotWithMode = "a list opens in the window: not with -e, - or --batch";

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::string& currentFolder) {
    CommandLine c;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--help" || a == "-h") {
            c.action = CommandLine::Action::Help;
            return c;
        }
        if (a == "--version") {
            c.action = CommandLine::Action::Version;
            return c;
        }
        if (a == "--no-config") {
            c.options.ignoreConfig = true;
        } else if (a == "--decimals") {
            if (++k >= args.size()) return Wrong(c, "--decimals needs a number");
            size_t used = 0;
            const std::u16string text = zorbit::Utf8ToUtf16(args[k]);
            const double d = zorbit::ReadDecimal(text, &used);
            if (used != text.size() || d != static_cast<int>(d) || d < -1 || d > kMaxDecimals)
                return Wrong(c, std::string("--decimals ") + kDecimalsRange);
            c.options.decimals = static_cast<int32_t>(d);
        } else if (a == "--precision") {
            if (++k >= args.size()) return Wrong(c, "--precision needs classic or full");
            c.options.precision = PrecisionNamed(zorbit::Utf8ToUtf16(args[k]));
            if (!c.options.precision)
                return Wrong(c, "--precision takes classic or full, not " + args[k]);
        } else if (a == "--format") {
            if (++k >= args.size()) return Wrong(c, "--format needs fixed or auto");
            c.options.format = NumberFormatNamed(zorbit::Utf8ToUtf16(args[k]));
            if (!c.options.format) return Wrong(c, "--format takes fixed or auto, not " + args[k]);
        } else if (a == "-e" || a == "--batch") {
            if (++k >= args.size()) return Wrong(c, a + " needs a text");
            if (!c.mode.empty() && c.mode != a) return Wrong(c, "use one of -e, - and --batch");
            if (!c.options.listFile.empty()) return Wrong(c, kListNotWithMode);
            c.mode = a;
            c.texts.push_back(args[k]);
        } else if (a == "-") {
            if (!c.mode.empty()) return Wrong(c, "use one of -e, - and --batch");
            if (!c.options.listFile.empty()) return Wrong(c, kListNotWithMode);
            c.mode = a;
        } else if (!a.empty() && a.front() != '-') {
            // A file manager passes the list to open as the one plain argument.
            if (!c.mode.empty()) return Wrong(c, kListNotWithMode);
            if (!c.options.listFile.empty()) return Wrong(c, "one list at a time: " + a);
            std::filesystem::path path(a);
            if (path.is_relative()) path = std::filesystem::path(currentFolder) / path;
            c.options.listFile = path.lexically_normal().string();
        } else {
            return Wrong(c, "unknown argument " + a);
        }
    }
    return c;
}

} // namespace vex
