#include "numeric/compiled_formula.h"

#include <cfenv>
#include <cmath>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"

namespace zorbit {

enum class CompiledFormula::Code : uint8_t {
    Neg,
    Not,
    Call,
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
};

namespace {

using Code = CompiledFormula::Code;
using Step = CompiledFormula::Step;

// The variable's place in the template: a run of private-use characters between the
// brackets the text route writes. The run is as wide as the longest x text a compiled
// point may have, so every length limit the template passes, the real text passes too.
constexpr char16_t kSlotChar = u'\uE000';
constexpr size_t kSlotWidth = 40;
// Longer templates are left to the text route: the program would be as large.
constexpr size_t kMaxTemplateLength = 1u << 20;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
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
    for (auto& c : text)
        if (c == u',') c = u'.';
    const std::u16string& funcs = Engine().vars.FuncList;
    if (!funcs.empty()) {
        if (funcs.find(kSlotChar) != std::u16string::npos) return false;
        size_t entry = 0;
        while (entry < funcs.size()) {
            size_t end = funcs.find(u';', entry);
            if (end == std::u16string::npos) end = funcs.size();
            const std::u16string_view item = std::u16string_view(funcs).substr(entry, end - entry);
            entry = end + 1;
            const size_t eq = item.find(u'=');
            if (eq == std::u16string_view::npos || eq == 0) continue; // skipped by the expansion
            if (!NameSafe(item.substr(0, eq))) return false;
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
    return found == slots;
}

// The evaluator's hexadecimal literals ("&" and letters, digits or "_"): false for a
// character that is no hexadecimal digit or more digits than 64 bits hold, which fail.
bool HexValue(std::u16string_view text, double* value) {
    uint64_t v = 0;
    int digits = 0; // significant ones: leading zeros hold nothing
    for (size_t i = 1; i < text.size(); ++i) {
        const char16_t c = text[i];
        unsigned d;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else
            return false;
        if (v != 0 || d != 0) ++digits;
        v = (v << 4) | d;
    }
    if (digits > 16) return false;
    *value = static_cast<double>(static_cast<int64_t>(v));
    return true;
}

// The evaluator's binary literals ("!" and digits): false for a digit but 0 and 1.
bool BinDigitsToInteger(std::u16string_view digits, double* value) {
    double v = 0;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t c = digits[i];
        if (c != u'0' && c != u'1') return false;
        if (c == u'1') v += std::ldexp(1.0, static_cast<int>(std::min<size_t>(n - 1 - i, 4096)));
    }
    *value = v;
    return true;
}

struct OpRow {
    int32_t level;
    int32_t right;
    Code code;
};

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

