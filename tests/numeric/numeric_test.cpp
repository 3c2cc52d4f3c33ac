#include <cmath>

#include "engine/errors.h"
#include "numeric/numeric.h"
#include "tests/engine/engine_fixture.h"

namespace zorbit::test {
namespace {

struct IntegralRow {
    const char* name;
    std::u16string_view f;
    double a, b;
    int32_t n;
    bool trapezoid;
    double expected;
    double tolerance;
};

class Integration : public EngineTest, public ::testing::WithParamInterface<IntegralRow> {};

TEST_P(Integration, KnownIntegrals) {
    const auto& r = GetParam();
    const double v = Integrate(r.f, r.a, r.b, r.n, r.trapezoid, u"x");
    EXPECT_EQ(E_Error(), -1);
    EXPECT_NEAR(v, r.expected, r.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Integration,
    ::testing::Values(
        // Simpson is exact for cubics; the trapezoid rule errs by (b-a)h²/12·f''.
        IntegralRow{"simpson_cubic", u"x^3-2*x", 0, 2, 2, false, 0.0, 1e-12},
        IntegralRow{"simpson_square", u"x^2", 0, 1, 100, false, 1.0 / 3, 1e-12},
        IntegralRow{"trapezoid_square", u"x^2", 0, 1, 100, true, 1.0 / 3 + 1.0 / 60000, 1e-12},
        IntegralRow{"odd_n_rounded_up", u"x^2", 0, 3, 3, false, 9, 1e-9},
        IntegralRow{"sine", u"sin(x)", 0, 3.14159, 1000, false, 2.0, 1e-5},
        IntegralRow{"reversed_bounds", u"2", 1, 0, 4, false, -2, 1e-12},
        IntegralRow{"whole_name_only", u"exp(x)", 0, 1, 100, false, std::exp(1.0) - 1, 1e-5},
        IntegralRow{"constant", u"1+0*x", -1, 1, 10, true, 2, 1e-12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Integration, RejectsBadIntervalsAndFailingPoints) {
    Integrate(u"x", 0, 1, 0, false, u"x");
    EXPECT_EQ(E_Error(), 13);
    Integrate(u"1/x", 0, 1, 10, false, u"x");
    EXPECT_EQ(E_Error(), 8);
    Integrate(u"ln(x)", -1, 1, 10, true, u"x");
    EXPECT_EQ(E_Error(), 13);
    Integrate(u"x", 0, 1, 20000000, false, u"x");
    EXPECT_EQ(E_Error(), 13);
}

struct RootRow {
    const char* name;
    std::u16string_view p;
    double root;
};

class Roots : public EngineTest, public ::testing::WithParamInterface<RootRow> {};

TEST_P(Roots, FindsARealRoot) {
    const double r = SolvePolynomial(GetParam().p, u"x");
    ASSERT_EQ(E_Error(), -1);
    EXPECT_NEAR(r, GetParam().root, 1e-7);
}

INSTANTIATE_TEST_SUITE_P(Polynomials, Roots,
                         ::testing::Values(RootRow{"linear", u"2*x-3", 1.5},
                                           RootRow{"square", u"x^2-2", -std::sqrt(2.0)},
                                           RootRow{"cubic", u"x^3-2*x^2+x-2", 2},
                                           RootRow{"double_root", u"(x-1)^2", 1},
                                           RootRow{"far_root", u"x-5000", 5000},
                                           RootRow{"zero", u"x^3", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Roots, NoRealRootIsAnError) {
    SolvePolynomial(u"x^2+1", u"x");
    EXPECT_EQ(E_Error(), 13);
    SolvePolynomial(u"x+", u"x");
    EXPECT_EQ(E_Error(), 3);
}

} // namespace
} // namespace zorbit::test
