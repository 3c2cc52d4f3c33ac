#include "engine/compiled_formula.h"

#include <cfenv>
#include <cmath>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/parser.h"
#include "engine/state.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"

namespace zorbit {

namespace {

using Step = CompiledFormula::Step;

// The variable's place in the template: a run of private-use characters between the
// brackets the text route writes. The run is as wide as the longest x text a compiled
// point may have, so every length limit the template passes, the real text passes too.
constexpr char16_t kSlotChar = u'\uE000';
constexpr size_t kSlotWidth = 40;
// Longer templates are left to the text route: the program would be as large.
constexpr size_t kMaxTemplateLength = 1u << 20;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
// The characters of an x text other than its brackets.
bool IsXTextChar(char16_t c) {
    return IsDigit(c) || c == u'.' || c == u'-';
}

// A custom function's name is expanded by text after the substitution. A name that
// could match part of an x text, or the slot, would expand differently in the real
// text than in the template; such a name keeps the formula on the text route.
bool NameSafe(std::u16string_view name) {
    bool onlyXText = true;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c == kSlotChar) return false;
        if (!IsXTextChar(c)) onlyXText = false;
        if (i + 1 < name.size()) {
            const char16_t d = name[i + 1];
            if (c == u'(' && IsXTextChar(d)) return false;
            if (IsXTextChar(c) && d == u')') return false;
        }
    }
    return !onlyXText;
}

// The text route's preprocessing on the template: commas become points, then the
// custom functions are expanded. False when the template cannot stand for every x text.
bool Preprocess(std::u16string& text, size_t slots) {
    bool copies = false;
    for (auto& c : text)
        if (c == u',') c = u'.';
    const std::u16string& funcs = Engine().vars.FuncList;
    if (!funcs.empty()) {
        if (funcs.find(kSlotChar) != std::u16string::npos) return false;
        size_t entry = 0;
        FunctionSignature sig;
        while (entry < funcs.size()) {
            size_t end = funcs.find(u';', entry);
            if (end == std::u16string::npos) end = funcs.size();
            const std::u16string_view item = std::u16string_view(funcs).substr(entry, end - entry);
            entry = end + 1;
            const size_t eq = item.find(u'=');
            if (eq == std::u16string_view::npos || eq == 0) continue; // skipped by the expansion
            if (!NameSafe(item.substr(0, eq))) return false;
            // A call copies its argument once per use of the parameter, or drops it.
            if (ParseSignature(item.substr(0, eq), &sig)) copies = true;
        }
        if (!ExpandFunctions(text)) return false;
    }
    if (text.size() > kMaxExpressionLength || text.size() > kMaxTemplateLength) return false;
    // A name that took a bracket of the slot with it would leave the x text unbracketed.
    size_t found = 0;
    for (size_t p = text.find(kSlotChar); p != std::u16string::npos;
         p = text.find(kSlotChar, p + kSlotWidth)) {
        if (p == 0 || text[p - 1] != u'(' || p + kSlotWidth >= text.size() ||
            text[p + kSlotWidth] != u')')
            return false;
        for (size_t k = 1; k < kSlotWidth; ++k)
            if (text[p + k] != kSlotChar) return false;
        ++found;
    }
    return found == slots || copies;
}

enum class TokKind : uint8_t { End, Number, Slot, Call, Const, Keyword, Op, Unsupported };

struct Token {
    TokKind kind = TokKind::End;
    double number = 0;
    Fn fn = Fn::Abs;
    Kw kw = Kw::None;
    std::u16string_view text;
};

} // namespace

// Reads the template as the tokenizer reads the real text, and follows the evaluator's
// recursive operator-precedence parse on the path without errors, writing the steps
// instead of computing. Anything off that path leaves the formula to the text route.
class FormulaCompiler {
  public:
    explicit FormulaCompiler(const std::u16string& text) : s_(text) {}

    bool Run(CompiledFormula& out) {
        out_ = &out;
        out.registers_.assign(1, 0.0); // x
        Next();
        if (!Expr(1) || tok_.kind != TokKind::End || values_.size() != 1) return false;
        out.result_ = values_.back();
        return true;
    }

  private:
    const std::u16string& s_;
    size_t pos_ = 0;
    Token tok_;
    int32_t depth_ = 0;
    CompiledFormula* out_ = nullptr;
    std::vector<uint32_t> values_; // registers of the operands parsed so far

