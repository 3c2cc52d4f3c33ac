#include "script/text_util.h"

#include <limits>

#include "common/number_text.h"
#include "common/text.h"
#include "zorbit/codes.h"

namespace vex {

std::u16string_view Field(std::u16string_view text, char16_t sep, size_t k) {
    size_t start = 0;
    for (size_t n = 1; n < k; ++n) {
        const size_t p = text.find(sep, start);
        if (p == std::u16string_view::npos) return {};
        start = p + 1;
    }
    const size_t end = text.find(sep, start);
    return text.substr(start, end == std::u16string_view::npos ? text.npos : end - start);
}

std::vector<std::u16string_view> SplitFields(std::u16string_view text, char16_t sep) {
    std::vector<std::u16string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t p = text.find(sep, start);
        if (p == std::u16string_view::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, p - start));
        start = p + 1;
    }
}

std::u16string RemoveQuotes(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text)
        if (c != u'\'') out.push_back(c);
    return out;
}

std::u16string AddBrackets(std::u16string_view name) {
    std::u16string out;
    if (name.empty() || name.front() != u'[') out.push_back(u'[');
    out.append(name);
    if (name.empty() || name.back() != u']') out.push_back(u']');
    return out;
}

std::u16string_view StripBrackets(std::u16string_view name) {
    if (!name.empty() && name.front() == u'[') name.remove_prefix(1);
    if (!name.empty() && name.back() == u']') name.remove_suffix(1);
    return name;
}

int32_t IntegerValue(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$')
        base = 16, ++i;
    else if (i < text.size() && text[i] == u'%')
        base = 2, ++i;
    constexpr int64_t kLimit = int64_t{1} << 32;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0 || d >= base) break;
        value = value * base + d;
        if (value > kLimit) value = kLimit;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

namespace {

std::u16string Digits(int64_t value, unsigned shift) {
    uint64_t bits = static_cast<uint64_t>(value);
    if (bits == 0) return u"0";
    const uint64_t mask = (uint64_t{1} << shift) - 1;
    std::u16string out;
    while (bits != 0) {
        out.insert(out.begin(), u"0123456789ABCDEF"[bits & mask]);
        bits >>= shift;
    }
    return out;
}

} // namespace

std::u16string HexDigits(int64_t value) {
    return Digits(value, 4);
}
std::u16string BinDigits(int64_t value) {
    return Digits(value, 1);
}

std::u16string FixedText(double value, int32_t decimals) {
    return zorbit::FixedN(value, decimals == -1 ? 10 : decimals);
}

std::u16string ResultText(double value, int32_t decimals, NumberFormat format) {
    if (format == NumberFormat::Auto) return zorbit::AutoText(value, decimals);
    return FixedText(value, decimals);
}

std::optional<NumberFormat> NumberFormatNamed(std::u16string_view name) {
    const std::u16string word = zorbit::ToLower(zorbit::TrimBlanks(name));
    if (word == u"fixed") return NumberFormat::Fixed;
    if (word == u"auto") return NumberFormat::Auto;
    return std::nullopt;
}

std::optional<int32_t> PrecisionNamed(std::u16string_view name) {
    const std::u16string word = zorbit::ToLower(zorbit::TrimBlanks(name));
    if (word == u"classic") return ZORBIT_PRECISION_CLASSIC;
    if (word == u"full") return ZORBIT_PRECISION_FULL;
    return std::nullopt;
}

std::u16string_view NumberFormatName(NumberFormat format) {
    return format == NumberFormat::Auto ? u"auto" : u"fixed";
}

std::u16string_view PrecisionName(int32_t mode) {
    return mode == ZORBIT_PRECISION_FULL ? u"full" : u"classic";
}

std::u16string ValueText(double value, int32_t decimals) {
    std::u16string text = FixedText(value, decimals);
    // Trimming zeros only makes sense behind a point: "100" must stay 100.
    if (text.find(u'.') == std::u16string::npos) return text;
    return zorbit::TrimNumber(text);
}

std::u16string Num(long long value) {
    return zorbit::IntText(value);
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

std::u16string_view StripQuoteEnds(std::u16string_view text) {
    while (!text.empty() && text.front() == u'\'')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u'\'')
        text.remove_suffix(1);
    return text;
}

std::u16string_view StripLineEnds(std::u16string_view text) {
    while (!text.empty() && (text.front() == u'\r' || text.front() == u'\n'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n'))
        text.remove_suffix(1);
    return text;
}

} // namespace vex
