#include "derive/diff_rules.h"

#include "derive/diff_chain.h"
#include "derive/diff_log.h"
#include "derive/diff_number.h"
#include "derive/diff_parser.h"
#include "derive/diff_state.h"
#include "engine/function_table.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// The derivative text must parse into the nodes the formula left free; once it surely
// cannot, building it further only wastes memory.
bool DerivativeHasRoom(const std::u16string& out) {
    DiffState& d = Diff();
    if (d.tooLong || d.tooDeep) return false;
    if (d.Index + d.derivNodes > kMaxDiffNodes || out.size() > kMaxDiffText) {
        d.tooLong = true;
        ERR(u"Too long formula");
        E_Error() = 1;
        return false;
    }
    return true;
}

// Outer derivative of a function written around its argument, times the inner one.
void FunctionRule(int32_t code, int32_t arg, std::u16string& out) {
    const FunctionRow* row = FunctionOfNode(code);
    if (row == nullptr || row->rule.head.empty()) {
        out += u"0"; // sign, unit step and unused codes are flat
        return;
    }
    out += row->rule.head;
    Df_GetFormula(arg, out);
    out += row->rule.tail;
    Df(arg, out);
    out += u"))";
    out += FullPrecision() && !row->rule.afterFull.empty() ? row->rule.afterFull : row->rule.after;
}

// d(u^v) = v*u^(v-1)*u' + u^v*ln(u)*v'. A name exponent is no number: v-1 is not
// known, so the first term is written v*u^v/u*u'.
void PowerRule(int32_t base, int32_t exponent, std::u16string& out) {
    const auto F = [&](int32_t n) { Df_GetFormula(n, out); };
    out += u"((";
    F(exponent);
    out += u")*(";
    F(base);
    out += u")^(";
    if (Diff().t[exponent].opCode == kDcName) {
        F(exponent);
        out += u")/(";
        F(base);
    } else {
        out += ReducedExponent(Diff().t[exponent].con);
    }
    out += u")*(";
    Df(base, out);
    out += u"))+((";
    F(base);
    out += u")^(";
    F(exponent);
    out += u")*(ln(";
    F(base);
    out += u")*";
    Df(exponent, out);
    out += u"))";
}

void BinaryRule(int32_t code, int32_t l, int32_t r, std::u16string& out) {
    const auto F = [&](int32_t n) { Df_GetFormula(n, out); };
    const auto D = [&](int32_t n) { Df(n, out); };
    switch (code) {
    case kDcAdd:
    case kDcSub:
        out += u"((";
        D(l);
        out += code == kDcAdd ? u")+(" : u")-(";
        D(r);
        out += u"))";
        break;
    case kDcMul:
        out += u"((";
        D(l);
        out += u")*(";
        F(r);
        out += u")+(";
        D(r);
        out += u")*(";
        F(l);
        out += u"))";
        break;
    case kDcDiv:
        out += u"((";
        D(l);
        out += u")*(";
        F(r);
        out += u")-(";
        D(r);
        out += u")*(";
        F(l);
        out += u"))/(";
        F(r);
        out += u")^2";
        break;
    default:
        PowerRule(l, r, out);
        break;
    }
}

void DerivativeOf(int32_t node, std::u16string& out) {
    const DiffNode& n = Diff().t[node];
    const int32_t code = n.opCode;
    if (code == kDcAdd || code == kDcSub || code == kDcMul || code == kDcDiv || code == kDcPow) {
        BinaryRule(code, n.l, n.r, out);
    } else if (code == kDcName) {
        out += n.con == Diff().variable ? u"1" : u"0";
    } else if (code == kDcNeg) {
        out += u"(-(";
        Df(n.l, out);
        out += u"))";
    } else if (IsFunctionCode(code)) {
        FunctionRule(code, n.l, out);
    } else {
        out += u"0"; // numbers and anything else
    }
}

std::u16string_view BinaryJoin(int32_t code) {
    switch (code) {
    case kDcAdd:
        return u")+(";
    case kDcSub:
        return u")-(";
    case kDcMul:
        return u")*(";
    case kDcDiv:
        return u")/(";
    default:
        return u")^(";
    }
}

void FormulaOf(int32_t node, std::u16string& out) {
    const DiffNode& n = Diff().t[node];
    const auto F = [&](int32_t child) { Df_GetFormula(child, out); };
    switch (n.opCode) {
    case kDcAdd:
    case kDcSub:
    case kDcMul:
    case kDcDiv:
    case kDcPow: {
        out += u"((";
        F(n.l);
        out += BinaryJoin(n.opCode);
        F(n.r);
        out += u"))";
        break;
    }
    case kDcNum:
    case kDcName:
        out += n.con;
        break;
    case kDcNeg:
        out += u"(-(";
        F(n.l);
        out += u"))";
        break;
    default:
        if (IsFunctionCode(n.opCode)) {
            out += n.con; // the function name as written
            out += u"(";
            F(n.l);
            out += u")";
        }
        break;
    }
}

// Logs the entries of a chain's nodes top-down, as a recursion down the chain would.
void LogChainEntries(std::u16string_view name, const ChainSpine& spine, std::u16string_view tail) {
    if (!DiffLogOn()) return;
    const DiffState& d = Diff();
    for (size_t i = 0; i < spine.size(); ++i)
        DiffLogIf(name, [&] {
            return Cat(u"IN_, _t=", spine[i], u", \\t[_t]\\opCode=", d.t[spine[i]].opCode, tail);
        });
}

