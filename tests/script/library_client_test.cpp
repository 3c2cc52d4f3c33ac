// The library's client: the help text taken only when the library hands back a whole one,
// the quiet scope, and a client without a library, which calls nothing.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "script/library_client.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

// What the fake help routine writes and the size in bytes it claims.
std::u16string g_helpText;
int32_t g_helpBytes = 0;

int32_t FakeHelp(char16_t* buffer) {
    std::copy(g_helpText.begin(), g_helpText.end(), buffer);
    buffer[g_helpText.size()] = u'\0';
    return g_helpBytes;
}

struct HelpRow {
    const char* name;
    std::u16string text;
    int32_t bytes; // -1: the text's own size with its zero
    const char* shown;
};

TEST(LibraryClient, HelpTextIsTakenOnlyWhenItIsWhole) {
    EntrySlots slots;
    slots.GetDiff_OperAndFuncs = FakeHelp;
    const Library lib(&slots);
    for (const HelpRow& row :
         {HelpRow{"whole", u"ab\r\ncd", -1, "ab\r\ncd"}, HelpRow{"empty_text", u"", -1, ""},
          HelpRow{"no_size", u"ab", 0, ""}, HelpRow{"negative_size", u"ab", -4, ""},
          HelpRow{"zero_not_where_the_size_says", u"abcd", 4, ""},
          HelpRow{"size_past_the_room", u"ab", 8193 * 2, ""},
          HelpRow{"odd_size_rounds_down", u"ab", 7, "ab"},
          HelpRow{"fills_the_room", std::u16string(8191, u'x'), -1, "full"}}) {
        SCOPED_TRACE(row.name);
        g_helpText = row.text;
        g_helpBytes = row.bytes >= 0 || row.bytes < -1
                          ? row.bytes
                          : static_cast<int32_t>((row.text.size() + 1) * 2);
        const std::u16string got = lib.OperatorsAndFunctions();
        if (std::string(row.shown) == "full")
            EXPECT_EQ(got, row.text);
        else
            EXPECT_EQ(U8(got), row.shown);
    }
}

TEST(LibraryClient, HelpTextOfTheRealLibraryFitsItsRoom) {
    const std::u16string text = Library(&Zorbit().slots).OperatorsAndFunctions();
    EXPECT_EQ(U8(text).rfind("Library: Zorbit.dll - Version: ", 0), 0u) << U8(text);
    EXPECT_NE(U8(text).find("arcctg(x)"), std::string::npos);
    EXPECT_LT(text.size(), 8192u);
}

TEST(LibraryClient, WithoutALibraryNothingIsCalled) {
    const Library none(nullptr, "not found");
    EXPECT_FALSE(none.Bound());
    EXPECT_EQ(none.WhyUnbound(), "not found");
    EXPECT_FALSE(Library().Bound());
    EXPECT_TRUE(Library().WhyUnbound().empty());
    EXPECT_FALSE(none.Has("e_eval"));
    EXPECT_FALSE(none.Has("no_such_routine"));
    double value = 1;
    bool matrix = true;
    int32_t code = 0;
    EXPECT_FALSE(none.Eval(u"1+1", value, matrix, code));
    EXPECT_EQ(code, 4);
    std::u16string text = u"old";
    EXPECT_EQ(none.Derivative(u"x^2", u"x", text), 4);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(none.Integrate(u"x", 0, 1, 10, false, u"x", value), 4);
    EXPECT_EQ(none.StoreMatrix(u"[m]; 1; 1; 1"), 4);
    EXPECT_EQ(none.EvalSeries(u"x", 0, u"x", 1, 1, nullptr, nullptr, nullptr, nullptr), 4);
    EXPECT_EQ(none.GetError(), -1);
    EXPECT_EQ(none.FileVersion(), std::nullopt);
    EXPECT_EQ(none.ProbeElementOrder(), std::nullopt);
    EXPECT_EQ(none.FunctionBody(u"f"), std::nullopt);
    EXPECT_EQ(none.Define(u"g", u"1", 0), 4);
    EXPECT_TRUE(none.NameList().empty());
    EXPECT_TRUE(none.BuiltinKind(u"pi").empty());
    EXPECT_EQ(none.DefinitionWithParameters(u"f"), std::nullopt);
    EXPECT_TRUE(none.OperatorsAndFunctions().empty());
    const Library::Quiet quiet = none.Quietly();
}

