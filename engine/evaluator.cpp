#include "engine/evaluator.h"

#include <cmath>

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
    if (!ExpandFunctions(ps.e_expr)) {
        ps.e_expr.clear();
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"ExpandFunctions", 0, u"The expanded expression is too long\r\n");
        return 0;
    }
    if (ps.e_expr.size() > kMaxExpressionLength) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"e_eval", 0, u"The expression is too long\r\n");
        return 0;
    }
    E_Error() = ZORBIT_NO_ERROR;
    StartTokenizer();
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

} // namespace

int32_t EvalExpression(std::u16string_view expr, double* result, bool checkFunctions) {
    EngineState& e = Engine();
    E_Error() = ZORBIT_NO_ERROR;
    ++e.parser.RunCount;
    uint8_t flag = 0;
    bool parsed = false;
    const double value = ParseExpression(expr, checkFunctions, flag, &parsed);
    if (!parsed) return E_Error();
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
        if (code != ZORBIT_NO_ERROR) return code;
    }
    if (result) *result = value;
    if (flag == 1) {
        ClearScratchMatrices(value);
        e.eval.lastMatrixResult = value;
        return 1;
    }
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

} // namespace zorbit
