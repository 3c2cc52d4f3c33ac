#include <cmath>

#include "engine/function_table.h"
#include "engine/functions.h"
#include "engine_fixture.h"

namespace zorbit::test {
namespace {

struct FnRow {
    const char* name;
    std::u16string_view expr;
    double value;
};

class BuiltinFunctions : public EngineTest, public ::testing::WithParamInterface<FnRow> {};

// Results are single precision: compared exactly against the float-rounded values.
TEST_P(BuiltinFunctions, SinglePrecisionResult) {
    EXPECT_EQ(Value(GetParam().expr), GetParam().value) << Narrow(GetParam().expr);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BuiltinFunctions,
    ::testing::Values(
        FnRow{"sqrt2", u"sqrt(2)", 1.4142135381698608},
        FnRow{"sin1", u"sin(1)", 0.8414709568023682}, FnRow{"sqr_alias", u"sqr(4)", 2},
        FnRow{"arcsin_half", u"arcsin(0.5)", 0.5235987901687622}, FnRow{"cosh0", u"cosh(0)", 1},
        FnRow{"tanh0", u"tanh(0)", 0}, FnRow{"sech0", u"sech(0)", 1},
        FnRow{"int_neg", u"int(-2.7)", -2}, FnRow{"fix_neg", u"fix(-2.7)", -2},
        FnRow{"fix_zero", u"fix(0)", 0}, FnRow{"sgn_neg", u"sgn(-3)", -1},
        FnRow{"sgn_zero", u"sgn(0)", 0}, FnRow{"abs", u"abs(-2.5)", 2.5},
        FnRow{"exp0", u"exp(0)", 1},
        FnRow{"exp1", u"exp(1)", static_cast<float>(2.7182817459106445)},
        FnRow{"ln_alias", u"log(1)", 0}, FnRow{"log10", u"log10(100)", 2},
        FnRow{"atn_alias", u"atn(1)", static_cast<float>(std::atan(1.0))},
        FnRow{"arcsec_textbook", u"arcsec(2)", static_cast<float>(std::acos(0.5))},
        FnRow{"arccosec_textbook", u"arccosec(2)", static_cast<float>(std::asin(0.5))},
        FnRow{"arccotan_textbook", u"arccotan(1)",
              static_cast<float>(static_cast<float>(std::atan(1.0)) * 2.0 - std::atan(1.0))},
        FnRow{"tg_alias", u"tg(0.5)-tan(0.5)", 0}, FnRow{"ctg_alias", u"ctg(0.5)-cotan(0.5)", 0},
        FnRow{"sh_alias", u"sh(0.5)-sinh(0.5)", 0}, FnRow{"ch_alias", u"ch(0.5)-cosh(0.5)", 0},
        FnRow{"th_alias", u"th(0.5)-tanh(0.5)", 0}, FnRow{"tgh_alias", u"tgh(0.5)-tanh(0.5)", 0},
        FnRow{"cth_alias", u"cth(0.5)-cotanh(0.5)", 0},
        FnRow{"ctgh_alias", u"ctgh(0.5)-cotanh(0.5)", 0},
        FnRow{"arctan_alias", u"arctan(0.5)-atan(0.5)", 0},
        FnRow{"arctg_alias", u"arctg(0.5)-atan(0.5)", 0},
        FnRow{"arcctg_alias", u"arcctg(0.5)-arccotan(0.5)", 0},
        FnRow{"hash_e", u"#e", 2.7182817459106445}, FnRow{"hash_deg", u"#deg", 57.295780181884766},
        FnRow{"hash_to_rad", u"#to_rad", 0.01745329238474369}),
    [](const auto& info) { return std::string(info.param.name); });

struct DomainRow {
    const char* name;
    std::u16string_view expr;
    int32_t code;
    std::u16string_view report;
};

class FunctionDomains : public EngineTest, public ::testing::WithParamInterface<DomainRow> {};

TEST_P(FunctionDomains, ReportsInvalidArgument) {
    EXPECT_EQ(Code(GetParam().expr), GetParam().code);
    EXPECT_NE(Engine().errors.ErrMsgs.find(GetParam().report), std::u16string::npos)
        << Narrow(Engine().errors.ErrMsgs);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FunctionDomains,
    ::testing::Values(
        DomainRow{"ln_negative", u"ln(-1)", 13, u"Invalid Argument = -1.0000000000"},
        DomainRow{"ln_zero", u"ln(0)", 13, u"e_function (Line: 1391)"},
        DomainRow{"sqrt_negative", u"sqrt(-4)", 13, u"e_function (Line: 1307)"},
        DomainRow{"log10_negative", u"log10(-4)", 13, u"e_function (Line: 1295)"},
        DomainRow{"arcsin_above_one", u"arcsin(1.5)", 13,
                  u"Invalid Argument = 1.5000000000 and (-arg^2 + 1) => -1.2500000000"},
        DomainRow{"arccos_two", u"arccos(2)", 13, u"e_function (Line: 1330)"},
        DomainRow{"arcsec_half", u"arcsec(0.5)", 13, u"and (arg^2 - 1) => -0.7500000000"},
        DomainRow{"arccosec_half", u"arccosec(0.5)", 13, u"e_function (Line: 1344)"},
        DomainRow{"int_huge", u"int(10000000000)", 13, u"beyond the 32-bit integers"},
        DomainRow{"undefined", u"foo(2)", 4, u"Undefined Function = foo"}),
    [](const auto& info) { return std::string(info.param.name); });

// Each spelling finds its own row for the readers it names and none for the others: a
// spelling given to two rows, or to the wrong reader, fails here.
TEST(FunctionTable, EverySpellingFindsItsRow) {
    for (const FunctionRow& row : kFunctionRows) {
        for (const FnSpelling& s : row.spellings) {
            if (s.name.empty()) continue;
            SCOPED_TRACE(Narrow(s.name));
            for (const FnReader reader : {kEvaluatorName, kDerivativeName})
                EXPECT_EQ(FindFunction(s.name, reader), (s.readers & reader) ? &row : nullptr);
            Fn fn = Fn::Heaviside;
            EXPECT_EQ(LookupFunction(s.name, &fn), (s.readers & kEvaluatorName) != 0);
            if (s.readers & kEvaluatorName) {
                EXPECT_EQ(fn, row.fn);
            }
        }
    }
}

// The rows hold the math in double; the evaluator only rounds argument and value to single
// precision around it, so a full-precision route can call the same math.
TEST_F(BuiltinFunctions, CallFunctionRoundsTheRowsMath) {
    for (const FunctionRow& row : kFunctionRows) {
        if (row.fn == Fn::Rnd) continue; // a draw, not a function of x
        for (const double x : {0.3, 0.7, -1.7, 2.5, 100.0}) {
            SCOPED_TRACE(Narrow(row.spellings[0].name) + " " + std::to_string(x));
            FnParts parts;
            const double single = static_cast<float>(row.math(static_cast<float>(x), parts));
            const double got = CallFunction(row.fn, x);
            if (std::isnan(single))
                EXPECT_TRUE(std::isnan(got));
            else
                EXPECT_EQ(got, single);
        }
    }
}

TEST_F(BuiltinFunctions, RndStaysInItsRange) {
    for (int i = 0; i < 200; ++i) {
        const double up = Value(u"rnd(3)");
        EXPECT_TRUE(up == 0 || up == 1 || up == 2 || up == 3) << up;
        const double down = Value(u"rnd(-2)");
        EXPECT_TRUE(down == 0 || down == -1 || down == -2) << down;
    }
}

TEST_F(BuiltinFunctions, ConstantsThroughExportLookup) {
    double v = 0;
    EXPECT_EQ(GetConst(u"PI", &v), 1);
    EXPECT_EQ(v, 3.1415926536);
    EXPECT_EQ(E_Error(), -1);
    EXPECT_EQ(GetConst(u"#2pi", &v), 1);
    EXPECT_EQ(v, 6.2831853072);
    EXPECT_EQ(GetConst(u"tau", &v), 0);
    EXPECT_EQ(E_Error(), 18);
}

TEST_F(BuiltinFunctions, HelpTextListsEverything) {
    const std::u16string text = OperAndFuncsText();
    EXPECT_EQ(text.rfind(u"Library: Zorbit.dll - Version: ", 0), 0u);
    EXPECT_NE(text.find(u" (build: 31)\r\nSupported Constants:"), std::u16string::npos);
    EXPECT_NE(text.find(u"\r\n and eqv imp mod not or xor \r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\r\n det trace syst vcoeff  I=Inverse, T=Traspost, D=Diagonal"),
              std::u16string::npos);
    EXPECT_TRUE(text.ends_with(u"\r\n  arcctg(x)\t= arccotangent of x (also arccotan(x))"));
}

} // namespace
} // namespace zorbit::test
