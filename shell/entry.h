#pragma once
// The entry field's Enter key: command test, "Expr = " prefix, the one-line batch run
// and the rows it shows. The terminal front end uses it for -e and stdin.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/report_rows.h"
#include "script/script_host.h"

namespace vex {

// True when the first word of text contains one of the keywords (compared in lower case).
bool IsCommand(const std::vector<std::u16string>& keywords, std::u16string_view text);
// The text as it is run: unchanged for a command, else "Expr = " + text.
std::u16string EntryText(const std::vector<std::u16string>& keywords, std::u16string_view text);
// One result row of the list: what it is, its text as the list shows it, and for an
// error its code, module and where in the typed line it arose.
struct EntryRow {
    RowKind kind = RowKind::Result;
    std::u16string text;
    int32_t code = ZORBIT_NO_ERROR;
    std::u16string module;
    int64_t position = -1;       // offset in the line as typed; -1 unknown
    std::optional<double> value; // a numeric result's number, whole
};

// The report's rows as the list shows them: one row per non-empty line, the report's
// ends trimmed, tabs as four spaces; when there is an error, the rows start with its
// text (what follows the arrow), and the rows before it are not shown. A position is
// taken from the script to the typed line by adding shift.
std::vector<EntryRow> EntryRows(const std::vector<ReportRow>& rows, int64_t shift = 0);

struct EntryResult {
    std::u16string text;        // the line as run
    std::vector<EntryRow> rows; // the result rows
    bool error = false;         // the line reported an error
    bool outOfMemory = false;   // the line could not be run for want of memory
};

// One line typed into the entry field; an empty line does nothing. A command may span
// lines ended by CR LF or CR (the matrix window's multi-line form); a formula holding a
// line break, or a LF without its CR, is refused with an error row, never run cut short.
EntryResult RunEntryLine(ScriptHost& host, const std::vector<std::u16string>& keywords,
                         std::u16string_view line);

} // namespace vex
