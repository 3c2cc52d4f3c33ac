#include "engine/errors.h"

#include <algorithm>
#include <array>

#include "common/number_text.h"
#include "engine/host_hooks.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// The records grow with every error; past this size the oldest records go, so a long
// batch of failing lines cannot exhaust memory.
constexpr size_t kMaxRecordText = 4u << 20;

const std::array<std::u16string_view, kErrorTableSize>& ErrorTable() {
    static const std::array<std::u16string_view, kErrorTableSize> table = [] {
        std::array<std::u16string_view, kErrorTableSize> t{};
        // Matrix functions.
        t[0] = u"No Error                       (Module: aMatr)";
        t[1] = u"Undefined error (exit before completion) (Module: aMatr)";
        t[5] = u"Orders not equal               (Module: aMatr)";
        t[6] = u"Orders not valid               (Module: aMatr)";
        t[7] = u"Matrix not squared             (Module: aMatr)";
        t[8] = u"Matrix singolar                (Module: aMatr)";
        t[9] = u"Invalid Parameter              (Module: aMatr)";
        t[10] = u"Vector expected not Matrix     (Module: aMatr)";
        t[11] = u"Wrong Matrix rank              (Module: aMatr)";
        t[12] = u"Wrong vector of points         (Module: aMatr)";
        t[16] = u"Matrix not defined            (Module: aMatr)";
        t[17] = u"Matrix is Zero                (Module: aMatr)";
        t[18] = u"Invalid aElemOrder            (Module: aMatr)";
        // Expression engine.
        t[29] = u"No Error                     (Module: eval)";
        t[30] = u"Undefined error (exit before completion) (Module: eval)";
        t[31] = u"Ambiguous function name      (Module: eval)";
        t[32] = u"Evaluator syntax error       (Module: eval)";
        t[33] = u"Parser syntax error          (Module: eval)";
        t[34] = u"Undefined function           (Module: eval)";
        t[35] = u"Returned Value not defined   (Module: eval)";
        t[36] = u"Token match / syntax error   (Module: eval)";
        t[37] = u"Parameter/Element Not Found  (Module: eval)";
        t[38] = u"Division by zero             (Module: eval & sDiff)";
        t[39] = u"Expression/value not integer (Module: eval)";
        t[40] = u"Condition/Matrix not found   (Module: eval)";
        t[41] = u"Wrong string matrix          (Module: eval)";
        t[42] = u"No enought matrix elements   (Module: eval)";
        t[43] = u"Invalid parameter/argument   (Module: eval)";
        t[44] = u"Matrix not defined/found     (Module: eval)";
        t[46] = u"Undefined Custom Variable    (Module: eval)";
        t[47] = u"Undefined Custom Function    (Module: eval)";
        t[48] = u"Undefined Constant           (Module: eval)";
        t[55] = u"Undefined Command/Keyword    (Module: eval)";
        t[56] = u"Call from inside a hook refused (Module: eval)";
        // Differentiation.
        t[59] = u"No Error                     (Module: sDiff)";
        t[60] = u"Undefined error (procedure exit before completion)  (Module: sDiff)";
        t[61] = u"Too Long Formula             (Module: sDiff)";
        t[62] = u"Wrong Number                 (Module: sDiff)";
        t[63] = u"Wrong First Operand          (Module: sDiff)";
        t[64] = u"Wrong Brackets               (Module: sDiff)";
        t[65] = u"Wrong Power Nr (x^?)         (Module: sDiff)";
        t[66] = u"Error in formula             (Module: sDiff)";
        t[67] = u"Empty Formula                (Module: sDiff)";
        return t;
    }();
    return table;
}

// A text a record quotes (the expression, what remains of it, a token): a formula of
// megabytes would otherwise be copied into each record several times over, and the log
// would only drop most of it again.
constexpr size_t kMaxQuotedText = 64u << 10;

void AppendQuoted(std::u16string& out, std::u16string_view text) {
    if (text.size() <= kMaxQuotedText) {
        out += text;
        return;
    }
    size_t cut = kMaxQuotedText;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut; // never half a character
    out += text.substr(0, cut);
    out += u" ... (" + IntText(static_cast<long long>(text.size())) + u" characters)";
}

// Keeps a growing log under its cap by dropping whole records from the front.
void CapLog(std::u16string& log) {
    if (log.size() <= kMaxRecordText) return;
    size_t cut = log.size() - kMaxRecordText / 2;
    const size_t next = log.find(u"\r\nProcedure : '", cut);
    if (next != std::u16string::npos) cut = next;
    log.erase(0, cut);
}

