#include "derive/diff_parser.h"

#include <algorithm>

#include "derive/diff_log.h"
#include "engine/function_table.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// Names are case-sensitive: "Sin" is a plain name.
int32_t NameCode(std::u16string_view name) {
    const FunctionRow* row = FindFunction(name, kDerivativeName);
    return row != nullptr ? row->node : kDcName;
}

int32_t OperatorCode(char16_t c) {
    switch (c) {
    case u'(':
        return kDcOpen;
    case u')':
        return kDcClose;
    case u'+':
        return kDcAdd;
    case u'-':
        return kDcSub;
    case u'*':
        return kDcMul;
    case u'/':
        return kDcDiv;
    case u'^':
        return kDcPow;
    default:
        return kDcEnd;
    }
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsNameChar(char16_t c) {
    return IsLetter(c) || IsDigit(c);
}

int32_t TextLength(std::u16string_view s) {
    return static_cast<int32_t>(s.size());
}

// The character at the 1-based position p, 0 past the end.
char16_t At(std::u16string_view s, int32_t p) {
    return p >= 1 && p <= TextLength(s) ? s[static_cast<size_t>(p - 1)] : char16_t{0};
}

void SetNode(int32_t n, int32_t opCode, std::u16string_view con, int32_t l, int32_t r) {
    if (n == 0) return; // the table was full; the call fails through the error flag
    DiffNode& node = Diff().t[n];
    node.opCode = opCode;
    node.con = con;
    node.l = l;
    node.r = r;
}

void ReportParse(std::u16string_view message, int32_t code) {
    ERR(message);
    E_Error() = code;
}

// Reads a name that starts at pos; "_" may begin a name but not continue it.
std::u16string_view ReadName(std::u16string_view s) {
    DiffState& d = Diff();
    const int32_t start = d.pos;
    ++d.pos;
    while (IsNameChar(At(s, d.pos)))
        ++d.pos;
    return s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(d.pos - start));
}

bool SkipDigits(std::u16string_view s) {
    DiffState& d = Diff();
    if (!IsDigit(At(s, d.pos))) return false;
    while (IsDigit(At(s, d.pos)))
        ++d.pos;
    return true;
}

} // namespace

NestingGuard::NestingGuard() {
    DiffState& d = Diff();
    ok_ = ++d.depth <= kMaxDiffNesting;
    if (!ok_ && !d.tooDeep) {
        d.tooDeep = true;
        ERR(u"Too deep nesting");
    }
}

NestingGuard::~NestingGuard() {
    --Diff().depth;
}

void ERR(std::u16string_view message) {
    DiffState& d = Diff();
    d.errorFlag = 1;
    if (d.firstError.empty()) d.firstError = message.empty() ? u"Unexpected token" : message;
    DiffLogIf(u"Error", [&] { return Cat(u"ERR, (", message, u")"); });
}

int32_t NewNode() {
    DiffState& d = Diff();
    DiffLogIf(u"NewNode", [&] { return Cat(u"IN_, \\Index=", d.Index); });
    ++d.Index;
    if (d.Index > kMaxDiffNodes) {
        // Allocation starts over; the call fails through the error flag, and the parser
        // reads no further.
        d.Index = 0;
        d.tooLong = true;
        ReportParse(u"Too long formula", 1);
        DiffLogIf(u"NewNode", [&] { return Cat(u"OUT 10, \\Index=", d.Index); });
        return 0;
    }
    if (static_cast<size_t>(d.Index) >= d.t.size()) {
        // Doubling keeps the growth linear; the ceiling above bounds it.
        d.t.resize(std::min(d.t.size() * 2, static_cast<size_t>(kMaxDiffNodes) + 1));
    }
    DiffNode& node = d.t[d.Index];
    node.opCode = 0;
    node.con.clear();
    node.l = 0;
    node.r = 0;
    DiffLogIf(u"NewNode", [&] { return Cat(u"OUT 10, \\Index=", d.Index); });
    return d.Index;
}

void ReleaseNodes() {
    DiffState& d = Diff();
    d.Index = 0;
    if (d.t.size() > static_cast<size_t>(kDiffNodesAtStart) + 1) {
        d.t.resize(static_cast<size_t>(kDiffNodesAtStart) + 1);
        d.t.shrink_to_fit();
    }
}

void StartParse() {
    DiffState& d = Diff();
    d.pos = 1;
    d.bc = 0;
    d.prevCode = 0;
    d.lastCode = 0;
    d.c.clear();
}

