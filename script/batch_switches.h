#pragma once
// The switch string of a batch run: "/"-separated switches that set the process-wide
// batch settings.

#include <string>
#include <string_view>

#include "script/script_host.h"

namespace vex {

// Reads host.batch.commandLine and updates the switch settings. A "/" inside double
// quotes does not split the line, so a path is written as "/i \"/tmp/in.vex\" /". A
// quoted selection "sel:'...'" is one unit up to its closing "'", whatever it holds:
// switch parsing resumes after it. Fields that are no switch are listed in
// ignoredSwitches, a folder given as output name in outputReplaced.
void ParseCmdLine(ScriptHost& host);

// Makes text the selection source, as a quoted "sel" does, without reading anything
// in it as a switch. A "'" in text starts its comment, as in a script line.
void SetSelection(ScriptHost& host, std::u16string_view text);

// A file name of the command line as a path: absolute names ("/...", also "X:\..."
// written elsewhere) as given, relative ones taken from CurDir; "" stays "".
std::u16string ResolvePath(std::u16string_view name, std::u16string_view curDir);

// A file name of the batch run as the path used: ResolvePath against CurDir, and under a
// file jail (fuzzing) the jail folder with the name's last part.
std::u16string BatchPath(const BatchSettings& b, std::u16string_view name);

// The folder part of a path, up to and including its last "/" or "\" ("" when none).
std::u16string_view FolderPart(std::u16string_view path);

} // namespace vex
