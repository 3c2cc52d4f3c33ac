// What Full precision changes beyond the functions of the accuracy table: constants,
// variables, reused programs, series points and results that are not finite; and that
// Classic mode keeps its answers beside it.

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/functions.h"
#include "engine/variables.h"
#include "engine_fixture.h"
#include "matrix/store.h"
#include "numeric/numeric.h"
#include "numeric/series.h"
#include "zorbit/codes.h"

namespace zorbit::test {
namespace {

struct ModeRow {
    const char* name;
    std::u16string_view expr;
    double classic;
    double full;
};

class PrecisionModes : public EngineTest, public ::testing::WithParamInterface<ModeRow> {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        SetVarFunct(u"y", u"0.1234567890123456", 0);
        SetVarFunct(u"t", u"0.000000000001", 0);
    }
    // Matrix elements are formulas read in the mode of the moment.
    static double Value(std::u16string_view expr) {
        SetStrMatrix(u"[mA];2;2;y;0;0;sqrt(2)", false, true);
        return EngineTest::Value(expr);
    }
};

TEST_P(PrecisionModes, ClassicAndFullValues) {
    const ModeRow& row = GetParam();
    EXPECT_EQ(Value(row.expr), row.classic) << "Classic";
    SetPrecisionMode(ZORBIT_PRECISION_FULL);
    EXPECT_EQ(Value(row.expr), row.full) << "Full";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrecisionModes,
    ::testing::Values(
        ModeRow{"sqrt2", u"sqrt(2)", 1.4142135381698608, std::sqrt(2.0)},
        ModeRow{"ln10", u"ln(10)", 2.3025851249694824, std::log(10.0)},
        ModeRow{"sin_pi", u"sin(pi)", static_cast<float>(std::sin(3.1415927410125732)),
                std::sin(std::numbers::pi)},
        ModeRow{"exp1", u"exp(1)", 2.7182817459106445, std::numbers::e},
        ModeRow{"named_e", u"e", 2.7182818285, std::numbers::e},
        ModeRow{"hash_pi", u"#pi", 3.1415927410125732, std::numbers::pi},
        ModeRow{"hash_e", u"#e", 2.7182817459106445, std::numbers::e},
        ModeRow{"to_deg", u"to_deg", 57.2957795131, 180 / std::numbers::pi},
        ModeRow{"to_rad", u"to_rad", 0.0174532925, std::numbers::pi / 180},
        ModeRow{"hash_deg", u"#deg", 57.295780181884766, 180 / std::numbers::pi},
        ModeRow{"variable_decimals", u"y", 0.1234567890, 0.1234567890123456},
        ModeRow{"tiny_variable", u"t*1000000000000", 0, 0.000000000001 * 1000000000000.0},
        ModeRow{"statistics", u"avg(y;sqrt(2))", (0.1234567890 + 1.4142135381698608) / 2,
                (0.1234567890123456 + std::sqrt(2.0)) / 2},
        ModeRow{"matrix_trace", u"trace([mA])", 0.1234567890 + 1.4142135381698608,
                0.1234567890123456 + std::sqrt(2.0)},
        ModeRow{"sinh_near_zero", u"sinh(0.000001)", static_cast<float>(9.9999999999e-07),
                std::sinh(0.000001)}),
    [](const auto& info) { return std::string(info.param.name); });

// Non-finite results are errors in both modes.
class NotFinite : public EngineTest, public ::testing::WithParamInterface<CodeRow> {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        SetStrMatrix(u"[mB];1;2;10^300;1", false, true);
    }
};

