#include "common/text.h"

namespace zorbit {

size_t Length(const char16_t* text) {
    if (!text) return 0;
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            bool ok = i + len <= n;
            char32_t v = c & (0x7F >> len);
            for (size_t k = 1; ok && k < len; ++k) {
                const unsigned char d = static_cast<unsigned char>(text[i + k]);
                if ((d & 0xC0) != 0x80) ok = false;
                v = (v << 6) | (d & 0x3F);
            }
            if (ok && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF) && !(len == 2 && v < 0x80) &&
                !(len == 3 && v < 0x800) && !(len == 4 && v < 0x10000)) {
                cp = v;
            } else {
                len = 1;
                cp = 0xFFFD;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // an unpaired surrogate has no UTF-8 form
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string Latin1ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out.push_back(static_cast<unsigned char>(c));
    return out;
}

bool IsValidUtf8(std::string_view text) {
    const std::u16string round = Utf8ToUtf16(text);
    return Utf16ToUtf8(round) == text;
}

std::u16string ToLower(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = LowerChar(c);
    return out;
}

std::u16string ToUpper(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = UpperChar(c);
    return out;
}

std::u16string_view TrimSpaces(std::u16string_view text) {
    const size_t b = text.find_first_not_of(u' ');
    if (b == std::u16string_view::npos) return {};
    const size_t e = text.find_last_not_of(u' ');
    return text.substr(b, e - b + 1);
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    const size_t b = text.find_first_not_of(u" \t\r\n");
    if (b == std::u16string_view::npos) return {};
    const size_t e = text.find_last_not_of(u" \t\r\n");
    return text.substr(b, e - b + 1);
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    return true;
}

} // namespace zorbit
