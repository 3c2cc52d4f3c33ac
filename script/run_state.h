#pragma once
// What one EvalScript run works on: the split lines, the labels, the report and the
// counters, and the statement being run. Shared by the command files.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/eval_script.h"
#include "script/library_client.h"
#include "script/run_text.h"

namespace vex {

// One statement, split as the script language splits it (positions are 1-based, 0 = none).
struct Statement {
    size_t lineNo = 0;
    std::u16string line;    // the line, cut before its first "'"
    std::u16string command; // the command word, lower case
    size_t argPos = 0;
    size_t openPos = 0;
    size_t closePos = 0;
    int64_t offset = -1; // where the line starts in the script; -1 when read from a file

    // The line after the argument position, trimmed.
    std::u16string_view ArgumentText() const;
    // The text strictly between the open and close positions, trimmed.
    std::u16string_view ParameterText() const;
};

struct RunState {
    ScriptHost& host;
    Library lib;
    const ScriptRun& run;
    std::u16string_view script;
    ScriptLines lines; // fields of the script split at CR
    size_t lineCount = 0;
    std::u16string numberLabel, vectorLabel, matrixLabel, resultLabel, storedLabel;
    std::u16string MatrixMask;
    ReportBuffer ReportText;
    int32_t ExecutedCount = 0;
    int32_t ErrorCount = 0;
    bool block1 = false;
    bool block2 = false;

    RunState(ScriptHost& h, const ScriptRun& r) : host(h), lib(h.slots), run(r) {}

    int32_t Decimals() const { return host.interp.decimals; }
    // v with the decimals setting in the current number format.
    std::u16string Fixed(double v) const;
    // Appends a row to the report (and to the caller's rows when it asked for them).
    void Emit(ReportRow&& row);
    // Appends a record: the header unless noLnExp hides it on success, then the result
    // rows, the last ending the record; an error or failure among them counts.
    void Record(std::u16string header, std::span<ReportRow> result);
    void Record(std::u16string header, ReportRow result);
    // A row of its lead and content.
    static ReportRow Row(RowKind kind, std::u16string_view lead, std::u16string content);
    // The error row of a library code, with a note after the description.
    ReportRow Failure(int32_t code, std::u16string_view note = {}) const;
    // The error row of a routine the library does not export (code 4).
    ReportRow Missing(std::u16string_view routine) const;
    // The error row of a file the run could not read or write (a batch exit code).
    static ReportRow FileFailure(int32_t exitCode);
    // The offset of a part of the script in it; -1 for text from elsewhere.
    int64_t Offset(std::u16string_view part) const;
    // The i-th line (1-based): trimmed, without a leading LF.
    std::u16string_view Line(size_t i) const;
};

// 20 spaces: the note of a header without files.
inline constexpr std::u16string_view kNoFileNote = u"                    ";

// The command handlers, by file.
void CmdExpr(RunState& rs, const Statement& st);
void CmdStoExpr(RunState& rs, const Statement& st);
void CmdVar(RunState& rs, const Statement& st);
void CmdFunct(RunState& rs, const Statement& st);
void CmdShow(RunState& rs, const Statement& st);
void CmdAbout(RunState& rs, const Statement& st);
void CmdElemOrderSet(RunState& rs, const Statement& st);
void CmdElemOrderEx(RunState& rs, const Statement& st);
void CmdDebug(RunState& rs, const Statement& st);
void CmdErrorMsgs(RunState& rs, const Statement& st);
// "Precision = classic|full" and "Format = fixed|auto"; any other value is an error row.
void CmdPrecision(RunState& rs, const Statement& st);
void CmdFormat(RunState& rs, const Statement& st);
void CmdMatr(RunState& rs, const Statement& st);
// "DimX" reads the following lines of its block; returns the index of the line that
// ended the block (it is then run normally).
size_t CmdDimX(RunState& rs, const Statement& st, size_t i);
void CmdIntegrate(RunState& rs, const Statement& st);
void CmdSolvePolyn(RunState& rs, const Statement& st);
void CmdDerivate(RunState& rs, const Statement& st);
void CmdVarPolyn(RunState& rs, const Statement& st);
void CmdSDiff(RunState& rs, const Statement& st);
void CmdPlot(RunState& rs, const Statement& st);

// Splits a line into its command word, argument and parameter positions.
Statement SplitStatement(std::u16string_view line, size_t lineNo);

} // namespace vex
