// Arbitrary switch strings through ParseCmdLine and vexEvalMain. Every file name goes
// into a temporary folder; the selection text runs as a script. The input without its
// "'" characters, quoted as "/sel:'F' /", must run exactly as F handed over whole.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "script/batch.h"
#include "script/text_util.h"

namespace {

// What a run leaves that a switch inside the formula could change.
using Outcome = std::tuple<int32_t, std::u16string, int32_t, bool, bool, bool, bool, bool, bool,
                           bool, bool, bool, bool, std::u16string, std::vector<std::u16string>>;

Outcome RunFresh(vex::fuzz::FuzzHost& f, std::u16string_view commandLine,
                 std::optional<std::u16string_view> selection) {
    // Files one run wrote must not change what the other reads.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(f.folder, ec))
        std::filesystem::remove_all(entry.path(), ec);
    f.Fresh();
    const int32_t code = vex::vexEvalMain(f.host, commandLine, selection);
    const vex::BatchSettings& b = f.host.batch;
    return {code,          b.vexResStr,    b.lastErrors, b.logF,       b.lnsF,
            b.SaveToClpBF, b.delF,         b.InputFileF, b.showMemory, b.showLog,
            b.showFlags,   b.showCommands, b.showAbout,  b.OutpFN,     b.ignoredSwitches};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vex::fuzz::FuzzHost& f = vex::fuzz::Host();
    f.Fresh();
    const std::u16string line =
        zorbit::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)vex::vexEvalMain(f.host, line);
    // Switches persist from call to call: a second run starts from what the first left.
    (void)vex::vexEvalMain(f.host, u" /noh /nln /nt /sel:'Expr = 1' /");

    const std::u16string formula = vex::RemoveQuotes(line);
    // Random values differ from run to run.
    if (vex::Contains(zorbit::ToLower(formula), u"rnd")) return 0;
    const Outcome quoted = RunFresh(f, u"/sel:'" + formula + u"' /", std::nullopt);
    const Outcome whole = RunFresh(f, u"", formula);
    if (quoted != whole) {
        std::fprintf(stderr, "/sel:'F' / ran otherwise than F:\n%s\n---\n%s\n",
                     zorbit::Utf16ToUtf8(std::get<1>(quoted)).c_str(),
                     zorbit::Utf16ToUtf8(std::get<1>(whole)).c_str());
        std::abort();
    }
    return 0;
}
