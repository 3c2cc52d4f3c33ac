#include "engine/variables.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/functions.h"
#include "engine/matrix_ops.h"
#include "engine/state.h"
#include "engine/tokenizer.h"

namespace zorbit {

namespace {

// An expanded text fits within the length limit and, in a bounded evaluation (a preview),
// within what its work could read: a text past that ends the work, as reading it would.
constexpr int64_t kExpandedCharWork = 4;
bool Fits(size_t size) {
    if (size > kMaxExpressionLength) return false;
    int64_t& left = Engine().eval.workLeft;
    if (left < 0 || static_cast<int64_t>(size) <= left / kExpandedCharWork) return true;
    left = 0;
    return false;
}

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

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

std::u16string_view TrimBlankChars(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A name as the tokenizer reads one: a letter or "_", then letters, digits and "_".
bool IsPlainName(std::u16string_view s) {
    if (s.empty() || !IsNameStart(s.front())) return false;
    return std::all_of(s.begin(), s.end(), IsIdentChar);
}

// The word at the start of a name that the tokenizer would read first: "#" and an
// identifier, or a run of identifier characters.
std::u16string_view LeadingWord(std::u16string_view name) {
    size_t i = !name.empty() && name.front() == u'#' ? 1 : 0;
    while (i < name.size() && IsIdentChar(name[i]))
        ++i;
    return name.substr(0, i == 1 && name.front() == u'#' ? 0 : i);
}

// Offset of the entry of a function with parameters named `name`, npos when none.
size_t FindSignatureEntry(const std::u16string& list, ListIndex& index, std::u16string_view name) {
    const std::vector<uint32_t>* entries = index.EntriesWithHead(list, name);
    if (!entries) return ListIndex::npos;
    FunctionSignature sig;
    for (uint32_t k : *entries) {
        const std::u16string_view item = ListIndex::EntryText(list, index.Start(k));
        if (ParseSignature(item.substr(0, item.find(u'=')), &sig) && sig.name == name)
            return index.Start(k);
    }
    return ListIndex::npos;
}

// The calls of one function with parameters in a text.
class CallExpander {
  public:
    CallExpander(const FunctionSignature& sig, std::u16string_view body, std::u16string* why)
        : sig_(sig), body_(body), why_(why) {}

    // Appends text to out with every call expanded; false (why set) on a malformed call,
    // nesting too deep or a text too long.
    bool Expand(std::u16string_view text, std::u16string& out, int nesting) {
        size_t from = 0, next = 0;
        for (;;) {
            const size_t p = FindWholeName(text, sig_.name, next, true);
            if (p == std::u16string_view::npos) break;
            next = p + sig_.name.size();
            size_t open = next;
            while (open < text.size() && IsBlank(text[open]))
                ++open;
            // Not a call: the name alone (a variable may carry it), a constant or a hex
            // literal.
            if (open >= text.size() || text[open] != u'(') continue;
            if (p > 0 && (text[p - 1] == u'#' || text[p - 1] == u'&')) continue;
            std::vector<std::u16string_view> args;
            size_t close = std::u16string_view::npos, start = open + 1;
            int level = 0;
            for (size_t i = open + 1; i < text.size() && close == std::u16string_view::npos; ++i) {
                const char16_t c = text[i];
                if (c == u'(') {
                    ++level;
                } else if (c == u')' && level > 0) {
                    --level;
                } else if (c == u')' || (c == u';' && level == 0)) {
                    args.push_back(TrimBlankChars(text.substr(start, i - start)));
                    start = i + 1;
                    if (c == u')') close = i;
                }
            }
            if (close == std::u16string_view::npos) return Fail(u"')' missing in a call of ");
            if (args.size() != sig_.params.size()) {
                return Fail(u"" + IntText(static_cast<long long>(args.size())) +
                            u" argument(s) given, " +
                            IntText(static_cast<long long>(sig_.params.size())) + u" expected by ");
            }
            if (nesting >= kMaxCallNesting) return Fail(u"Calls nested too deeply: ");
            std::vector<std::u16string> values(args.size());
            for (size_t i = 0; i < args.size(); ++i) {
                if (args[i].empty()) return Fail(u"An empty argument in a call of ");
                if (!Expand(args[i], values[i], nesting + 1)) return false;
            }
            out.append(text.substr(from, p - from));
            if (!Substitute(values, out)) return false;
            changed = true;
            from = next = close + 1;
        }
        out.append(text.substr(from));
        return Fits(out.size()) || TooLong();
    }

    bool changed = false;

  private:
    // "(" + body + ")" with every whole parameter name (any case) replaced by its value in
    // brackets; matrix names in "[...]", "#" constants and hex literals keep theirs.
    bool Substitute(const std::vector<std::u16string>& values, std::u16string& out) {
        out += u'(';
        const std::u16string_view body = body_;
        for (size_t i = 0; i < body.size();) {
            const char16_t c = body[i];
            if (c == u'[') {
                const size_t end = body.find(u']', i);
                const size_t next = end == std::u16string_view::npos ? body.size() : end + 1;
                out.append(body.substr(i, next - i));
                i = next;
                continue;
            }
            if (!IsIdentChar(c)) {
                out += c;
                ++i;
                continue;
            }
            size_t j = i;
            while (j < body.size() && IsIdentChar(body[j]))
                ++j;
            const std::u16string_view word = body.substr(i, j - i);
            const bool literal = i > 0 && (body[i - 1] == u'#' || body[i - 1] == u'&');
            size_t k = literal ? sig_.params.size() : 0;
            while (k < sig_.params.size() && !EqualsNoCase(word, sig_.params[k]))
                ++k;
            if (k < sig_.params.size()) {
                out += u'(';
                out += values[k];
                out += u')';
            } else {
                out.append(word);
            }
            if (!Fits(out.size())) return TooLong();
            i = j;
        }
        out += u')';
        return Fits(out.size()) || TooLong();
    }

    bool Fail(std::u16string_view what) {
        if (why_) *why_ = std::u16string(what) + u"'" + sig_.name + u"'";
        return false;
    }
    bool TooLong() {
        if (why_) *why_ = u"The expanded expression is too long";
        return false;
    }

    const FunctionSignature& sig_;
    std::u16string_view body_;
    std::u16string* why_;
};

} // namespace

bool ParseSignature(std::u16string_view text, FunctionSignature* out) {
    text = TrimBlankChars(text);
    const size_t open = text.find(u'(');
    if (open == std::u16string_view::npos || text.back() != u')') return false;
    const std::u16string_view name = TrimBlankChars(text.substr(0, open));
    if (!IsPlainName(name)) return false;
    out->name = ToLower(name);
    out->params.clear();
    const std::u16string_view inside = text.substr(open + 1, text.size() - open - 2);
    size_t start = 0;
    for (;;) {
        size_t end = inside.find_first_of(u";,", start);
        if (end == std::u16string_view::npos) end = inside.size();
        const std::u16string_view param = TrimBlankChars(inside.substr(start, end - start));
        if (!IsPlainName(param)) return false;
        std::u16string lower = ToLower(param);
        if (std::find(out->params.begin(), out->params.end(), lower) != out->params.end())
            return false;
        out->params.push_back(std::move(lower));
        if (end == inside.size()) break;
        start = end + 1;
    }
    return true;
}

std::u16string SignatureText(const FunctionSignature& sig) {
    std::u16string s = sig.name + u"(";
    for (size_t i = 0; i < sig.params.size(); ++i) {
        if (i > 0) s += u',';
        s += sig.params[i];
    }
    return s += u')';
}

std::u16string_view BuiltinKindOf(std::u16string_view lowerWord) {
    if (lowerWord.empty()) return {};
    switch (KeywordOf(lowerWord)) {
    case Kw::None:
        break;
    case Kw::Det:
    case Kw::Trace:
    case Kw::Syst:
    case Kw::Vcoeff:
        return u"matrix function";
    case Kw::And:
    case Kw::Eqv:
    case Kw::Imp:
    case Kw::Mod:
    case Kw::Not:
    case Kw::Or:
    case Kw::Xor:
        return u"operator";
    default:
        return u"statistics function";
    }
    if (LookupConstant(lowerWord, nullptr)) return u"constant";
    Fn fn;
    if (LookupFunction(lowerWord, &fn)) return u"function";
    return {};
}

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
    std::u16string lower = ToLower(TrimSpaces(name));
    FunctionSignature sig;
    const bool withParams = kind != 0 && ParseSignature(lower, &sig);
    if (withParams) lower = SignatureText(sig);
    const std::u16string key = MakeKey(lower);
    if (!list.empty()) CloseList(list, index);
    // An empty name, a value with ";" or a name with ";" or "=" inside would break the
    // entry structure and corrupt other entries: refuse it and keep the list as it is.
    const std::u16string_view bare = std::u16string_view(key).substr(0, key.size() - 1);
    if (key.empty() || key == u"=" || value.find(u';') != std::u16string_view::npos ||
        bare.find_first_of(u";=") != std::u16string_view::npos) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"SetVarFunct", 0, u"Invalid name or value: '" + std::u16string(name) + u"'");
        return static_cast<int32_t>(index.Semicolons(list));
    }
    // A name the tokenizer reads as a built-in would hide it (or never be reached).
    const std::u16string_view word = withParams ? std::u16string_view(sig.name) : LeadingWord(bare);
    const std::u16string_view builtin = BuiltinKindOf(word);
    if (!builtin.empty()) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"SetVarFunct", 0,
                    u"'" + std::u16string(word) + u"' is the name of a built-in " +
                        std::u16string(builtin));
        return static_cast<int32_t>(index.Semicolons(list));
    }
    size_t at = index.FindEntry(list, key);
    if (at == std::u16string::npos && withParams) {
        // One function per name: new parameters replace the entry's name too.
        at = FindSignatureEntry(list, index, sig.name);
        if (at != std::u16string::npos) {
            size_t end = list.find(u';', at);
            if (end == std::u16string::npos) end = list.size();
            list.replace(at, end - at, key + std::u16string(value));
            index.Cleared(); // a name changed: indexed again on the next use
            return static_cast<int32_t>(index.Semicolons(list));
        }
    }
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
    ListIndex& index = IndexByKind(kind);
    FunctionSignature sig;
    const bool withParams = kind != 0 && ParseSignature(name, &sig);
    const std::u16string key = MakeKey(withParams ? SignatureText(sig) : std::u16string(name));
    size_t at = key.empty() ? std::u16string::npos : index.FindEntry(list, key);
    size_t valueStart = at + key.size();
    // A function with parameters is found by its name alone too.
    if (at == std::u16string::npos && kind != 0 && IsPlainName(name)) {
        at = FindSignatureEntry(list, index, ToLower(name));
        valueStart = list.find(u'=', at) + 1;
    }
    if (at == std::u16string::npos) {
        E_Error() = ZORBIT_E_NOT_FOUND;
        if (report) ReportError(u"FindVarFunctD", kind == 0 ? 460 : 485, u"VarToFind = " + key);
        return 0.0;
    }
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
    e.eval.hasAnswer = false;
    ++e.eval.answerChanges;
    e.eval.ResultType = -1;
    e.errors.MsgFlags = 0;
    RecordError(u"", 0, u"", 4);
    return 0;
}

