#pragma once
// The entry field's Enter key: command test, "Expr = " prefix, the one-line batch run
// and the clean-up of its output. The terminal front end uses it for -e and stdin.

#include <string>
#include <string_view>
#include <vector>

#include "script/script_host.h"

namespace vex {

// True when the first word of text contains one of the keywords (compared in lower case).
bool IsCommand(const std::vector<std::u16string>& keywords, std::u16string_view text);
// The text as it is run: unchanged for a command, else "Expr = " + text.
std::u16string EntryText(const std::vector<std::u16string>& keywords, std::u16string_view text);
// The report as the list shows it: line breaks at both ends removed, trimmed, tabs as
// four spaces, and an error cut to what follows "===> ".
std::u16string CleanEntryOutput(std::u16string_view report);
// The non-empty lines of a cleaned output.
std::vector<std::u16string> ResultLines(std::u16string_view cleaned);

struct EntryResult {
    std::u16string text;               // the line as run
    std::vector<std::u16string> lines; // the result rows
    bool error = false;                // the line reported an error
    bool outOfMemory = false;          // the line could not be run for want of memory
};

// One line typed into the entry field; an empty line does nothing. A command may span
// lines ended by CR LF or CR (the matrix window's multi-line form); a formula holding a
// line break, or a LF without its CR, is refused with an error row, never run cut short.
EntryResult RunEntryLine(ScriptHost& host, const std::vector<std::u16string>& keywords,
                         std::u16string_view line);

} // namespace vex
