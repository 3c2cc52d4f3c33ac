#pragma once
// The operators of a formula: one table of precedences and one set of rules on two
// numbers, shared by the evaluator and by compiled formulas. A rule returns its value
// and its fault; the evaluator reports the fault, a compiled formula leaves the point to
// the evaluator.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "engine/functions.h"
#include "engine/state.h"

namespace zorbit {

enum class Op : uint8_t {
    Pow,
    Mul,
    Div,
    IntDiv,
    Mod,
    Add,
    Sub,
    Eq,
    Lt,
    Gt,
    Ne,
    Le,
    Ge,
    And,
    Or,
    Xor,
    Neg, // unary
    Not, // unary
};

// A binary operator: it binds operands of at least `level`; its right operand is read
// at `right`.
struct OpRow {
    int32_t level;
    int32_t right;
    Op op;
};

// Inlined where it runs for every token of every evaluation; unoptimized builds keep it a
// call, so the frames of deep recursion stay small.
#ifdef __OPTIMIZE__
#define VEX_TOKEN_INLINE __attribute__((always_inline)) inline
#else
#define VEX_TOKEN_INLINE inline
#endif

// The binary operator a token stands for: an Op token's text, or a keyword.
VEX_TOKEN_INLINE bool BinaryOperator(Tok type, std::u16string_view text, Kw kw, OpRow* row) {
    if (type == Tok::Op) {
        if (text.size() == 1) {
            switch (text[0]) {
            case u'^':
                *row = {11, 12, Op::Pow};
                return true;
            case u'*':
                *row = {10, 11, Op::Mul};
                return true;
            case u'/':
                *row = {10, 11, Op::Div};
                return true;
            case u'\\':
                *row = {9, 10, Op::IntDiv};
                return true;
            case u'+':
                *row = {7, 8, Op::Add};
                return true;
            case u'-':
                *row = {7, 8, Op::Sub};
                return true;
            case u'=':
                *row = {6, 7, Op::Eq};
                return true;
            case u'<':
                *row = {6, 7, Op::Lt};
                return true;
            case u'>':
                *row = {6, 7, Op::Gt};
                return true;
            default:
                return false;
            }
        }
        if (text == u"<>") {
            *row = {6, 7, Op::Ne};
            return true;
        }
        if (text == u"<=") {
            *row = {6, 7, Op::Le};
            return true;
        }
        if (text == u">=") {
            *row = {6, 7, Op::Ge};
            return true;
        }
        return false;
    }
    if (type == Tok::Keyword) {
        switch (kw) {
        case Kw::Mod:
            *row = {8, 9, Op::Mod};
            return true;
        case Kw::And:
            *row = {5, 6, Op::And};
            return true;
        case Kw::Or:
            *row = {4, 5, Op::Or};
            return true;
        case Kw::Xor:
            *row = {3, 4, Op::Xor};
            return true;
        default:
            return false;
        }
    }
    return false;
}

enum class OpFault : uint8_t {
    None,
    DivisionByZero, // "/", "\" or "mod" with a right operand of 0
    NotANumber,     // "^" giving NaN from finite operands ((-8)^(1/3))
    Beyond32,       // an integer operator's operand or quotient beyond 32 bits
};

struct OpResult {
    double value; // what the evaluator yields, also on a fault
    OpFault fault;
    double culprit; // Beyond32: the value that does not fit
    int8_t side;    // Beyond32 of "mod": 0 the left operand, 1 the right one
};

// The rule of `op` on numbers; `truth` is the value of a true comparison.
inline OpResult ApplyNumberOp(Op op, double a, double b, double truth) {
    switch (op) {
    case Op::Pow: {
        // The square is the most common power: a*a is correctly rounded, std::pow only
        // nearly so, and far slower.
        if (b == 2) return {a * a, OpFault::None, 0, 0};
        const double r = std::pow(a, b);
        if (std::isnan(r) && std::isfinite(a) && std::isfinite(b))
            return {r, OpFault::NotANumber, 0, 0};
        return {r, OpFault::None, 0, 0};
    }
    case Op::Mul:
        return {a * b, OpFault::None, 0, 0};
    case Op::Div:
        if (b == 0) return {a, OpFault::DivisionByZero, 0, 0};
        return {a / b, OpFault::None, 0, 0};
    case Op::Add:
        return {a + b, OpFault::None, 0, 0};
    case Op::Sub:
        return {a - b, OpFault::None, 0, 0};
    case Op::IntDiv: {
        if (b == 0) return {0, OpFault::DivisionByZero, 0, 0};
        const double q = std::trunc(a / b);
        int32_t whole = 0;
        if (!Trunc32(q, &whole)) return {0, OpFault::Beyond32, q, 0};
        return {static_cast<double>(whole), OpFault::None, 0, 0};
    }
    case Op::Mod: {
        int32_t x = 0, y = 0;
        if (!Trunc32(a, &x)) return {0, OpFault::Beyond32, a, 0};
        if (!Trunc32(b, &y)) return {0, OpFault::Beyond32, b, 1};
        if (y == 0) return {0, OpFault::DivisionByZero, 0, 0};
        // -1 also covers INT_MIN mod -1, which would trap
        return {y == -1 ? 0.0 : static_cast<double>(x % y), OpFault::None, 0, 0};
    }
    case Op::Eq:
        return {a == b ? truth : 0, OpFault::None, 0, 0};
    case Op::Lt:
        return {a < b ? truth : 0, OpFault::None, 0, 0};
    case Op::Gt:
        return {a > b ? truth : 0, OpFault::None, 0, 0};
    case Op::Ne:
        return {a != b ? truth : 0, OpFault::None, 0, 0};
    case Op::Le:
        return {a <= b ? truth : 0, OpFault::None, 0, 0};
    case Op::Ge:
        return {a >= b ? truth : 0, OpFault::None, 0, 0};
    case Op::And:
        return {(a != 0 && b != 0) ? 1.0 : 0.0, OpFault::None, 0, 0};
    case Op::Or:
        return {(a != 0 || b != 0) ? 1.0 : 0.0, OpFault::None, 0, 0};
    case Op::Xor:
        return {((a != 0) != (b != 0)) ? 1.0 : 0.0, OpFault::None, 0, 0};
    case Op::Neg:
        return {-a, OpFault::None, 0, 0};
    case Op::Not: {
        int32_t x = 0;
        if (!Trunc32(a, &x)) return {0, OpFault::Beyond32, a, 0};
        return {static_cast<double>(~x), OpFault::None, 0, 0};
    }
    }
    return {a, OpFault::None, 0, 0};
}

// Sets the error code of a fault and writes its record, as the evaluator reports it.
void ReportOperatorFault(Op op, const OpResult& r, double a, double b);

} // namespace zorbit
