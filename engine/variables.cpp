#include "engine/variables.h"

#include <algorithm>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/matrix_ops.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// Start of the entry whose key ("name=") is `key`, matching whole entries only: the key
// stands at the start of the list or right after a ";".
size_t FindEntry(std::u16string_view list, std::u16string_view key) {
    size_t p = 0;
    while ((p = list.find(key, p)) != std::u16string_view::npos) {
        if (p == 0 || list[p - 1] == u';') return p;
        ++p;
    }
    return std::u16string_view::npos;
}

std::u16string MakeKey(std::u16string_view name) {
    std::u16string key(name);
    if (!key.empty() && key.back() != u'=') key += u'=';
    return key;
}

bool Matches(std::u16string_view text, size_t at, std::u16string_view name, bool ignoreCase) {
    if (at + name.size() > text.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t a = text[at + i], b = name[i];
        if (ignoreCase ? LowerChar(a) != LowerChar(b) : a != b) return false;
    }
    return true;
}

}  // namespace

std::u16string& ListByKind(int32_t kind) {
    return kind == 0 ? Engine().vars.VarList : Engine().vars.FuncList;
}

std::u16string& ListByWord(std::u16string_view which) {
    return EqualsNoCase(which, u"vars") ? Engine().vars.VarList : Engine().vars.FuncList;
}

size_t FindWholeName(std::u16string_view text, std::u16string_view name, size_t from,
                     bool ignoreCase) {
    if (name.empty()) return std::u16string_view::npos;
    const bool identStart = IsIdentChar(name.front());
    const bool identEnd = IsIdentChar(name.back());
    const char16_t first = ignoreCase ? LowerChar(name.front()) : name.front();
    for (size_t p = from; p + name.size() <= text.size(); ++p) {
        const char16_t c = ignoreCase ? LowerChar(text[p]) : text[p];
        if (c != first || !Matches(text, p, name, ignoreCase)) continue;
        if (identStart && p > 0 && IsIdentChar(text[p - 1])) continue;
        const size_t end = p + name.size();
        if (identEnd && end < text.size() && IsIdentChar(text[end])) continue;
        return p;
    }
    return std::u16string_view::npos;
}

int32_t SetVarFunct(std::u16string_view name, std::u16string_view value, int32_t kind) {
    std::u16string& list = ListByKind(kind);
    const std::u16string key = MakeKey(ToLower(TrimSpaces(name)));
    if (!list.empty() && list.back() != u';') list += u';';
    // An empty name or a value with ";" would break the entry structure and corrupt
    // other entries: refuse it and keep the list as it is.
    if (key.empty() || key == u"=" || value.find(u';') != std::u16string_view::npos) {
        E_Error() = kErrInvalidArgument;
        ReportError(u"SetVarFunct", 0, u"Invalid name or value: '" + std::u16string(name) + u"'");
        return static_cast<int32_t>(std::count(list.begin(), list.end(), u';'));
    }
    const size_t at = FindEntry(list, key);
    if (at != std::u16string::npos) {
        const size_t valueStart = at + key.size();
        size_t valueEnd = list.find(u';', valueStart);
        if (valueEnd == std::u16string::npos) valueEnd = list.size();
        list.replace(valueStart, valueEnd - valueStart, value);
    } else {
        list += key;
        list += value;
        list += u';';
    }
    return static_cast<int32_t>(std::count(list.begin(), list.end(), u';'));
}

double FindVarFunctD(std::u16string_view name, int32_t kind, char16_t* buffer, bool report) {
    std::u16string& vars = Engine().vars.VarList;
    if (vars.empty() || vars.back() != u';') vars += u';';
    const std::u16string& list = ListByKind(kind);
    const std::u16string key = MakeKey(name);
    const size_t at = key.empty() ? std::u16string::npos : FindEntry(list, key);
    if (at == std::u16string::npos) {
        E_Error() = kErrNotFound;
        if (report)
            ReportError(u"FindVarFunctD", kind == 0 ? 460 : 485, u"VarToFind = " + key);
        return 0.0;
    }
    const size_t valueStart = at + key.size();
    size_t valueEnd = list.find(u';', valueStart);
    if (valueEnd == std::u16string::npos) valueEnd = list.size();
    const std::u16string_view value = std::u16string_view(list).substr(valueStart, valueEnd - valueStart);
    E_Error() = kFoundMarker;
    if (kind == 0) return ReadDecimal(value);
    ParserState& ps = Engine().parser;
    ps.e_tok.assign(value);
    ps.tokOwned = true;
    if (buffer) {
        value.copy(buffer, value.size());
        buffer[value.size()] = 0;
    }
    return static_cast<double>(value.size());
}

