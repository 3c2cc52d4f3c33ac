#include "engine/variables.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/matrix_ops.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// A list that does not end with ";" gets one, so that the next entry starts after it.
void CloseList(std::u16string& list, ListIndex& index) {
    if (!list.empty() && list.back() == u';') return;
    index.Sync(list); // in step with the text before it grows
    list += u';';
    index.Appended(list);
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

} // namespace

std::u16string& ListByKind(int32_t kind) {
    return kind == 0 ? Engine().vars.VarList : Engine().vars.FuncList;
}

std::u16string& ListByWord(std::u16string_view which) {
    return EqualsNoCase(which, u"vars") ? Engine().vars.VarList : Engine().vars.FuncList;
}

ListIndex& IndexByKind(int32_t kind) {
    return kind == 0 ? Engine().vars.varIndex : Engine().vars.funcIndex;
}

int32_t ClearVarFuncList(std::u16string_view which) {
    const bool vars = EqualsNoCase(which, u"vars");
    ListByWord(which).clear();
    IndexByKind(vars ? 0 : 1).Cleared();
    return 1;
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
    ListIndex& index = IndexByKind(kind);
    const std::u16string key = MakeKey(ToLower(TrimSpaces(name)));
    if (!list.empty()) CloseList(list, index);
    // An empty name or a value with ";" would break the entry structure and corrupt
    // other entries: refuse it and keep the list as it is.
    if (key.empty() || key == u"=" || value.find(u';') != std::u16string_view::npos) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"SetVarFunct", 0, u"Invalid name or value: '" + std::u16string(name) + u"'");
        return static_cast<int32_t>(index.Semicolons(list));
    }
    const size_t at = index.FindEntry(list, key);
    if (at != std::u16string::npos) {
        const size_t valueStart = at + key.size();
        size_t valueEnd = list.find(u';', valueStart);
        if (valueEnd == std::u16string::npos) valueEnd = list.size();
        list.replace(valueStart, valueEnd - valueStart, value);
        index.Resized(list, valueStart,
                      static_cast<std::ptrdiff_t>(value.size()) -
                          static_cast<std::ptrdiff_t>(valueEnd - valueStart));
    } else {
        list += key;
        list += value;
        list += u';';
        index.Appended(list);
    }
    return static_cast<int32_t>(index.Semicolons(list));
}

double FindVarFunctD(std::u16string_view name, int32_t kind, char16_t* buffer, bool report) {
    std::u16string& vars = Engine().vars.VarList;
    CloseList(vars, Engine().vars.varIndex);
    const std::u16string& list = ListByKind(kind);
    const std::u16string key = MakeKey(name);
    const size_t at = key.empty() ? std::u16string::npos : IndexByKind(kind).FindEntry(list, key);
    if (at == std::u16string::npos) {
        E_Error() = ZORBIT_E_NOT_FOUND;
        if (report) ReportError(u"FindVarFunctD", kind == 0 ? 460 : 485, u"VarToFind = " + key);
        return 0.0;
    }
    const size_t valueStart = at + key.size();
    size_t valueEnd = list.find(u';', valueStart);
    if (valueEnd == std::u16string::npos) valueEnd = list.size();
    const std::u16string_view value =
        std::u16string_view(list).substr(valueStart, valueEnd - valueStart);
    E_Error() = ZORBIT_FOUND;
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
    ListIndex& index = Engine().vars.varIndex;
    CloseList(vars, index);
    if (vars.size() <= 1) return false;
    const size_t at = index.FindName(vars, lowerName);
    if (at == std::u16string::npos) return false;
    const size_t eq = at + lowerName.size();
    const size_t end = vars.find(u';', eq + 1);
    *value = ReadDecimal(std::u16string_view(vars).substr(eq + 1, end - eq - 1));
    return true;
}

int32_t FindVarFunct(std::u16string_view name, int32_t kind, double* result, char16_t* buffer) {
    E_Error() = ZORBIT_NO_ERROR;
    const double r = FindVarFunctD(name, kind, buffer, false);
    if (E_Error() == ZORBIT_FOUND) {
        E_Error() = ZORBIT_NO_ERROR;
        if (result) *result = r;
        return ZORBIT_FOUND;
    }
    if (E_Error() != ZORBIT_E_NOT_FOUND) E_Error() = ZORBIT_E_INVALID_ARGUMENT;
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

int32_t ReSetZiZoruze() {
    EngineState& e = Engine();
    e.vars.VarList.clear();
    e.vars.FuncList.clear();
    e.vars.varIndex.Cleared();
    e.vars.funcIndex.Cleared();
    ClearAllMatrices();
    e.eval.ResultType = -1;
    e.errors.MsgFlags = 0;
    RecordError(u"", 0, u"", 4);
    return 0;
}

bool ExpandFunctions(std::u16string& text) {
    const std::u16string& funcs = Engine().vars.FuncList;
    if (funcs.empty()) return true;
    ListIndex& index = Engine().vars.funcIndex;
    // Entries apply in list order, each to the text the earlier ones left, so a body may
    // use functions defined after it. Only the entries whose names may occur in the text
    // are tried: a min-heap of their positions, fed again from each inserted body.
    std::vector<uint32_t> queue;
    index.Candidates(funcs, text, 0, true, queue);
    std::make_heap(queue.begin(), queue.end(), std::greater<>());
    std::u16string out;
    int64_t done = -1;
    while (!queue.empty()) {
        std::pop_heap(queue.begin(), queue.end(), std::greater<>());
        const uint32_t k = queue.back();
        queue.pop_back();
        if (static_cast<int64_t>(k) <= done) continue;
        done = k;
        const std::u16string_view item = ListIndex::EntryText(funcs, index.Start(k));
        const size_t eq = item.find(u'=');
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
        const size_t before = queue.size();
        index.Candidates(funcs, text, k + 1, false, queue);
        for (size_t i = before; i < queue.size(); ++i)
            std::push_heap(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           std::greater<>());
    }
    return true;
}

int32_t CheckFunctions() {
    const std::u16string& funcs = Engine().vars.FuncList;
    if (funcs.empty()) return E_Error();
    E_Error() = ZORBIT_NO_ERROR;
    ListIndex& index = Engine().vars.funcIndex;
    const size_t k = index.FirstAmbiguous(funcs);
    if (k == ListIndex::npos) return E_Error();
    const std::u16string_view item = ListIndex::EntryText(funcs, index.Start(k));
    const std::u16string_view name = item.substr(0, item.find(u'='));
    E_Error() = ZORBIT_E_AMBIGUOUS_FUNCTION;
    ReportError(u"CheckFunctions", 223,
                u"sFuncts: " + funcs + u"\r\nFunct: " + std::u16string(name));
    return ZORBIT_E_AMBIGUOUS_FUNCTION;
}

} // namespace zorbit
