#include "script/keywords.h"

namespace vex {

std::vector<std::u16string> InitKeywordTable() {
    return {u"aElemOrderEx", u"Debug",      u"ErrorMsgs", u"Derivate", u"DerivateF", u"DimX",
            u"Expr",         u"ExprF",      u"Funct",     u"FunctF",   u"Hex",       u"Bin",
            u"Integrate",    u"IntegrateF", u"Matr",      u"MatrF",    u"Plot",      u"Pause",
            u"StoExpr",      u"Show",       u"Var",       u"VarPolyn", u"Vect",      u"VectF",
            u"sDiff",        u"sDiffF",     u"Precision", u"Format"};
}

} // namespace vex