TEST_P(NotFinite, IsAnErrorInBothModes) {
    for (const int32_t mode : {ZORBIT_PRECISION_CLASSIC, ZORBIT_PRECISION_FULL}) {
        SetPrecisionMode(mode);
        double v = 0;
        EXPECT_EQ(EvalExpression(GetParam().expr, &v, false), GetParam().code) << "mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NotFinite,
    ::testing::Values(CodeRow{"exp_overflow", u"exp(1000)", ZORBIT_E_DIVISION_BY_ZERO},
                      CodeRow{"power_overflow", u"10^400", ZORBIT_E_DIVISION_BY_ZERO},
                      CodeRow{"cosh_overflow", u"cosh(-1000)", ZORBIT_E_DIVISION_BY_ZERO},
                      CodeRow{"ln_zero", u"ln(0)", ZORBIT_E_INVALID_ARGUMENT},
                      CodeRow{"arcsin_beyond_one", u"arcsin(1.5)", ZORBIT_E_INVALID_ARGUMENT},
                      CodeRow{"arccosh_below_one", u"arccosh(0.5)", ZORBIT_E_INVALID_ARGUMENT},
                      CodeRow{"arctanh_beyond_one", u"arctanh(2)", ZORBIT_E_INVALID_ARGUMENT},
                      CodeRow{"nan_of_infinities", u"(10^400)-(10^400)", ZORBIT_E_DIVISION_BY_ZERO},
                      CodeRow{"matrix_element_overflow", u"[mB]*10^300",
                              ZORBIT_E_DIVISION_BY_ZERO}),
    ParamName<CodeRow>);

class FullPrecisionRoutes : public EngineTest {};

// A program read in one mode bakes variables as that mode reads them: the other mode
// reads the text again.
TEST_F(FullPrecisionRoutes, ReusedProgramNeverCrossesModes) {
    SetVarFunct(u"y", u"0.1234567890123456", 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Value(u"y*3"), 0.1234567890 * 3);
    SetPrecisionMode(ZORBIT_PRECISION_FULL);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Value(u"y*3"), 0.1234567890123456 * 3);
    SetPrecisionMode(ZORBIT_PRECISION_CLASSIC);
    EXPECT_EQ(Value(u"y*3"), 0.1234567890 * 3);
}

// e_evals writes x with 10 decimals in Classic mode, exactly in Full mode.
TEST_F(FullPrecisionRoutes, SeriesPointsCarryXExactly) {
    const double step = 1e-11 / 3;
    for (const int32_t mode : {ZORBIT_PRECISION_CLASSIC, ZORBIT_PRECISION_FULL}) {
        SetPrecisionMode(mode);
        std::vector<double> xs(4), ys(4);
        double limits[5];
        ASSERT_EQ(EvalSeries(u"x*3", 0, u"x", 1e-11, 3, xs.data(), ys.data(), limits),
                  ZORBIT_NO_ERROR);
        for (size_t i = 0; i < xs.size(); ++i) {
            const double expected = mode == ZORBIT_PRECISION_FULL ? xs[i] * 3 : 0.0;
            EXPECT_EQ(ys[i], expected) << "mode " << mode << " point " << i;
        }
        EXPECT_NEAR(xs[1], step, 1e-26);
    }
}

// The numeric routines read the formula in the mode: Simpson's rule is exact on a line.
TEST_F(FullPrecisionRoutes, IntegrateReadsVariablesInTheMode) {
    SetVarFunct(u"y", u"0.1234567890123456", 0);
    EXPECT_NEAR(Integrate(u"y*x", 0, 1, 2, false, u"x"), 0.1234567890 / 2, 1e-16);
    SetPrecisionMode(ZORBIT_PRECISION_FULL);
    EXPECT_NEAR(Integrate(u"y*x", 0, 1, 2, false, u"x"), 0.1234567890123456 / 2, 1e-16);
}

// A series point whose value overflows is that point's error, in both modes.
TEST_F(FullPrecisionRoutes, SeriesPointBeyondTheDoublesIsAnError) {
    for (const int32_t mode : {ZORBIT_PRECISION_CLASSIC, ZORBIT_PRECISION_FULL}) {
        SetPrecisionMode(mode);
        double xs[3], ys[3], limits[5];
        int32_t codes[3];
        EXPECT_EQ(EvalSeries(u"10^(x*400)", 0, u"x", 1, 2, xs, ys, limits, codes),
                  ZORBIT_E_DIVISION_BY_ZERO);
        EXPECT_EQ(codes[0], ZORBIT_NO_ERROR) << "mode " << mode;
        EXPECT_EQ(codes[1], ZORBIT_NO_ERROR) << "mode " << mode;
        EXPECT_EQ(codes[2], ZORBIT_E_DIVISION_BY_ZERO) << "mode " << mode;
    }
}

// e_get_const answers the value as the mode reads it.
TEST_F(FullPrecisionRoutes, GetConstAnswersTheModesValue) {
    double v = 0;
    ASSERT_EQ(GetConst(u"e", &v), 1);
    EXPECT_EQ(v, 2.7182818285);
    SetPrecisionMode(ZORBIT_PRECISION_FULL);
    ASSERT_EQ(GetConst(u"e", &v), 1);
    EXPECT_EQ(v, std::numbers::e);
}

} // namespace
} // namespace zorbit::test
