#include "engine/evaluator.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "common/number_text.h"
#include "engine/compiled_formula.h"
#include "engine/errors.h"
#include "engine/matrix_ops.h"
#include "engine/parser.h"
#include "engine/state.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"

namespace zorbit {

namespace {

// Steps shared by e_eval and de_eval: check, preprocess and parse. Returns the value.
double ParseExpression(std::u16string_view expr, bool checkFunctions, uint8_t& flag, bool* done) {
    EngineState& e = Engine();
    *done = false;
    if (checkFunctions && CheckFunctions() == ZORBIT_E_AMBIGUOUS_FUNCTION) return 0;
    ParserState& ps = e.parser;
    ps.e_expr.assign(expr);
    for (auto& c : ps.e_expr)
        if (c == u',') c = u'.';
    std::u16string why;
    if (!ExpandFunctions(ps.e_expr, &why)) {
        ps.e_expr.clear();
        StartTokenizer(); // the record reads the position, which must be inside the text
        if (e.eval.workLeft == 0) {
            // A bounded evaluation's work ran out while calls were expanded.
            E_Error() = ZORBIT_E_UNDEFINED;
            return 0;
        }
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"ExpandFunctions", 0, why + u"\r\n");
        return 0;
    }
    if (ps.e_expr.size() > kMaxExpressionLength) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"e_eval", 0, u"The expression is too long\r\n");
        return 0;
    }
    E_Error() = ZORBIT_NO_ERROR;
    StartTokenizer();
    e.errors.firstErrorTok = std::u16string::npos;
    e.eval.InEvaluation = true;
    e_nxt();
    const Operand result = e_prs(1, 0);
    flag = result.flag;
    const double value = result.value;
    e.eval.InEvaluation = false;
    e.eval.ResultType = static_cast<int8_t>(flag);
    *done = true;
    return value;
}

void RestoreParser(ParserState& ps, const ReusedProgram& r);

bool NameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c >= 0x80;
}

// Where the token at `at` of the read text lies in the caller's text. Commas to points
// keep lengths; expanded calls do not: an offset before the first change or after the
// last one maps exactly, one inside maps to the start of the first expanded call.
int32_t CallerOffset(std::u16string_view caller, std::u16string_view read, size_t at) {
    const auto same = [](char16_t a, char16_t b) { return a == b || (a == u',' && b == u'.'); };
    size_t head = 0;
    while (head < caller.size() && head < read.size() && same(caller[head], read[head]))
        ++head;
    at = std::min(at, read.size());
    if (head == caller.size() && head == read.size()) return static_cast<int32_t>(at);
    if (at < head) {
        // The first change may start inside a name the expansion replaced.
        size_t call = head;
        while (call > 0 && NameChar(caller[call - 1]))
            --call;
        if (at < call) return static_cast<int32_t>(at);
        return static_cast<int32_t>(call);
    }
    size_t tail = 0;
    while (tail < caller.size() - head && tail < read.size() - head &&
           same(caller[caller.size() - 1 - tail], read[read.size() - 1 - tail]))
        ++tail;
    if (at >= read.size() - tail) {
        const size_t fromEnd = read.size() - at;
        return static_cast<int32_t>(caller.size() - fromEnd);
    }
    size_t call = head;
    while (call > 0 && NameChar(caller[call - 1]))
        --call;
    return static_cast<int32_t>(call);
}

uint64_t ListChanges(const EngineState& e) {
    return e.vars.varIndex.Changes() + e.vars.funcIndex.Changes() + e.eval.answerChanges;
}

// A program bakes variables as its mode reads them: it never runs in the other mode.
bool SameText(const ReusedProgram& r, std::u16string_view expr, bool checkFunctions) {
    return r.checkFunctions == checkFunctions && r.precision == Engine().eval.precision &&
           r.text == expr;
}

// After a successful reading of a number: a text that succeeds twice with the same lists
// gets its program, which keeps the state the second reading left.
void NoteSuccess(EngineState& e, std::u16string_view expr, bool checkFunctions) {
    ReusedProgram& r = e.reused;
    if (!r.enabled) return;
    const uint64_t lists = ListChanges(e);
    if (!SameText(r, expr, checkFunctions) || r.lists != lists) {
        r.text.assign(expr);
        r.checkFunctions = checkFunctions;
        r.precision = e.eval.precision;
        r.lists = lists;
        r.successes = 1;
        r.compiled = false;
        r.program.reset();
        return;
    }
    if (++r.successes != 2 || r.compiled) return;
    r.compiled = true;
    const ParserState& ps = e.parser;
    r.after = ps;
    r.afterText = ps.text.empty() ? ps.e_expr.size() : ps.text.data() - ps.e_expr.data();
    const int32_t code = E_Error();
    r.program = CompiledFormula::Compile(expr, u"");
    // Compiling looks names up as reading does, which leaves traces in the parser state.
    RestoreParser(e.parser, r);
    E_Error() = code;
    r.lists = ListChanges(e);
}

