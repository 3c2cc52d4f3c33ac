#include "script/eval_script.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>

#include "common/text.h"
#include "script/file_io.h"
#include "script/run_state.h"
#include "script/text_util.h"

namespace vex {

using zorbit::ToLower;
using zorbit::TrimSpaces;

std::u16string_view Statement::ArgumentText() const {
    if (argPos >= line.size()) return {};
    return TrimSpaces(std::u16string_view(line).substr(argPos));
}

std::u16string_view Statement::ParameterText() const {
    if (openPos == 0 || closePos <= openPos + 1 || openPos >= line.size()) return {};
    const size_t len = std::min(closePos - openPos - 1, line.size() - openPos);
    return TrimSpaces(std::u16string_view(line).substr(openPos, len));
}

std::u16string RunState::Fixed(double v) const {
    return ResultText(v, Decimals(), host.interp.format);
}

void RunState::Emit(ReportRow&& row) {
    // The last number shown is what "ans" stands for next.
    if (row.value) lib.SetLastAnswer(*row.value);
    AppendRow(ReportText, row);
    if (run.rows) run.rows->push_back(std::move(row));
}

void RunState::Record(std::u16string header, std::span<ReportRow> result) {
    bool ok = true;
    for (ReportRow& row : result) {
        ok = ok && row.kind != RowKind::Error && row.kind != RowKind::Failure;
        row.breaks = 1;
    }
    if (!ok) ++ErrorCount;
    if (!ok || !run.noLnExp) Emit(Row(RowKind::Expression, {}, std::move(header)));
    if (result.empty()) return;
    result.back().breaks = 2;
    for (ReportRow& row : result)
        Emit(std::move(row));
}

void RunState::Record(std::u16string header, ReportRow result) {
    Record(std::move(header), std::span(&result, 1));
}

ReportRow RunState::Row(RowKind kind, std::u16string_view lead, std::u16string content) {
    ReportRow row;
    row.kind = kind;
    row.text = std::move(content);
    row.SetLead(lead);
    return row;
}

ReportRow RunState::Failure(int32_t code, std::u16string_view note) const {
    return ErrorRow(code, lib.Describe(code), note);
}

ReportRow RunState::Missing(std::u16string_view routine) const {
    return Failure(4, u" (library routine " + std::u16string(routine) + u" not found)");
}

ReportRow RunState::FileFailure(int32_t exitCode) {
    ReportRow row = ErrorRow(exitCode, ExitCodeText(exitCode));
    row.module = u"batch";
    return row;
}

int64_t RunState::Offset(std::u16string_view part) const {
    if (part.empty() || part.data() < script.data() || part.data() > script.data() + script.size())
        return -1;
    return part.data() - script.data();
}

std::u16string_view RunState::Line(size_t i) const {
    if (i == 0 || i > lines.size()) return {};
    std::u16string_view line = TrimSpaces(lines[i - 1]);
    if (!line.empty() && line.front() == u'\n') line = TrimSpaces(line.substr(1));
    return line;
}

Statement SplitStatement(std::u16string_view line, size_t lineNo) {
    Statement st;
    st.lineNo = lineNo;
    const size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) {
        const size_t p = line.find(u'(');
        if (p != std::u16string_view::npos) {
            st.command = ToLower(TrimSpaces(line.substr(0, p)));
            st.openPos = p + 1;
            const size_t c = line.find(u')');
            st.closePos = c == std::u16string_view::npos ? 0 : c + 1;
            st.argPos = p + 1;
        }
    } else {
        const std::u16string_view head = line.substr(0, eq + 1);
        const size_t o = head.find(u'(');
        const size_t c = head.find(u')');
        st.openPos = o == std::u16string_view::npos ? 0 : o + 1;
        st.closePos = c == std::u16string_view::npos ? 0 : c + 1;
        const size_t wordEnd = st.openPos ? st.openPos - 1 : eq;
        st.command = ToLower(TrimSpaces(line.substr(0, wordEnd)));
        st.argPos = eq + 1;
    }
    // A trailing comment goes; the positions were taken on the whole line.
    const size_t quote = line.find(u'\'');
    st.line = std::u16string(line.substr(0, quote));
    return st;
}

