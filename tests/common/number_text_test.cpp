#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/number_text.h"
#include "common/text.h"

namespace zorbit {
namespace {

struct TrimRow {
    const char* name;
    std::u16string_view in;
    std::u16string_view out;
};

class TrimNumberRows : public ::testing::TestWithParam<TrimRow> {};

TEST_P(TrimNumberRows, Trims) {
    EXPECT_EQ(TrimNumber(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimNumberRows,
    ::testing::Values(
        TrimRow{"half", u"2.5000000000", u"2.5"}, TrimRow{"whole", u"3.0000000000", u"3"},
        TrimRow{"negative", u"-0.2500000000", u"-0.25"}, TrimRow{"zero", u"0.0000000000", u"0"},
        TrimRow{"leading_text", u"x = 12.50", u"12.5"}, TrimRow{"empty", u"", u"0"},
        TrimRow{"no_number", u"abc", u"0"}, TrimRow{"integer_keeps_zeros", u"100", u"100"},
        TrimRow{"leading_point", u".5", u"0.5"},
        TrimRow{"infinity_text", u"1.#INF000000", u"1.#INF"},
        TrimRow{"exponent_kept", u"1.5e100", u"1.5e100"}, TrimRow{"sign_point", u"-.5", u"-.5"},
        TrimRow{"only_zeros", u"000", u"000"}, TrimRow{"point_zeros", u"0.000", u"0"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CompactRow {
    const char* name;
    std::u16string_view in;
    bool keep;
    std::u16string_view out;
};

class CompactNumberRows : public ::testing::TestWithParam<CompactRow> {};

TEST_P(CompactNumberRows, Compacts) {
    EXPECT_EQ(CompactNumber(GetParam().in, GetParam().keep), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompactNumberRows,
    ::testing::Values(CompactRow{"half", u"0.5", false, u"0.5"},
                      CompactRow{"neg_half", u"-0.5", false, u"-0.5"},
                      CompactRow{"three_keep", u"3", true, u"3.0"},
                      CompactRow{"three", u"3", false, u"3"}, CompactRow{"zero", u"0", false, u"0"},
                      CompactRow{"zero_keep", u"0", true, u"0.0"},
                      CompactRow{"ten", u"10", false, u"10"},
                      CompactRow{"rounds", u"0.333333333333", false, u"0.3333333333"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberText, FixedTenAndRoundTrip) {
    EXPECT_EQ(Fixed10(2.5), u"2.5000000000");
    EXPECT_EQ(Fixed10(3.141592653589793), u"3.1415926536");
    EXPECT_EQ(RoundTo10(0.123456789012), 0.123456789);
    EXPECT_EQ(RoundTo10(1e-12), 0.0);
    EXPECT_TRUE(std::isinf(RoundTo10(INFINITY)));
}

TEST(NumberText, ReadDecimalStopsAtFirstMisfit) {
    size_t used = 0;
    EXPECT_EQ(ReadDecimal(u"  -9.81xyz", &used), -9.81);
    EXPECT_EQ(used, 7u);
    EXPECT_EQ(ReadDecimal(u"1.2.3"), 1.2);
    EXPECT_EQ(ReadDecimal(u"abc", &used), 0);
    EXPECT_EQ(used, 0u);
    EXPECT_EQ(ReadDecimal(u"2E3"), 2000);
    EXPECT_EQ(ReadDecimal(u"2E"), 2);
    EXPECT_EQ(ReadDecimal(u"inf"), 0);
    EXPECT_TRUE(std::isinf(ReadDecimal(u"1e999")));
    EXPECT_EQ(ReadDecimal(u"1e-999"), 0);
}

TEST(NumberText, HugeNumberTokens) {
    EXPECT_TRUE(std::isinf(ParseAsciiNumber(std::u16string(400, u'9'))));
    EXPECT_EQ(ParseAsciiNumber(u"0." + std::u16string(400, u'0') + u"1"), 0);
    EXPECT_EQ(ParseAsciiNumber(u"."), 0);
}

TEST(Text, Utf8RoundTripAndBadInput) {
    const std::u16string s = u"x\u00e9\u20ac\U0001F600";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), std::u16string(1, char16_t(0xFFFD)));
    EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));
    EXPECT_EQ(Latin1ToUtf16("caf\xE9"), u"caf\u00e9");
}

} // namespace
} // namespace zorbit

namespace zorbit {
namespace {

TEST(NumberText, InPlaceTrimAgreesWithTrimNumber) {
    for (double v :
         {0.0, -0.0, 1.0, -2.5, 0.1, 1e-11, 123456.789, -1e20, 1e300, 0.30000000000000004}) {
        std::u16string s = Fixed10(v);
        const std::u16string expected = TrimNumber(s);
        TrimFixedInPlace(s);
        EXPECT_EQ(s, expected) << v;
    }
}

} // namespace
} // namespace zorbit

namespace zorbit {
namespace {

struct AutoRow {
    const char* name;
    double value;
    int digits;
    std::u16string_view out;
};

class AutoTextRows : public ::testing::TestWithParam<AutoRow> {};

TEST_P(AutoTextRows, Writes) {
    EXPECT_EQ(AutoText(GetParam().value, GetParam().digits), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoTextRows,
    ::testing::Values(
        AutoRow{"avogadro", 6.02e23, 15, u"6.02e23"}, AutoRow{"tiny", 1.5e-12, 15, u"1.5e-12"},
        AutoRow{"negative_tiny", -2.5e-7, 15, u"-2.5e-7"},
        AutoRow{"third", 1.0 / 3, 15, u"0.333333333333333"},
        AutoRow{"third_default", 1.0 / 3, -1, u"0.333333333333333"},
        AutoRow{"third_four", 1.0 / 3, 4, u"0.3333"}, AutoRow{"whole", 42, 15, u"42"},
        AutoRow{"zero", 0, 15, u"0"}, AutoRow{"negative_zero", -0.0, 15, u"0"},
        AutoRow{"two_pow_100", 1267650600228229401496703205376.0, 15, u"1.26765060022823e30"},
        AutoRow{"lower_edge", 1e-6, 15, u"0.000001"},
        AutoRow{"below_lower_edge", 9.99e-7, 15, u"9.99e-7"},
        AutoRow{"below_upper_edge", 999999999999999, 15, u"999999999999999"},
        AutoRow{"upper_edge", 1e15, 15, u"1e15"},
        AutoRow{"rounds_up_to_science", 999999999999999.9, 15, u"1e15"},
        AutoRow{"rounds_up_in_range", 9.9996, 4, u"10"}, AutoRow{"one_digit", 2.6, 0, u"3"},
        AutoRow{"negative", -1234.5678, 6, u"-1234.57"},
        AutoRow{"max", 1.7976931348623157e308, 17, u"1.7976931348623157e308"},
        AutoRow{"denormal", 5e-324, 15, u"4.94065645841247e-324"},
        AutoRow{"beyond_seventeen", 0.1, 30, u"0.10000000000000001"},
        AutoRow{"infinity", INFINITY, 15, u"inf"},
        AutoRow{"minus_infinity", -INFINITY, 15, u"-inf"}),
    [](const auto& info) { return std::string(info.param.name); });

// The reader takes back what Auto writes: with 17 digits the same double, with fewer the
// value of the text, which Auto writes again unchanged.
TEST(NumberText, AutoTextReadsBack) {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int k = 0; k < 20000; ++k) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double v = 0;
        static_assert(sizeof v == sizeof state);
        std::memcpy(&v, &state, sizeof v);
        if (!std::isfinite(v)) continue;
        const std::u16string full = AutoText(v, 17);
        size_t used = 0;
        ASSERT_EQ(ReadDecimal(full, &used), v) << Utf16ToUtf8(full);
        ASSERT_EQ(used, full.size()) << Utf16ToUtf8(full);
        const std::u16string short15 = AutoText(v, 15);
        const double back = ReadDecimal(short15, &used);
        ASSERT_EQ(used, short15.size()) << Utf16ToUtf8(short15);
        ASSERT_EQ(AutoText(back, 15), short15);
        ASSERT_EQ(short15.find(u'+'), std::u16string::npos) << Utf16ToUtf8(short15);
        ASSERT_EQ(short15.find(u"e-0"), std::u16string::npos) << Utf16ToUtf8(short15);
    }
}

TEST(NumberText, ExponentsInNumberTokens) {
    EXPECT_EQ(ParseAsciiNumber(u"6.02E23"), 6.02e23);
    EXPECT_EQ(ParseAsciiNumber(u".5e3"), 500);
    EXPECT_EQ(ParseAsciiNumber(u"1.e2"), 100);
    EXPECT_EQ(ParseAsciiNumber(u"1E+10"), 1e10);
    EXPECT_TRUE(std::isinf(ParseAsciiNumber(u"1e400")));
    EXPECT_EQ(ParseAsciiNumber(u"1e-400"), 0);
    EXPECT_EQ(ParseAsciiNumber(u"4e-320"), 4e-320); // denormal, as from_chars gives
}

} // namespace
} // namespace zorbit

namespace zorbit {
namespace {

// What Copy result puts on the clipboard: a plain number that reads back as the same
// double, in scientific notation only where fixed-point would be long.
TEST(NumberText, PlainNumberTextReadsBackWhole) {
    const struct Row {
        const char* name;
        double value;
        std::u16string_view text;
    } rows[] = {
        {"half", 2.5, u"2.5"},
        {"whole", 42, u"42"},
        {"zero", 0, u"0"},
        {"third", 1.0 / 3, u"0.3333333333333333"},
        {"avogadro", 6.02e23, u"6.02e23"},
        {"negative_tiny", -2.5e-7, u"-2.5e-7"},
        {"lower_edge", 1e-6, u"0.000001"},
        {"upper_edge", 1e15, u"1e15"},
        {"below_upper_edge", 999999999999999, u"999999999999999"},
        {"max", 1.7976931348623157e308, u"1.7976931348623157e308"},
        {"denormal", 5e-324, u"5e-324"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::u16string text = PlainNumberText(r.value);
        EXPECT_EQ(Utf16ToUtf8(text), Utf16ToUtf8(r.text));
        size_t used = 0;
        EXPECT_EQ(ReadDecimal(text, &used), r.value);
        EXPECT_EQ(used, text.size());
    }
}

} // namespace
} // namespace zorbit
