#pragma once
// The batch entry: a switch string in, a report out (to its caller, an output file or
// the clipboard), with its log and exit code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/report_rows.h"
#include "script/script_host.h"

namespace vex {

// Runs one batch: parses the switch string, takes the script from the input file or
// the selection, runs it and delivers the report. Returns ExitCode (-1 success). A
// selection given apart from the switch string is taken whole (SetSelection). With rows
// set, the report's rows go there too (empty when no script ran).
int32_t vexEvalMain(ScriptHost& host, std::u16string_view commandLine,
                    std::optional<std::u16string_view> selection = std::nullopt,
                    std::vector<ReportRow>* rows = nullptr);

// Runs the batch text and replaces it by the report (with its header unless NoHF);
// returns the report's length. With rows set, the report's rows go there too.
size_t RunBatch(ScriptHost& host, std::vector<ReportRow>* rows = nullptr);

// The file actions of the batch run (6 read the input, 1 read the log, 2 read the
// command help, 7 write the output, 8 and 4 ask for a file name); returns ExitCode.
int32_t FileOp(ScriptHost& host, int32_t mode);

// "%dd/%mm/%yyyy - %hh:%ii:%ss" of the local time now.
std::u16string DateTimeText();
// The comment lines that name the program, ended by a line of 75 "-".
std::u16string IdentificationBlock();
// The program's about text.
std::u16string AboutText();

} // namespace vex
