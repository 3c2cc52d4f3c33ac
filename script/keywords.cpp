#include "script/keywords.h"

#include <algorithm>

#include "common/text.h"
#include "script/eval_script.h"

namespace vex {

std::vector<std::u16string> InitKeywordTable() {
    std::vector<std::u16string> keywords = {
        u"aElemOrderEx", u"Debug",      u"ErrorMsgs", u"Derivate", u"DerivateF", u"DimX",
        u"Expr",         u"ExprF",      u"Funct",     u"FunctF",   u"Hex",       u"Bin",
        u"Integrate",    u"IntegrateF", u"Matr",      u"MatrF",    u"Plot",      u"Pause",
        u"StoExpr",      u"Show",       u"Var",       u"VarPolyn", u"Vect",      u"VectF",
        u"sDiff",        u"sDiffF",     u"Precision", u"Format"};
    // Every word the interpreter runs is a command here too, so a line the batch run
    // accepts is never turned into a formula.
    for (const std::u16string& word : CommandWords()) {
        const bool known = std::any_of(keywords.begin(), keywords.end(),
                                       [&](const auto& k) { return zorbit::ToLower(k) == word; });
        if (!known) keywords.push_back(word);
    }
    return keywords;
}

} // namespace vex