// The spine of the chain topped by `top`; every node below the top counts toward the
// derivative's size, and the spine ends early once the derivative is out of room.
void CollectCounted(int32_t top, ChainSpine& spine, const std::u16string& out) {
    DiffState& d = Diff();
    spine.push(top);
    for (int32_t n = top;
         ContinuesChain(n) && spine.size() <= static_cast<size_t>(kMaxDiffNodes);) {
        n = d.t[n].l;
        ++d.derivNodes;
        if (!DerivativeHasRoom(out)) return;
        spine.push(n);
    }
}

// "((a)+(b)-(c))": one pair of brackets for the whole chain, so the text reads back into
// the same tree without nesting a level per term.
void FormulaOfChain(int32_t top, std::u16string& out) {
    const DiffState& d = Diff();
    ChainSpine spine;
    CollectCounted(top, spine, out);
    LogChainEntries(u"Df_GetFormula", spine, u"");
    const size_t start = out.size();
    out += u"((";
    Df_GetFormula(d.t[spine[spine.size() - 1]].l, out);
    for (size_t i = spine.size(); i-- > 0;) {
        const DiffNode& n = d.t[spine[i]];
        out += BinaryJoin(n.opCode);
        Df_GetFormula(n.r, out);
        if (i == 0) out += u"))";
        DiffLogIf(u"Df_GetFormula", [&] {
            return Cat(u"OUT 15, _t=", spine[i], u", \\t[_t]\\con=", n.con, u", Result=",
                       std::u16string_view(out).substr(start));
        });
    }
}

// A sum's derivative is the sum of the derivatives, written flat like the formula.
void DerivativeOfSumChain(const ChainSpine& spine, std::u16string& out) {
    const DiffState& d = Diff();
    const size_t start = out.size();
    out += u"((";
    Df(d.t[spine[spine.size() - 1]].l, out);
    for (size_t i = spine.size(); i-- > 0;) {
        const DiffNode& n = d.t[spine[i]];
        out += n.opCode == kDcAdd ? u")+(" : u")-(";
        Df(n.r, out);
        if (i == 0) out += u"))";
        DiffLogIf(u"Df", [&] {
            return Cat(u"OUT 16, _t=", spine[i], u", \\t[_t]\\opCode=", n.opCode, u", Result=",
                       std::u16string_view(out).substr(start));
        });
    }
}

// A product's derivative has the left factor's derivative inside its first term, so
// the text is the recursive one: each node opens "((" before the derivative below it.
void DerivativeOfProductChain(const ChainSpine& spine, std::u16string& out) {
    const DiffState& d = Diff();
    const size_t start = out.size();
    for (size_t i = 0; i < spine.size(); ++i)
        out += u"((";
    const auto F = [&](int32_t n) { Df_GetFormula(n, out); };
    Df(d.t[spine[spine.size() - 1]].l, out);
    for (size_t i = spine.size(); i-- > 0;) {
        const DiffNode& n = d.t[spine[i]];
        out += u")*(";
        F(n.r);
        out += n.opCode == kDcMul ? u")+(" : u")-(";
        Df(n.r, out);
        out += u")*(";
        F(n.l);
        out += u"))";
        if (n.opCode == kDcDiv) {
            out += u"/(";
            F(n.r);
            out += u")^2";
        }
        DiffLogIf(u"Df", [&] {
            return Cat(u"OUT 16, _t=", spine[i], u", \\t[_t]\\opCode=", n.opCode, u", Result=",
                       std::u16string_view(out).substr(start + 2 * i));
        });
    }
}

void DerivativeOfChain(int32_t top, std::u16string& out) {
    ChainSpine spine;
    CollectCounted(top, spine, out);
    LogChainEntries(u"Df", spine, u", Result=");
    const int32_t code = Diff().t[top].opCode;
    if (code == kDcAdd || code == kDcSub)
        DerivativeOfSumChain(spine, out);
    else
        DerivativeOfProductChain(spine, out);
}

} // namespace

std::u16string ReducedExponent(std::u16string_view exponent) {
    return FoldedText(NumberValue(exponent) - 1.0);
}

void Df_GetFormula(int32_t node, std::u16string& out) {
    DiffState& d = Diff();
    if (node == 0) return;
    NestingGuard nesting;
    ++d.derivNodes;
    if (!nesting.ok() || !DerivativeHasRoom(out)) return;
    if (ContinuesChain(node)) return FormulaOfChain(node, out);
    const size_t start = out.size();
    DiffLogIf(u"Df_GetFormula",
              [&] { return Cat(u"IN_, _t=", node, u", \\t[_t]\\opCode=", d.t[node].opCode); });
    FormulaOf(node, out);
    DiffLogIf(u"Df_GetFormula", [&] {
        return Cat(u"OUT 15, _t=", node, u", \\t[_t]\\con=", d.t[node].con, u", Result=",
                   std::u16string_view(out).substr(start));
    });
}

void Df(int32_t node, std::u16string& out) {
    DiffState& d = Diff();
    NestingGuard nesting;
    ++d.derivNodes;
    if (!nesting.ok() || !DerivativeHasRoom(out)) return;
    if (node == 0) {
        out += u"0";
        return;
    }
    if (ContinuesChain(node)) return DerivativeOfChain(node, out);
    const size_t start = out.size();
    DiffLogIf(u"Df", [&] {
        return Cat(u"IN_, _t=", node, u", \\t[_t]\\opCode=", d.t[node].opCode, u", Result=");
    });
    DerivativeOf(node, out);
    DiffLogIf(u"Df", [&] {
        return Cat(u"OUT 16, _t=", node, u", \\t[_t]\\opCode=", d.t[node].opCode, u", Result=",
                   std::u16string_view(out).substr(start));
    });
}

std::u16string Df_GetFormula(int32_t node) {
    std::u16string out;
    Df_GetFormula(node, out);
    return out;
}

std::u16string Df(int32_t node) {
    std::u16string out;
    Df(node, out);
    return out;
}

} // namespace zorbit
