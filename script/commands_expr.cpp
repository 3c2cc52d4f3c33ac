// Expression, storage and definition commands: "Expr", "ExprF", "Hex", "Bin",
// "StoExpr", "Var", "Funct", "FunctF", "Show", "aAbout", "aElemOrderSet",
// "aElemOrderEx", "Debug", "ErrorMsgs".

#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "script/file_io.h"
#include "script/run_state.h"
#include "script/text_util.h"

namespace vex {

using zorbit::ToLower;
using zorbit::ToUpper;
using zorbit::TrimSpaces;

namespace {

// A number as a 64-bit integer for "Hex" and "Bin": nearest, ties to even; false when the
// integer does not fit (infinity and NaN included), which has no digits to show.
bool WholeValue(double v, int64_t* out) {
    const double r = std::nearbyint(v);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
    *out = static_cast<int64_t>(r);
    return true;
}

// The library's matrix print in the Auto format: its mask holds only fixed decimals, so
// the same lines ("V(i)=" for a vector, "A(i,j)=" and a tab per element) are written here.
std::u16string AutoMatrixText(const RunState& rs, const double* a, int32_t rows, int32_t cols) {
    std::u16string text = u"\r\n";
    const size_t r = static_cast<size_t>(rows), c = static_cast<size_t>(cols);
    const bool vector = r == 1 || c == 1;
    for (size_t i = 0; i < r; ++i) {
        for (size_t j = 0; j < c; ++j) {
            if (vector) {
                if (i + j > 0) text += kCrLf;
                text += u"V(" + Num(static_cast<long long>(i + j)) + u")=";
            } else {
                if (i > 0 && j == 0) text += kCrLf;
                text += u"A(" + Num(static_cast<long long>(i)) + u"," +
                        Num(static_cast<long long>(j)) + u")=";
            }
            text += rs.Fixed(a[i * c + j]);
            if (!vector) text += u'\t';
        }
    }
    return text;
}

// The rows of a matrix result (label and printed elements), or the failure when the
// matrix is gone.
std::vector<ReportRow> MatrixResult(RunState& rs, double handle) {
    int32_t rows = 0, cols = 0;
    const double* a = rs.lib.MatrixByValue(handle, rows, cols);
    if (!a) {
        const int32_t code = rs.lib.GetError();
        return {rs.Failure(code == -1 ? 14 : code)};
    }
    const std::u16string printed =
        rs.host.interp.format == NumberFormat::Auto && rows > 0 && cols > 0
            ? AutoMatrixText(rs, a, rows, cols)
            : rs.lib.Print(a, rows, cols, rs.MatrixMask);
    return MatrixRows((cols <= 1 ? rs.vectorLabel : rs.matrixLabel) + printed);
}

// The definition string of a stored matrix: name; rows; cols; e1; e2; ... The elements
// have 10 decimals, or in Full precision (whole) their shortest text.
std::u16string MatrixDefinition(std::u16string_view name, const double* a, int32_t rows,
                                int32_t cols, bool whole) {
    std::u16string s(name);
    s += u"; " + Num(rows) + u"; " + Num(cols) + u";";
    const size_t n = static_cast<size_t>(rows) * static_cast<size_t>(cols);
    for (size_t k = 0; k < n; ++k) {
        s += whole ? zorbit::RoundTripText(a[k]) : zorbit::TrimNumber(zorbit::Fixed10(a[k]));
        s += u"; ";
    }
    return s;
}

// Input of a file variant; false (with the failure) when it is empty or unreadable.
bool ReadCommandInput(RunState& rs, std::u16string_view file, std::u16string& text,
                      ReportRow& failure) {
    text = ScriptFileIO(rs.host, file, u"fileinp", u"");
    int32_t code = rs.host.batch.ExitCode;
    if (code == -1 && !text.empty()) return true;
    // An empty input is invalid input, not success.
    if (code == -1) code = -5;
    failure = RunState::FileFailure(code);
    return false;
}

// StoExpr's file target: "fileout" writes the stored text (false when that failed), any
// other mode goes to ScriptFileIO as it is.
bool StoreToFile(RunState& rs, std::u16string_view mode, std::u16string_view file,
                 std::u16string_view text) {
    if (mode.empty()) return true;
    if (ToLower(mode) == u"fileout") return WriteScriptFile(rs.host, file, text);
    ScriptFileIO(rs.host, file, mode, text);
    return true;
}

// Where a definition's name ends: the first sep outside brackets, so that a parameter
// list "hyp(a; b)" stays with its name. npos when there is none.
size_t NameEnd(std::u16string_view text, char16_t sep) {
    int level = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'(') {
            ++level;
        } else if (text[i] == u')' && level > 0) {
            --level;
        } else if (text[i] == sep && level == 0) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

std::u16string_view Before(std::u16string_view text, size_t end) {
    return TrimSpaces(text.substr(0, end));
}
std::u16string_view After(std::u16string_view text, size_t end) {
    return end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 1);
}

// The error row of a definition the library refused, naming the built-in it would hide.
// The text a computed value is stored as: Full precision keeps the whole value, which the
// variable then gives back.
std::u16string StoredText(const RunState& rs, double v) {
    return rs.lib.FullPrecision() ? zorbit::RoundTripText(v) : ValueText(v, rs.Decimals());
}

ReportRow Refused(RunState& rs, std::u16string_view name, int32_t code) {
    name = TrimSpaces(name);
    size_t n = !name.empty() && name.front() == u'#' ? 1 : 0;
    while (n < name.size() && zorbit::IsIdentChar(name[n]))
        ++n;
    const std::u16string word = zorbit::ToLower(name.substr(0, n));
    std::u16string kind = word.empty() ? std::u16string() : rs.lib.BuiltinKind(word);
    if (kind == u"statistics") kind = u"statistics function";
    if (kind == u"matrixfunction") kind = u"matrix function";
    if (kind.empty()) return rs.Failure(code);
    return rs.Failure(code, u" ('" + word + u"' is the name of a built-in " + kind + u")");
}

// A definition's failure as its record: the definition and the error row.
void RecordDefinitionFailure(RunState& rs, const Statement& st, std::u16string_view definition,
                             ReportRow failure) {
    failure.SetLead(rs.resultLabel);
    rs.Record(u"Ln " + Num(st.lineNo) + u": Expression = " + std::u16string(definition) + u": " +
                  std::u16string(kNoFileNote),
              std::move(failure));
}

// A value that reads whole as a decimal number ("9.81", "-2", "1E-12").
bool PlainNumber(std::u16string_view text) {
    size_t used = 0;
    zorbit::ReadDecimal(text, &used);
    return used > 0 && used == text.size();
}

// Where the library's failure in the statement's formula (its argument without
// apostrophes) lies in the script; -1 when the library gives no place or the line was
// read from a file.
int64_t FailurePosition(const RunState& rs, const Statement& st) {
    const std::u16string_view argument = st.ArgumentText();
    const int32_t at = rs.lib.ErrorPos();
    if (at < 0 || st.offset < 0 || argument.empty()) return -1;
    // The statement's line is the script's line cut before its first "'".
    const int64_t start = st.offset + (argument.data() - st.line.data());
    int32_t kept = 0;
    for (size_t k = 0; k < argument.size(); ++k) {
        if (argument[k] == u'\'') continue;
        if (kept++ == at) return start + static_cast<int64_t>(k);
    }
    return start + static_cast<int64_t>(argument.size()); // at the end of the text
}

} // namespace

