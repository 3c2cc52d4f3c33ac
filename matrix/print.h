#pragma once
// Matrix text: aPrint and its relatives, and the text the list dump uses.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbit {

// The text of aPrint. callerOrder reads the elements through aCopyArray (a caller's
// storage); otherwise they are taken in the library's own order (the store's entries).
std::u16string MatrixText(const double* a, int32_t rows, int32_t cols, std::u16string_view format,
                          std::u16string_view title, std::u16string_view separator,
                          bool callerOrder);

const char16_t* aPrint(const double* a, int32_t rows, int32_t cols, std::u16string_view destination,
                       std::u16string_view format, std::u16string_view title,
                       std::u16string_view separator);
int32_t aPrintEx(const double* a, int32_t rows, int32_t cols, const char16_t* destination,
                 const char16_t* format, const char16_t* title, const char16_t* separator,
                 char16_t* buffer);
const char16_t* aShow(const double* a, int32_t rows, int32_t cols);

} // namespace zorbit
