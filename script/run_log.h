#pragma once
// The log file of the batch run.

#include <cstdint>
#include <string_view>

#include "script/script_host.h"

namespace vex {

// Appends a line to the log file when logging is on (the first name given is kept for
// the process; the first write creates the file, later ones append). A log that cannot
// be opened is reported once on stderr and the run goes on.
int32_t LogLine(ScriptHost& host, std::u16string_view text);

} // namespace vex
