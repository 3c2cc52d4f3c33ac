#include <vector>

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

TEST_F(Variables, LookupIgnoresCase) {
    SetVarFunct(u"g", u"9.81", 0);
    EXPECT_DOUBLE_EQ(Value(u"G*2"), 19.62);
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

TEST_F(CustomFunctions, ParameterListNamesTakeArguments) {
    SetVarFunct(u"sq(x)", u"x*x", 1);
    SetVarFunct(u"x", u"3", 0);
    EXPECT_EQ(Value(u"sq(x)+1"), 10);
    EXPECT_EQ(Value(u"SQ(X)+1"), 10);
    EXPECT_EQ(Value(u"sq(4)"), 16);
}

TEST_F(CustomFunctions, BracketedNamesWithoutParametersStayMacros) {
    SetVarFunct(u"g(2)", u"7", 1);
    EXPECT_EQ(Value(u"g(2)+1"), 8);
    EXPECT_EQ(Code(u"g(3)"), 4);
    std::u16string text = u"f(1)*2";
    SetVarFunct(u"f(1)", u"x^2+1", 1);
    ASSERT_TRUE(ExpandFunctions(text));
    EXPECT_EQ(text, u"(x^2+1)*2");
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

// ---- Functions with parameters

struct Definition {
    std::u16string_view name, body;
};

struct CallRow {
    const char* name;
    std::vector<Definition> functions;
    std::u16string_view expr;
    double value;
};

class Calls : public EngineTest, public ::testing::WithParamInterface<CallRow> {};

TEST_P(Calls, GiveTheirValue) {
    SetVarFunct(u"ax", u"100", 0);
    SetVarFunct(u"y", u"3", 0);
    for (const Definition& d : GetParam().functions) {
        E_Error() = -1;
        SetVarFunct(d.name, d.body, 1);
        ASSERT_EQ(E_Error(), -1) << Narrow(d.name);
    }
    EXPECT_NEAR(Value(GetParam().expr), GetParam().value, 1e-9);
}

const Definition kSq{u"sq(x)", u"x*x"};
const Definition kHyp{u"hyp(a; b)", u"sqrt(a^2+b^2)"};

INSTANTIATE_TEST_SUITE_P(
    Variables, Calls,
    ::testing::Values(
        CallRow{"one_parameter", {kSq}, u"sq(4)", 16},
        CallRow{"two_parameters", {kHyp}, u"hyp(3; 4)", 5},
        CallRow{
            "parameters_listed_with_commas", {{u"hyp(a, b)", u"sqrt(a^2+b^2)"}}, u"hyp(3;4)", 5},
        CallRow{"argument_is_bracketed", {kSq}, u"sq(1+2)", 9},
        CallRow{"negative_argument_before_a_power", {{u"p(t)", u"t^2"}}, u"p(-3)", 9},
        CallRow{"nested_in_its_own_argument", {kSq}, u"sq(sq(2))+sq(1)", 17},
        CallRow{"call_in_another_functions_argument", {kHyp, kSq}, u"hyp(sq(2)-1; 4)", 5},
        CallRow{"call_in_an_earlier_functions_argument", {kSq, kHyp}, u"hyp(sq(2)-1; 4)", 5},
        CallRow{"body_calls_an_earlier_function", {kSq, {u"quad(x)", u"sq(x)+1"}}, u"quad(3)", 10},
        CallRow{"body_calls_a_later_function", {{u"quad(x)", u"sq(x)+1"}, kSq}, u"quad(3)", 10},
        CallRow{"call_any_case_and_blank_before_bracket", {kSq}, u"SQ (4)", 16},
        CallRow{"argument_with_inner_separators", {kHyp}, u"hyp(max(1; 3); (4))", 5},
        CallRow{"parameter_not_replaced_inside_longer_names", {{u"f(x)", u"x+ax"}}, u"f(1)", 101},
        CallRow{"parameter_hides_a_variable", {{u"f(y)", u"y*2"}}, u"f(5)+y", 13},
        CallRow{"argument_names_a_parameter_of_the_body", {kHyp}, u"hyp(y; y+1)", 5},
        CallRow{"unused_parameter", {{u"one(x)", u"1"}}, u"one(2)+one(sq)", 2},
        CallRow{"macro_beside_a_function", {kSq, {u"k", u"2"}}, u"sq(k)+k", 6}),
    ParamName<CallRow>);

struct BadCallRow {
    const char* name;
    std::vector<Definition> functions;
    std::u16string expr;
    std::u16string_view message;
};

class BadCalls : public EngineTest, public ::testing::WithParamInterface<BadCallRow> {};

TEST_P(BadCalls, FailWithAClearError) {
    for (const Definition& d : GetParam().functions)
        SetVarFunct(d.name, d.body, 1);
    // An earlier reading leaves the tokenizer far into its text; the record of the
    // failure must not read past the text that failed.
    EXPECT_EQ(Value(u"1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20"), 210);
    EXPECT_EQ(Code(GetParam().expr), 13);
    EXPECT_EQ(E_Error(), 13);
    EXPECT_NE(Engine().errors.ErrMsgs.find(GetParam().message), std::u16string::npos)
        << Narrow(Engine().errors.ErrMsgs);
    EXPECT_EQ(Value(u"2+2"), 4); // and the engine carries on
}

std::u16string Nest(std::u16string_view name, int depth) {
    std::u16string s;
    for (int i = 0; i < depth; ++i)
        s.append(name).append(u"(");
    s += u"2";
    return s.append(static_cast<size_t>(depth), u')');
}

INSTANTIATE_TEST_SUITE_P(
    Variables, BadCalls,
    ::testing::Values(
        BadCallRow{
            "too_few_arguments", {kHyp}, u"hyp(3)", u"1 argument(s) given, 2 expected by 'hyp'"},
        BadCallRow{
            "too_many_arguments", {kSq}, u"sq(1; 2)", u"2 argument(s) given, 1 expected by 'sq'"},
        BadCallRow{"empty_argument", {kSq}, u"sq( )+1", u"An empty argument in a call of 'sq'"},
        BadCallRow{"bracket_never_closed", {kSq}, u"1+sq(2", u"')' missing in a call of 'sq'"},
        BadCallRow{"calling_itself", {{u"r(x)", u"r(x)+1"}}, u"r(1)", u"too deeply"},
        BadCallRow{
            "calling_each_other", {{u"u(x)", u"v(x)"}, {u"v(x)", u"u(x)"}}, u"u(1)", u"too deeply"},
        BadCallRow{"nested_too_deeply",
                   {{u"id(x)", u"x"}},
                   Nest(u"id", 80),
                   u"Calls nested too deeply: 'id'"},
        BadCallRow{"doubling_past_the_length_limit",
                   {kSq},
                   Nest(u"sq", 40),
                   u"The expanded expression is too long"},
        BadCallRow{"growing_through_bodies",
                   {{u"w(x)", u"w(x)*w(x)"}},
                   u"w(1)",
                   u"The expanded expression is too long"}),
    ParamName<BadCallRow>);

TEST_F(CustomFunctions, NewParametersReplaceTheFunction) {
    SetVarFunct(u"hyp(a; b)", u"sqrt(a^2+b^2)", 1);
    SetVarFunct(u"k", u"1", 1);
    EXPECT_EQ(Funcs(), u"hyp(a,b)=sqrt(a^2+b^2);k=1;");
    EXPECT_EQ(SetVarFunct(u"Hyp(x; y; z)", u"x+y+z", 1), 2);
    EXPECT_EQ(Funcs(), u"hyp(x,y,z)=x+y+z;k=1;");
    EXPECT_EQ(Value(u"hyp(1; 2; 3)"), 6);
    SetVarFunct(u"hyp(x,y,z)", u"x*y*z", 1);
    EXPECT_EQ(Value(u"hyp(1; 2; 3)"), 6);
    EXPECT_EQ(Value(u"hyp(2; 2; 3)"), 12);
    char16_t body[32] = {};
    double length = 0;
    EXPECT_EQ(FindVarFunct(u"HYP", 1, &length, body), 21); // by its name alone
    EXPECT_EQ(std::u16string(body), u"x*y*z");
    EXPECT_EQ(FindVarFunct(u"hyp( x ; y ; z )", 1, &length, body), 21);
}

TEST_F(CustomFunctions, ParameterListsThatAreNoneStayPartOfTheName) {
    FunctionSignature sig;
    EXPECT_TRUE(ParseSignature(u" F ( a ; B,c ) ", &sig));
    EXPECT_EQ(SignatureText(sig), u"f(a,b,c)");
    for (std::u16string_view text :
         {u"f()", u"f(1)", u"f(a;a)", u"f(a+b)", u"(a)", u"1f(a)", u"f(a", u"f(a;)", u"f"}) {
        EXPECT_FALSE(ParseSignature(text, &sig)) << Narrow(text);
    }
}

// ---- Names of built-ins

struct RefusedRow {
    const char* name;
    std::u16string_view define;
    int32_t kind;
    std::u16string_view message;
};

class RefusedNames : public EngineTest, public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(RefusedNames, LeaveTheListsAndTheBuiltInAsTheyWere) {
    SetVarFunct(u"g", u"1", 0);
    SetVarFunct(u"k", u"2", 1);
    E_Error() = -1;
    EXPECT_EQ(SetVarFunct(GetParam().define, u"5", GetParam().kind), 1);
    EXPECT_EQ(E_Error(), 13);
    EXPECT_NE(Engine().errors.ErrMsgs.find(GetParam().message), std::u16string::npos)
        << Narrow(Engine().errors.ErrMsgs);
    EXPECT_EQ(Engine().vars.VarList, u"g=1;");
    EXPECT_EQ(Engine().vars.FuncList, u"k=2;");
    EXPECT_NEAR(Value(u"sin(pi/2)+e+sum(1;2)+(3 mod 2)+to_rad*0"), 7.7182818285, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, RefusedNames,
    ::testing::Values(
        RefusedRow{"variable_constant", u"pi", 0, u"'pi' is the name of a built-in constant"},
        RefusedRow{"variable_constant_upper_case", u" E ", 0,
                   u"'e' is the name of a built-in constant"},
        RefusedRow{"variable_hash_constant", u"#pi", 0,
                   u"'#pi' is the name of a built-in constant"},
        RefusedRow{"variable_digit_constant", u"2pi", 0,
                   u"'2pi' is the name of a built-in constant"},
        RefusedRow{"variable_function", u"sin", 0, u"'sin' is the name of a built-in function"},
        RefusedRow{"variable_other_spelling", u"Sqr", 0,
                   u"'sqr' is the name of a built-in function"},
        RefusedRow{"variable_statistics", u"sum", 0,
                   u"'sum' is the name of a built-in statistics function"},
        RefusedRow{"variable_matrix_function", u"det", 0,
                   u"'det' is the name of a built-in matrix function"},
        RefusedRow{"variable_operator", u"mod", 0, u"'mod' is the name of a built-in operator"},
        RefusedRow{"macro_function", u"cos", 1, u"'cos' is the name of a built-in function"},
        RefusedRow{"macro_constant", u"to_rad", 1, u"'to_rad' is the name of a built-in constant"},
        RefusedRow{"macro_naming_a_call", u"sin(2)", 1,
                   u"'sin' is the name of a built-in function"},
        RefusedRow{"function_with_parameters", u"sin(x)", 1,
                   u"'sin' is the name of a built-in function"},
        RefusedRow{"statistics_with_parameters", u"max(a; b)", 1,
                   u"'max' is the name of a built-in statistics function"},
        RefusedRow{"semicolon_in_a_name", u"a;b", 0, u"Invalid name or value"},
        RefusedRow{"equals_in_a_name", u"a=b", 1, u"Invalid name or value"},
        RefusedRow{"semicolon_in_a_bracketed_name", u"f(1;2)", 1, u"Invalid name or value"}),
    ParamName<RefusedRow>);

TEST_F(Variables, NamesThatOnlyStartLikeABuiltInAreFree) {
    for (std::u16string_view name : {u"e5", u"pi2", u"sinx", u"h", u"sign", u"summe", u"_e"}) {
        E_Error() = -1;
        SetVarFunct(name, u"4", 0);
        EXPECT_EQ(E_Error(), -1) << Narrow(name);
        EXPECT_EQ(Value(name), 4) << Narrow(name);
    }
}

} // namespace
} // namespace zorbit::test
