#include "shell/live_preview.h"

#include "common/number_text.h"
#include "common/text.h"
#include "script/run_state.h"
#include "script/text_util.h"
#include "shell/entry.h"

namespace vex {

LivePreview PreviewLine(const Library& library, const InterpreterState& interp,
                        const std::vector<std::u16string>& keywords, std::u16string_view typed) {
    LivePreview p;
    const std::u16string_view line = zorbit::TrimSpaces(typed);
    // A library without the routine gets no preview: evaluating would leave traces.
    if (line.empty() || line.find_first_of(u"\r\n") != line.npos || IsCommand(keywords, line) ||
        !library.Has("e_evalPreview"))
        return p;
    if (line.size() > kPreviewMaxLength) {
        p.kind = LivePreview::Kind::Skipped;
        p.text = u"(too long to work out while typing: Enter evaluates it)";
        return p;
    }
    // The formula as Enter runs it: "Expr = " in front, cut at a comment, quotes dropped.
    const Statement st = SplitStatement(EntryText(keywords, line), 1);
    const std::u16string formula = RemoveQuotes(st.ArgumentText());
    if (zorbit::TrimSpaces(formula).empty()) return p;
    ZorbitPreview out{};
    const int32_t code = library.Preview(formula, kPreviewWork, out);
    if (out.error == ZORBIT_NO_ERROR && code == 0) {
        p.kind = LivePreview::Kind::Value;
        p.value = out.value;
        p.text = u"= " + ResultText(out.value, interp.decimals, interp.format);
    } else if (out.error == ZORBIT_NO_ERROR) {
        p.kind = LivePreview::Kind::Matrix;
        p.text = u"= " + std::u16string(out.cols <= 1 ? u"vector " : u"matrix ") +
                 zorbit::IntText(out.rows) + u" x " + zorbit::IntText(out.cols);
    } else if (out.cutOff) {
        p.kind = LivePreview::Kind::Skipped;
        p.text = u"(too much work to work out while typing: Enter evaluates it)";
    } else {
        p.kind = LivePreview::Kind::Error;
        p.text = u"ERROR n. = " + zorbit::IntText(code) + u": " +
                 std::u16string(zorbit::TrimSpaces(std::u16string_view(out.message)));
        // A place in the formula is a place in the typed line when nothing was cut from it.
        if (out.errorPos >= 0 && formula == line)
            p.text += u" at column " +
                      zorbit::IntText(static_cast<long long>(line.data() - typed.data()) +
                                      out.errorPos + 1);
    }
    return p;
}

} // namespace vex
