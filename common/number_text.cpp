#include "common/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace zorbit {

namespace {

// Room for "%.10f" of the largest double: 309 integer digits, point, 10 decimals, sign.
constexpr size_t kFixedRoom = 360;

std::u16string Widen(const char* first, const char* last) {
    return std::u16string(first, last);
}

} // namespace

void AppendFixed10(std::u16string& out, double value) {
    char buf[kFixedRoom];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 10);
    out.append(buf, r.ptr);
}

std::u16string Fixed10(double value) {
    std::u16string s;
    AppendFixed10(s, value);
    return s;
}

void AppendFixedN(std::u16string& out, double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    char buf[kFixedRoom + 32];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    out.append(buf, r.ptr);
}

std::u16string FixedN(double value, int decimals) {
    std::u16string s;
    AppendFixedN(s, value, decimals);
    return s;
}

std::u16string ShortestText(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return Widen(buf, r.ptr);
}

std::u16string RoundTripText(double value) {
    if (!std::isfinite(value)) return Fixed10(value);
    char buf[400]; // the longest are 309 digits of DBL_MAX and the 326 of 5e-324
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (r.ec != std::errc()) return ShortestText(value);
    return Widen(buf, r.ptr);
}

std::u16string PlainNumberText(double value) {
    if (!std::isfinite(value)) return Fixed10(value);
    const double size = std::fabs(value);
    if (value == 0 || (size >= 1e-6 && size < 1e15)) return RoundTripText(value);
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    // "6.02e+23" -> "6.02e23", "2.5e-07" -> "2.5e-7".
    std::string text(buf, r.ptr);
    const size_t e = text.find('e');
    size_t digits = e + 1;
    if (text[digits] == '+') {
        text.erase(digits, 1);
    } else if (text[digits] == '-') {
        ++digits;
    }
    while (digits + 1 < text.size() && text[digits] == '0')
        text.erase(digits, 1);
    return Widen(text.data(), text.data() + text.size());
}

std::u16string AutoText(double value, int digits) {
    if (!std::isfinite(value)) return FixedN(value, 0);
    if (value == 0) return u"0"; // and -0
    // Past 17 digits a double holds only binary noise.
    digits = digits == -1 ? 15 : std::clamp(digits, 1, 17);
    // Rounded first in scientific form: its exponent decides the notation, so 999999.95
    // at 6 digits is 1e6, not 1000000 with 7 digits.
    char sci[64];
    auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
    const std::string_view text(sci, static_cast<size_t>(r.ptr - sci));
    const size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);
    std::string out;
    if (exponent >= -6 && exponent < 15) {
        // The same digit position as the scientific rounding, so the same digits.
        char fixed[64];
        auto f = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed,
                               std::max(0, digits - 1 - exponent));
        out.assign(fixed, f.ptr);
        if (out.find('.') != std::string::npos) {
            out.erase(out.find_last_not_of('0') + 1);
            if (out.back() == '.') out.pop_back();
        }
    } else {
        std::string mantissa(text.substr(0, e));
        if (mantissa.find('.') != std::string::npos) {
            mantissa.erase(mantissa.find_last_not_of('0') + 1);
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        char exp[16];
        auto x = std::to_chars(exp, exp + sizeof exp, exponent);
        out = mantissa + 'e' + std::string(exp, x.ptr);
    }
    return Widen(out.data(), out.data() + out.size());
}

std::u16string IntText(long long value) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return Widen(buf, r.ptr);
}

double ReadDecimal(std::u16string_view text, size_t* used) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const size_t start = i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const size_t mantissa = i;
    size_t digits = 0;
    bool point = false;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (digits == 0) {
        if (used) *used = 0;
        return 0.0;
    }
    size_t end = i;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
        if (j < text.size() && text[j] >= u'0' && text[j] <= u'9') {
            while (j < text.size() && text[j] >= u'0' && text[j] <= u'9')
                ++j;
            end = j;
        }
    }
    const double value = ParseAsciiNumber(text.substr(mantissa, end - mantissa));
    if (used) *used = end;
    (void)start;
    return negative ? -value : value;
}

double ParseAsciiNumber(std::u16string_view digits) {
    char small[128];
    std::string large;
    char* first = small;
    if (digits.size() > sizeof small) {
        large.resize(digits.size());
        first = large.data();
    }
    for (size_t k = 0; k < digits.size(); ++k)
        first[k] = static_cast<char>(digits[k]);
    char* last = first + digits.size();
    double value = 0.0;
    auto r = std::from_chars(first, last, value, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return 0.0;
    if (r.ec == std::errc::result_out_of_range) {
        // Too large reads as infinity, too small as zero, as strtod would: the value is
        // large when a digit other than 0 stands before the point and no negative exponent.
        const char* p = first;
        bool large_mantissa = false;
        for (; p != r.ptr && *p != '.' && *p != 'e' && *p != 'E'; ++p)
            if (*p >= '1' && *p <= '9') large_mantissa = true;
        const char* e = std::find_if(static_cast<const char*>(first), r.ptr,
                                     [](char c) { return c == 'e' || c == 'E'; });
        const bool negative_exp = e != r.ptr && e + 1 != r.ptr && e[1] == '-';
        const bool positive_exp = e != r.ptr && !negative_exp;
        value = (large_mantissa && !negative_exp) || positive_exp ? HUGE_VAL : 0.0;
    }
    return value;
}

double RoundTo10(double value) {
    if (!std::isfinite(value)) return value;
    char buf[kFixedRoom];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 10);
    double back = 0.0;
    std::from_chars(buf, r.ptr, back, std::chars_format::fixed);
    return back;
}

std::u16string TrimNumber(std::u16string_view text) {
    const size_t first = text.find_first_of(u"0123456789.+-");
    if (first == std::u16string_view::npos) return u"0";
    std::u16string_view t = text.substr(first);
    // Only zeros behind a decimal point are superfluous ("100" keeps its zeros,
    // and so does an exponent such as "1.5e100").
    const size_t point = t.find(u'.');
    if (point != std::u16string_view::npos &&
        t.find_first_of(u"eE", point) == std::u16string_view::npos) {
        const size_t last = t.find_last_not_of(u'0');
        t = last == std::u16string_view::npos ? std::u16string_view() : t.substr(0, last + 1);
        if (!t.empty() && t.back() == u'.') t.remove_suffix(1);
    }
    std::u16string out;
    if (!t.empty() && t.front() == u'.') out = u"0";
    out.append(t);
    if (out.empty()) out = u"0";
    return out;
}

void TrimFixedInPlace(std::u16string& text) {
    if (text.find(u'.') == std::u16string::npos ||
        text.find_first_of(u"eEni") != std::u16string::npos) {
        text = TrimNumber(text);
        return;
    }
    size_t end = text.find_last_not_of(u'0');
    if (end != std::u16string::npos && text[end] == u'.') --end;
    text.resize(end == std::u16string::npos ? 0 : end + 1);
    if (text.empty() || text == u"-")
        text = u"0";
    else if (text.front() == u'.')
        text.insert(text.begin(), u'0');
}

std::u16string CompactNumber(std::u16string_view text, bool keepDecimal) {
    std::u16string s = Fixed10(ReadDecimal(text));
    const size_t last = s.find_last_not_of(u'0');
    if (last == std::u16string::npos) return u"0";
    size_t j = last;
    if (s[j] == u'.' || s[j] == u',') {
        if (keepDecimal) {
            ++j;
        } else if (j == 0) {
            return u"0";
        } else {
            --j;
        }
    }
    s.resize(j + 1);
    return s.empty() ? u"0" : s;
}

} // namespace zorbit
