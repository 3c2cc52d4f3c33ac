#include "derive/diff_simplify.h"

#include <cmath>

#include "derive/diff_chain.h"
#include "derive/diff_log.h"
#include "derive/diff_number.h"
#include "derive/diff_parser.h"
#include "derive/diff_state.h"
#include "engine/function_table.h"
#include "engine/state.h"

namespace zorbit {

namespace {

bool IsNumber(int32_t n) {
    return n != 0 && Diff().t[n].opCode == kDcNum;
}
double ValueOf(int32_t n) {
    return NumberValue(Diff().t[n].con);
}
bool IsNumber(int32_t n, double v) {
    return IsNumber(n) && ValueOf(n) == v;
}

int32_t BecomeNumber(int32_t node, std::u16string text) {
    DiffNode& n = Diff().t[node];
    n.opCode = kDcNum;
    n.con = std::move(text);
    return node;
}

int32_t BecomeValue(int32_t node, double value) {
    return BecomeNumber(node, FoldedText(value));
}

// The value of a function of a number, as its row folds it; "" when no row does.
std::u16string FoldFunction(int32_t code, double v) {
    const FunctionRow* row = FunctionOfNode(code);
    if (row == nullptr) return u"";
    FnParts unused;
    // Full precision folds as the evaluator computes in Full mode.
    if (FullPrecision())
        return FoldedText((row->full != nullptr ? row->full : row->math)(v, unused));
    return FoldedText(row->fold != nullptr ? row->fold(v) : row->math(v, unused));
}

// |a|^b, negative for a negative base unless b/2 (in single precision; in Full precision
// double) is whole.
double PowerValue(double a, double b) {
    if (FullPrecision()) {
        const double value = std::pow(std::fabs(a), b);
        return a < 0 && std::nearbyint(b / 2) != b / 2 ? -value : value;
    }
    double value = std::exp(b * std::log(std::fabs(a)));
    const float half = static_cast<float>(b / 2);
    if (a < 0 && std::nearbyint(half) != half) value = -value;
    return value;
}

int32_t SimplifySum(int32_t node, int32_t a, int32_t b) {
    if (IsNumber(a) && IsNumber(b)) return BecomeValue(node, ValueOf(a) + ValueOf(b));
    if (IsNumber(a, 0)) return b;
    if (IsNumber(b, 0)) return a;
    return node;
}

int32_t SimplifyDifference(int32_t node, int32_t a, int32_t b) {
    if (IsNumber(a) && IsNumber(b)) return BecomeValue(node, ValueOf(a) - ValueOf(b));
    if (IsNumber(a, 0)) {
        DiffNode& n = Diff().t[node];
        n.opCode = kDcNeg;
        n.l = b;
        n.r = 0;
        return node;
    }
    if (IsNumber(b, 0)) return a;
    return node;
}

int32_t SimplifyProduct(int32_t node, int32_t a, int32_t b) {
    if (IsNumber(a) && IsNumber(b)) return BecomeValue(node, ValueOf(a) * ValueOf(b));
    if (IsNumber(a, 0) || IsNumber(b, 0)) return BecomeNumber(node, u"0");
    if (IsNumber(a, 1)) return b;
    if (IsNumber(b, 1)) return a;
    return node;
}

int32_t SimplifyQuotient(int32_t node, int32_t a, int32_t b) {
    if (IsNumber(a) && IsNumber(b) && ValueOf(b) != 0)
        return BecomeValue(node, ValueOf(a) / ValueOf(b));
    if (IsNumber(a, 0)) return BecomeNumber(node, u"0");
    if (IsNumber(b, 0)) {
        ERR(u"Division by zero.");
        E_Error() = 8;
    }
    if (IsNumber(b, 1)) return a;
    return node;
}

// Only a number exponent is known: a name exponent leaves the power as it is.
int32_t SimplifyPower(int32_t node, int32_t a, int32_t b) {
    if (IsNumber(a, 0)) return BecomeNumber(node, u"0");
    if (!IsNumber(b)) return node;
    if (ValueOf(b) == 0) return BecomeNumber(node, u"1");
    if (IsNumber(a)) return BecomeValue(node, PowerValue(ValueOf(a), ValueOf(b)));
    if (ValueOf(b) == 1) return a;
    return node;
}

int32_t SimplifyNode(int32_t node) {
    const DiffNode& n = Diff().t[node];
    switch (n.opCode) {
    case kDcAdd:
        return SimplifySum(node, n.l, n.r);
    case kDcSub:
        return SimplifyDifference(node, n.l, n.r);
    case kDcMul:
        return SimplifyProduct(node, n.l, n.r);
    case kDcDiv:
        return SimplifyQuotient(node, n.l, n.r);
    case kDcPow:
        return SimplifyPower(node, n.l, n.r);
    case kDcNeg:
        return IsNumber(n.l) ? BecomeValue(node, -ValueOf(n.l)) : node;
    default:
        if (IsFunctionCode(n.opCode) && IsNumber(n.l)) {
            std::u16string value = FoldFunction(n.opCode, ValueOf(n.l));
            if (!value.empty()) return BecomeNumber(node, std::move(value));
        }
        return node;
    }
}

bool HasRightOperand(int32_t code) {
    return (code >= kDcAdd && code <= kDcDiv) || code == kDcPow;
}

// Bottom-up along the spine, in the order a recursion down the chain would take: the
// chain's first operand, then each node's right operand and the node itself.
int32_t SimplifyChain(int32_t top) {
    DiffState& d = Diff();
    ChainSpine spine;
    spine.collect(top);
    for (size_t i = 1; i < spine.size(); ++i)
        DiffLogIf(u"Diff_Simplify", [&] { return Cat(u"IN_ 17, _t=", spine[i]); });
    int32_t below = Diff_Simplify(d.t[spine[spine.size() - 1]].l);
    for (size_t i = spine.size(); i-- > 0;) {
        const int32_t node = spine[i];
        d.t[node].l = below;
        d.t[node].r = Diff_Simplify(d.t[node].r);
        below = SimplifyNode(node);
        DiffLogIf(u"Diff_Simplify", [&] { return Cat(u"OUT 18, _t=", node, u", Result=", below); });
    }
    return below;
}

// Operands printed without brackets, by the operator and the operand's side.
bool InFactorSet(int32_t code) {
    return code == kDcNum || code == kDcName || IsFunctionCode(code) || code == kDcPow;
}
bool InProductSet(int32_t code) {
    return code == kDcMul || code == kDcDiv || InFactorSet(code);
}

bool BareLeft(int32_t op, int32_t code) {
    switch (op) {
    case kDcAdd:
    case kDcSub:
        return true;
    case kDcMul:
    case kDcDiv:
        return InProductSet(code);
    case kDcNeg:
        return InFactorSet(code);
    default:
        return code == kDcNum || code == kDcName; // the base of a power
    }
}

bool BareRight(int32_t op, int32_t code) {
    switch (op) {
    case kDcAdd:
        return true;
    case kDcSub:
    case kDcMul:
        return InProductSet(code);
    case kDcDiv:
        return InFactorSet(code);
    default:
        return true; // an exponent; a negative number brackets itself
    }
}

char16_t OperatorChar(int32_t code) {
    switch (code) {
    case kDcAdd:
        return u'+';
    case kDcSub:
        return u'-';
    case kDcMul:
        return u'*';
    case kDcDiv:
        return u'/';
    default:
        return u'^';
    }
}

// Operands go straight into the one output text; a walk that returned each subtree's
// text would copy a long chain once per node.
void PrintTo(int32_t node, std::u16string& out);

// Appends the operand in brackets unless `bare`; [from, to) is its text without them.
void PrintOperand(int32_t child, bool bare, std::u16string& out, size_t& from, size_t& to) {
    if (!bare) out += u'(';
    from = out.size();
    PrintTo(child, out);
    to = out.size();
    if (!bare) out += u')';
}

void LogOperands(std::u16string_view out, size_t from1, size_t to1, size_t from2, size_t to2,
                 int32_t l, int32_t r) {
    const DiffState& d = Diff();
    DiffLogIf(u"Diff_GetFormula", [&] {
        return Cat(u"   , s1=", out.substr(from1, to1 - from1), u", s2=",
                   out.substr(from2, to2 - from2), u", p1=", d.t[l].opCode, u", p2=",
                   d.t[r].opCode);
    });
}

void LogPrinted(std::u16string_view out, size_t start) {
    DiffLogIf(u"Diff_GetFormula", [&] { return Cat(u"OUT 14, Result=", out.substr(start)); });
}

void LogPrintEntry(int32_t node) {
    DiffLogIf(u"Diff_GetFormula", [&] {
        return Cat(u"IN_, _t=", node, u", \\t[_t]\\opCode=", Diff().t[node].opCode, u", Result=");
    });
}

// A chain prints its first operand and then, bottom-up, each node's operator and right
// operand; the left operand of a chain node never needs brackets.
void PrintChain(int32_t top, std::u16string& out) {
    const DiffState& d = Diff();
    ChainSpine spine;
    spine.collect(top);
    for (size_t i = 1; i < spine.size(); ++i)
        LogPrintEntry(spine[i]);
    const size_t start = out.size();
    const DiffNode& bottom = d.t[spine[spine.size() - 1]];
    size_t from1 = start, to1 = start;
    PrintOperand(bottom.l, BareLeft(bottom.opCode, d.t[bottom.l].opCode), out, from1, to1);
    for (size_t i = spine.size(); i-- > 0;) {
        const DiffNode& n = d.t[spine[i]];
        out += OperatorChar(n.opCode);
        size_t from2 = 0, to2 = 0;
        PrintOperand(n.r, BareRight(n.opCode, d.t[n.r].opCode), out, from2, to2);
        LogOperands(out, from1, to1, from2, to2, n.l, n.r);
        LogPrinted(out, start);
        from1 = start;
        to1 = out.size();
    }
}

void PrintTo(int32_t node, std::u16string& out) {
    if (node == 0) return;
    NestingGuard nesting;
    if (!nesting.ok()) return;
    const DiffNode& n = Diff().t[node];
    LogPrintEntry(node);
    if (ContinuesChain(node)) return PrintChain(node, out);
    const size_t start = out.size();
    size_t from1 = start, to1 = start, from2 = start, to2 = start;
    // A node folded into a number keeps stale links; only operators read their operands.
    int32_t l = 0;
    int32_t r = 0;
    switch (n.opCode) {
    case kDcAdd:
    case kDcSub:
    case kDcMul:
    case kDcDiv:
    case kDcPow:
        l = n.l;
        r = n.r;
        PrintOperand(l, BareLeft(n.opCode, Diff().t[l].opCode), out, from1, to1);
        out += OperatorChar(n.opCode);
        PrintOperand(r, BareRight(n.opCode, Diff().t[r].opCode), out, from2, to2);
        break;
    case kDcNum: {
        const bool negative = NumberValue(n.con) < 0;
        if (negative) out += u'(';
        out += n.con;
        if (negative) out += u')';
        break;
    }
    case kDcName:
        out += n.con;
        break;
    case kDcNeg:
        l = n.l;
        out += u"(-";
        PrintOperand(l, BareLeft(kDcNeg, Diff().t[l].opCode), out, from1, to1);
        out += u')';
        break;
    default:
        if (IsFunctionCode(n.opCode)) {
            l = n.l;
            out += n.con;
            PrintOperand(l, false, out, from1, to1);
        }
        break;
    }
    LogOperands(out, from1, to1, from2, to2, l, r);
    LogPrinted(out, start);
}

} // namespace

int32_t Diff_Simplify(int32_t node) {
    if (node == 0) return 0;
    NestingGuard nesting;
    if (!nesting.ok()) return node;
    DiffLogIf(u"Diff_Simplify", [&] { return Cat(u"IN_ 17, _t=", node); });
    DiffState& d = Diff();
    if (ContinuesChain(node)) return SimplifyChain(node);
    d.t[node].l = Diff_Simplify(d.t[node].l);
    if (HasRightOperand(d.t[node].opCode)) d.t[node].r = Diff_Simplify(d.t[node].r);
    const int32_t result = SimplifyNode(node);
    DiffLogIf(u"Diff_Simplify", [&] { return Cat(u"OUT 18, _t=", node, u", Result=", result); });
    return result;
}

std::u16string Diff_GetFormula(int32_t node) {
    std::u16string out;
    PrintTo(node, out);
    return out;
}

} // namespace zorbit