// The reused program of expr, when there is one for the lists as they are: true with the
// engine as reading the text leaves it. False leaves the engine as it found it.
bool RunReused(EngineState& e, std::u16string_view expr, bool checkFunctions, double* result) {
    ReusedProgram& r = e.reused;
    if (!r.program || !r.enabled || !SameText(r, expr, checkFunctions) ||
        r.lists != ListChanges(e) || DebugLogOn() || std::fegetround() != FE_TONEAREST)
        return false;
    const uint64_t rng = e.rngState;
    const int32_t code = E_Error();
    E_Error() = ZORBIT_NO_ERROR;
    double value = 0;
    bool ok;
    if (r.program->CallsFunctions()) {
        // A failing call writes records of its own; reading the text writes the real ones.
        std::u16string msgs, info;
        std::swap(e.errors.ErrMsgs, msgs);
        std::swap(e.errors.LastErrInfo, info);
        ok = r.program->Run(0, &value) && E_Error() == ZORBIT_NO_ERROR;
        std::swap(e.errors.ErrMsgs, msgs);
        std::swap(e.errors.LastErrInfo, info);
    } else {
        ok = r.program->Run(0, &value);
    }
    if (!ok) {
        e.rngState = rng;
        E_Error() = code;
        return false;
    }
    ++e.parser.RunCount;
    RestoreParser(e.parser, r);
    e.eval.InEvaluation = false;
    e.eval.ResultType = 0;
    ClearScratchMatrices(e.eval.lastMatrixResult);
    E_Error() = ZORBIT_NO_ERROR;
    if (result) *result = value;
    return true;
}

// The parser state reading the text left, but for the counters that go on.
void RestoreParser(ParserState& ps, const ReusedProgram& r) {
    const ParserState& a = r.after;
    ps.e_expr = a.e_expr;
    ps.pos = a.pos;
    ps.type = a.type;
    ps.kw = a.kw;
    ps.text = std::u16string_view(ps.e_expr).substr(r.afterText, a.text.size());
    ps.e_tok = a.e_tok;
    ps.tokOwned = a.tokOwned;
    ps.number = a.number;
    ps.malformed = a.malformed;
    ps.e_suffix = a.e_suffix;
    ps.prsDepth = a.prsDepth;
    ps.tokStart = a.tokStart;
    ps.replaced = a.replaced;
    ps.fnKnown = a.fnKnown;
    ps.fn = a.fn;
}

} // namespace

int32_t EvalExpression(std::u16string_view expr, double* result, bool checkFunctions) {
    EngineState& e = Engine();
    e.errors.errorPos = -1;
    if (RunReused(e, expr, checkFunctions, result)) return 0;
    E_Error() = ZORBIT_NO_ERROR;
    ++e.parser.RunCount;
    uint8_t flag = 0;
    bool parsed = false;
    const double value = ParseExpression(expr, checkFunctions, flag, &parsed);
    if (!parsed) return E_Error(); // nothing was read: no position
    if (e.parser.type != Tok::End && E_Error() == ZORBIT_NO_ERROR) {
        E_Error() = ZORBIT_E_EVALUATOR_SYNTAX;
        ReportError(u"e_eval", 0, u"");
    }
    // An overflow has no value to give, whatever its sign, nor has what an overflow made
    // NaN on the way (inf - inf, inf * 0: finite operands that give NaN fail where they
    // meet), and a matrix holding either neither.
    if (E_Error() == ZORBIT_NO_ERROR &&
        (flag == 0 ? !std::isfinite(value) : MatrixNotFinite(value))) {
        E_Error() = ZORBIT_E_DIVISION_BY_ZERO;
        ReportError(u"e_eval", 0, u"");
    }
    if (E_Error() != ZORBIT_NO_ERROR || flag == 0) {
        // The copies this evaluation made are of no use to anyone; the last matrix
        // result stays for its caller.
        const int32_t code = E_Error();
        ClearScratchMatrices(e.eval.lastMatrixResult);
        E_Error() = code;
        if (code != ZORBIT_NO_ERROR) {
            // The token read when the first error was recorded, else where reading ended.
            const size_t at = e.errors.firstErrorTok != std::u16string::npos
                                  ? e.errors.firstErrorTok
                                  : e.parser.tokStart;
            e.errors.errorPos = CallerOffset(expr, e.parser.e_expr, at);
            return code;
        }
    }
    if (result) *result = value;
    if (flag == 1) {
        ClearScratchMatrices(value);
        e.eval.lastMatrixResult = value;
        return 1;
    }
    NoteSuccess(e, expr, checkFunctions);
    return 0;
}

double DeEval(std::u16string_view expr, bool checkFunctions) {
    EngineState& e = Engine();
    E_Error() = ZORBIT_NO_ERROR;
    uint8_t flag = 0;
    bool parsed = false;
    const double value = ParseExpression(expr, checkFunctions, flag, &parsed);
    if (!parsed) return E_Error();
    if (e.parser.type != Tok::End && E_Error() == ZORBIT_NO_ERROR) {
        E_Error() = ZORBIT_E_EVALUATOR_SYNTAX;
        ReportError(u"de_eval", 1010, u"e_tok = " + e.parser.TypeText());
    }
    if (E_Error() != ZORBIT_NO_ERROR || flag == 0) {
        const int32_t code = E_Error();
        ClearScratchMatrices(e.eval.lastMatrixResult);
        E_Error() = code;
        if (code != ZORBIT_NO_ERROR) return code;
    }
    if (flag == 1) {
        ClearScratchMatrices(value);
        RegisterMatrixResult(value);
        e.eval.lastMatrixResult = value;
    }
    return value;
}

int32_t SetBoolSign(int32_t sign) {
    if (sign == 1 || sign == -1) {
        Engine().eval.TrueValue = sign;
    } else if (Engine().errors.MsgFlags & 1) {
        DebugOut(u"Procedure: SetBoolSign\r\nWrong parameter. Must be 1 or -1", u"ZiZoruze: Error",
                 true);
    }
    return 0;
}

int32_t SetPrecisionMode(int32_t mode) {
    EvalState& ev = Engine().eval;
    if (mode != ZORBIT_PRECISION_CLASSIC && mode != ZORBIT_PRECISION_FULL) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"SetPrecisionMode", 0, u"Unknown mode = " + IntText(mode) + u"\r\n");
        return -1;
    }
    const int32_t previous = ev.precision;
    ev.precision = mode;
    return previous;
}

} // namespace zorbit