std::u16string_view GetNumber(std::u16string_view s) {
    DiffState& d = Diff();
    const int32_t start = d.pos;
    DiffLogIf(u"GetNumber", [&] { return Cat(u"IN_, \\pos=", d.pos, u", car=", At(s, d.pos)); });
    bool wrong = false;
    SkipDigits(s);
    if (At(s, d.pos) == u'.') {
        ++d.pos;
        if (!SkipDigits(s)) wrong = true;
    }
    if (!wrong && (At(s, d.pos) == u'e' || At(s, d.pos) == u'E')) {
        ++d.pos;
        if (At(s, d.pos) == u'+' || At(s, d.pos) == u'-') ++d.pos;
        if (!SkipDigits(s)) wrong = true;
    }
    const std::u16string_view number =
        s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(d.pos - start));
    if (wrong) {
        ReportParse(u"Wrong number.", 2);
        DiffLogIf(u"GetNumber", [&] { return Cat(u"OUT 7, \\pos=", d.pos, u", Result=", number); });
    } else if (d.pos > TextLength(s)) {
        DiffLogIf(u"GetNumber", [&] {
            return Cat(u"OUT 5, \\pos=", d.pos, u" > Len(s)=", TextLength(s), u", Result=", number);
        });
    } else {
        DiffLogIf(u"GetNumber", [&] {
            return Cat(u"OUT 6, \\pos=", d.pos, u", car=", At(s, d.pos), u", Result=", number);
        });
    }
    return number;
}

void GetLex(std::u16string_view s, int32_t& code, std::u16string& text) {
    DiffState& d = Diff();
    ++d.lexCalls;
    DiffLogIf(u"GetLex",
              [&] { return Cat(u"IN_ ", d.lexCalls, u", \\pos=", d.pos, u", lNum=", code); });
    text.clear();
    const int32_t length = TextLength(s);
    // Past the node table's ceiling the rest of the text is not worth reading.
    if (d.tooLong) d.pos = length + 1;
    while (d.pos <= length && At(s, d.pos) == u' ')
        ++d.pos;
    if (d.pos > length) {
        code = kDcEnd;
        DiffLogIf(u"GetLex", [&] {
            return Cat(u"OUT 8, con=", text, u", \\pos=", d.pos, u" > Len(s)=", length);
        });
        return;
    }
    const char16_t ch = At(s, d.pos);
    int32_t next = code;
    if (ch == u'-' && IsDigit(At(s, d.pos + 1)) &&
        (d.lastCode == kDcEnd || d.lastCode == kDcOpen)) {
        // A minus at the start or after "(" begins a negative number.
        ++d.pos;
        text = u"-";
        text += GetNumber(s);
        next = kDcNum;
    } else if (const int32_t op = OperatorCode(ch); op != kDcEnd) {
        text.assign(1, ch);
        ++d.pos;
        next = op;
    } else if (IsLetter(ch) || ch == u'_') {
        const std::u16string_view name = ReadName(s);
        text.assign(name);
        next = NameCode(name);
    } else if (IsDigit(ch)) {
        text.assign(GetNumber(s));
        next = kDcNum;
    } else {
        ++d.pos; // a stray character: no new token, the code stays
    }
    d.prevCode = d.lastCode;
    d.lastCode = next;
    code = next;
    DiffLogIf(u"GetLex",
              [&] { return Cat(u"OUT 9, con=", text, u", \\pos=", d.pos, u", lNum=", code); });
}

int32_t GetTreeExpr(std::u16string_view s) {
    DiffState& d = Diff();
    NestingGuard nesting;
    DiffLogIf(u"GetTreeExpr", [&] { return Cat(u"IN_, gtNum=", d.lastCode); });
    int32_t code = kDcEnd;
    if (!nesting.ok()) {
        // Too deep: give up the rest of the text so every caller unwinds at once.
        d.pos = TextLength(s) + 1;
        DiffLogIf(u"GetTreeExpr", [&] { return Cat(u"OUT 1, gtNum=", code, u", Result=", 0); });
        return 0;
    }
    int32_t left = GetOp(s, code);
    for (;;) {
        if (code == kDcEnd || code == kDcClose) {
            if (code == kDcClose) --d.bc;
            DiffLogIf(u"GetTreeExpr",
                      [&] { return Cat(u"OUT 1, gtNum=", code, u", Result=", left); });
            return left;
        }
        if (code != kDcAdd && code != kDcSub) {
            DiffLogIf(u"GetTreeExpr", [&] { return Cat(u"OUT 2, gtNum=", code, u", Error="); });
            ERR(u"");
        }
        const int32_t op = code;
        const int32_t right = GetOp(s, code);
        const int32_t n = NewNode();
        SetNode(n, op, u"", left, right);
        left = n;
    }
}

