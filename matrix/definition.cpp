// Definition strings: "name; rows; cols; e1; e2; ..." with the elements row by row.

#include <string>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "matrix/report.h"
#include "matrix/store.h"

namespace zorbit {

namespace {

// Fields split at ";"; the text always ends with ";", so the last piece is dropped.
std::vector<std::u16string_view> SplitFields(std::u16string_view text) {
    std::vector<std::u16string_view> fields;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u';') continue;
        fields.push_back(TrimSpaces(text.substr(start, i - start)));
        start = i + 1;
    }
    return fields;
}

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return 99;
}

// A count: spaces and tabs skipped, optional sign, "$" hexadecimal, "%" binary. The value
// saturates far beyond any acceptable count so that an overflow is rejected, not wrapped.
int64_t ReadCount(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == u'%') {
        base = 2;
        ++i;
    }
    constexpr int64_t kSaturated = int64_t{1} << 40;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base) break;
        value = value * base + digit;
        if (value > kSaturated) value = kSaturated;
    }
    return negative ? -value : value;
}

struct Definition {
    std::u16string_view name;
    int64_t rows = 0;
    int64_t cols = 0;
};

void DefinitionFailed() {
    MatrixErrorDebugEntry(u"SetStrMatrix", u"");
}

int32_t MissingElement(const Definition& def, int64_t read, int64_t i, int64_t j,
                       std::u16string_view field) {
    E_Error() = ZORBIT_E_FEW_ELEMENTS;
    ReportError(u"SetStrMatrix", 859,
                u"Should be: " + IntText(def.rows * def.cols) + u", are: " + IntText(read) +
                    u"\r\nMatrixName = " + std::u16string(def.name) + u"\r\nrow = " +
                    IntText(i + 1) + u", col = " + IntText(j + 1) + u"\r\nvalue = '" +
                    std::u16string(field) + u"'\r\n");
    DefinitionFailed();
    return ZORBIT_E_FEW_ELEMENTS;
}

// An element formula that does not evaluate to a number fails the whole definition.
int32_t ElementFailed(const Definition& def, int32_t code, int64_t i, int64_t j,
                      std::u16string_view field) {
    E_Error() = code;
    ReportError(u"SetStrMatrix", 866,
                u"MatrixName = " + std::u16string(def.name) + u"\r\nrow = " + IntText(i + 1) +
                    u", col = " + IntText(j + 1) + u"\r\nvalue = '" + std::u16string(field) +
                    u"'\r\n");
    DefinitionFailed();
    return code;
}

// A second "." in the number's run of digits and points ("1..5", "2.5.3"): no number at
// all, as in a formula, though the plain reader lets text after a number pass.
bool SecondPoint(std::u16string_view field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == u' ' || field[i] == u'\t'))
        ++i;
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) ++i;
    int points = 0;
    for (; i < field.size() && ((field[i] >= u'0' && field[i] <= u'9') || field[i] == u'.'); ++i)
        points += field[i] == u'.';
    return points > 1;
}

// Reads one element; returns -1 or the error code of the failed formula.
int32_t ElementValue(std::u16string_view field, bool evaluate, double* value) {
    if (!evaluate) {
        if (SecondPoint(field)) return ZORBIT_E_PARSER_SYNTAX;
        *value = ReadDecimal(field);
        return ZORBIT_NO_ERROR;
    }
    double result = 0;
    const int32_t kind = EvalExpression(field, &result, false);
    if (E_Error() != ZORBIT_NO_ERROR) return E_Error();
    if (kind != 0) return ZORBIT_E_WRONG_STRING_MATRIX; // a matrix is no element
    *value = result;
    return ZORBIT_NO_ERROR;
}

} // namespace

intptr_t SetStrMatrix(std::u16string_view definition, bool returnAddress, bool evaluate) {
    if (definition.empty()) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"SetStrMatrix", 886, u"Function Param = \r\n");
        DefinitionFailed();
        return ZORBIT_E_INVALID_ARGUMENT;
    }
    std::u16string text(TrimSpaces(definition));
    if (text.empty() || text.back() != u';') text += u';';
    const std::vector<std::u16string_view> fields = SplitFields(text);

    Definition def;
    def.name = fields.empty() ? std::u16string_view() : fields[0];
    def.rows = fields.size() > 1 ? ReadCount(fields[1]) : 0;
    def.cols = fields.size() > 2 ? ReadCount(fields[2]) : 0;
    if (def.name.empty() || (def.rows == 0 && def.cols == 0) || !CountsFit(def.rows, def.cols)) {
        E_Error() = ZORBIT_E_WRONG_STRING_MATRIX;
        ReportError(u"SetStrMatrix", 836,
                    u"MatrixName = " + std::u16string(def.name) + u"\r\nrows = " +
                        IntText(def.rows) + u", cols = " + IntText(def.cols));
        DefinitionFailed();
        return ZORBIT_E_WRONG_STRING_MATRIX;
    }
    const int64_t rows = def.rows == 0 ? 1 : def.rows;
    const int64_t cols = def.cols == 0 ? 1 : def.cols;
    def.rows = rows;
    def.cols = cols;

    std::vector<double> work(static_cast<size_t>(rows * cols), 0.0);
    // Matrices an element formula refers to are copies of this definition's own making.
    const uint64_t firstHandle = Matrices().nextHandle;
    size_t k = 3;
    for (int64_t i = 0; i < rows; ++i) {
        for (int64_t j = 0; j < cols; ++j, ++k) {
            const std::u16string_view field = k < fields.size() ? fields[k] : std::u16string_view();
            if (field.empty()) {
                DropScratchSince(firstHandle);
                return MissingElement(def, static_cast<int64_t>(k - 3), i, j, field);
            }
            const int32_t code =
                ElementValue(field, evaluate, &work[static_cast<size_t>(i * cols + j)]);
            if (code != ZORBIT_NO_ERROR) {
                DropScratchSince(firstHandle);
                return ElementFailed(def, code, i, j, field);
            }
        }
    }
    DropScratchSince(firstHandle);
    MatrixBlock block = AllocateBlock(work.size());
    double* storage = block.get();
    aCopyArray(work.data(), storage, static_cast<int32_t>(rows), static_cast<int32_t>(cols));
    // SetMatrix turns a count of 0 into 1 itself; the counts go as parsed.
    const int64_t parsedRows = ReadCount(fields[1]);
    const int64_t parsedCols = fields.size() > 2 ? ReadCount(fields[2]) : 0;
    return SetMatrix(def.name, storage, static_cast<int32_t>(parsedRows),
                     static_cast<int32_t>(parsedCols), returnAddress, std::move(block));
}

} // namespace zorbit