    void Next() {
        const size_t n = s_.size();
        size_t i = pos_;
        while (i < n && IsBlank(s_[i]))
            ++i;
        tok_ = Token{};
        if (i >= n) {
            pos_ = n;
            return;
        }
        const char16_t c = LowerChar(s_[i]);
        size_t j = i + 1;
        if (c == kSlotChar) {
            tok_.kind = TokKind::Slot;
            j = i + kSlotWidth;
        } else if (c == u'[') {
            tok_.kind = TokKind::Unsupported; // matrices
        } else if (c == u'#') {
            while (j < n && IsIdentChar(s_[j]))
                ++j;
            const std::u16string name = ToLower(std::u16string_view(s_).substr(i, j - i));
            Fn fn;
            if (LookupFunction(name, &fn)) {
                tok_.kind = TokKind::Const;
                tok_.fn = fn;
            } else {
                tok_.kind = TokKind::Unsupported;
            }
        } else if (c == u'&') {
            while (j < n && IsIdentChar(s_[j]))
                ++j;
            const bool ok = HexValue(std::u16string_view(s_).substr(i, j - i), &tok_.number);
            tok_.kind = ok ? TokKind::Number : TokKind::Unsupported; // an error by text
        } else if (c == u'!') {
            while (j < n && IsDigit(s_[j]))
                ++j;
            const bool ok =
                BinDigitsToInteger(std::u16string_view(s_).substr(i + 1, j - i - 1), &tok_.number);
            tok_.kind = ok ? TokKind::Number : TokKind::Unsupported;
        } else if (IsDigit(c) || c == u'.') {
            int points = c == u'.';
            for (; j < n && (IsDigit(s_[j]) || s_[j] == u'.'); ++j)
                points += s_[j] == u'.';
            // A second point is a syntax error by text.
            tok_.kind = points > 1 ? TokKind::Unsupported : TokKind::Number;
            tok_.number = ParseAsciiNumber(std::u16string_view(s_).substr(i, j - i));
        } else if ((c >= u'a' && c <= u'z') || c == u'_') {
            while (j < n && IsIdentChar(s_[j]))
                ++j;
            Identifier(ToLower(std::u16string_view(s_).substr(i, j - i)));
        } else if (c == u'<' || c == u'>') {
            if (j < n && (s_[j] == u'=' || s_[j] == u'>')) ++j;
            tok_.kind = TokKind::Op;
            tok_.text = std::u16string_view(s_).substr(i, j - i);
        } else {
            tok_.kind = TokKind::Op;
            tok_.text = std::u16string_view(s_).substr(i, 1);
        }
        pos_ = j;
    }

