// Numeric and derivative commands: "Integrate", "IntegrateF", "SolvePolyn",
// "Derivate", "DerivateF", "VarPolyn", "sDiff", "sDiffF".

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "script/file_io.h"
#include "script/run_state.h"
#include "script/text_util.h"

namespace vex {

using zorbit::ToLower;
using zorbit::TrimSpaces;

namespace {

// Most intervals an integral may ask for: more would hold the script for minutes.
constexpr double kMaxIntervals = 1e6;

// The file variant's input line takes the script line's place: its "=", first "("
// and the first ")" after that give the positions anew.
Statement StatementFromFile(RunState& rs, const Statement& st, std::u16string& note,
                            std::u16string& output) {
    const std::u16string arg(st.ArgumentText());
    const FileArgs files = SplitFileArgs(arg);
    output = files.output;
    if (!output.empty()) note = u"=>(" + arg + u")";
    Statement out;
    out.lineNo = st.lineNo;
    out.command = st.command;
    out.line = ScriptFileIO(rs.host, files.input, u"fileinp", u"");
    const size_t eq = out.line.find(u'=');
    const size_t open = out.line.find(u'(');
    const size_t close = open == out.line.npos ? out.line.npos : out.line.find(u')', open + 1);
    out.argPos = eq == out.line.npos ? out.line.size() : eq + 1;
    out.openPos = open == out.line.npos ? 0 : open + 1;
    out.closePos = close == out.line.npos ? 0 : close + 1;
    return out;
}

// A bound is a number or a formula ("pi/2"). A number reads as it always has; a formula
// goes through the library, and one that does not evaluate fails the command with its
// code rather than counting as 0.
bool BoundValue(const Library& lib, std::u16string_view field, double& value, int32_t& code) {
    const std::u16string_view text = TrimSpaces(field);
    size_t used = 0;
    value = zorbit::ReadDecimal(text, &used);
    if (!text.empty() && used == text.size()) return true;
    bool matrix = false;
    if (!lib.Eval(text, value, matrix, code)) return false;
    if (!matrix) return true;
    code = 13;
    lib.SetError(code);
    return false;
}

std::u16string WholeText(double v) {
    if (!std::isfinite(v)) return zorbit::FixedN(v, 0);
    return zorbit::FixedN(std::nearbyint(v), 0);
}

} // namespace

void CmdIntegrate(RunState& rs, const Statement& script) {
    std::u16string note(kNoFileNote), output;
    const Statement st =
        script.command == u"integratef" ? StatementFromFile(rs, script, note, output) : script;
    const std::u16string f(st.ArgumentText());
    const std::u16string params = ToLower(st.ParameterText()) + u";";
    // Shown in the record whatever happens below.
    double a = zorbit::ReadDecimal(TrimSpaces(Field(params, u';', 1)));
    double b = zorbit::ReadDecimal(TrimSpaces(Field(params, u';', 2)));
    const double nValue = std::nearbyint(zorbit::ReadDecimal(TrimSpaces(Field(params, u';', 3))));
    const bool trapezoid = TrimSpaces(Field(params, u';', 4)) == u"trap";
    const std::u16string var(TrimSpaces(Field(params, u';', 5)));
    ReportRow out;
    if (!rs.lib.Has("Integrate")) {
        out = rs.Missing(u"Integrate");
    } else if (!(nValue >= 1 && nValue <= kMaxIntervals)) {
        rs.lib.SetError(13);
        out = rs.Failure(13);
    } else {
        double value = 0;
        int32_t code = -1;
        {
            // The integral's own code is the command's: it is not put back.
            const Library::Quiet quiet = rs.lib.Quietly(false);
            if (BoundValue(rs.lib, Field(params, u';', 1), a, code) &&
                BoundValue(rs.lib, Field(params, u';', 2), b, code))
                code =
                    rs.lib.Integrate(f, a, b, static_cast<int32_t>(nValue), trapezoid, var, value);
        }
        if (code == -1) {
            out.text = rs.numberLabel + rs.Fixed(value);
            out.value = value;
        } else
            out = rs.Failure(code);
    }
    if (!output.empty() && !WriteScriptFile(rs.host, output, BodyText(std::span(&out, 1))))
        out = RunState::FileFailure(-3);
    out.SetLead(u" Integral iFunction(" + WholeText(a) + u"," + WholeText(b) + u") => ");
    rs.Record(u"Ln " + Num(st.lineNo) + u": iFunction = " + f + u": " + note, std::move(out));
}

void CmdSolvePolyn(RunState& rs, const Statement& st) {
    const std::u16string p = RemoveQuotes(st.ArgumentText());
    ReportRow out;
    if (!rs.lib.Has("dSolve")) {
        out = rs.Missing(u"dSolve");
    } else {
        double r = 0;
        const int32_t code = rs.lib.SolvePolynomial(p, rs.host.interp.PolyVar, r);
        if (code == -1) {
            out.text = rs.numberLabel + rs.Fixed(r);
            out.value = r;
        } else
            out = rs.Failure(code);
    }
    out.SetLead(u" Solution Polyn => ");
    rs.Record(u"Ln " + Num(st.lineNo) + u": Polyn = " + p + u":", std::move(out));
}

void CmdDerivate(RunState& rs, const Statement& st) {
    std::u16string p = RemoveQuotes(st.ArgumentText());
    FileArgs files;
    if (st.command == u"derivatef") {
        files = SplitFileArgs(p);
        p = ScriptFileIO(rs.host, files.input, u"fileinp", u"");
    }
    ReportRow out;
    if (!rs.lib.Has("lPoly_dydx")) {
        out = rs.Missing(u"lPoly_dydx");
    } else {
        std::u16string text;
        const int32_t code = rs.lib.PolynomialDerivative(p, rs.host.interp.PolyVar, text);
        out =
            code == -1 ? RunState::Row(RowKind::Derivative, {}, std::move(text)) : rs.Failure(code);
    }
    if (!files.output.empty() &&
        !WriteScriptFile(rs.host, files.output, BodyText(std::span(&out, 1))))
        out = RunState::FileFailure(-3);
    out.SetLead(u" Derivate of Polyn => ");
    rs.Record(u"Ln " + Num(st.lineNo) + u": Polyn = " + p + u":", std::move(out));
}

void CmdVarPolyn(RunState& rs, const Statement& st) {
    rs.host.interp.PolyVar = std::u16string(st.ArgumentText());
}

void CmdSDiff(RunState& rs, const Statement& script) {
    std::u16string note(kNoFileNote), output;
    const Statement st =
        script.command == u"sdifff" ? StatementFromFile(rs, script, note, output) : script;
    const std::u16string f = RemoveQuotes(st.ArgumentText());
    const std::u16string var(st.ParameterText());
    ReportRow out;
    if (!rs.lib.Has("e_diff")) {
        out = rs.Missing(u"e_diff");
    } else {
        std::u16string text;
        const int32_t code = rs.lib.Derivative(f, var, text);
        out =
            code == -1 ? RunState::Row(RowKind::Derivative, {}, std::move(text)) : rs.Failure(code);
    }
    if (!output.empty() && !WriteScriptFile(rs.host, output, BodyText(std::span(&out, 1))))
        out = RunState::FileFailure(-3);
    out.SetLead(u"f'(" + var + u") => ");
    rs.Record(u"Ln " + Num(st.lineNo) + u": f(" + var + u") = " + f + u":", std::move(out));
}

} // namespace vex