int32_t GetOp(std::u16string_view s, int32_t& code) {
    DiffState& d = Diff();
    DiffLogIf(u"GetOp", [&] { return Cat(u"IN_, gtNum=", d.lastCode, u", c=", d.c); });
    GetLex(s, code, d.c);
    bool negate = false;
    if (d.prevCode == kDcEnd || d.prevCode == kDcOpen) {
        if (code == kDcSub) {
            negate = true;
            GetLex(s, code, d.c);
        } else if (code == kDcAdd) {
            GetLex(s, code, d.c);
        }
    }
    int32_t left = GetSingleOp(s, code);
    while (code == kDcMul || code == kDcDiv) {
        const int32_t op = code;
        GetLex(s, code, d.c);
        const int32_t right = GetSingleOp(s, code);
        const int32_t n = NewNode();
        SetNode(n, op, u"", left, right);
        left = n;
    }
    if (negate) {
        // The sign covers the whole product: "-x*2" is -(x*2).
        const int32_t n = NewNode();
        SetNode(n, kDcNeg, u"", left, 0);
        left = n;
    }
    DiffLogIf(u"GetOp", [&] {
        return Cat(u"OUT 13, gtNum=", code, u", opCode=", d.t[left].opCode, u", Result(l)=", left);
    });
    return left;
}

namespace {

// Exponents: one number or one name, optionally in one pair of brackets.
int32_t ReadPowers(std::u16string_view s, int32_t& code, int32_t base) {
    DiffState& d = Diff();
    int32_t result = base;
    while (code == kDcPow) {
        GetLex(s, code, d.c);
        const bool bracketed = code == kDcOpen;
        if (bracketed) GetLex(s, code, d.c);
        if (code != kDcName && code != kDcNum)
            ReportParse(u"GetSingleOp: Power Symbol: lgtNum <> 7", 5);
        const int32_t exponent = NewNode();
        SetNode(exponent, code, d.c, 0, 0);
        const int32_t power = NewNode();
        SetNode(power, kDcPow, u"", result, exponent);
        result = power;
        if (bracketed) {
            GetLex(s, code, d.c);
            if (code != kDcClose)
                ReportParse(u"GetSingleOp: Power Symbol: lgtNum <> 2 - bracket =1", 5);
        }
        GetLex(s, code, d.c);
    }
    return result;
}

int32_t ReadFunctionCall(std::u16string_view s, int32_t& code) {
    DiffState& d = Diff();
    const int32_t function = code;
    const std::u16string name = d.c;
    GetLex(s, code, d.c);
    if (code != kDcOpen) ReportParse(u"GetSingleOp: Function: Wrong brackets", 4);
    ++d.bc;
    // The function node comes before its argument's nodes.
    const int32_t n = NewNode();
    const int32_t argument = GetTreeExpr(s);
    SetNode(n, function, name, argument, 0);
    return n;
}

} // namespace

int32_t GetSingleOp(std::u16string_view s, int32_t& code) {
    DiffState& d = Diff();
    DiffLogIf(u"GetSingleOp", [&] { return Cat(u"IN_, gtNum=", code, u", \\bc=", d.bc); });
    int32_t result = 0;
    if (code == kDcOpen) {
        ++d.bc;
        result = GetTreeExpr(s);
    } else if (code == kDcEnd) {
        // The text ended where an operand belongs ("x+", "sin("): nothing more to read,
        // and reading on as if it were a function would never end.
        ReportParse(u"GetSingleOp: Function: Wrong first operand", 3);
        DiffLogIf(u"GetSingleOp", [&] {
            return Cat(u"OUT 11, c=", d.c, u", gtNum=", code, u", opCode=", 0, u", Result(l)=", 0);
        });
        return 0;
    } else if (code == kDcNum || code == kDcName) {
        result = NewNode();
        SetNode(result, code, d.c, 0, 0);
    } else {
        if (!IsFunctionCode(code)) ReportParse(u"GetSingleOp: Function: Wrong first operand", 3);
        result = ReadFunctionCall(s, code);
    }
    GetLex(s, code, d.c);
    result = ReadPowers(s, code, result);
    DiffLogIf(u"GetSingleOp", [&] {
        return Cat(u"OUT 11, c=", d.c, u", gtNum=", code, u", opCode=", d.t[result].opCode,
                   u", Result(l)=", result);
    });
    return result;
}

} // namespace zorbit