    // The tokenizer's scan; the slot stands where an operator character would.
    void Next() {
        const Lexeme t = ScanToken(s_, pos_);
        const std::u16string_view text = t.Text(s_);
        tok_ = Token{};
        pos_ = t.end;
        switch (t.type) {
        case Tok::End:
            return;
        case Tok::Num:
        case Tok::Hex:
        case Tok::Bin:
            // A literal that fails is an error by text.
            tok_.kind = LiteralValue(t.type, text, t.malformed, &tok_.number) == ZORBIT_NO_ERROR
                            ? TokKind::Number
                            : TokKind::Unsupported;
            return;
        case Tok::Const: {
            Fn fn;
            if (LookupFunction(ToLower(text), &fn)) {
                tok_.kind = TokKind::Const;
                tok_.fn = fn;
            } else {
                tok_.kind = TokKind::Unsupported;
            }
            return;
        }
        case Tok::Id:
            Identifier(ToLower(text));
            return;
        case Tok::Op:
            if (text[0] == kSlotChar) {
                tok_.kind = TokKind::Slot;
                pos_ = t.start + kSlotWidth;
            } else {
                tok_.kind = TokKind::Op;
                tok_.text = text;
            }
            return;
        case Tok::Matrix:
        case Tok::Keyword:
            tok_.kind = TokKind::Unsupported;
            return;
        }
    }

    // The tokenizer's order: keyword, variable, the last answer, constant, built-in function.
    void Identifier(const std::u16string& name) {
        const Kw kw = KeywordOf(name);
        double value = 0;
        Fn fn;
        if (kw != Kw::None) {
            tok_.kind = TokKind::Keyword;
            tok_.kw = kw;
        } else if (LookupVariable(name, &value) || LookupAnswer(name, &value) ||
                   LookupConstant(name, &value)) {
            tok_.kind = TokKind::Number;
            tok_.number = EngineValue(value);
        } else if (LookupFunction(name, &fn)) {
            tok_.kind = TokKind::Call;
            tok_.fn = fn;
        } else {
            tok_.kind = TokKind::Unsupported; // undefined: error 4 on the text route
        }
    }

    bool IsOp(char16_t c) const {
        return tok_.kind == TokKind::Op && tok_.text.size() == 1 && tok_.text[0] == c;
    }

    bool OperatorOf(OpRow* row) const {
        const Tok type = tok_.kind == TokKind::Op        ? Tok::Op
                         : tok_.kind == TokKind::Keyword ? Tok::Keyword
                                                         : Tok::End;
        return BinaryOperator(type, tok_.text, tok_.kw, row);
    }

    bool Match(char16_t c) {
        if (!IsOp(c)) return false;
        Next();
        return true;
    }

    uint32_t NewRegister(double initial) {
        out_->registers_.push_back(initial);
        return static_cast<uint32_t>(out_->registers_.size() - 1);
    }

    void EmitValue(double v) { values_.push_back(NewRegister(v)); }

    void EmitUnary(Op op) {
        const uint32_t a = values_.back();
        values_.back() = NewRegister(0);
        out_->steps_.push_back(Step{op, false, Fn::Abs, values_.back(), a, 0});
    }

    void EmitCall(Fn fn) {
        const uint32_t a = values_.back();
        values_.back() = NewRegister(0);
        out_->steps_.push_back(Step{Op::Neg, true, fn, values_.back(), a, 0});
        out_->callsFunctions_ = true;
    }

    void EmitBinary(Op op) {
        const uint32_t b = values_.back();
        values_.pop_back();
        const uint32_t a = values_.back();
        values_.back() = NewRegister(0);
        out_->steps_.push_back(Step{op, false, Fn::Abs, values_.back(), a, b});
    }

    // e_prs: a primary and every following operator of at least `level`.
    bool Expr(int32_t level) {
        if (++depth_ > kMaxNesting) return false;
        if (!Primary()) return false;
        OpRow row;
        while (OperatorOf(&row) && row.level >= level) {
            Next();
            if (!Expr(row.right)) return false;
            EmitBinary(row.op);
        }
        --depth_;
        return true;
    }