// A list that shrank between the two calls: the client keeps what the second one wrote.
int32_t ShrinkingNames(char16_t* buffer, int32_t capacity) {
    const std::u16string_view text = u"variable\tg\t1\r\n";
    if (buffer && capacity > 0) {
        text.copy(buffer, text.size());
        buffer[text.size()] = u'\0';
    }
    return 40;
}

TEST(LibraryClient, NameListTakesWhatTheSecondCallWrote) {
    EntrySlots slots;
    slots.GetNameList = ShrinkingNames;
    EXPECT_EQ(U8(Library(&slots).NameList()), "variable\tg\t1\r\n");
}

class NamesTest : public ScriptTest {};

TEST_F(NamesTest, DefineTellsARefusalAndTheListNamesTheBuiltIns) {
    const Library lib(&Zorbit().slots);
    lib.ResetAll();
    lib.SetError(8); // a code left by an earlier call does not read as a refusal
    EXPECT_EQ(lib.Define(u"g", u"9.81", 0), -1);
    EXPECT_EQ(lib.Define(u"hyp(a; b)", u"sqrt(a^2+b^2)", 1), -1);
    EXPECT_EQ(lib.Define(u"area", u"pi*r^2", 1), -1);
    EXPECT_EQ(lib.Define(u"Pi", u"3", 0), 13);
    EXPECT_EQ(U8(lib.VarFuncList(u"vars")), "g=9.81;");
    struct Row {
        const char* word;
        const char* kind;
    };
    for (const Row& row : {Row{"PI", "constant"}, Row{"sin", "function"}, Row{"max", "statistics"},
                           Row{"det", "matrixfunction"}, Row{"xor", "operator"}, Row{"g", ""},
                           Row{"hyp", ""}, Row{"h", ""}}) {
        EXPECT_EQ(U8(lib.BuiltinKind(U16(row.word))), row.kind) << row.word;
    }
    EXPECT_EQ(lib.DefinitionWithParameters(u"HYP"), u"hyp(a; b) = sqrt(a^2+b^2)");
    EXPECT_EQ(lib.DefinitionWithParameters(u"area"), std::nullopt);
    EXPECT_EQ(lib.DefinitionWithParameters(u"hy"), std::nullopt);
    const std::u16string list = lib.NameList();
    EXPECT_NE(U8(list).find("variable\tg\t9.81\r\n"), std::string::npos);
    EXPECT_EQ(list.substr(list.size() - 2), u"\r\n");
    lib.ResetAll();
}

class QuietTest : public ScriptTest {};

TEST_F(QuietTest, KeepsOrLeavesTheCodeAndPutsTheSwitchesBack) {
    const Library lib(&Zorbit().slots);
    struct Row {
        const char* name;
        bool keepCode;
        int32_t after; // the code once the scope has ended
    };
    for (const Row& row : {Row{"code_kept", true, 25}, Row{"code_of_the_calls", false, 13}}) {
        SCOPED_TRACE(row.name);
        lib.SetError(25);
        const int32_t debug = lib.SetDebug(1);
        const int32_t records = lib.SetErrorRecords(1);
        {
            const Library::Quiet quiet = lib.Quietly(row.keepCode);
            EXPECT_EQ(lib.SetDebug(0), 0);
            EXPECT_EQ(lib.SetErrorRecords(0), 0);
            double value = 0;
            bool matrix = false;
            int32_t code = -1;
            EXPECT_FALSE(lib.Eval(u"ln(-1)", value, matrix, code));
            EXPECT_EQ(code, 13);
        }
        EXPECT_EQ(lib.GetError(), row.after);
        EXPECT_EQ(lib.SetDebug(debug), 1);
        EXPECT_EQ(lib.SetErrorRecords(records), 1);
        lib.SetError(-1);
    }
}

} // namespace
} // namespace vex::test
