#include "context/names.h"

#include <climits>
#include <iterator>
#include <string_view>

#include "common/number_text.h"
#include "engine/errors.h"
#include "engine/function_notes.h"
#include "engine/function_table.h"
#include "engine/state.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"
#include "matrix/store.h"

namespace zorbit {

namespace {

struct Word {
    std::u16string_view kind, name, note;
};

// The keywords, as the tokenizer reads them.
constexpr Word kWords[] = {
    {u"statistics", u"min", u"smallest of the arguments"},
    {u"statistics", u"max", u"largest of the arguments"},
    {u"statistics", u"avg", u"arithmetic mean of the arguments"},
    {u"statistics", u"mean", u"arithmetic mean of the arguments"},
    {u"statistics", u"sum", u"sum of the arguments"},
    {u"statistics", u"sum2", u"sum of the squares of the arguments"},
    {u"statistics", u"prod", u"product of the arguments"},
    {u"statistics", u"prod2", u"product of the squares of the arguments"},
    {u"statistics", u"stddev", u"standard deviation of the arguments"},
    {u"statistics", u"count", u"number of arguments"},
    {u"statistics", u"geom_mean", u"geometric mean of the arguments"},
    {u"statistics", u"median", u"median of the arguments"},
    {u"matrixfunction", u"det", u"determinant of a square matrix"},
    {u"matrixfunction", u"trace", u"trace of a square matrix"},
    {u"matrixfunction", u"syst", u"solution of the linear system A; b"},
    {u"matrixfunction", u"vcoeff", u"least-squares polynomial coefficients of x; y; degree"},
    {u"operator", u"and", u"logical and"},
    {u"operator", u"or", u"logical or"},
    {u"operator", u"xor", u"logical exclusive or"},
    {u"operator", u"not", u"logical not"},
    {u"operator", u"eqv", u"logical equivalence"},
    {u"operator", u"imp", u"logical implication"},
    {u"operator", u"mod", u"remainder of a division"},
};
static_assert(std::size(kWords) == static_cast<size_t>(Kw::Xor), "one row per keyword");

struct Constant {
    std::u16string_view name;
    Fn fn; // whose note describes it
};

constexpr Constant kConstantNames[] = {
    {u"pi", Fn::ConstPi},       {u"#pi", Fn::ConstPi},      {u"2pi", Fn::ConstPi},
    {u"#2pi", Fn::ConstPi},     {u"e", Fn::ConstE},         {u"#e", Fn::ConstE},
    {u"deg", Fn::ConstDeg},     {u"to_deg", Fn::ConstDeg},  {u"#deg", Fn::ConstDeg},
    {u"#to_deg", Fn::ConstDeg}, {u"rad", Fn::ConstRad},     {u"to_rad", Fn::ConstRad},
    {u"#rad", Fn::ConstRad},    {u"#to_rad", Fn::ConstRad},
};

// A field never holds the line format's separators.
void AppendField(std::u16string& out, std::u16string_view text) {
    for (char16_t c : text)
        out += c == u'\t' || c == u'\r' || c == u'\n' ? u' ' : c;
}

void AppendLine(std::u16string& out, std::u16string_view kind, std::u16string_view name,
                std::u16string_view description) {
    out += kind;
    out += u'\t';
    AppendField(out, name);
    out += u'\t';
    AppendField(out, description);
    out += u"\r\n";
}

// The entries of a "name=value;" list.
template <typename Visit> void ForEachEntry(std::u16string_view list, Visit visit) {
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(u';', start);
        if (end == std::u16string_view::npos) end = list.size();
        const std::u16string_view entry = list.substr(start, end - start);
        const size_t eq = entry.find(u'=');
        if (eq != std::u16string_view::npos && eq > 0)
            visit(entry.substr(0, eq), entry.substr(eq + 1));
        start = end + 1;
    }
}

} // namespace

std::u16string NameList() {
    std::u16string out;
    for (const FunctionRow& row : kFunctionRows) {
        for (const FnSpelling& s : row.spellings) {
            // Names the tokenizer reads as constants are listed as constants.
            if (s.name.empty() || (s.readers & kEvaluatorName) == 0 || s.name[0] == u'#' ||
                LookupConstant(s.name, nullptr))
                continue;
            AppendLine(out, u"function", s.name, FunctionNote(row.fn));
        }
    }
    for (const Constant& c : kConstantNames) {
        double value = 0;
        if (!LookupConstant(c.name, &value)) continue;
        std::u16string note(FunctionNote(c.fn));
        if (c.name.find(u"2pi") != std::u16string_view::npos) note = u"two pi";
        AppendLine(out, u"constant", c.name, note + u" = " + ShortestText(value));
    }
    for (const Word& w : kWords)
        AppendLine(out, w.kind, w.name, w.note);
    const VariableLists& lists = Engine().vars;
    ForEachEntry(lists.VarList, [&](std::u16string_view name, std::u16string_view value) {
        AppendLine(out, u"variable", name, value);
    });
    double answer = 0, shadow = 0;
    if (LookupAnswer(u"ans", &answer) && !LookupVariable(u"ans", &shadow))
        AppendLine(out, u"answer", u"ans", ShortestText(answer));
    FunctionSignature sig;
    ForEachEntry(lists.FuncList, [&](std::u16string_view name, std::u16string_view body) {
        // A function with parameters is called by its name alone.
        std::u16string shown(name), definition(name);
        if (ParseSignature(name, &sig)) {
            shown = definition = sig.name;
            for (size_t i = 0; i < sig.params.size(); ++i)
                definition += (i == 0 ? u"(" : u"; ") + sig.params[i];
            definition += u")";
        }
        AppendLine(out, u"userfunction", shown, definition + u" = " + std::u16string(body));
    });
    for (const MatrixEntry& m : Matrices().arrList) {
        if (m.Internal) continue;
        AppendLine(out, u"matrix", m.Name, IntText(m.rows) + u" x " + IntText(m.cols));
    }
    return out;
}

int32_t CopyNameList(char16_t* buffer, int32_t capacity) {
    const std::u16string list = NameList();
    if (list.size() >= static_cast<size_t>(INT32_MAX)) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"GetNameList", 0, u"The list of names is too long");
        if (buffer && capacity > 0) buffer[0] = 0;
        return 0;
    }
    if (buffer && capacity > 0) {
        size_t n = list.size();
        if (n > static_cast<size_t>(capacity) - 1) {
            // Whole lines only: a reader never sees half an entry.
            n = 0;
            if (capacity >= 3) {
                const size_t cut = list.rfind(u"\r\n", static_cast<size_t>(capacity) - 3);
                if (cut != std::u16string::npos) n = cut + 2;
            }
        }
        list.copy(buffer, n);
        buffer[n] = 0;
    }
    return static_cast<int32_t>(list.size());
}

} // namespace zorbit
