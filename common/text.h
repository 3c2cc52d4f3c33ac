#pragma once
// UTF-16 helpers and conversions at the edges (files, terminal, arguments).

#include <string>
#include <string_view>

namespace zorbit {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Latin-1 bytes to UTF-16 (8-bit input that is not valid UTF-8).
std::u16string Latin1ToUtf16(std::string_view text);
bool IsValidUtf8(std::string_view text);

// Lower-cases one code unit (ASCII and Latin-1 letters; others unchanged).
inline char16_t LowerChar(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}
inline char16_t UpperChar(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    return c;
}
std::u16string ToLower(std::u16string_view text);
std::u16string ToUpper(std::u16string_view text);
// Trims spaces (only ' ') from both ends.
std::u16string_view TrimSpaces(std::u16string_view text);
// Trims spaces, tabs, CR and LF from both ends.
std::u16string_view TrimBlanks(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
// Letters, digits and "_": the characters an identifier is made of.
inline bool IsIdentChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}
// Copies text and a terminating zero into buffer (room for text.size() + 1).
inline void CopyWithZero(char16_t* buffer, std::u16string_view text) {
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
}
// Length of a zero-terminated UTF-16 text (0 for null).
size_t Length(const char16_t* text);
inline std::u16string_view View(const char16_t* text) {
    return text ? std::u16string_view(text, Length(text)) : std::u16string_view();
}

} // namespace zorbit
