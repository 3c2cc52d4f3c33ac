#include "derive/diff_entry.h"

#include <algorithm>
#include <string>

#include "common/text.h"
#include "derive/diff_log.h"
#include "derive/diff_parser.h"
#include "derive/diff_rules.h"
#include "derive/diff_simplify.h"
#include "derive/diff_state.h"
#include "engine/errors.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// Line numbers of the error records, one per way a differentiation fails.
enum : int32_t {
    kLineEmpty = 1,
    kLineTooLong = 2,
    kLineFormula = 3,
    kLineDerivative = 4,
    kLineSimplify = 5,
    kLineDivision = 6,
};

int32_t Fail(int32_t code, int32_t line) {
    DiffState& d = Diff();
    E_Error() = code;
    ReportError(
        u"e_diff", line,
        Cat(u"Formula = '", d.formula, u"', variable = '", d.variable, u"': ", d.firstError));
    ReleaseNodes();
    return 0;
}

void StartDifferentiation(std::u16string_view formula, std::u16string_view variable) {
    DiffState& d = Diff();
    d.Index = 0;
    d.root = 0;
    d.derivRoot = 0;
    d.formula = formula;
    d.variable = variable;
    d.errorFlag = 0;
    d.firstError.clear();
    d.depth = 0;
    d.tooDeep = false;
    d.tooLong = false;
    d.derivNodes = 0;
    StartParse();
}

// Any error, an unmatched bracket or text left unread makes the parse fail.
bool ParseFailed(std::u16string_view text, int32_t root) {
    const DiffState& d = Diff();
    return root == 0 || d.bc != 0 || d.errorFlag != 0 || d.tooDeep ||
           d.pos <= static_cast<int32_t>(text.size());
}

// The room is the text the caller left in the buffer, and never more than it said it has.
void CopyToBuffer(std::u16string_view text, char16_t* buffer, int32_t bufferLength) {
    if (buffer == nullptr) return;
    size_t room = Length(buffer);
    if (bufferLength > 0) room = std::min(room, static_cast<size_t>(bufferLength));
    const size_t n = std::min(room, text.size());
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
}

int32_t ParseFormula() {
    DiffState& d = Diff();
    d.root = GetTreeExpr(d.formula);
    DiffLog(u"Formula", d.formula);
    DumpNodes(u"Nodes Expr.", d.root);
    if (!ParseFailed(d.formula, d.root)) return d.root;
    d.root = 0;
    ERR(u"Error in formula.");
    return 0;
}

// Derives the parsed formula and parses the derivative text after its nodes.
int32_t ParseDerivative() {
    DiffState& d = Diff();
    d.errorFlag = 0;
    d.firstError.clear();
    StartParse();
    std::u16string text;
    Df(d.root, text);
    // Past the size limits the text is cut short and not worth reading.
    if (!d.tooLong && !d.tooDeep) d.derivRoot = GetTreeExpr(text);
    if (DiffLogOn()) {
        DiffLog(u"Df(TreeExpr)", text);
        DiffLog(u"Formula after Diff", text);
        DumpNodes(u"Nodes Diff", d.derivRoot);
    }
    if (!d.tooLong && !ParseFailed(text, d.derivRoot)) return d.derivRoot;
    d.derivRoot = 0;
    ERR(u"Error in formula.");
    return 0;
}

} // namespace

int32_t DiffFormula(std::u16string_view formula, std::u16string_view variable, char16_t* buffer,
                    int32_t bufferLength) {
    DiffState& d = Diff();
    DiffLog(u"Formula", formula);
    if (formula.empty()) {
        StartDifferentiation(formula, variable);
        d.errorFlag = 7;
        d.firstError = u"Empty formula";
        return Fail(ZORBIT_D_EMPTY_FORMULA, kLineEmpty);
    }
    StartDifferentiation(formula, variable);
    if (formula.size() > kMaxDiffFormula) {
        ERR(u"Too long formula");
        return Fail(ZORBIT_D_ERROR_IN_FORMULA, kLineTooLong);
    }
    if (ParseFormula() == 0) return Fail(ZORBIT_D_ERROR_IN_FORMULA, kLineFormula);
    if (ParseDerivative() == 0) return Fail(ZORBIT_D_ERROR_IN_FORMULA, kLineDerivative);
    d.result = Diff_GetFormula(Diff_Simplify(d.derivRoot));
    ReleaseNodes();
    if (d.tooDeep) return Fail(ZORBIT_D_ERROR_IN_FORMULA, kLineSimplify);
    DiffLogIf(u"Diff", [&] { return Cat(u"OUT 20, der=", d.result); });
    DiffLog(u"Diff", u"OUT 21, sol=e^x");
    CopyToBuffer(d.result, buffer, bufferLength);
    // A division by zero found while simplifying: the text is delivered, the call fails.
    if (d.errorFlag != 0) return Fail(ZORBIT_E_DIVISION_BY_ZERO, kLineDivision);
    E_Error() = ZORBIT_NO_ERROR;
    return static_cast<int32_t>(d.result.size());
}

int32_t LastDiffErr() {
    return Diff().errorFlag;
}

} // namespace zorbit
