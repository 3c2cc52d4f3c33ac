// Arbitrary bytes as the text the matrix-entry window is opened with: the import name,
// the counts, the cells filled from it, both definitions, transpose and the buffer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "gridentry/grid_state.h"

namespace {

using namespace vex::grid;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

bool Inside(std::u16string_view part, std::u16string_view whole) {
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

bool Trimmed(std::u16string_view s) {
    return s.empty() || (s.front() != u' ' && s.back() != u' ');
}

// Cells filled from a text hold no ";" and no outer space; the first ones are checked
// against Field, which finds each field on its own.
void CheckCells(const GridState& s, std::u16string_view text) {
    for (size_t k = 0; k < s.cells.size(); ++k) {
        const std::u16string& cell = s.cells[k];
        Check(Trimmed(cell) && cell.find(u';') == cell.npos);
        if (k < 64) Check(cell == zorbit::TrimSpaces(Field(text, static_cast<int>(k) + 4)));
    }
}

void CheckHandBack(std::u16string_view text, size_t capacity) {
    constexpr char16_t kSentinel = 0xFDD0;
    std::u16string buffer(capacity, u' ');
    buffer.append(4, kSentinel);
    const int32_t n = HandBack(buffer.data(), capacity, text);
    const size_t want = capacity == 0 ? 0 : std::min(capacity, text.size());
    Check(n >= 0 && static_cast<size_t>(n) == want);
    Check(std::u16string_view(buffer).substr(0, want) == text.substr(0, want));
    if (capacity > 0) Check(buffer[want] == u'\0');
    for (size_t k = want + (capacity > 0 ? 1 : 0); k < capacity; ++k)
        Check(buffer[k] == u' ');
    for (size_t k = capacity + 1; k < buffer.size(); ++k)
        Check(buffer[k] == kSentinel);
    if (capacity == 0) Check(buffer[0] == kSentinel);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string text =
        zorbit::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));

    const std::u16string name = ImportName(text);
    Check(Trimmed(name) && name.find(u';') == name.npos && name.find(u'=') == name.npos);
    if (text.find(u'=') == text.npos) Check(name.empty());

    for (int k = 1; k <= 4; ++k)
        Check(Inside(Field(text, k), text));
    const std::u16string_view line = MatrixLineOf(text);
    Check(Inside(line, text) && line.find(u'\n') == line.npos);
    if (!line.empty()) Check(zorbit::EqualsNoCase(zorbit::TrimSpaces(line).substr(0, 4), u"matr"));

    const double rowsValue = CountValue(Field(text, 2));
    const double colsValue = CountValue(Field(text, 3));
    const std::optional<int> rows = CheckedCount(rowsValue);
    const std::optional<int> cols = CheckedCount(colsValue);
    for (const auto& [value, count] : {std::pair{rowsValue, rows}, std::pair{colsValue, cols}}) {
        Check(value == static_cast<double>(static_cast<long long>(value))); // whole numbers
        if (count)
            Check(*count >= 0 && *count <= kMaxSide && *count == value);
        else
            Check(value < 0 || value > kMaxSide);
    }
    CheckHandBack(text, text.size());
    if (!rows || !cols) return 0;

    GridState s;
    s.name = name;
    ResetCells(s, *rows, *cols);
    FillCells(s, text);
    CheckCells(s, text);

    // The one-line definition, imported again, gives itself back.
    const std::u16string one = Definition(s);
    Check(ImportName(one) == name);
    GridState again;
    again.name = ImportName(one);
    ResetCells(again, *CheckedCount(CountValue(Field(one, 2))),
               *CheckedCount(CountValue(Field(one, 3))));
    Check(again.rows == s.rows && again.cols == s.cols);
    FillCells(again, one);
    Check(Definition(again) == one);

    // The multi-line form: one "DimX = " line per row, the last without its line end.
    s.multiLine = true;
    const std::u16string multi = Definition(s);
    Check(multi.empty() == (s.rows == 0));
    if (s.rows > 0) {
        const std::u16string head = u"DimX = " + std::u16string(BareName(name)) + u"(" +
                                    zorbit::IntText(s.rows) + u"," + zorbit::IntText(s.cols) +
                                    u"); ";
        Check(multi.rfind(head, 0) == 0);
        Check(multi.size() >= 2 && multi.substr(multi.size() - 2) == u"; ");
    }
    const std::u16string_view bare = BareName(name);
    Check(bare.empty() || (bare.front() != u'[' && bare.front() != u']' && bare.back() != u'[' &&
                           bare.back() != u']'));
    s.multiLine = false;

    // Transpose moves cell (i, j) to (j, i); twice gives the grid back.
    const GridState before = s;
    Transpose(s);
    Check(s.rows == before.cols && s.cols == before.rows);
    for (int i = 0; i < before.rows && i < 16; ++i)
        for (int j = 0; j < before.cols && j < 16; ++j)
            Check(s.cells[static_cast<size_t>(j) * s.cols + i] ==
                  before.cells[static_cast<size_t>(i) * before.cols + j]);
    Transpose(s);
    Check(s.cells == before.cells && Definition(s) == one);

    CheckHandBack(one, text.size());
    CheckHandBack(multi, text.size() / 2);
    return 0;
}
