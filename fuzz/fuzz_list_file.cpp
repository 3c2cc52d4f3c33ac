// Arbitrary bytes as a list file, whole and in pieces, and list rows built from them
// written and read back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "shell/list_file.h"

namespace {

// A line that makes the next one an expression.
bool IsNumberLine(std::u16string_view line) {
    return !line.empty() && line.front() == u'E' && line.substr(0, 3) != u"ERR";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vex::ListExpressions whole;
    vex::ListFileDecoder wholeDecoder(whole);
    const bool wholeRead = wholeDecoder.Feed(bytes) && wholeDecoder.Finish();
    if (wholeRead != wholeDecoder.error().empty()) __builtin_trap();
    for (size_t k = 0; k < whole.size(); ++k)
        if (whole[k].find(u'\n') != std::u16string_view::npos) __builtin_trap();

    // A line is decoded as UTF-8 exactly when it is valid UTF-8, else as Latin-1.
    vex::ListExpressions one;
    one.AddBytes(bytes);
    const std::u16string reference =
        zorbit::IsValidUtf8(bytes) ? zorbit::Utf8ToUtf16(bytes) : zorbit::Latin1ToUtf16(bytes);
    if (one[0] != reference) __builtin_trap();

    // Read in pieces (their size from the first byte), the file gives what it gives whole:
    // a CR LF, a character or the byte-order mark cut between two pieces changes nothing.
    const size_t step = size == 0 ? 1 : data[0] % 7 + 1;
    vex::ListExpressions cut;
    vex::ListFileDecoder cutDecoder(cut);
    bool cutRead = true;
    for (size_t at = 0; at < size && cutRead; at += step)
        cutRead = cutDecoder.Feed(bytes.substr(at, step));
    cutRead = cutRead && cutDecoder.Finish();
    if (cutRead != wholeRead) __builtin_trap();
    if (wholeRead) {
        if (cut.size() != whole.size()) __builtin_trap();
        for (size_t k = 0; k < whole.size(); ++k)
            if (cut[k] != whole[k]) __builtin_trap();
    }

    // The input's text cut at line breaks, two pieces a row.
    const std::u16string text = zorbit::Utf8ToUtf16(bytes);
    std::vector<std::u16string> pieces(1);
    for (char16_t c : text) {
        if (c == u'\n')
            pieces.emplace_back();
        else if (c != u'\r')
            pieces.back().push_back(c);
    }
    std::vector<vex::ListRow> rows;
    for (size_t k = 0; k + 1 < pieces.size(); k += 2)
        rows.push_back({pieces[k], pieces[k + 1]});

    // Reading gives back the texts of the expression rows, as long as no other row's
    // text looks like an expression number (that line would be taken for one).
    std::vector<std::u16string> want;
    bool readable = true;
    for (const vex::ListRow& r : rows) {
        // A NUL makes the file unreadable as a list: it is refused as a whole.
        if (r.number.find(u'\0') != r.number.npos || r.text.find(u'\0') != r.text.npos)
            readable = false;
        if (IsNumberLine(r.number))
            want.push_back(r.text);
        else if (IsNumberLine(r.text))
            readable = false;
    }
    const std::string file = vex::FormatListFile(rows);
    if (file.compare(0, 12, "Columns: 1\r\n") != 0 || !zorbit::IsValidUtf8(file)) __builtin_trap();
    if (readable && vex::ListFileExpressions(file) != want) __builtin_trap();
    return 0;
}
