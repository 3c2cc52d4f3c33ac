#include <cmath>

#include "matrix/polynomial.h"
#include "matrix_fixture.h"

namespace zorbit::test {
namespace {

TEST_F(MatrixTest, FitThroughThreePoints) {
    const double points[6] = {0, 1, 1, 3, 2, 7};
    double c[3] = {9, 9, 9};
    EXPECT_EQ(aCalcCoeffPolin(points, 3, 3, c), -1);
    ExpectElements({c, c + 3}, {1, 1, 1}, 1e-12);
    EXPECT_EQ(Matrices().PlainCopy, 0);
}

TEST_F(MatrixTest, FitRejectsImpossibleCounts) {
    const double points[8] = {0, 1, 1, 3, 2, 7, 3, 13};
    double c[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(aCalcCoeffPolin(points, 4, 5, c), 12);
    EXPECT_EQ(aCalcCoeffPolin(points, 4, 0, c), 12);
    ExpectElements({c, c + 5}, {9, 9, 9, 9, 9}, 0);
}

TEST_F(MatrixTest, FitWithRepeatedPointsIsSingular) {
    const double points[6] = {1, 1, 1, 2, 1, 3};
    double c[2] = {9, 9};
    EXPECT_EQ(aCalcCoeffPolin(points, 3, 2, c), 7);
    ExpectElements({c, c + 2}, {9, 9}, 0);
    const double design[4] = {1, 2, 2, 4}, y[2] = {1, 2};
    EXPECT_EQ(aCalcVectCoeff(design, 2, 2, y, c), 7);
    EXPECT_EQ(Matrices().PlainCopy, 0);
}

TEST_F(MatrixTest, FitFromADesignMatrix) {
    // Line through (1, 2), (2, 4), (3, 6) with basis 1, x: intercept 0, slope 2.
    const double design[6] = {1, 1, 1, 2, 1, 3}, y[3] = {2, 4, 6};
    double c[2] = {};
    EXPECT_EQ(aCalcVectCoeff(design, 3, 2, y, c), 0);
    ExpectElements({c, c + 2}, {0, 2}, 1e-12);
}

TEST(Polynomial, ValuesAndRoots) {
    const double c123[3] = {1, 2, 3}, x2 = 2;
    double y = 0;
    EXPECT_EQ(aGetYPolin(&x2, c123, 3, &y), -1);
    EXPECT_EQ(y, 17);
    struct Row {
        const char* name;
        std::vector<double> coeffs;
        double target;
        int32_t code;
        double x1, x2;
    } rows[] = {
        {"constant", {4}, 6, -1, 6, 0},           {"line", {1, 2}, 5, -1, 2, 0},
        {"flat_line", {1, 0}, 5, 13, 0, 0},       {"two_roots", {-1, 0, 1}, 0, -1, 1, -1},
        {"no_real_root", {1, 0, 1}, 0, 13, 0, 0}, {"not_quadratic", {1, 2, 0}, 0, 13, 0, 0},
        {"order_four", {1, 2, 3, 4}, 0, 8, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        double a = 99, b = 99;
        EXPECT_EQ(aGetXsOfQuadr(&row.target, row.coeffs.data(),
                                static_cast<int32_t>(row.coeffs.size()), &a, &b),
                  row.code);
        EXPECT_EQ(a, row.x1);
        EXPECT_EQ(b, row.x2);
    }
}

TEST(Polynomial, Interpolation) {
    const double x = 1.5, x1 = 1, x2 = 2, y1 = 10, y2 = 20;
    double y = 0;
    EXPECT_EQ(InterpLin(&x, &x1, &x2, &y1, &y2, &y), 0);
    EXPECT_EQ(y, 15);
}

TEST(Primes, IsPrimeAndSmallestDivisor) {
    struct Row {
        int32_t n, isPrime, divisor;
    } rows[] = {{1, 0, -1},           {2, -1, -1},        {3, -1, -1},  {8, 0, 2},     {9, 0, 3},
                {15, 0, 3},           {37, -1, -1},       {49, 0, 7},   {91, 0, 7},    {97, -1, -1},
                {529, 0, 23},         {997, -1, -1},      {961, 0, 31}, {1369, 0, 37}, {-7, 0, -1},
                {2147483647, -1, -1}, {2147483646, 0, 2}, {0, 0, -1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.n);
        EXPECT_EQ(IsPrime(row.n), row.isPrime);
        EXPECT_EQ(lIsPrime(row.n), row.divisor);
    }
    for (int32_t n = 2; n < 3000; ++n) { // both agree with each other everywhere
        SCOPED_TRACE(n);
        EXPECT_EQ(IsPrime(n) == -1, n == 2 || lIsPrime(n) == -1);
    }
}

TEST(Factorial, SmallLargeAndHuge) {
    EXPECT_EQ(fact(0), 1);
    EXPECT_EQ(fact(1), 1);
    EXPECT_EQ(fact(-5), 1);
    EXPECT_EQ(fact(10), 3628800);
    EXPECT_TRUE(std::isinf(fact(2147483647))); // ends early once the product is infinite
}

} // namespace
} // namespace zorbit::test
