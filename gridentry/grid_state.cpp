#include "gridentry/grid_state.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/number_text.h"
#include "common/text.h"
#include "script/file_write.h"

namespace vex::grid {

using zorbit::TrimSpaces;

std::u16string ImportName(std::u16string_view text) {
    const size_t first = text.find(u'=');
    if (first == std::u16string_view::npos) return {};
    std::u16string_view rest = text.substr(first + 1);
    rest = rest.substr(0, rest.find(u'='));
    rest = TrimSpaces(rest);
    return std::u16string(TrimSpaces(rest.substr(0, rest.find(u';'))));
}

std::u16string NameTooLong(std::u16string_view name) {
    if (name.size() <= kMaxNameChars) return {};
    return u"The matrix name is too long to import: " +
           zorbit::IntText(static_cast<long long>(name.size())) + u" characters, at most " +
           zorbit::IntText(static_cast<long long>(kMaxNameChars)) + u".";
}

double CountValue(std::u16string_view text) {
    text = zorbit::TrimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    double value = 0;
    // Digits past any sensible count only make the value larger: stop early, it is
    // out of range either way.
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 1e12; ++i)
        value = value * 10 + (text[i] - u'0');
    return negative ? -value : value;
}

std::optional<int> CheckedCount(double value) {
    if (!(value >= 0 && value <= kMaxSide)) return std::nullopt;
    return static_cast<int>(value);
}

std::u16string_view Field(std::u16string_view text, int k) {
    size_t start = 0;
    for (int i = 1; i < k; ++i) {
        const size_t semi = text.find(u';', start);
        if (semi == std::u16string_view::npos) return {};
        start = semi + 1;
    }
    const size_t end = text.find(u';', start);
    return text.substr(start, end == std::u16string_view::npos ? text.size() - start : end - start);
}

void ResetCells(GridState& state, int rows, int cols) {
    state.rows = rows;
    state.cols = cols;
    state.cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), std::u16string());
}

void FillCells(GridState& state, std::u16string_view text) {
    // Skip the name, rows and columns: one walk over the text, not one per field.
    size_t pos = 0;
    for (int skipped = 0; skipped < 3; ++skipped) {
        const size_t semi = text.find(u';', pos);
        if (semi == std::u16string_view::npos) return;
        pos = semi + 1;
    }
    for (std::u16string& cell : state.cells) {
        if (pos > text.size()) break;
        const size_t semi = text.find(u';', pos);
        const size_t end = semi == std::u16string_view::npos ? text.size() : semi;
        cell = TrimSpaces(text.substr(pos, end - pos));
        pos = end + 1;
    }
}

std::u16string_view BareName(std::u16string_view name) {
    while (!name.empty() && (name.front() == u'[' || name.front() == u']'))
        name.remove_prefix(1);
    while (!name.empty() && (name.back() == u'[' || name.back() == u']'))
        name.remove_suffix(1);
    return name;
}

namespace {

void AppendValue(std::u16string& out, std::u16string_view cell) {
    const std::u16string_view value = TrimSpaces(cell);
    if (value.empty())
        out += u'0';
    else
        out += value;
}

void AppendInt(std::u16string& out, int value) {
    out += zorbit::IntText(value);
}

} // namespace

std::u16string Definition(const GridState& state) {
    std::u16string out;
    out.reserve(32 + state.cells.size() * 6);
    if (!state.multiLine) {
        out += u"Matr = ";
        out += state.name;
        out += u"; ";
        AppendInt(out, state.rows);
        out += u"; ";
        AppendInt(out, state.cols);
        out += u"; ";
        for (const std::u16string& cell : state.cells) {
            AppendValue(out, cell);
            out += u"; ";
        }
    } else {
        const std::u16string_view bare = BareName(state.name);
        for (int i = 1; i <= state.rows; ++i) {
            out += u"DimX = ";
            out += bare;
            out += u'(';
            AppendInt(out, state.rows);
            out += u',';
            AppendInt(out, state.cols);
            out += u"); ";
            for (int j = 1; j <= state.cols; ++j) {
                out += bare;
                out += u'(';
                AppendInt(out, i);
                out += u',';
                AppendInt(out, j);
                out += u")=";
                AppendValue(out, state.cells[static_cast<size_t>(i - 1) * state.cols + (j - 1)]);
                out += u"; ";
            }
            out += u"\r\n";
        }
    }
    out.resize(out.size() >= 2 ? out.size() - 2 : 0);
    return out;
}

CellPlace PlaceOf(int id, int cols, int base) {
    if (cols < 1) return {};
    const int index = id - base - 1;
    return {index / cols + 1, index % cols + 1};
}

int IdOf(int row, int col, int cols, int base) {
    return base + cols * (row - 1) + col;
}

