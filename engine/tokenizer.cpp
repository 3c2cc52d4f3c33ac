#include "engine/tokenizer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/functions.h"
#include "engine/variables.h"

namespace zorbit {

namespace {

struct KwName {
    std::u16string_view name;
    Kw kw;
};

constexpr std::array<KwName, 23> kKeywords = {{
    {u"det", Kw::Det},       {u"trace", Kw::Trace},
    {u"syst", Kw::Syst},     {u"vcoeff", Kw::Vcoeff},
    {u"min", Kw::Min},       {u"max", Kw::Max},
    {u"avg", Kw::Avg},       {u"sum", Kw::Sum},
    {u"sum2", Kw::Sum2},     {u"prod", Kw::Prod},
    {u"prod2", Kw::Prod2},   {u"stddev", Kw::Stddev},
    {u"count", Kw::Count},   {u"geom_mean", Kw::GeomMean},
    {u"median", Kw::Median}, {u"mean", Kw::Mean},
    {u"and", Kw::And},       {u"eqv", Kw::Eqv},
    {u"imp", Kw::Imp},       {u"mod", Kw::Mod},
    {u"not", Kw::Not},       {u"or", Kw::Or},
    {u"xor", Kw::Xor},
}};

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Value of a variable as a formula reads it: in Classic mode its "%.10f" text read back,
// and the last conversion is remembered, since formulas read the same variable again and
// again. Full mode reads the whole value.
double VariableValue(ParserState& ps, double stored) {
    if (FullPrecision()) return stored;
    if (ps.roundCacheValid && ps.roundCacheIn == stored) return ps.roundCacheOut;
    ps.roundCacheIn = stored;
    ps.roundCacheOut = RoundTo10(stored);
    ps.roundCacheValid = true;
    return ps.roundCacheOut;
}

// A name never clears an error read before it: the first error is the outcome.
void ClassifyIdentifier(ParserState& ps) {
    const Kw kw = KeywordOf(ps.e_tok);
    if (kw != Kw::None) {
        ps.type = Tok::Keyword;
        ps.kw = kw;
        return;
    }
    double value = 0;
    if (LookupVariable(ps.e_tok, &value)) {
        ps.type = Tok::Num;
        ps.number = VariableValue(ps, value);
        ps.replaced = true;
        return;
    }
    if (LookupAnswer(ps.e_tok, &value)) {
        ps.type = Tok::Num;
        ps.number = VariableValue(ps, value);
        ps.replaced = true;
        return;
    }
    if (LookupConstant(ps.e_tok, &value)) {
        ps.type = Tok::Num;
        ps.number = EngineValue(value);
        ps.replaced = true;
        return;
    }
    Fn fn;
    if (LookupFunction(ps.e_tok, &fn)) {
        ps.fn = static_cast<uint8_t>(fn);
        ps.fnKnown = true;
    } else if (E_Error() == ZORBIT_NO_ERROR) {
        E_Error() = ZORBIT_E_UNDEFINED_FUNCTION;
        ReportError(u"e_function", 1376, u"Undefined Function = " + ps.e_tok + u"\r\n");
    }
}

void TraceLine(std::u16string_view line) {
    DebugOut(line, u"", false);
}

void TraceEntry(const ParserState& ps) {
    const std::u16string depth = IntText(ps.nxtDepth);
    TraceLine(u"--------------------||| e_nxt(" + depth + u") ENTRY |||---------------");
    TraceLine(u"Run Count   = " + IntText(ps.RunCount));
    TraceLine(PositionLine(ps.pos, 0));
    TraceLine(u"expression  = " + ps.e_expr);
}

void TraceExit(const ParserState& ps) {
    const std::u16string depth = IntText(ps.nxtDepth);
    TraceLine(PositionLine(ps.tokStart, ps.text.size()));
    std::u16string element = u"element     = " + std::u16string(ps.text);
    if (ps.replaced) element += u" => '" + ps.TokText() + u"'";
    TraceLine(element);
    TraceLine(u"type/token  = " + ps.TypeText());
    TraceLine(u"remaining   = " + std::u16string(ps.Rest()));
    TraceLine(u"e_error     = " + IntText(E_Error()) + u" | " +
              std::u16string(ErrorDescription(E_Error())));
    TraceLine(u"--------------------||| e_nxt(" + depth + u") EXIT |||----------------");
    TraceLine(u"");
}

} // namespace

Kw KeywordOf(std::u16string_view lowerName) {
    if (lowerName.size() < 2 || lowerName.size() > 9) return Kw::None;
    // Every keyword starts with one of these letters; most names are rejected here.
    if (std::u16string_view(u"acdegimnopstvx").find(lowerName[0]) == std::u16string_view::npos)
        return Kw::None;
    for (const auto& k : kKeywords)
        if (k.name == lowerName) return k.kw;
    return Kw::None;
}

namespace {

// The scan, inlined into e_nxt: it runs for every token of every evaluation.
__attribute__((always_inline)) inline Lexeme Scan(std::u16string_view s, size_t pos) {
    Lexeme t;
    const size_t n = s.size();
    size_t i = pos;
    while (i < n && IsBlank(s[i]))
        ++i;
    t.start = t.textEnd = t.end = i;
    if (i >= n) {
        t.start = t.textEnd = t.end = n;
        return t;
    }
    const char16_t c = LowerChar(s[i]);
    size_t j = i + 1;
    if (c == u'[') {
        t.type = Tok::Matrix;
        while (j < n && s[j] != u']')
            ++j;
        if (j < n) ++j; // take the "]"; a reference that never closes ends with the text
        if (j < n && s[j - 1] == u']') {
            const char16_t u = UpperChar(s[j]);
            if (u == u'I' || u == u'T' || u == u'D') {
                t.suffix = u;
                t.textEnd = j;
                t.end = j + 1;
                return t;
            }
        }
    } else if (c == u'#' || c == u'&') {
        t.type = c == u'#' ? Tok::Const : Tok::Hex;
        while (j < n && IsIdentChar(s[j]))
            ++j;
    } else if (c == u'!') {
        t.type = Tok::Bin;
        while (j < n && IsDigit(s[j]))
            ++j;
    } else if (IsDigit(c) || c == u'.') {
        t.type = Tok::Num;
        int points = c == u'.';
        bool digits = c != u'.';
        for (; j < n && (IsDigit(s[j]) || s[j] == u'.'); ++j) {
            points += s[j] == u'.';
            digits = digits || s[j] != u'.';
        }
        t.malformed = points > 1;
        // An exponent only when digits follow the "e" (after an optional sign): "2e" and
        // "2e-x" keep the name e, and "e5" alone is a name.
        if (digits && j < n && (s[j] == u'e' || s[j] == u'E')) {
            size_t k = j + 1;
            if (k < n && (s[k] == u'+' || s[k] == u'-')) ++k;
            if (k < n && IsDigit(s[k])) {
                while (k < n && IsDigit(s[k]))
                    ++k;
                j = k;
            }
        }
    } else if ((c >= u'a' && c <= u'z') || c == u'_') {
        t.type = Tok::Id;
        while (j < n && IsIdentChar(s[j]))
            ++j;
    } else if (c == u'<' || c == u'>') {
        t.type = Tok::Op;
        if (j < n && (s[j] == u'=' || s[j] == u'>')) ++j;
    } else {
        t.type = Tok::Op;
    }
    t.textEnd = t.end = j;
    return t;
}

} // namespace

Lexeme ScanToken(std::u16string_view s, size_t pos) {
    return Scan(s, pos);
}

int32_t RadixLiteralValue(Tok type, std::u16string_view text, double* value) {
    if (type == Tok::Hex) {
        // "&" and the run of letters, digits and "_" after it, read as a 64-bit two's
        // complement integer. "&" alone is 0.
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
                return ZORBIT_E_PARSER_SYNTAX;
            if (v != 0 || d != 0) ++digits;
            v = (v << 4) | d;
        }
        if (digits > 16) return ZORBIT_E_INVALID_ARGUMENT;
        *value = static_cast<double>(static_cast<int64_t>(v));
        return ZORBIT_NO_ERROR;
    }
    if (type == Tok::Bin) {
        double v = 0;
        const size_t n = text.size();
        for (size_t i = 1; i < n; ++i) {
            const char16_t c = text[i];
            if (c != u'0' && c != u'1') return ZORBIT_E_PARSER_SYNTAX;
            if (c == u'1')
                v += std::ldexp(1.0, static_cast<int>(std::min<size_t>(n - 1 - i, 4096)));
        }
        *value = v;
        return ZORBIT_NO_ERROR;
    }
    return ZORBIT_E_PARSER_SYNTAX; // no literal
}