void CmdExpr(RunState& rs, const Statement& st) {
    std::u16string E = RemoveQuotes(st.ArgumentText());
    std::u16string note(kNoFileNote);
    ReportRow out;
    std::vector<ReportRow> printed; // the rows of a matrix result
    bool ok = true;
    FileArgs files;
    if (st.command == u"exprf") {
        files = SplitFileArgs(E);
        if (!files.output.empty()) note = u"=>(" + E + u")";
        std::u16string input;
        if (!ReadCommandInput(rs, files.input, input, out)) {
            ok = false;
            E = input;
        } else {
            E = input;
            const size_t eq = E.find(u'=');
            if (eq != E.npos) E = std::u16string(TrimSpaces(std::u16string_view(E).substr(eq + 1)));
            E = ToLower(TrimSpaces(std::u16string_view(E).substr(0, E.find(u'\''))));
        }
    }
    if (ok) {
        double v = 0;
        bool matrix = false;
        int32_t code = -1;
        // Eval calls nothing without the routine; only a failure asks which it was.
        if (!rs.lib.Eval(E, v, matrix, code)) {
            out = rs.lib.Has("e_eval") ? rs.Failure(code) : rs.Missing(u"e_eval");
            if (st.command != u"exprf") out.position = FailurePosition(rs, st);
        } else if (matrix) {
            printed = MatrixResult(rs, v);
        } else if (st.command == u"hex" || st.command == u"bin") {
            int64_t whole = 0;
            if (!WholeValue(v, &whole)) {
                rs.lib.SetError(13);
                out = rs.Failure(13);
            } else if (st.command == u"hex") {
                out.text = rs.numberLabel + u" &" + HexDigits(whole);
            } else {
                out.text = rs.numberLabel + u" !" + BinDigits(whole);
            }
            if (out.kind == RowKind::Result) out.value = static_cast<double>(whole);
        } else {
            out.text = rs.numberLabel + u" " + rs.Fixed(v);
            out.value = v;
        }
    }
    std::span<ReportRow> result = printed.empty() ? std::span(&out, 1) : std::span(printed);
    if (!files.output.empty() && !WriteScriptFile(rs.host, files.output, BodyText(result))) {
        out = RunState::FileFailure(-3);
        result = std::span(&out, 1);
    }
    // Room for the whole header at once: a formula of megabytes is not grown by doubling.
    std::u16string header = u"Ln " + Num(st.lineNo) + u": " + ToUpper(st.command) + u" = ";
    header.reserve(header.size() + E.size() + 2 + note.size());
    header.append(E).append(u": ").append(note);
    result.front().SetLead(rs.resultLabel);
    rs.Record(std::move(header), result);
}