    // The tokenizer's order: keyword, variable, constant, built-in function.
    void Identifier(const std::u16string& name) {
        const Kw kw = KeywordOf(name);
        double value = 0;
        Fn fn;
        if (kw != Kw::None) {
            tok_.kind = TokKind::Keyword;
            tok_.kw = kw;
        } else if (LookupVariable(name, &value) || LookupConstant(name, &value)) {
            tok_.kind = TokKind::Number;
            tok_.number = RoundTo10(value);
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

    // The evaluator's operator table.
    bool OperatorOf(OpRow* row) const {
        if (tok_.kind == TokKind::Op) {
            const std::u16string_view t = tok_.text;
            if (t.size() == 1) {
                switch (t[0]) {
                case u'^':
                    *row = {11, 12, Code::Pow};
                    return true;
                case u'*':
                    *row = {10, 11, Code::Mul};
                    return true;
                case u'/':
                    *row = {10, 11, Code::Div};
                    return true;
                case u'\\':
                    *row = {9, 10, Code::IntDiv};
                    return true;
                case u'+':
                    *row = {7, 8, Code::Add};
                    return true;
                case u'-':
                    *row = {7, 8, Code::Sub};
                    return true;
                case u'=':
                    *row = {6, 7, Code::Eq};
                    return true;
                case u'<':
                    *row = {6, 7, Code::Lt};
                    return true;
                case u'>':
                    *row = {6, 7, Code::Gt};
                    return true;
                default:
                    return false;
                }
            }
            if (t == u"<>") {
                *row = {6, 7, Code::Ne};
                return true;
            }
            if (t == u"<=") {
                *row = {6, 7, Code::Le};
                return true;
            }
            if (t == u">=") {
                *row = {6, 7, Code::Ge};
                return true;
            }
            return false;
        }
        if (tok_.kind == TokKind::Keyword) {
            switch (tok_.kw) {
            case Kw::Mod:
                *row = {8, 9, Code::Mod};
                return true;
            case Kw::And:
                *row = {5, 6, Code::And};
                return true;
            case Kw::Or:
                *row = {4, 5, Code::Or};
                return true;
            case Kw::Xor:
                *row = {3, 4, Code::Xor};
                return true;
            default:
                return false;
            }
        }
        return false;
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

    void EmitUnary(Code code, Fn fn = Fn::Abs) {
        const uint32_t a = values_.back();
        values_.back() = NewRegister(0);
        out_->steps_.push_back(Step{code, fn, values_.back(), a, 0});
    }

    void EmitBinary(Code code) {
        const uint32_t b = values_.back();
        values_.pop_back();
        const uint32_t a = values_.back();
        values_.back() = NewRegister(0);
        out_->steps_.push_back(Step{code, Fn::Abs, values_.back(), a, b});
    }

    // e_prs: a primary and every following operator of at least `level`.
    bool Expr(int32_t level) {
        if (++depth_ > kMaxNesting) return false;
        if (!Primary()) return false;
        OpRow row;
        while (OperatorOf(&row) && row.level >= level) {
            Next();
            if (!Expr(row.right)) return false;
            EmitBinary(row.code);
        }
        --depth_;
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
            EmitUnary(Code::Call, fn);
            out_->callsFunctions_ = true;
            Next();
            return true;
        }
        case TokKind::Call: {
            const Fn fn = tok_.fn;
            Next();
            if (!Match(u'(') || !Expr(1) || !Match(u')')) return false;
            EmitUnary(Code::Call, fn);
            out_->callsFunctions_ = true;
            return true;
        }
        case TokKind::Keyword:
            if (tok_.kw != Kw::Not) return false; // matrix and statistics keywords
            Next();
            if (!Expr(6)) return false;
            EmitUnary(Code::Not);
            return true;
        case TokKind::Op:
            if (IsOp(u'-')) {
                Next();
                if (!Expr(11)) return false;
                EmitUnary(Code::Neg);
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
    return program;
}

bool CompiledFormula::Run(double x, double* y) {
    double* r = registers_.data();
    r[0] = x;
    const double truth = Engine().eval.TrueValue;
    // The evaluator's operators on two numbers.
    for (const Step& s : steps_) {
        const double a = r[s.a], b = r[s.b];
        double v;
        switch (s.code) {
        case Code::Neg:
            v = -a;
            break;
        case Code::Not: {
            int32_t xi = 0;
            if (!Trunc32(a, &xi)) return false; // beyond 32 bits: an error by text
            v = ~xi;
            break;
        }
        case Code::Call:
            v = CallFunction(s.fn, a);
            break;
        case Code::Pow:
            v = std::pow(a, b);
            if (std::isnan(v) && std::isfinite(a) && std::isfinite(b)) return false;
            break;
        case Code::Mul:
            v = a * b;
            break;
        case Code::Div:
            if (b == 0) return false;
            v = a / b;
            break;
        case Code::Add:
            v = a + b;
            break;
        case Code::Sub:
            v = a - b;
            break;
        case Code::IntDiv: {
            if (b == 0) return false; // the text route reports the division by zero
            int32_t q = 0;
            if (!Trunc32(std::trunc(a / b), &q)) return false;
            v = q;
            break;
        }
        case Code::Mod: {
            int32_t xi = 0, yi = 0;
            if (!Trunc32(a, &xi) || !Trunc32(b, &yi) || yi == 0) return false;
            v = yi == -1 ? 0 : xi % yi;
            break;
        }
        case Code::Eq:
            v = a == b ? truth : 0;
            break;
        case Code::Lt:
            v = a < b ? truth : 0;
            break;
        case Code::Gt:
            v = a > b ? truth : 0;
            break;
        case Code::Ne:
            v = a != b ? truth : 0;
            break;
        case Code::Le:
            v = a <= b ? truth : 0;
            break;
        case Code::Ge:
            v = a >= b ? truth : 0;
            break;
        case Code::And:
            v = (a != 0 && b != 0) ? 1 : 0;
            break;
        case Code::Or:
            v = (a != 0 || b != 0) ? 1 : 0;
            break;
        case Code::Xor:
            v = ((a != 0) != (b != 0)) ? 1 : 0;
            break;
        default:
            v = a;
            break;
        }
        r[s.d] = v;
    }
    const double v = r[result_];
    // NaN: its sign may depend on the order of operands; an infinity is error 8.
    if (std::isnan(v) || std::isinf(v)) return false;
    *y = v;
    return true;
}

} // namespace zorbit