    // "name(v; v; ...)": the values in registers, then one step over them.
    bool Statistics(Kw kw) {
        Next();
        if (!Match(u'(')) return false;
        std::vector<uint32_t> args;
        do {
            if (!Expr(1)) return false;
            args.push_back(values_.back());
            values_.pop_back();
        } while (Match(u';'));
        if (!Match(u')')) return false;
        const auto first = static_cast<uint32_t>(out_->statArgs_.size());
        out_->statArgs_.insert(out_->statArgs_.end(), args.begin(), args.end());
        values_.push_back(NewRegister(0));
        out_->steps_.push_back(Step{Op::Neg, false, Fn::Abs, values_.back(), first,
                                    static_cast<uint32_t>(args.size()), kw});
        out_->callsFunctions_ = true; // it writes error records as the functions do
        return true;
    }

    bool Primary() {
        switch (tok_.kind) {
        case TokKind::Number:
            EmitValue(tok_.number);
            Next();
            return true;
        case TokKind::Slot:
            // A negative x is read through a unary minus: one level deeper.
            if (depth_ + 1 > kMaxNesting) return false;
            values_.push_back(0);
            Next();
            return true;
        case TokKind::Const: {
            // "#name" is the built-in function of that name at 0.
            const Fn fn = tok_.fn;
            EmitValue(0);
            EmitCall(fn);
            Next();
            return true;
        }
        case TokKind::Call: {
            const Fn fn = tok_.fn;
            Next();
            if (!Match(u'(') || !Expr(1) || !Match(u')')) return false;
            EmitCall(fn);
            return true;
        }
        case TokKind::Keyword:
            if (IsStatistics(tok_.kw)) return Statistics(tok_.kw);
            if (tok_.kw != Kw::Not) return false; // matrix keywords
            Next();
            if (!Expr(6)) return false;
            EmitUnary(Op::Not);
            return true;
        case TokKind::Op:
            if (IsOp(u'-')) {
                Next();
                if (!Expr(11)) return false;
                EmitUnary(Op::Neg);
                return true;
            }
            if (IsOp(u'+')) {
                Next();
                return Expr(11);
            }
            if (IsOp(u'(')) {
                Next();
                return Expr(1) && Match(u')');
            }
            return false;
        case TokKind::End:
        case TokKind::Unsupported:
            return false;
        }
        return false;
    }
};

std::unique_ptr<CompiledFormula> CompiledFormula::Compile(std::u16string_view formula,
                                                          std::u16string_view var) {
    // The value of an x text is computed, not read, which holds in the default rounding.
    if (std::fegetround() != FE_TONEAREST) return nullptr;
    if (formula.find(kSlotChar) != std::u16string_view::npos) return nullptr;
    std::u16string text;
    size_t slots = 0, from = 0;
    for (size_t p = FindWholeName(formula, var, 0, false); p != std::u16string_view::npos;
         p = FindWholeName(formula, var, from, false)) {
        text.append(formula, from, p - from);
        text += u'(';
        text.append(kSlotWidth, kSlotChar);
        text += u')';
        from = p + var.size();
        ++slots;
        if (text.size() > kMaxTemplateLength) return nullptr;
    }
    text.append(formula, from);
    if (!Preprocess(text, slots)) return nullptr;
    // Looking a name up may end the variable list with ";"; the text route does that
    // only when it reads the name, so the list is left as it was.
    std::u16string& vars = Engine().vars.VarList;
    const size_t varsLength = vars.size();
    auto program = std::make_unique<CompiledFormula>();
    const bool ok = FormulaCompiler(text).Run(*program);
    if (vars.size() != varsLength) vars.resize(varsLength);
    if (!ok) return nullptr;
    program->PlanBlocks();
    return program;
}

void CompiledFormula::PlanBlocks() {
    constexpr size_t kMaxBlockSteps = 1024; // 2 MiB of lanes
    blocks_ = steps_.size() <= kMaxBlockSteps;
    for (const Step& s : steps_)
        if ((s.call && s.fn == Fn::Rnd) || s.stat != Kw::None) blocks_ = false;
    if (!blocks_) return;
    laneOf_.assign(registers_.size(), -1);
    laneOf_[0] = 0;
    int32_t lanes = 1;
    for (const Step& s : steps_)
        if (laneOf_[s.d] < 0) laneOf_[s.d] = lanes++;
    lanes_.assign(static_cast<size_t>(lanes) * kBlock, 0.0);
}