void CmdStoExpr(RunState& rs, const Statement& st) {
    const std::u16string_view P = st.ParameterText();
    std::u16string note(kNoFileNote);
    std::u16string name(P), mode, file;
    const std::u16string fields = std::u16string(P) + u";";
    if (!Field(fields, u';', 2).empty()) {
        name = TrimSpaces(Field(fields, u';', 1));
        mode = TrimSpaces(Field(fields, u';', 2));
        file = TrimSpaces(Field(fields, u';', 3));
        note = u"(=>" + mode + u" " + file + u")";
    }
    const std::u16string E = RemoveQuotes(st.ArgumentText());
    double v = 0;
    bool matrix = false;
    int32_t code = -1;
    ReportRow out;
    if (!rs.lib.Eval(E, v, matrix, code)) {
        out = rs.lib.Has("e_eval") ? rs.Failure(code) : rs.Missing(u"e_eval");
    } else if (matrix) {
        int32_t rows = 0, cols = 0;
        const double* a = rs.lib.MatrixByValue(v, rows, cols);
        if (!a) {
            code = rs.lib.GetError();
            out = rs.Failure(code == -1 ? 14 : code);
        } else {
            const std::u16string S =
                MatrixDefinition(AddBrackets(name), a, rows, cols, rs.lib.FullPrecision());
            rs.lib.StoreMatrix(S);
            out.text = (cols <= 1 ? rs.vectorLabel : rs.matrixLabel) + S;
            if (!StoreToFile(rs, mode, file, S)) out = RunState::FileFailure(-3);
        }
    } else {
        const std::u16string T = StoredText(rs, v);
        code = rs.lib.Define(name, T, 0);
        if (code != -1) {
            out = Refused(rs, name, code);
        } else {
            out.text = u"Number " + name + u" = " + rs.Fixed(v);
            out.value = v;
            // A file target gets the stored value too, as it does for a matrix.
            if (!StoreToFile(rs, mode, file, T)) out = RunState::FileFailure(-3);
        }
    }
    out.SetLead(rs.storedLabel);
    rs.Record(u"Ln " + Num(st.lineNo) + u": Expression = " + E + u": " + note, std::move(out));
}

