#pragma once
// The rows of a run's report as data: what each row is, its text, and for an error its
// code, module and place. The report text is made from rows here and nowhere else, so
// the batch report and what the entry line shows cannot drift apart.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "zorbit/codes.h"

namespace vex {

enum class RowKind : uint8_t {
    Expression, // a record's header: the statement as it ran ("Ln 1: EXPR = 2+3: ")
    Result,     // a value, a stored value or definition, a root, an integral, a plot's file
    MatrixRow,  // one row of a printed matrix or vector
    Derivative, // a derivative's formula
    Error,      // a failure with a code: "ERROR n. = 8: ..." behind the arrow
    Failure,    // a failure without a code (a plot not drawn or not saved, a refused line)
    Copy,       // a script line copied to the report ("''" lines and copy blocks)
    Info,       // text that is no result: the library's about lines, the element order
};

// What the report puts between an error's lead and its text.
inline constexpr std::u16string_view kErrorArrow = u"===> ";

struct ReportRow {
    RowKind kind = RowKind::Result;
    // The row's line: its lead (a label such as " Result => ", or the start of its record,
    // "Ln 2: Show(x) => "), then its content; an error's content is "ERROR n. = " + code +
    // ": " + description, and the report puts the arrow in front of it.
    std::u16string text;
    size_t leadSize = 0;
    uint8_t breaks = 1;             // CR LF pairs after the row in the report
    int32_t code = ZORBIT_NO_ERROR; // an error's code
    std::u16string module;          // an error's module ("eval", "aMatr", ...; "batch" for a
                                    // file the run could not read or write)
    int64_t position = -1;          // where the failure arose: an offset in the script; -1 unknown
    std::optional<double> value;    // a numeric result's number, whole (the text rounds it)

    std::u16string_view Lead() const { return std::u16string_view(text).substr(0, leadSize); }
    std::u16string_view Content() const { return std::u16string_view(text).substr(leadSize); }
    void SetLead(std::u16string_view lead) {
        if (lead.empty() && leadSize == 0) return;
        text.replace(0, leadSize, lead);
        leadSize = lead.size();
    }
};

// An error row: its text from the code and the description (and a note after it), its
// module from the description's "(Module: ...)".
ReportRow ErrorRow(int32_t code, std::u16string_view description, std::u16string_view note = {});
// The name inside the last "(Module: ...)" of a description; empty when it has none.
std::u16string ModuleOf(std::u16string_view description);

// A row's content as the report shows it: an error's behind its arrow.
template <class Out> void AppendBody(Out& out, const ReportRow& row) {
    if (row.kind == RowKind::Error) out.append(kErrorArrow);
    out.append(row.Content());
}

// The whole row as the report shows it: lead, body and line ends.
template <class Out> void AppendRow(Out& out, const ReportRow& row) {
    constexpr std::u16string_view kBreaks = u"\r\n\r\n\r\n\r\n";
    if (row.leadSize > 0) out.append(row.Lead());
    AppendBody(out, row);
    for (size_t left = size_t{2} * row.breaks; left > 0;) {
        const size_t n = std::min(left, kBreaks.size());
        out.append(kBreaks.substr(0, n));
        left -= n;
    }
}

// The report of the rows: each row as AppendRow writes it, without the CR LF pairs at
// the end (as a run hands its report back).
std::u16string ReportText(const std::vector<ReportRow>& rows);
// The bodies of a command's result rows, one per line: what its output file gets.
std::u16string BodyText(std::span<const ReportRow> rows);
// A printed matrix (its label, then its rows after CR LF each) as a result row and one
// row per matrix row.
std::vector<ReportRow> MatrixRows(std::u16string_view printed);

} // namespace vex