namespace {

// One operator over a block: a and b advance by their strides (0 for a constant).
template <Op op>
void OperatorLanes(const double* a, size_t sa, const double* b, size_t sb, double* d, bool* bad,
                   size_t n, double truth) {
    for (size_t i = 0; i < n; ++i) {
        const OpResult o = ApplyNumberOp(op, a[i * sa], b[i * sb], truth);
        d[i] = o.value;
        bad[i] |= o.fault != OpFault::None;
    }
}

using LanesFn = void (*)(const double*, size_t, const double*, size_t, double*, bool*, size_t,
                         double);

LanesFn LanesOf(Op op) {
    switch (op) {
    case Op::Pow:
        return OperatorLanes<Op::Pow>;
    case Op::Mul:
        return OperatorLanes<Op::Mul>;
    case Op::Div:
        return OperatorLanes<Op::Div>;
    case Op::IntDiv:
        return OperatorLanes<Op::IntDiv>;
    case Op::Mod:
        return OperatorLanes<Op::Mod>;
    case Op::Add:
        return OperatorLanes<Op::Add>;
    case Op::Sub:
        return OperatorLanes<Op::Sub>;
    case Op::Eq:
        return OperatorLanes<Op::Eq>;
    case Op::Lt:
        return OperatorLanes<Op::Lt>;
    case Op::Gt:
        return OperatorLanes<Op::Gt>;
    case Op::Ne:
        return OperatorLanes<Op::Ne>;
    case Op::Le:
        return OperatorLanes<Op::Le>;
    case Op::Ge:
        return OperatorLanes<Op::Ge>;
    case Op::And:
        return OperatorLanes<Op::And>;
    case Op::Or:
        return OperatorLanes<Op::Or>;
    case Op::Xor:
        return OperatorLanes<Op::Xor>;
    case Op::Neg:
        return OperatorLanes<Op::Neg>;
    case Op::Not:
        return OperatorLanes<Op::Not>;
    }
    return OperatorLanes<Op::Neg>;
}

} // namespace

void CompiledFormula::RunBlock(const double* x, double* y, bool* bad, size_t n) {
    double* lanes = lanes_.data();
    std::copy(x, x + n, lanes);
    std::fill(bad, bad + n, false);
    const double truth = Engine().eval.TrueValue;
    int32_t& error = E_Error();
    // A register's values and their stride: a constant is one value for every point.
    const auto in = [&](uint32_t reg, size_t* stride) -> const double* {
        const int32_t lane = laneOf_[reg];
        *stride = lane < 0 ? 0 : 1;
        return lane < 0 ? &registers_[reg] : lanes + static_cast<size_t>(lane) * kBlock;
    };
    for (const Step& s : steps_) {
        size_t sa = 0, sb = 0;
        const double* a = in(s.a, &sa);
        double* d = lanes + static_cast<size_t>(laneOf_[s.d]) * kBlock;
        if (s.call) {
            for (size_t i = 0; i < n; ++i) {
                d[i] = CallFunction(s.fn, a[i * sa]);
                if (error != ZORBIT_NO_ERROR) {
                    bad[i] = true;
                    error = ZORBIT_NO_ERROR;
                }
            }
            continue;
        }
        const double* b = in(s.b, &sb);
        LanesOf(s.op)(a, sa, b, sb, d, bad, n, truth);
    }
    size_t stride = 0;
    const double* r = in(result_, &stride);
    for (size_t i = 0; i < n; ++i) {
        const double v = r[i * stride];
        y[i] = v;
        bad[i] |= std::isnan(v) || std::isinf(v);
    }
}

bool CompiledFormula::Run(double x, double* y) {
    double* r = registers_.data();
    r[0] = x;
    const double truth = Engine().eval.TrueValue;
    for (const Step& s : steps_) {
        if (s.call) {
            r[s.d] = CallFunction(s.fn, r[s.a]);
            continue;
        }
        if (s.stat != Kw::None) {
            statValues_.resize(s.b);
            for (uint32_t k = 0; k < s.b; ++k)
                statValues_[k] = r[statArgs_[s.a + k]];
            r[s.d] = StatisticsOf(s.stat, statValues_.data(), s.b);
            continue;
        }
        // A fault is the text route's to report.
        const OpResult o = ApplyNumberOp(s.op, r[s.a], r[s.b], truth);
        if (o.fault != OpFault::None) return false;
        r[s.d] = o.value;
    }
    const double v = r[result_];
    // NaN: its sign may depend on the order of operands; an infinity is error 8.
    if (std::isnan(v) || std::isinf(v)) return false;
    *y = v;
    return true;
}

} // namespace zorbit
