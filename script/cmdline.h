#pragma once
// The switch string of a batch run: "/"-separated switches that set the process-wide
// batch settings.

#include <string>
#include <string_view>

#include "script/host.h"

namespace vex {

// Reads host.batch.commandLine and updates the switch settings. A "/" inside double
// quotes does not split the line, so a path is written as "/i \"/tmp/in.vex\" /".
void ParseCmdLine(ScriptHost& host);

// A file name of the command line as a path: absolute names ("/...", also "X:\..."
// written elsewhere) as given, relative ones taken from CurDir; "" stays "".
std::u16string ResolvePath(std::u16string_view name, std::u16string_view curDir);

// A file name of the batch run as the path used: ResolvePath against CurDir, and under a
// file jail (fuzzing) the jail folder with the name's last part.
std::u16string BatchPath(const BatchSettings& b, std::u16string_view name);

// The folder part of a path, up to and including its last "/" or "\" ("" when none).
std::u16string_view FolderPart(std::u16string_view path);

// Appends a line to the log file when logging is on (the first name given is kept for
// the process; the first write creates the file, later ones append). A log that cannot
// be opened is reported once on stderr and the run goes on.
int32_t LogLine(ScriptHost& host, std::u16string_view text);

} // namespace vex
