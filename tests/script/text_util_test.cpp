#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "script/run_state.h"
#include "script/text_util.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

struct IntegerRow {
    const char* name;
    const char16_t* text;
    int32_t value;
};

class IntegerValueTest : public ::testing::TestWithParam<IntegerRow> {};

TEST_P(IntegerValueTest, ReadsLikeTheScriptLanguage) {
    EXPECT_EQ(IntegerValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IntegerValueTest,
    ::testing::Values(IntegerRow{"decimal", u"42", 42}, IntegerRow{"blanks", u" \t 7x", 7},
                      IntegerRow{"negative", u"-12", -12}, IntegerRow{"hex", u"$1F", 31},
                      IntegerRow{"hexLower", u"$ff", 255}, IntegerRow{"binary", u"%101", 5},
                      IntegerRow{"binaryStops", u"%1021", 2}, IntegerRow{"empty", u"", 0},
                      IntegerRow{"text", u"abc", 0},
                      IntegerRow{"saturates", u"99999999999999999999", INT32_MAX},
                      IntegerRow{"saturatesLow", u"-99999999999999999999", INT32_MIN}),
    [](const auto& info) { return std::string(info.param.name); });

struct DigitsRow {
    const char* name;
    int64_t value;
    const char16_t* hex;
    const char16_t* bin;
};

class DigitsTest : public ::testing::TestWithParam<DigitsRow> {};

TEST_P(DigitsTest, TwosComplementDigits) {
    EXPECT_EQ(U8(HexDigits(GetParam().value)), U8(GetParam().hex));
    EXPECT_EQ(U8(BinDigits(GetParam().value)), U8(GetParam().bin));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DigitsTest,
    ::testing::Values(
        DigitsRow{"zero", 0, u"0", u"0"}, DigitsRow{"five", 5, u"5", u"101"},
        DigitsRow{"byte", 255, u"FF", u"11111111"},
        DigitsRow{"minusOne", -1, u"FFFFFFFFFFFFFFFF",
                  u"1111111111111111111111111111111111111111111111111111111111111111"},
        DigitsRow{"minusTwo", -2, u"FFFFFFFFFFFFFFFE",
                  u"1111111111111111111111111111111111111111111111111111111111111110"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Fields, SplitLikeStringFields) {
    EXPECT_EQ(U8(Field(u"a;b;c", u';', 2)), "b");
    EXPECT_EQ(U8(Field(u"a;b;c", u';', 4)), "");
    EXPECT_EQ(U8(Field(u"a;;c", u';', 3)), "c");
    EXPECT_EQ(SplitFields(u"", u';').size(), 1u);
}

TEST(Brackets, AddedAndStrippedIndependently) {
    EXPECT_EQ(U8(AddBrackets(u"mA")), "[mA]");
    EXPECT_EQ(U8(AddBrackets(u"[mA")), "[mA]");
    EXPECT_EQ(U8(AddBrackets(u"mA]")), "[mA]");
    EXPECT_EQ(U8(StripBrackets(u"[out.txt]")), "out.txt");
    EXPECT_EQ(U8(StripBrackets(u"out.txt]")), "out.txt");
}

TEST(ValueTexts, KeepOnlyTheDecimalsThatCount) {
    EXPECT_EQ(U8(ValueText(1.0 / 3, 4)), "0.3333");
    EXPECT_EQ(U8(ValueText(2.5, 4)), "2.5");
    // With no decimals there is no point, and the zeros of a whole number stay.
    EXPECT_EQ(U8(ValueText(100, 0)), "100");
    EXPECT_EQ(U8(ValueText(0.25, -1)), "0.25");
}

struct SplitRow {
    const char* name;
    const char16_t* line;
    const char* command;
    const char* argument;
    const char* parameter;
    bool runs;
};

class SplitTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitTest, CommandArgumentAndParameter) {
    const SplitRow& r = GetParam();
    const Statement st = SplitStatement(r.line, 1);
    EXPECT_EQ(st.argPos != 0, r.runs);
    if (!r.runs) return;
    EXPECT_EQ(U8(st.command), r.command);
    EXPECT_EQ(U8(st.ArgumentText()), r.argument);
    EXPECT_EQ(U8(st.ParameterText()), r.parameter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitTest,
    ::testing::Values(SplitRow{"expr", u"Expr = 2+3", "expr", "2+3", "", true},
                      SplitRow{"upperCase", u"EXPR = 1", "expr", "1", "", true},
                      SplitRow{"parameter", u"StoExpr( x ) = 1/3", "stoexpr", "1/3", "x", true},
                      SplitRow{"bracketsAfterEquals", u"Expr = sin(1)", "expr", "sin(1)", "", true},
                      SplitRow{"noEquals", u"Show(mA)", "show", "mA)", "mA", true},
                      SplitRow{"commentCut", u"x = 1 ' comment", "x", "1", "", true},
                      SplitRow{"commentBeforeEquals", u"Expr 'a = 1", "expr 'a", "", "", true},
                      SplitRow{"plainWord", u"hello", "", "", "", false},
                      SplitRow{"emptyParams", u"Pause( )", "pause", ")", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
