#include "script/report_rows.h"

#include "script/text_util.h"

namespace vex {

ReportRow ErrorRow(int32_t code, std::u16string_view description, std::u16string_view note) {
    ReportRow row;
    row.kind = RowKind::Error;
    row.code = code;
    row.text = u"ERROR n. = " + Num(code) + u": ";
    row.text.append(description).append(note);
    row.module = ModuleOf(description);
    return row;
}

std::u16string ModuleOf(std::u16string_view description) {
    constexpr std::u16string_view kModule = u"(Module: ";
    const size_t at = description.rfind(kModule);
    if (at == description.npos) return {};
    const size_t from = at + kModule.size();
    const size_t close = description.find(u')', from);
    if (close == description.npos) return {};
    return std::u16string(description.substr(from, close - from));
}

std::u16string ReportText(const std::vector<ReportRow>& rows) {
    std::u16string text;
    for (const ReportRow& row : rows)
        AppendRow(text, row);
    while (text.size() >= 2 && std::u16string_view(text).substr(text.size() - 2) == kCrLf)
        text.resize(text.size() - 2);
    return text;
}

std::u16string BodyText(std::span<const ReportRow> rows) {
    std::u16string text;
    for (const ReportRow& row : rows) {
        if (&row != &rows.front()) text.append(kCrLf);
        AppendBody(text, row);
    }
    return text;
}

std::vector<ReportRow> MatrixRows(std::u16string_view printed) {
    std::vector<ReportRow> rows;
    size_t start = 0;
    for (;;) {
        const size_t end = printed.find(kCrLf, start);
        ReportRow row;
        row.kind = rows.empty() ? RowKind::Result : RowKind::MatrixRow;
        row.text = std::u16string(printed.substr(start, end - start));
        rows.push_back(std::move(row));
        if (end == printed.npos) return rows;
        start = end + kCrLf.size();
    }
}

} // namespace vex
