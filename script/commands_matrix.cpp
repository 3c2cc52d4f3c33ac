// Matrix definitions: "Matr", "MatrF", "Vect", "VectF" and "DimX" blocks.

#include "common/text.h"
#include "script/file_io.h"
#include "script/run_state.h"
#include "script/text_util.h"

namespace vex {

using zorbit::ToLower;
using zorbit::TrimSpaces;

void CmdMatr(RunState& rs, const Statement& st) {
    std::u16string T(st.ArgumentText());
    if (st.command == u"matrf" || st.command == u"vectf")
        T = ScriptFileIO(rs.host, Field(T + u" ", u' ', 1), u"fileinp", u"");
    T = RemoveQuotes(T);
    const int32_t code = rs.lib.StoreMatrix(T);
    if (code == -1) return;
    ReportRow failure = rs.lib.Has("SetStrMatrix") ? rs.Failure(code) : rs.Missing(u"SetStrMatrix");
    failure.SetLead(rs.resultLabel);
    rs.Record(u"Ln " + Num(st.lineNo) + u": Expression = " + T + u": " +
                  std::u16string(kNoFileNote),
              std::move(failure));
}

namespace {

// The matrix a "DimX" line names: the text between "=" and the next "(", bracketed.
std::u16string DimXName(std::u16string_view line) {
    const size_t eq = line.find(u'=');
    if (eq == line.npos) return {};
    const size_t open = line.find(u'(', eq + 1);
    return AddBrackets(
        TrimSpaces(line.substr(eq + 1, open == line.npos ? line.npos : open - eq - 1)));
}

// The entries of one block line: ";"-fields from the second on, up to the first empty one.
void AppendDimXValues(std::u16string_view line, std::u16string& definition) {
    const std::vector<std::u16string_view> fields = SplitFields(line, u';');
    for (size_t k = 1; k < fields.size() && !fields[k].empty(); ++k) {
        const std::u16string_view f = fields[k];
        const size_t eq = f.find(u'=');
        if (eq == f.npos) continue;
        const size_t next = f.find(u'=', eq + 1);
        const std::u16string_view value =
            TrimSpaces(f.substr(eq + 1, next == f.npos ? f.npos : next - eq - 1));
        if (!value.empty()) definition.append(u";").append(value);
    }
}

// A script line as the line loop takes it, freed of its trailing comment.
std::u16string_view BlockLine(const RunState& rs, size_t i) {
    std::u16string_view line = rs.Line(i);
    return line.substr(0, line.find(u'\''));
}

} // namespace

size_t CmdDimX(RunState& rs, const Statement& st, size_t i) {
    const std::u16string_view first = st.line;
    const std::u16string name = DimXName(first);
    const size_t eq = first.find(u'=');
    const size_t open = first.find(u'(', eq + 1);
    std::u16string_view dims;
    if (open != first.npos) {
        const size_t close = first.find(u')', open + 1);
        dims = first.substr(open + 1, close == first.npos ? first.npos : close - open - 1);
    }
    const std::u16string dimText = std::u16string(dims) + u",";
    std::u16string definition = name + u";" + Num(IntegerValue(Field(dimText, u',', 1))) + u";" +
                                Num(IntegerValue(Field(dimText, u',', 2)));
    AppendDimXValues(first, definition);
    size_t next = i + 1;
    while (next <= rs.lineCount) {
        const std::u16string_view line = BlockLine(rs, next);
        // A line holding a NUL ends the block; the line loop refuses it.
        if (ToLower(TrimSpaces(line.substr(0, 4))) != u"dimx" ||
            !zorbit::EqualsNoCase(DimXName(line), name) || line.find(u'\0') != line.npos)
            break;
        AppendDimXValues(line, definition);
        ++next;
    }
    const int32_t code = rs.lib.StoreMatrix(definition);
    if (code != -1) {
        ReportRow failure =
            rs.lib.Has("SetStrMatrix") ? rs.Failure(code) : rs.Missing(u"SetStrMatrix");
        failure.SetLead(rs.resultLabel);
        // The block's first line tells the user which definition failed.
        rs.Record(u"Ln " + Num(static_cast<long long>(next)) + u": Expression = " +
                      std::u16string(TrimSpaces(first)) + u":",
                  std::move(failure));
    }
    return next;
}

} // namespace vex
