#pragma once
// The report windows of the batch run: memory, log, flags, about and commands. Their
// text goes to the platform's text window (stdout in terminal and batch mode).

#include <string>

#include "script/script_host.h"

namespace vex {

std::u16string MemoryReport(ScriptHost& host);
std::u16string FlagsReport(const ScriptHost& host);

void ShowMemoryWindow(ScriptHost& host);
void ShowLogWindow(ScriptHost& host);
void ShowFlagsWindow(ScriptHost& host);
void ShowAboutWindow(ScriptHost& host);
void ShowCommandsWindow(ScriptHost& host);

} // namespace vex
