#include "matrix/print.h"

#include <algorithm>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/host_hooks.h"
#include "engine/state.h"
#include "matrix/store.h"

namespace zorbit {

namespace {

// The formatter writes at most 30 decimals; more would only print binary noise.
constexpr int kMaxDecimals = 30;

int DecimalsOf(std::u16string_view format) {
    const size_t point = format.find(u'.');
    if (point == std::u16string_view::npos) return 4;
    return static_cast<int>(std::min<size_t>(format.size() - point - 1, kMaxDecimals));
}

void AppendVectorLines(std::u16string& text, const double* v, size_t n, int decimals) {
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) text += u"\r\n";
        text += u"V(" + IntText(static_cast<long long>(i)) + u")=" + FixedN(v[i], decimals);
    }
}

} // namespace

std::u16string MatrixText(const double* a, int32_t rows, int32_t cols, std::u16string_view format,
                          std::u16string_view title, std::u16string_view separator,
                          bool callerOrder) {
    const int decimals = DecimalsOf(format);
    std::u16string sep(separator.empty() ? std::u16string_view(u"\t") : separator);
    std::u16string text(title);
    text += u"\r\n";
    if (a == nullptr || rows < 1 || cols < 1 ||
        static_cast<int64_t>(rows) * cols > kMaxMatrixElements)
        return text;
    const size_t r = static_cast<size_t>(rows), c = static_cast<size_t>(cols);
    std::vector<double> values(a, a + r * c);
    if (callerOrder) aCopyArray(a, values.data(), rows, cols);
    if (c == 1 || r == 1) {
        AppendVectorLines(text, values.data(), r * c, decimals);
        return text;
    }
    for (size_t i = 0; i < r; ++i) {
        if (i > 0) text += u"\r\n";
        for (size_t j = 0; j < c; ++j) {
            text += u"A(" + IntText(static_cast<long long>(i)) + u"," +
                    IntText(static_cast<long long>(j)) + u")=" +
                    FixedN(values[i * c + j], decimals);
            text += sep;
        }
    }
    return text;
}

const char16_t* aPrint(const double* a, int32_t rows, int32_t cols, std::u16string_view destination,
                       std::u16string_view format, std::u16string_view title,
                       std::u16string_view separator) {
    if (destination.empty()) destination = u"MsgBox";
    std::u16string& text = Engine().errors.descrResult;
    text = MatrixText(a, rows, cols, format, title, separator, true);
    if (destination == u"MsgBox") {
        ShowMessageBox(u"Zorbyt.dll", text, ZORBIT_MB_OK, ZORBIT_ID_OK);
    } else if (destination == u"Debug") {
        if (Engine().errors.DebugMode != 0) DebugOut(text, u"", true);
    }
    return text.c_str();
}

int32_t aPrintEx(const double* a, int32_t rows, int32_t cols, const char16_t* destination,
                 const char16_t* format, const char16_t* title, const char16_t* separator,
                 char16_t* buffer) {
    if (buffer == nullptr) return 1;
    const size_t capacity = Length(buffer);
    // Without room announced by the buffer's own text nothing may be written into it.
    if (capacity == 0) return 10;
    buffer[0] = u' ';
    buffer[1] = 0;
    const std::u16string text(
        aPrint(a, rows, cols, View(destination), View(format), View(title), View(separator)));
    const size_t n = std::min(text.size(), capacity);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}

const char16_t* aShow(const double* a, int32_t rows, int32_t cols) {
    int32_t& mode = Engine().errors.DebugMode;
    const int32_t previous = mode;
    mode = 1;
    const char16_t* text = aPrint(a, rows, cols, u"MsgBox", u"", u"", u"");
    mode = previous;
    return text;
}

} // namespace zorbit