namespace {

using Handler = void (*)(RunState&, const Statement&);

struct CommandEntry {
    std::u16string_view key;
    Handler run;
};

void CmdPause(RunState&, const Statement&) {}

// Keys in the order they are matched.
constexpr std::array<CommandEntry, 30> kCommands = {{
    {u"aabout", CmdAbout},
    {u"show", CmdShow},
    {u"solvepolyn", CmdSolvePolyn},
    {u"integrate", CmdIntegrate},
    {u"integratef", CmdIntegrate},
    {u"stoexpr", CmdStoExpr},
    {u"expr", CmdExpr},
    {u"exprf", CmdExpr},
    {u"hex", CmdExpr},
    {u"bin", CmdExpr},
    {u"sdiff", CmdSDiff},
    {u"sdifff", CmdSDiff},
    {u"derivate", CmdDerivate},
    {u"derivatef", CmdDerivate},
    {u"matr", CmdMatr},
    {u"matrf", CmdMatr},
    {u"vect", CmdMatr},
    {u"vectf", CmdMatr},
    {u"funct", CmdFunct},
    {u"functf", CmdFunct},
    {u"pause", CmdPause},
    {u"varpolyn", CmdVarPolyn},
    {u"aelemorderset", CmdElemOrderSet},
    {u"aelemorderex", CmdElemOrderEx},
    {u"var", CmdVar},
    {u"debug", CmdDebug},
    {u"errormsgs", CmdErrorMsgs},
    {u"precision", CmdPrecision},
    {u"format", CmdFormat},
    {u"plot", CmdPlot},
}};

void Unrecognised(RunState& rs, const Statement& st) {
    rs.lib.SetError(25);
    // The line's text in the header tells the user which statement was not understood.
    ReportRow failure = rs.Failure(25);
    failure.SetLead(rs.resultLabel);
    failure.position = st.offset; // the command word starts the line
    rs.Record(u"Ln " + Num(st.lineNo) + u": Expression = " + std::u16string(TrimSpaces(st.line)) +
                  u":",
              std::move(failure));
}

// The library reads its texts up to a NUL: a line holding one would run cut short, so
// it is refused with the column of the first NUL (shown as "<NUL>").
bool RefusedNul(RunState& rs, std::u16string_view line, size_t lineNo) {
    const size_t nul = line.substr(0, line.find(u'\'')).find(u'\0');
    if (nul == line.npos) return false;
    std::u16string shown;
    for (char16_t c : line) {
        if (c == u'\0')
            shown += u"<NUL>";
        else
            shown.push_back(c);
    }
    constexpr int32_t kInvalidArgument = 13;
    rs.lib.SetError(kInvalidArgument);
    ++rs.ExecutedCount;
    ReportRow failure =
        rs.Failure(kInvalidArgument, u" (invalid character NUL at column " +
                                         Num(static_cast<long long>(nul + 1)) + u")");
    failure.SetLead(rs.resultLabel);
    if (const int64_t at = rs.Offset(line); at >= 0) failure.position = at + int64_t(nul);
    rs.Record(u"Ln " + Num(static_cast<long long>(lineNo)) + u": Expression = " + shown + u":",
              std::move(failure));
    return true;
}

void SetLabels(RunState& rs) {
    if (!rs.run.noLabels) {
        rs.numberLabel = u"Number =";
        rs.vectorLabel = u"Vector: ";
        rs.matrixLabel = u"Matrix: ";
        rs.resultLabel = u" Result => ";
        rs.storedLabel = u" Stored => ";
    }
    rs.MatrixMask = u"0.";
    if (rs.Decimals() > 0) rs.MatrixMask.append(static_cast<size_t>(rs.Decimals()), u'0');
}

bool Selected(const RunState& rs, size_t i) {
    if (!rs.run.lineSelect) return true;
    const long long n = static_cast<long long>(i) + rs.run.LineOffset;
    return Contains(rs.run.LineList, u";" + Num(n) + u";");
}

void Copy(RunState& rs, std::u16string_view line) {
    rs.Emit(RunState::Row(RowKind::Copy, {}, std::u16string(line)));
}

// Comment lines and copy blocks; true when the line is done with.
bool CommentOrCopy(RunState& rs, std::u16string_view line) {
    if (rs.block1 || Contains(line, u"\\\\")) {
        rs.block1 = !Contains(line, u"//");
        Copy(rs, line);
        return true;
    }
    if (rs.block2 || StartsWith(line, u"!\\")) {
        rs.block2 = !StartsWith(line, u"!/");
        Copy(rs, line);
        return true;
    }
    if (StartsWith(line, u"''")) {
        Copy(rs, line);
        return true;
    }
    return StartsWith(line, u"'");
}

void Dispatch(RunState& rs, const Statement& st) {
    for (const CommandEntry& c : kCommands) {
        if (c.key == st.command) {
            c.run(rs, st);
            return;
        }
    }
    Unrecognised(rs, st);
}

} // namespace

