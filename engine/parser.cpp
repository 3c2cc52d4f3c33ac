// The recursive parser that evaluates while it parses: operators by level, primaries,
// function calls, matrices through the installed table.
#include "engine/parser.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/number_text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/functions.h"
#include "engine/matrix_ops.h"
#include "engine/operators.h"
#include "engine/state.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"

namespace zorbit {

namespace {

double Combine(const OpRow& row, double a, double b, uint8_t& aFlag, uint8_t bFlag) {
    if (aFlag != 0 || bFlag != 0) {
        switch (row.op) {
        case Op::Pow:
            return CalcMatrixDivMult(u'^', a, b, &aFlag, bFlag);
        case Op::Mul:
            return CalcMatrixDivMult(u'*', a, b, &aFlag, bFlag);
        case Op::Div:
            return CalcMatrixDivMult(u'/', a, b, &aFlag, bFlag);
        case Op::Add:
            return CalcMatrixSumSubt(u'+', a, b, &aFlag, bFlag);
        case Op::Sub:
            return CalcMatrixSumSubt(u'-', a, b, &aFlag, bFlag);
        default:
            aFlag = 0; // the other operators read a matrix's handle as a number
            break;
        }
    }
    const OpResult r = ApplyNumberOp(row.op, a, b, Engine().eval.TrueValue);
    if (r.fault != OpFault::None) ReportOperatorFault(row.op, r, a, b);
    return r.value;
}

double SyntaxError() {
    ParserState& ps = Engine().parser;
    if (E_Error() != ZORBIT_NO_ERROR) return 0;
    E_Error() = ZORBIT_E_PARSER_SYNTAX;
    // Marked here too: without error records nothing else would say where.
    MarkErrorPlace();
    const int32_t flags = Engine().errors.MsgFlags;
    if (flags & 1) {
        const std::u16string& records = ReportError(u"e_prs", 0, u"");
        DebugOut(u"Procedure: e_prs\r\nSyntax error, token = '" + ps.TokText() +
                     u"'\r\n\r\nDebug:\r\n" + records,
                 u"ZiZoruze: Error", flags != 0);
    }
    return 0;
}

// A literal that is no number: its digits do not fit the base ("&G1", "!102") or it has a
// second point ("1..5"), a syntax error; or its value does not fit ("&" and 17 digits).
double LiteralError(int32_t code) {
    if (code == ZORBIT_E_PARSER_SYNTAX) return SyntaxError();
    if (E_Error() != ZORBIT_NO_ERROR) return 0;
    E_Error() = code;
    ReportError(u"e_prs", 0, u"Number beyond 64 bits = '" + Engine().parser.TokText() + u"'\r\n");
    return 0;
}

// The primaries that recurse live in functions of their own, kept out of line, so that
// each nesting level costs only the frames it needs.
#define VEX_NOINLINE __attribute__((noinline))

// Reads "(argument)" after a function name. An error inside the argument (or a missing
// bracket) is the call's outcome, so the function is not computed then.
VEX_NOINLINE bool ReadCallArgument(double* argument) {
    e_nxt();
    e_match(u"(");
    *argument = e_prs(1, 0).value;
    e_match(u")");
    return E_Error() == ZORBIT_NO_ERROR;
}

VEX_NOINLINE Operand UnknownFunctionCall() {
    const std::u16string name = Engine().parser.e_tok;
    double argument = 0;
    if (!ReadCallArgument(&argument)) return {0, 0};
    return {e_function(name, argument), 0};
}

VEX_NOINLINE Operand FunctionCall() {
    const ParserState& ps = Engine().parser;
    if (!ps.fnKnown) return UnknownFunctionCall();
    const Fn fn = static_cast<Fn>(ps.fn); // looked up when the name was read
    double argument = 0;
    if (!ReadCallArgument(&argument)) return {0, 0};
    return {CallFunction(fn, argument), 0};
}

VEX_NOINLINE Operand MatrixFunction(Kw kw) {
    ParserState& ps = Engine().parser;
    const std::u16string name = ps.e_tok;
    e_nxt();
    e_match(u"(");
    Operand a = e_prs(1, 0);
    double value = 0;
    // An argument that failed is the call's outcome: nothing is computed then.
    if (kw == Kw::Det || kw == Kw::Trace) {
        if (E_Error() == ZORBIT_NO_ERROR)
            value = CalcMatrFunct(name, a.value, 0, 0.0, &a.flag, 0, 0);
    } else if (kw == Kw::Syst) {
        e_nxt();
        const Operand b = e_prs(1, 0);
        if (E_Error() == ZORBIT_NO_ERROR)
            value = CalcMatrFunct(name, a.value, b.value, 0.0, &a.flag, b.flag, 0);
    } else {
        e_nxt();
        const Operand b = e_prs(1, 0);
        e_nxt();
        const Operand c = e_prs(1, 0);
        if (E_Error() == ZORBIT_NO_ERROR && c.flag != 0) {
            E_Error() = ZORBIT_E_INVALID_ARGUMENT;
            ReportError(u"e_prs", 0, u"Last parameter must be numeric.\r\n");
        } else if (E_Error() == ZORBIT_NO_ERROR) {
            value = CalcMatrFunct(name, a.value, b.value, c.value, &a.flag, b.flag, c.flag);
        }
    }
    e_match(u")");
    return {value, a.flag};
}

VEX_NOINLINE Operand StatisticsCall(Kw kw) {
    e_nxt();
    e_match(u"(");
    const double v = StatFunction(kw);
    e_match(u")");
    return {v, 0};
}

VEX_NOINLINE Operand NotPrimary() {
    e_nxt();
    const double v = e_prs(6, 0).value;
    if (E_Error() != ZORBIT_NO_ERROR) return {0, 0};
    const OpResult r = ApplyNumberOp(Op::Not, v, 0, 0);
    if (r.fault != OpFault::None) ReportOperatorFault(Op::Not, r, v, 0);
    return {r.value, 0};
}

VEX_NOINLINE Operand MinusPrimary() {
    e_nxt();
    Operand v = e_prs(11, 0);
    if (v.flag == 0) return {-v.value, 0};
    if (E_Error() != ZORBIT_NO_ERROR) return v;
    v.value = CalcMatrixDivMult(u'*', v.value, -1.0, &v.flag, 0);
    return v;
}

VEX_NOINLINE Operand BracketPrimary() {
    e_nxt();
    const Operand v = e_prs(1, 0);
    e_match(u")");
    return v;
}

VEX_NOINLINE Operand MatrixPrimary() {
    ParserState& ps = Engine().parser;
    // After an error nothing is looked up: finding the matrix would clear the error.
    if (E_Error() != ZORBIT_NO_ERROR) {
        e_nxt();
        return {0, 0};
    }
    if (ps.text.size() < 2 || ps.text.back() != u']') {
        E_Error() = ZORBIT_E_MATRIX_NOT_FOUND;
        ReportError(u"e_prs", 0,
                    u"MatrName = " + std::u16string(ps.text) + u" (no closing ']')\r\n");
        return {static_cast<double>(ZORBIT_E_MATRIX_NOT_FOUND), 0};
    }
    const double v = MatrixReference(ps.text, ps.e_suffix);
    if (E_Error() != ZORBIT_NO_ERROR) return {v, 0};
    e_nxt();
    return {v, 1};
}

// A number in any of its forms, out of line like the primaries that recurse, so that the
// frame every nesting level passes through keeps none of its temporaries.
VEX_NOINLINE Operand LiteralPrimary() {
    ParserState& ps = Engine().parser;
    double v = ps.number; // a variable's or constant's value
    if (!ps.replaced) {
        const int32_t code = LiteralValue(ps.type, ps.text, ps.malformed, &v);
        if (code != ZORBIT_NO_ERROR) return {LiteralError(code), 0};
    }
    e_nxt();
    return {v, 0};
}

Operand Primary() {
    ParserState& ps = Engine().parser;
    double v = 0;
    switch (ps.type) {
    case Tok::Num:
    case Tok::Hex:
    case Tok::Bin:
        return LiteralPrimary();
    case Tok::Const:
        if (E_Error() == ZORBIT_NO_ERROR) v = e_function(ps.e_tok, 0); // it starts from no error
        break;
    case Tok::Matrix:
        return MatrixPrimary();
    case Tok::Id:
        return FunctionCall();
    case Tok::Keyword:
        switch (ps.kw) {
        case Kw::Not:
            return NotPrimary();
        case Kw::Det:
        case Kw::Trace:
        case Kw::Syst:
        case Kw::Vcoeff:
            return MatrixFunction(ps.kw);
        case Kw::And:
        case Kw::Or:
        case Kw::Xor:
        case Kw::Mod:
        case Kw::Eqv:
        case Kw::Imp:
        case Kw::None:
            return {SyntaxError(), 0};
        default:
            return StatisticsCall(ps.kw);
        }
    case Tok::Op:
        if (TokIs(ps, u'-')) return MinusPrimary();
        if (TokIs(ps, u'+')) {
            e_nxt();
            return e_prs(11, 0);
        }
        if (TokIs(ps, u'(')) return BracketPrimary();
        return {SyntaxError(), 0};
    case Tok::End:
        return {SyntaxError(), 0};
    }
    e_nxt();
    return {v, 0};
}

// Keeps the nesting depth bounded so that no input can overflow the stack.
struct DepthGuard {
    int32_t& depth;
    explicit DepthGuard(int32_t& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
};

} // namespace

Operand e_prs(int32_t level, uint8_t flag) {
    ParserState& ps = Engine().parser;
    DepthGuard guard(ps.prsDepth);
    if (ps.prsDepth > kMaxNesting) {
        E_Error() = ZORBIT_E_PARSER_SYNTAX;
        ReportError(u"e_prs", 0, u"Nesting deeper than " + IntText(kMaxNesting) + u" levels\r\n");
        // Nothing more is read: a later identifier must not clear this error.
        ps.pos = ps.e_expr.size();
        ps.type = Tok::End;
        ps.text = {};
        ps.tokOwned = false;
        return {0, flag};
    }
    Operand a = Primary();
    OpRow row;
    while (E_Error() == ZORBIT_NO_ERROR && ps.type != Tok::End && !TokIs(ps, u'(') &&
           !TokIs(ps, u')') && BinaryOperator(ps.type, ps.text, ps.kw, &row) &&
           row.level >= level) {
        e_nxt();
        const Operand b = e_prs(row.right, 0);
        if (E_Error() != ZORBIT_NO_ERROR) break; // a failed operand is not combined
        a.value = Combine(row, a.value, b.value, a.flag, b.flag);
    }
    return a;
}

} // namespace zorbit