void StartTokenizer() {
    ParserState& ps = Engine().parser;
    ps.pos = 0;
    ps.prsDepth = 0;
    ps.type = Tok::End;
    ps.text = {};
    ps.tokOwned = false;
    ps.replaced = false;
}

int32_t e_nxt() {
    ParserState& ps = Engine().parser;
    const bool trace = DebugLogOn();
    ++ps.nxtDepth;
    if (trace) TraceEntry(ps);

    if (Engine().eval.workLeft >= 0) SpendWork(kTokenWork);
    const Lexeme t = Scan(ps.e_expr, ps.pos);
    ps.type = t.type;
    ps.kw = Kw::None;
    ps.tokOwned = false;
    ps.replaced = false;
    ps.fnKnown = false;
    ps.malformed = t.malformed;
    ps.e_suffix = t.suffix;
    ps.tokStart = t.start;
    ps.text = std::u16string_view(ps.e_expr.data() + t.start, t.textEnd - t.start);
    ps.pos = t.end;
    if (t.type == Tok::Const || t.type == Tok::Id) {
        ps.e_tok.assign(ps.text);
        for (auto& ch : ps.e_tok)
            ch = LowerChar(ch);
        ps.tokOwned = true;
        if (t.type == Tok::Id) ClassifyIdentifier(ps);
    }
    if (trace) TraceExit(ps);
    --ps.nxtDepth;
    return -1;
}