void CmdVar(RunState& rs, const Statement& st) {
    const std::u16string_view A = st.ArgumentText();
    const std::u16string fields = std::u16string(A) + u";";
    const std::u16string_view name = TrimSpaces(Field(fields, u';', 1));
    std::u16string value(TrimSpaces(Field(fields, u';', 2)));
    // A value that is no plain number is a formula (it may hold ";" of its own); its
    // value is stored as StoExpr stores one, and a failure stores nothing.
    if (!PlainNumber(value)) {
        const std::u16string formula(TrimSpaces(After(A, A.find(u';'))));
        double v = 0;
        bool matrix = false;
        int32_t code = -1;
        if (!rs.lib.Eval(formula, v, matrix, code)) {
            RecordDefinitionFailure(
                rs, st, A, rs.lib.Has("e_eval") ? rs.Failure(code) : rs.Missing(u"e_eval"));
            return;
        }
        if (matrix) {
            rs.lib.SetError(13);
            RecordDefinitionFailure(rs, st, A,
                                    rs.Failure(13, u" (a variable holds a number: StoExpr "
                                                   u"stores a matrix)"));
            return;
        }
        value = StoredText(rs, v);
    }
    const int32_t code = rs.lib.Define(name, value, 0);
    if (code != -1) RecordDefinitionFailure(rs, st, A, Refused(rs, name, code));
}

void CmdFunct(RunState& rs, const Statement& st) {
    const std::u16string D = RemoveQuotes(st.ArgumentText());
    std::u16string name, body;
    ReportRow failure;
    bool ok = true;
    if (st.command == u"functf") {
        const size_t end = NameEnd(D, u' ');
        name = std::u16string(D.substr(0, end));
        const std::u16string words = std::u16string(After(D, end)) + u" ";
        ok = ReadCommandInput(rs, Field(words, u' ', 1), body, failure);
        body = std::u16string(TrimSpaces(body));
    } else {
        const size_t end = NameEnd(D, u';');
        name = std::u16string(Before(D, end));
        body = std::u16string(TrimSpaces(After(D, end)));
    }
    // An empty name or body, or a ";" that would break the library's function list,
    // defines nothing.
    if (ok && (name.empty() || body.empty() || Contains(body, u";"))) {
        rs.lib.SetError(13);
        failure = rs.Failure(13);
        ok = false;
    }
    if (!ok) {
        RecordDefinitionFailure(rs, st, D, std::move(failure));
        return;
    }
    const int32_t code = rs.lib.Define(name, body, 1);
    if (code != -1) RecordDefinitionFailure(rs, st, D, Refused(rs, name, code));
}

void CmdShow(RunState& rs, const Statement& st) {
    std::u16string N(st.ParameterText());
    std::u16string text;
    std::vector<ReportRow> out;
    double v = 0;
    if (rs.lib.VariableValue(N, v)) {
        text = u"Number " + N + u" = " + rs.Fixed(v);
    } else if (const std::optional<std::u16string> body = rs.lib.FunctionBody(N)) {
        const std::optional<std::u16string> withParameters = rs.lib.DefinitionWithParameters(N);
        text = u"Function " + (withParameters ? *withParameters : N + u" = " + *body);
    }
    if (text.empty() && rs.lib.ConstantValue(N, v)) {
        text = u"Constant " + N + u" = " + rs.Fixed(v);
    }
    if (text.empty() && ToLower(N) == u"ans") {
        if (const std::optional<double> answer = rs.lib.LastAnswer())
            text = u"Answer " + N + u" = " + rs.Fixed(*answer);
    }
    if (text.empty()) {
        N = AddBrackets(N);
        const std::u16string& name = N;
        int32_t rows = 0, cols = 0;
        const double* a = rs.lib.MatrixByName(name, rows, cols);
        if (!a) {
            rs.lib.RecordError(u"sEval", 304, u"Matr Name: " + name);
            out.push_back(rs.Failure(rs.lib.GetError()));
        } else {
            out.push_back(RunState::Row(RowKind::Result, {},
                                        (cols <= 1 ? rs.vectorLabel : rs.matrixLabel) + name));
            for (int32_t r = 0; r < rows; ++r) {
                ReportRow& line = out.emplace_back(RunState::Row(RowKind::MatrixRow, {}, {}));
                std::u16string& cells = line.text;
                for (int32_t c = 0; c < cols; ++c) {
                    if (cols == 1)
                        cells += u"vE(" + Num(r) + u")=";
                    else if (rows == 1)
                        cells += u"vE(" + Num(c) + u")=";
                    else
                        cells += u"mA(" + Num(r) + u"," + Num(c) + u")=";
                    cells += rs.Fixed(a[static_cast<size_t>(r) * cols + c]);
                    cells += u'\t';
                }
            }
            // The listing ends each matrix row with a line break, then the record's.
            out.back().breaks = 3;
        }
    }
    if (out.empty()) out.push_back(RunState::Row(RowKind::Result, {}, std::move(text)));
    if (out.front().kind == RowKind::Error) ++rs.ErrorCount;
    out.front().SetLead(
        (rs.run.noLnExp ? std::u16string() : u"Ln " + Num(st.lineNo) + u": Show(" + N + u")") +
        u" => ");
    if (out.size() == 1) out.front().breaks = 2;
    for (ReportRow& row : out)
        rs.Emit(std::move(row));
}

