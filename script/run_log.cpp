#include "script/run_log.h"

#include <cstdio>
#include <string>

#include "common/text.h"
#include "platform/protected_files.h"
#include "script/batch_switches.h"

namespace vex {

int32_t LogLine(ScriptHost& host, std::u16string_view text) {
    BatchSettings& b = host.batch;
    if (!b.logF) return 0;
    if (b.logRemembered.empty()) {
        if (b.logFileN.empty()) return -1;
        b.logRemembered = BatchPath(b, b.logFileN);
    }
    std::string line = zorbit::Utf16ToUtf8(text);
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) line += "\r\n";
    const std::string path = zorbit::Utf16ToUtf8(b.logRemembered);
    // A log named after one of the program's own files would cut that file short.
    const bool own = IsProtectedFile(path);
    std::FILE* f = own ? nullptr : std::fopen(path.c_str(), b.logCreated ? "ab" : "wb");
    if (!f) {
        if (!b.logFailureReported)
            std::fprintf(stderr, "vexcalc: cannot open the log file %s%s; the run goes on\n",
                         path.c_str(), own ? " (it is one of the program's own files)" : "");
        b.logFailureReported = true;
        return -1;
    }
    b.logCreated = true;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
    return 1;
}

} // namespace vex
