#pragma once
// EvalScript: runs a script (lines separated by CR LF) from top to bottom and builds
// its report, one record per statement.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/report_rows.h"
#include "script/script_host.h"

namespace vex {

// The run inputs the caller gives (the batch run fills them from its switches).
struct ScriptRun {
    bool noLabels = false;   // "nt"
    bool lineSelect = false; // "lns"
    int32_t LineOffset = 0;  // "lc"
    std::u16string LineList; // ";3;5;"
    bool noLnExp = false;    // "nln"
    bool savePlots = false;  // "spl"
    // Characters the caller will put in front of the report: reserved with it, so the
    // report is not copied to make room.
    size_t reportRoom = 0;
    // When set, the report's rows are handed here as well (the entry line shows them).
    std::vector<ReportRow>* rows = nullptr;
};

struct ScriptResult {
    int32_t code = 0; // executed * 1000 + errors
    std::u16string report;
    bool outOfMemory = false; // the run could not finish; its report is lost
    // Size of the report block as the caller receives it: text and terminating zero.
    size_t ByteSize() const { return 2 * report.size() + 2; }
    int32_t Executed() const { return code / 1000; }
    int32_t Errors() const { return code % 1000; }
};

ScriptResult EvalScript(ScriptHost& host, std::u16string_view script, const ScriptRun& run);

// The command words the interpreter runs, lower-cased, in the order it matches them.
std::vector<std::u16string> CommandWords();

} // namespace vex
