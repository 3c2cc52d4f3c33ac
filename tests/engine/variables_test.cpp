#include "common/number_text.h"
#include "engine/errors.h"
#include "engine/variables.h"
#include "engine_fixture.h"

namespace zorbit::test {
namespace {

class Variables : public EngineTest {
  protected:
    static std::u16string Vars() { return Engine().vars.VarList; }
    static std::u16string Funcs() { return Engine().vars.FuncList; }
};

TEST_F(Variables, StoredTrimmedLowerCaseAndReplacedInPlace) {
    EXPECT_EQ(SetVarFunct(u" G ", u"9.81", 0), 1);
    EXPECT_EQ(Vars(), u"g=9.81;");
    EXPECT_EQ(SetVarFunct(u"g", u"10", 0), 1);
    EXPECT_EQ(Vars(), u"g=10;");
    EXPECT_EQ(SetVarFunct(u"h", u"2", 0), 2);
    EXPECT_EQ(SetVarFunct(u"G", u"3", 0), 2);
    EXPECT_EQ(Vars(), u"g=3;h=2;");
}

TEST_F(Variables, ListBecomesSemicolonAfterALookup) {
    Value(u"sin(0)");
    EXPECT_EQ(Vars(), u";");
    EXPECT_EQ(SetVarFunct(u"g", u"9.81", 0), 2);
    EXPECT_EQ(Vars(), u";g=9.81;");
}

TEST_F(Variables, WholeEntriesOnly) {
    SetVarFunct(u"ax", u"1", 0);
    SetVarFunct(u"x", u"2", 0);
    EXPECT_EQ(Vars(), u"ax=1;x=2;");
    EXPECT_EQ(Value(u"x"), 2);
    EXPECT_EQ(Value(u"ax"), 1);
    SetVarFunct(u"x", u"5", 0);
    EXPECT_EQ(Vars(), u"ax=1;x=5;");
}

TEST_F(Variables, ValuesEnterRoundedToTenDecimals) {
    SetVarFunct(u"x", u"0.123456789012", 0);
    EXPECT_EQ(Value(u"x"), 0.123456789);
    SetVarFunct(u"t", u"1E-12", 0);
    EXPECT_EQ(Value(u"t"), 0);
}

TEST_F(Variables, LookupIgnoresCaseAndHidesConstantsAndFunctions) {
    SetVarFunct(u"g", u"9.81", 0);
    EXPECT_DOUBLE_EQ(Value(u"G*2"), 19.62);
    SetVarFunct(u"e", u"3", 0);
    EXPECT_EQ(Value(u"e"), 3);
    SetVarFunct(u"sin", u"1", 0);
    EXPECT_EQ(Code(u"sin(0)"), 2); // "sin" is now a number followed by "(0)"
}

TEST_F(Variables, FindVarFunctReportsFoundAndMissing) {
    SetVarFunct(u"r", u"2.5", 0);
    double v = 0;
    EXPECT_EQ(FindVarFunct(u"r", 0, &v, nullptr), 21);
    EXPECT_EQ(v, 2.5);
    EXPECT_EQ(E_Error(), -1);
    EXPECT_EQ(FindVarFunct(u"nope", 0, &v, nullptr), 0);
    EXPECT_EQ(E_Error(), 7);
    SetVarFunct(u"f(x)", u"x^2+1", 1);
    char16_t body[32] = {};
    EXPECT_EQ(FindVarFunct(u"f(x)", 1, &v, body), 21);
    EXPECT_EQ(std::u16string(body), u"x^2+1");
    EXPECT_EQ(v, 5);
}

TEST_F(Variables, BadEntriesAreRefusedWithoutTouchingTheList) {
    SetVarFunct(u"a", u"1", 0);
    EXPECT_EQ(SetVarFunct(u"", u"2", 0), 1);
    EXPECT_EQ(E_Error(), 13);
    EXPECT_EQ(SetVarFunct(u"b", u"1;c=2", 0), 1);
    EXPECT_EQ(Vars(), u"a=1;");
}

TEST_F(Variables, CopyListHonoursCapacity) {
    SetVarFunct(u"g", u"9.81", 0);
    char16_t buf[8] = {};
    EXPECT_EQ(CopyVarFuncList(buf, 4, u"VARS"), 4);
    EXPECT_EQ(std::u16string(buf), u"g=9.");
}

TEST_F(Variables, ResetEmptiesEverything) {
    SetVarFunct(u"g", u"1", 0);
    SetVarFunct(u"f", u"2", 1);
    Code(u"1/0");
    EXPECT_EQ(ReSetZiZoruze(), 0);
    EXPECT_TRUE(Vars().empty());
    EXPECT_TRUE(Funcs().empty());
    EXPECT_TRUE(Engine().errors.ErrMsgs.empty());
    EXPECT_EQ(Engine().eval.ResultType, -1);
}

class CustomFunctions : public Variables {};

TEST_F(CustomFunctions, ExpandedAsTextMacros) {
    SetVarFunct(u"sq(x)", u"x*x", 1);
    SetVarFunct(u"x", u"3", 0);
    EXPECT_EQ(Value(u"sq(x)+1"), 10);
    EXPECT_EQ(Value(u"SQ(X)+1"), 10);
    EXPECT_EQ(Code(u"sq(3)"), 4); // the "parameter" is part of the name
}

TEST_F(CustomFunctions, LaterEntriesExpandEarlierBodies) {
    SetVarFunct(u"area", u"pi*rr", 1);
    SetVarFunct(u"rr", u"2", 1);
    EXPECT_NEAR(Value(u"area"), 3.1415926536 * 2, 1e-12);
}

TEST_F(CustomFunctions, WholeNamesOnly) {
    SetVarFunct(u"s", u"2", 1);
    EXPECT_EQ(Value(u"sin(0)+s"), 2);
    std::u16string text = u"s+sin(s)+s_1+xs";
    ASSERT_TRUE(ExpandFunctions(text));
    EXPECT_EQ(text, u"(2)+sin((2))+s_1+xs");
}

TEST_F(CustomFunctions, AmbiguousNamesFailWhenChecked) {
    SetVarFunct(u"f", u"2", 1);
    SetVarFunct(u"ff", u"3", 1);
    double v = 0;
    EXPECT_EQ(EvalExpression(u"1", &v, true), 1);
    EXPECT_EQ(E_Error(), 1);
    EXPECT_EQ(EvalExpression(u"1", &v, false), 0);
}

TEST_F(CustomFunctions, ExplosiveExpansionIsBounded) {
    // q0 = q1*q1, q1 = q2*q2, ...: each entry doubles the text the next one sees.
    // Appended, not u"q" + IntText(k): that makes GCC 12 at -O3 warn of a false overlap.
    const auto q = [](int k) {
        std::u16string name = u"q";
        return name += IntText(k);
    };
    for (int i = 0; i < 40; ++i) {
        const std::u16string next = q(i + 1);
        SetVarFunct(q(i), next + u"*" + next, 1);
    }
    EXPECT_EQ(Code(u"q0"), 13);
    EXPECT_EQ(Code(u"2+2"), 0); // and the engine carries on
}

} // namespace
} // namespace zorbit::test
