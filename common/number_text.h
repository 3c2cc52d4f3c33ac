#pragma once
// The one formatter: every number that becomes text, and every number text that
// becomes a number, goes through here (C locale, std::to_chars/std::from_chars).

#include <string>
#include <string_view>

namespace zorbit {

// "%.10f": fixed-point with exactly 10 decimals ("inf"/"-inf"/"nan" for non-finite).
std::u16string Fixed10(double value);
// Fixed-point with the given number of decimals (0..30).
std::u16string FixedN(double value, int decimals);
// Appends FixedN(value, decimals) to out without a temporary.
void AppendFixedN(std::u16string& out, double value, int decimals);
// Appends Fixed10(value) to out without a temporary.
void AppendFixed10(std::u16string& out, double value);
// Shortest text that reads back as the same double.
std::u16string ShortestText(double value);
// Shortest fixed-point text that reads back as the same double (no exponent, so every
// number reader takes it); "inf"/"-inf"/"nan" for non-finite values.
std::u16string RoundTripText(double value);
// The Auto format: up to `digits` significant digits (1..17; 15 when digits is -1),
// trailing zeros dropped, scientific notation outside 1e-6 <= |x| < 1e15 in a form
// ReadDecimal and the engine read back ("6.02e23", "-2.5e-7"); "inf"/"nan" as FixedN.
std::u16string AutoText(double value, int digits);
// A value as text that reads back as the same double, as a person would type it: the
// shortest fixed-point text for 1e-6 <= |x| < 1e15 (and 0), else the shortest scientific
// form in the notation AutoText writes ("6.02e23", "-2.5e-7").
std::u16string PlainNumberText(double value);
// Decimal integer text.
std::u16string IntText(long long value);

// Reads a decimal number at the start of text: optional spaces, sign, digits, one point,
// digits, exponent. Reading stops at the first character that does not fit; no digits
// give 0. `used` receives the characters consumed (0 when nothing was read).
double ReadDecimal(std::u16string_view text, size_t* used = nullptr);
// Reads ASCII digits, point and exponent as far as they form a number ("1.2.3" gives 1.2,
// "." gives 0); too large gives infinity, too small 0.
double ParseAsciiNumber(std::u16string_view digits);
// Value of a "%.10f" round trip: the number as the engine reads it back from its text.
double RoundTo10(double value);

// Drops leading text and the zeros after a decimal point ("2.5000000000" -> "2.5").
std::u16string TrimNumber(std::u16string_view text);
// TrimNumber of a "%.10f" text, in place and without allocating.
void TrimFixedInPlace(std::u16string& text);
// Reads text as a number and writes it in its shortest fixed form ("0.5", "3" or "3.0").
std::u16string CompactNumber(std::u16string_view text, bool keepDecimal);

} // namespace zorbit