std::vector<std::u16string> CommandWords() {
    std::vector<std::u16string> words;
    words.reserve(kCommands.size());
    for (const CommandEntry& c : kCommands)
        words.emplace_back(c.key);
    return words;
}

ScriptResult EvalScript(ScriptHost& host, std::u16string_view script, const ScriptRun& run) {
    ScriptResult result;
    try {
        // Plot windows of a run that was not a batch run's go; a batch run has counted
        // its windows back to 0, so the windows of earlier lines stay open.
        if (host.interp.plotCount > 0 && host.platform && host.platform->plot)
            host.platform->plot->CloseAll();
        host.interp.plotCount = 0;
        if (run.rows) run.rows->clear();
        RunState rs(host, run);
        SetLabels(rs);
        rs.script = script;
        rs.lines = ScriptLines(script);
        // Every CR ends a line, a lone one too: the text after it is a line of its own,
        // never dropped (a file's text has only CR LF; a selection may hold lone CRs).
        rs.lineCount = rs.lines.size() - 1;
        const FaultHooks* faults = host.faults;
        size_t i = 1;
        while (i <= rs.lineCount) {
            if (faults && faults->allocation) faults->allocation("line");
            host.batch.ExitCode = -1;
            const std::u16string_view line = rs.Line(i);
            if (!Selected(rs, i) || CommentOrCopy(rs, line) || RefusedNul(rs, line, i)) {
                ++i;
                continue;
            }
            Statement st = SplitStatement(line, i);
            st.offset = rs.Offset(line);
            if (st.argPos == 0) {
                ++i;
                continue;
            }
            ++rs.ExecutedCount;
            if (st.command == u"dimx") {
                i = CmdDimX(rs, st, i);
                continue;
            }
            Dispatch(rs, st);
            ++i;
        }
        if (host.platform && host.platform->textWindow) host.platform->textWindow->Close();
        while (rs.ReportText.EndsWith(kCrLf))
            rs.ReportText.RemoveSuffix(2);
        const int64_t code = int64_t{rs.ExecutedCount} * 1000 + rs.ErrorCount;
        result.code = static_cast<int32_t>(std::min<int64_t>(code, INT32_MAX));
        result.report = rs.ReportText.Take(run.reportRoom);
    } catch (...) {
        // Out of memory: what was built is lost, the run reports nothing rather than crash.
        result = ScriptResult{};
        result.outOfMemory = true;
        if (run.rows) run.rows->clear();
        host.batch.ExitCode = -5;
        host.batch.outOfMemory = true;
    }
    return result;
}

} // namespace vex