bool LookupVariable(std::u16string_view lowerName, double* value) {
    std::u16string& vars = Engine().vars.VarList;
    if (vars.empty() || vars.back() != u';') vars += u';';
    if (vars.size() <= 1) return false;
    // Whole-entry search without building a key string.
    const std::u16string_view list = vars;
    size_t p = 0;
    while ((p = list.find(lowerName, p)) != std::u16string_view::npos) {
        const size_t eq = p + lowerName.size();
        if ((p == 0 || list[p - 1] == u';') && eq < list.size() && list[eq] == u'=') {
            const size_t end = list.find(u';', eq + 1);
            *value = ReadDecimal(list.substr(eq + 1, end - eq - 1));
            return true;
        }
        ++p;
    }
    return false;
}

int32_t FindVarFunct(std::u16string_view name, int32_t kind, double* result, char16_t* buffer) {
    E_Error() = kNoError;
    const double r = FindVarFunctD(name, kind, buffer, false);
    if (E_Error() == kFoundMarker) {
        E_Error() = kNoError;
        if (result) *result = r;
        return kFoundMarker;
    }
    if (E_Error() != kErrNotFound) E_Error() = kErrInvalidArgument;
    return 0;
}

int32_t CopyVarFuncList(char16_t* buffer, int32_t capacity, std::u16string_view which) {
    const std::u16string& list = ListByWord(which);
    if (!buffer || capacity < 0) return 0;
    const size_t n = std::min(list.size(), static_cast<size_t>(capacity));
    list.copy(buffer, n);
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}

int32_t VarFuncListLength(std::u16string_view which) {
    return static_cast<int32_t>(ListByWord(which).size());
}

int32_t ClearVarFuncListByWord(std::u16string_view which) {
    ListByWord(which).clear();
    return 1;
}

int32_t ReSetZiZoruze() {
    EngineState& e = Engine();
    e.vars.VarList.clear();
    e.vars.FuncList.clear();
    ClearAllMatrices();
    e.eval.ResultType = -1;
    e.errors.MsgFlags = 0;
    RecordError(u"", 0, u"", 4);
    return 0;
}

bool ExpandFunctions(std::u16string& text) {
    const std::u16string& funcs = Engine().vars.FuncList;
    if (funcs.empty()) return true;
    std::u16string out;
    size_t entry = 0;
    while (entry < funcs.size()) {
        size_t end = funcs.find(u';', entry);
        if (end == std::u16string::npos) end = funcs.size();
        const std::u16string_view item = std::u16string_view(funcs).substr(entry, end - entry);
        entry = end + 1;
        const size_t eq = item.find(u'=');
        if (eq == std::u16string_view::npos || eq == 0) continue;
        const std::u16string_view name = item.substr(0, eq);
        const std::u16string_view body = item.substr(eq + 1);
        size_t p = FindWholeName(text, name, 0, true);
        if (p == std::u16string::npos) continue;
        out.clear();
        size_t from = 0;
        while (p != std::u16string::npos) {
            out.append(text, from, p - from);
            out += u'(';
            out += body;
            out += u')';
            if (out.size() > kMaxExpressionLength) return false;
            from = p + name.size();
            p = FindWholeName(text, name, from, true);
        }
        out.append(text, from, std::u16string::npos);
        if (out.size() > kMaxExpressionLength) return false;
        text.swap(out);
    }
    return true;
}

int32_t CheckFunctions() {
    const std::u16string& funcs = Engine().vars.FuncList;
    if (funcs.empty()) return E_Error();
    E_Error() = kNoError;
    size_t entry = 0;
    while (entry < funcs.size()) {
        size_t end = funcs.find(u';', entry);
        if (end == std::u16string::npos) end = funcs.size();
        const std::u16string_view item = std::u16string_view(funcs).substr(entry, end - entry);
        const size_t eq = item.find(u'=');
        const std::u16string_view name = item.substr(0, eq == std::u16string_view::npos ? item.size() : eq);
        if (!name.empty()) {
            const std::u16string_view all = funcs;
            const bool before = all.substr(0, entry).find(name) != std::u16string_view::npos;
            const bool after = end < all.size() && all.substr(end + 1).find(name) != std::u16string_view::npos;
            if (before || after) {
                E_Error() = kErrAmbiguousFunction;
                ReportError(u"CheckFunctions", 223,
                            u"sFuncts: " + funcs + u"\r\nFunct: " + std::u16string(name));
                return kErrAmbiguousFunction;
            }
        }
        entry = end + 1;
    }
    return E_Error();
}

}  // namespace zorbit
