#include "engine/operators.h"

#include <string>

#include "common/number_text.h"
#include "engine/errors.h"

namespace zorbit {

namespace {

void Fault(int32_t code, std::u16string_view procedure, std::u16string_view extra) {
    E_Error() = code;
    ReportError(procedure, 0, extra);
}

// The integer operators work on 32-bit integers: a value beyond them has no answer.
std::u16string Beyond32Text(std::u16string_view what, double v) {
    return std::u16string(what) + u" " + Fixed10(v) + u" is beyond the 32-bit integers\r\n";
}

} // namespace

void ReportOperatorFault(Op op, const OpResult& r, double a, double b) {
    switch (r.fault) {
    case OpFault::None:
        return;
    case OpFault::NotANumber:
        Fault(ZORBIT_E_INVALID_ARGUMENT, u"e_prs",
              u"Invalid Argument: " + Fixed10(a) + u" ^ " + Fixed10(b) + u"\r\n");
        return;
    case OpFault::DivisionByZero:
        if (op == Op::Div) {
            Fault(ZORBIT_E_DIVISION_BY_ZERO, u"CalcMatrixDivMult", u"");
            const ErrorState& es = Engine().errors;
            if (es.MsgFlags & 1) DebugOut(es.ErrMsgs, u"ZiZoruze: Error", es.MsgFlags != 0);
        } else {
            Fault(ZORBIT_E_DIVISION_BY_ZERO, u"e_prs",
                  op == Op::IntDiv ? u"\\: the right operand is 0\r\n"
                                   : u"mod: the right operand is 0\r\n");
        }
        return;
    case OpFault::Beyond32: {
        std::u16string_view what = u"not: the operand";
        if (op == Op::IntDiv)
            what = u"\\: the quotient";
        else if (op == Op::Mod)
            what = r.side == 0 ? u"mod: the left operand" : u"mod: the right operand";
        Fault(ZORBIT_E_INVALID_ARGUMENT, u"e_prs", Beyond32Text(what, r.culprit));
        return;
    }
    }
}

} // namespace zorbit