std::u16string_view StripFinalNewline(std::u16string_view s) {
    while (!s.empty() && (s.back() == u'\n' || s.back() == u'\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::u16string_view ErrorDescription(int32_t code) {
    long index = static_cast<long>(code) + kErrorTableBase;
    if (index < 0 || index >= kErrorTableSize) index = ZORBIT_E_UNDEFINED_COMMAND + kErrorTableBase;
    return ErrorTable()[static_cast<size_t>(index)];
}

std::u16string PositionLine(size_t offset, size_t tokenLength) {
    std::u16string line = u"pos(";
    std::u16string num = IntText(static_cast<long long>(offset));
    while (num.size() < 3)
        num.insert(num.begin(), u'0');
    line += num;
    line += u")    = ";
    line.append(std::min(offset, kMaxQuotedText), u'-');
    line += u'|';
    if (tokenLength >= 2) {
        line.append(std::min(tokenLength - 2, kMaxQuotedText), u'-');
        line += u'|';
    }
    return line;
}

const std::u16string& RecordError(std::u16string_view procedure, int32_t line,
                                  std::u16string_view extra, int32_t mode) {
    ErrorState& es = Engine().errors;
    switch (mode) {
    case 1: {
        const ParserState& ps = Engine().parser;
        std::u16string record = u"Procedure : '";
        record += procedure;
        record += u" (Line: " + IntText(line) + u")'\r\n";
        record += u"Error nr. : " + IntText(es.e_error) + u", Description: ";
        record += ErrorDescription(es.e_error);
        // The caller's extra text is what explains the error; it gets a line of its own.
        const std::u16string_view more = StripFinalNewline(extra);
        if (!more.empty()) {
            record += u"\r\n";
            record += more;
        }
        std::u16string info = u"Extended Error Info:\r\n  expression  : ";
        AppendQuoted(info, ps.e_expr);
        info += u"\r\n  ";
        info += PositionLine(ps.pos, ps.text.size());
        info += u"\r\n  element     : ";
        AppendQuoted(info, ps.TokText());
        info += u"\r\n  type/token  : " + ps.TypeText();
        info += u"\r\n  remaining   : ";
        AppendQuoted(info, ps.Rest());
        info += u"\r\n";
        es.LastErrInfo = record + u"\r\n" + info;
        es.ErrMsgs += u"\r\n";
        es.ErrMsgs += record;
        es.ErrMsgs += u"\r\n";
        es.ErrMsgs += es.LastErrInfo;
        es.ErrMsgs += u"\r\n";
        CapLog(es.ErrMsgs);
        return es.ErrMsgs;
    }
    case 4:
        es.ErrMsgs.clear();
        es.LastErrInfo.clear();
        return es.ErrMsgs;
    case 8:
        return es.LastErrInfo;
    default:
        return es.ErrMsgs;
    }
}

void MarkErrorPlace() {
    ErrorState& es = Engine().errors;
    // The first failure of a reading marks where it failed; the reading may go on.
    if (Engine().eval.InEvaluation && es.firstErrorTok == std::u16string::npos)
        es.firstErrorTok = Engine().parser.tokStart;
}

const std::u16string& ReportError(std::u16string_view procedure, int32_t line,
                                  std::u16string_view extra) {
    MarkErrorPlace();
    return RecordError(procedure, line, extra, 1);
}

void DebugOut(std::u16string_view text, std::u16string_view title, bool show) {
    ErrorState& es = Engine().errors;
    if (es.DebugMode == 0 || (es.DebugMode & 1)) return;
    if ((es.DebugMode & 2) && show) {
        ShowMessageBox(title, text, ZORBIT_MB_OK, ZORBIT_ID_OK);
    } else if (es.DebugMode & 4) {
        es.DebugLog += u"\r\n";
        es.DebugLog += text;
        CapLog(es.DebugLog);
    }
}

const char16_t* GetErrorDescriptionText(int32_t code, bool extended) {
    ErrorState& es = Engine().errors;
    if (code == -99) code = es.e_error;
    std::u16string text(ErrorDescription(code));
    if (extended) {
        text += u" | ";
        text += es.ErrMsgs;
    }
    es.descrResult = std::move(text);
    return es.descrResult.c_str();
}

namespace {

int32_t CopyLog(const std::u16string& source, std::u16string_view heading, char16_t* buffer,
                int32_t capacity, bool show) {
    const long long bytes = static_cast<long long>(source.size()) * 2;
    const int32_t size = bytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bytes);
    if (capacity <= 0 || !buffer) return size;
    const size_t n = std::min(source.size(), static_cast<size_t>(capacity) - 1);
    source.copy(buffer, n);
    buffer[n] = 0;
    if (show) {
        std::u16string message(heading);
        message += source;
        if (source.empty()) message += u"\r\nNone";
        if (ShowMessageBox(u"Zorbit.dll", message, ZORBIT_MB_YESNO | ZORBIT_MB_ICONWARNING,
                           ZORBIT_ID_NO) == ZORBIT_ID_YES)
            PutOnClipboard(message);
    }
    return size;
}

} // namespace

int32_t CopyErrorMsgs(char16_t* buffer, int32_t capacity, bool show) {
    return CopyLog(Engine().errors.ErrMsgs, u"ERROR MESSAGES:\r\n(Yes => copy to Clipboard)\r\n",
                   buffer, capacity, show);
}

int32_t CopyDebugLog(char16_t* buffer, int32_t capacity, bool show) {
    return CopyLog(Engine().errors.DebugLog, u"DEBUG LOG:\r\n(Yes => copy to Clipboard)\r\n",
                   buffer, capacity, show);
}

int32_t ReportErrorLength(std::u16string_view procedure, int32_t line, std::u16string_view extra) {
    return static_cast<int32_t>(ReportError(procedure, line, extra).size());
}

void RecordGuardFailure(int32_t code) noexcept {
    try {
        E_Error() = code;
        ReportError(u"guarded", 0, u"Out of memory or internal failure");
    } catch (...) {
        // Not even the record fits: the code alone tells the caller.
        E_Error() = code;
    }
}

} // namespace zorbit