std::u16string PlaceLabel(CellPlace place) {
    // Appended piece by piece: u"R" + std::u16string makes GCC 12 at -O3 warn of an
    // overlap that cannot happen (-Wrestrict).
    std::u16string label = u"R";
    label += zorbit::IntText(place.row);
    label += u",C";
    label += zorbit::IntText(place.col);
    return label;
}

std::u16string DefinitionTitle(const GridState& state) {
    return (state.rows == 1 || state.cols == 1 ? u"Vector: " : u"Matrix: ") + state.name;
}

GridGeometry GeometryFor(int rows, int cols) {
    constexpr int kCopyRight = 295 + 50;   // right edge of the Copy button
    constexpr int kEditorBottom = 63 + 20; // bottom of the cell editor
    constexpr int kLabelBottom = 65 + 15;  // bottom of the cell-position label
    constexpr int kOutputHeight = 36;
    GridGeometry g;
    // Four pixels beyond the cells for the container's border, so the last column is
    // not cut under a scroll bar.
    g.width = std::max(kCopyRight, cols * kCellWidth + 4);
    const int top = kEditorBottom + 2;
    g.height = top + rows * kCellHeight + kOutputHeight;
    g.outputTop = g.height - kOutputHeight + 2;
    g.cellsTop = kLabelBottom;
    g.cellsHeight = g.outputTop - kLabelBottom;
    return g;
}

GridGeometry FitGeometry(GridGeometry g, int maxWidth, int maxHeight) {
    const GridGeometry least = GeometryFor(0, 0); // the controls without cells
    g.width = std::min(g.width, std::max(maxWidth, least.width));
    if (g.height > maxHeight) {
        g.height = std::max(maxHeight, least.height);
        g.outputTop = g.height - (least.height - least.outputTop);
        g.cellsHeight = g.outputTop - g.cellsTop;
    }
    return g;
}

std::u16string AboutText() {
    return u"Module: GridEntry (libgridentry.so, and built into vexcalc)\r\n"
           u"Version: 0.0.1.0 - Built: " +
           zorbit::Utf8ToUtf16(__DATE__) +
           u"\r\n"
           u"Characters: wide (Unicode, UTF-16)\r\n"
           u"A vector/matrix input module for the vexCalc calculator\r\n"
           u"Made by the vexCalc developers\r\n"
           u"Contact: see the README that comes with vexCalc\r\n";
}

void Transpose(GridState& state) {
    std::vector<std::u16string> turned(state.cells.size());
    for (int i = 0; i < state.rows; ++i)
        for (int j = 0; j < state.cols; ++j)
            turned[static_cast<size_t>(j) * state.rows + i] =
                std::move(state.cells[static_cast<size_t>(i) * state.cols + j]);
    state.cells = std::move(turned);
    std::swap(state.rows, state.cols);
}

int32_t HandBack(char16_t* buffer, size_t capacity, std::u16string_view text) {
    if (!buffer || capacity == 0) return 0;
    const size_t n = std::min(capacity, text.size());
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
    return static_cast<int32_t>(n);
}

std::u16string_view MatrixLineOf(std::u16string_view text) {
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        const std::u16string_view start = TrimSpaces(line).substr(0, 4);
        if (zorbit::EqualsNoCase(start, u"matr") && !ImportName(line).empty()) return line;
        pos = end + 1;
    }
    return {};
}

bool ReadMatrixFile(const std::string& path, std::u16string& line, std::string& error) {
    // A folder opens without complaint and then reads nothing, and a pipe would wait for
    // a writer: only regular files (or links to them) are read.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) {
        error = std::strerror(EISDIR);
        return false;
    }
    if (!ec && !std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    std::string bytes;
    char piece[65536];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        bytes.append(piece, static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxMatrixFileBytes) {
            error = "the file is larger than 16 MiB";
            return false;
        }
    }
    if (in.bad()) {
        error = std::strerror(errno ? errno : EIO);
        return false;
    }
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    const std::u16string text =
        zorbit::IsValidUtf8(bytes) ? zorbit::Utf8ToUtf16(bytes) : zorbit::Latin1ToUtf16(bytes);
    line = MatrixLineOf(text);
    if (line.empty()) {
        error = "no \"Matr = \" line in the file";
        return false;
    }
    return true;
}

bool WriteMatrixFile(const std::string& path, std::u16string_view definition, std::string& error) {
    std::string bytes;
    bytes.reserve(definition.size() + 1);
    for (size_t pos = 0; pos <= definition.size();) {
        size_t end = definition.find(u"\r\n", pos);
        if (end == std::u16string_view::npos) end = definition.size();
        bytes += zorbit::Utf16ToUtf8(definition.substr(pos, end - pos));
        bytes += '\n';
        pos = end + 2;
    }
    if (const int code = ReplaceFileBytes(path, bytes); code != 0) {
        error = std::strerror(code);
        return false;
    }
    return true;
}

} // namespace vex::grid