namespace {

// Expands the calls of entry k when it is a function with parameters: false on failure,
// *handled false for a text macro.
bool ExpandCallsOf(std::u16string_view item, std::u16string& text, std::u16string& out,
                   std::u16string* why, bool* handled, bool* changed) {
    const size_t eq = item.find(u'=');
    FunctionSignature sig;
    *handled = ParseSignature(item.substr(0, eq), &sig);
    *changed = false;
    if (!*handled) return true;
    CallExpander calls(sig, item.substr(eq + 1), why);
    out.clear();
    if (!calls.Expand(text, out, 0)) return false;
    if (calls.changed) text.swap(out);
    *changed = calls.changed;
    return true;
}

bool TooLongText(std::u16string* why) {
    if (why) *why = u"The expanded expression is too long";
    return false;
}

} // namespace

bool ExpandFunctions(std::u16string& text, std::u16string* why) {
    const std::u16string& funcs = Engine().vars.FuncList;
    if (funcs.empty()) return true;
    if (text.size() > kMaxExpressionLength) return TooLongText(why);
    ListIndex& index = Engine().vars.funcIndex;
    // Entries apply in list order, each to the text the earlier ones left, so a body may
    // use functions defined after it. Only the entries whose names may occur in the text
    // are tried: a min-heap of their positions, fed again from each inserted body.
    std::vector<uint32_t> queue;
    index.Candidates(funcs, text, 0, true, queue);
    std::make_heap(queue.begin(), queue.end(), std::greater<>());
    std::u16string out;
    int64_t done = -1;
    bool inserted = false;
    while (!queue.empty()) {
        std::pop_heap(queue.begin(), queue.end(), std::greater<>());
        const uint32_t k = queue.back();
        queue.pop_back();
        if (static_cast<int64_t>(k) <= done) continue;
        done = k;
        const std::u16string_view item = ListIndex::EntryText(funcs, index.Start(k));
        bool handled = false, changed = false;
        if (!ExpandCallsOf(item, text, out, why, &handled, &changed)) return false;
        if (!handled) {
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
                if (!Fits(out.size())) return TooLongText(why);
                from = p + name.size();
                p = FindWholeName(text, name, from, true);
            }
            out.append(text, from, std::u16string::npos);
            if (!Fits(out.size())) return TooLongText(why);
            text.swap(out);
        } else if (!changed) {
            continue;
        }
        inserted = true;
        const size_t before = queue.size();
        index.Candidates(funcs, text, k + 1, false, queue);
        for (size_t i = before; i < queue.size(); ++i)
            std::push_heap(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           std::greater<>());
    }
    // A body may call a function with parameters defined before it: such calls are
    // expanded in further rounds, up to a depth that stops a function calling itself.
    for (int round = 0; inserted; ++round) {
        queue.clear();
        index.Candidates(funcs, text, 0, false, queue);
        std::sort(queue.begin(), queue.end());
        queue.erase(std::unique(queue.begin(), queue.end()), queue.end());
        inserted = false;
        for (uint32_t k : queue) {
            const std::u16string_view item = ListIndex::EntryText(funcs, index.Start(k));
            bool handled = false, changed = false;
            if (!ExpandCallsOf(item, text, out, why, &handled, &changed)) return false;
            inserted = inserted || changed;
        }
        if (inserted && round + 1 >= kMaxCallRounds) {
            if (why) *why = u"Functions call each other too deeply (a function calling itself?)";
            return false;
        }
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
