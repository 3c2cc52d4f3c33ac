#include "engine/state.h"

#include "common/number_text.h"

namespace zorbit {

std::u16string ParserState::TypeText() const {
    switch (type) {
    case Tok::End:
        return u"";
    case Tok::Num:
        return u"num";
    case Tok::Hex:
        return u"hex";
    case Tok::Bin:
        return u"bin";
    case Tok::Const:
        return u"const";
    case Tok::Id:
        return u"id";
    case Tok::Matrix:
        return u"matrix";
    case Tok::Keyword:
        return e_tok;
    case Tok::Op:
        return std::u16string(text);
    }
    return u"";
}

bool SpendWork(double units) {
    EngineState& e = Engine();
    int64_t& left = e.eval.workLeft;
    if (left < 0) return true;
    if (units < static_cast<double>(left)) {
        left -= static_cast<int64_t>(units);
        return true;
    }
    left = 0;
    if (E_Error() == ZORBIT_NO_ERROR) E_Error() = ZORBIT_E_UNDEFINED;
    // Nothing more is read: the parser finds the end of the text next.
    e.parser.pos = e.parser.e_expr.size();
    return false;
}

double EngineValue(double value) {
    return FullPrecision() ? value : RoundTo10(value);
}

std::u16string EngineText(double value) {
    return FullPrecision() ? RoundTripText(value) : Fixed10(value);
}

std::u16string ParserState::TokText() const {
    if (type == Tok::Num && replaced) return EngineText(number);
    if (tokOwned) return e_tok;
    return std::u16string(text);
}

} // namespace zorbit
