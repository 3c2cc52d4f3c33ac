#pragma once
// Small text operations of the script language: fields, quotes, brackets, integer
// values and the hexadecimal and binary digits of "Hex" and "Bin".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

inline constexpr std::u16string_view kCrLf = u"\r\n";

// The k-th field (1-based) of text split at sep; "" past the last field.
std::u16string_view Field(std::u16string_view text, char16_t sep, size_t k);
// All fields of text split at sep (an empty text is one empty field).
std::vector<std::u16string_view> SplitFields(std::u16string_view text, char16_t sep);
// Every "'" removed.
std::u16string RemoveQuotes(std::u16string_view text);
// "[" in front and "]" behind, each only when missing.
std::u16string AddBrackets(std::u16string_view name);
// One leading "[" and one trailing "]" removed.
std::u16string_view StripBrackets(std::u16string_view name);
// Leading blanks skipped, optional sign, decimal digits; "$" hexadecimal, "%" binary.
// Stops at the first other character; empty gives 0; saturates at the int32 range.
int32_t IntegerValue(std::u16string_view text);
// Digits of value as a 64-bit two's complement number in base 16 (upper case) or 2.
std::u16string HexDigits(int64_t value);
std::u16string BinDigits(int64_t value);
// Number text with the decimals setting (-1 means 10).
std::u16string FixedText(double value, int32_t decimals);
// How results are written: Fixed, the decimals setting as fixed decimals; Auto, up to that
// many significant digits (15 when -1) and scientific notation for large and tiny values.
enum class NumberFormat : uint8_t { Fixed, Auto };
// A result in the given format with the decimals setting.
std::u16string ResultText(double value, int32_t decimals, NumberFormat format);
// "fixed" or "auto" in any case, blanks around allowed; nothing for any other text.
std::optional<NumberFormat> NumberFormatNamed(std::u16string_view name);
// "classic" or "full" in any case: the library's precision mode; nothing otherwise.
std::optional<int32_t> PrecisionNamed(std::u16string_view name);
std::u16string_view NumberFormatName(NumberFormat format);
std::u16string_view PrecisionName(int32_t mode);
// FixedText without superfluous zeros after the point ("0.3300" -> "0.33", "100" stays).
std::u16string ValueText(double value, int32_t decimals);
std::u16string Num(long long value);
bool StartsWith(std::u16string_view text, std::u16string_view prefix);
bool Contains(std::u16string_view text, std::u16string_view part);
// Removes "'" characters from both ends (StripEnds of the selection text).
std::u16string_view StripQuoteEnds(std::u16string_view text);
// Removes CR and LF characters from both ends.
std::u16string_view StripLineEnds(std::u16string_view text);

} // namespace vex