int32_t e_match(std::u16string_view expected) {
    ParserState& ps = Engine().parser;
    bool mismatch = false;
    const bool same = ps.type == Tok::Op ? ps.text == expected : ps.TypeText() == expected;
    if (E_Error() == ZORBIT_NO_ERROR && !same) {
        mismatch = true;
        E_Error() = ZORBIT_E_TOKEN_MATCH;
        ReportError(u"e_match", 1546,
                    u"Expected " + std::u16string(expected) + u", got '" + ps.TokText() + u"'\r\n");
    }
    if (DebugLogOn()) {
        TraceLine(u"--------------------||| e_match() |||---------------------");
        TraceLine((mismatch ? u"Run Count= " : u"Run Count   = ") + IntText(ps.RunCount));
        TraceLine(u"expression  = " + ps.e_expr);
        TraceLine(PositionLine(ps.tokStart, ps.text.size()));
        TraceLine(u"element     = " + ps.TokText());
        if (mismatch) {
            TraceLine(u"expected = " + std::u16string(expected) + u" ---> got = " + ps.TypeText());
        } else {
            TraceLine(u"type/token  = " + ps.TypeText());
            TraceLine(u"remaining   = " + std::u16string(ps.Rest()));
        }
        TraceLine(u"e_error  = " + IntText(E_Error()) + u" | " +
                  std::u16string(ErrorDescription(E_Error())));
    }
    e_nxt();
    return E_Error();
}

} // namespace zorbit