void CmdAbout(RunState& rs, const Statement&) {
    const std::u16string text = rs.lib.About();
    std::u16string_view about = text;
    // Each line that ends in a line break, as a comment; a CR LF is the row's line end.
    for (size_t lf = about.find(u'\n'); lf != about.npos; lf = about.find(u'\n')) {
        const bool crLf = lf > 0 && about[lf - 1] == u'\r';
        ReportRow row = RunState::Row(RowKind::Info, u"'",
                                      std::u16string(about.substr(0, crLf ? lf - 1 : lf + 1)));
        row.breaks = crLf ? 1 : 0;
        rs.Emit(std::move(row));
        about.remove_prefix(lf + 1);
    }
}

void CmdElemOrderSet(RunState& rs, const Statement& st) {
    rs.lib.SetElementOrder(IntegerValue(st.ArgumentText()));
}

void CmdElemOrderEx(RunState& rs, const Statement& st) {
    const std::optional<int32_t> order = rs.lib.ProbeElementOrder();
    if (!order || rs.run.noLnExp) return;
    ReportRow row = RunState::Row(RowKind::Info, u"Ln " + Num(st.lineNo) + u": aElemOrderEx = ",
                                  *order == 0 ? u"by Row" : u"by Col");
    row.breaks = 2;
    rs.Emit(std::move(row));
}

void CmdDebug(RunState& rs, const Statement& st) {
    rs.lib.SetDebug(IntegerValue(st.ArgumentText()));
}

void CmdErrorMsgs(RunState& rs, const Statement& st) {
    rs.lib.SetErrorRecords(IntegerValue(st.ArgumentText()));
}

namespace {

// The error row of a setting command given a value it does not take.
void RefuseSetting(RunState& rs, const Statement& st, std::u16string_view takes) {
    rs.lib.SetError(13);
    ReportRow failure = rs.Failure(13, takes);
    failure.SetLead(rs.resultLabel);
    rs.Record(u"Ln " + Num(st.lineNo) + u": Expression = " + std::u16string(TrimSpaces(st.line)) +
                  u": " + std::u16string(kNoFileNote),
              std::move(failure));
}

} // namespace

void CmdPrecision(RunState& rs, const Statement& st) {
    const std::optional<int32_t> mode = PrecisionNamed(st.ArgumentText());
    if (!mode) {
        RefuseSetting(rs, st, u" (Precision takes classic or full)");
        return;
    }
    if (rs.lib.SetPrecisionMode(*mode) == -1) {
        ReportRow failure = rs.Missing(u"SetPrecisionMode");
        failure.SetLead(rs.resultLabel);
        rs.Record(u"Ln " + Num(st.lineNo) + u": Expression = " +
                      std::u16string(TrimSpaces(st.line)) + u": " + std::u16string(kNoFileNote),
                  std::move(failure));
        return;
    }
    rs.host.interp.precision = *mode;
}

void CmdFormat(RunState& rs, const Statement& st) {
    const std::optional<NumberFormat> format = NumberFormatNamed(st.ArgumentText());
    if (!format) {
        RefuseSetting(rs, st, u" (Format takes fixed or auto)");
        return;
    }
    rs.host.interp.format = *format;
}

} // namespace vex
