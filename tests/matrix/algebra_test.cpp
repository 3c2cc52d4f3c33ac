#include <cmath>
#include <random>
#include <vector>

#include "matrix/algebra.h"
#include "matrix_fixture.h"

namespace zorbit::test {
namespace {

using Mat = std::vector<double>;

Mat RandomMatrix(int32_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-2.0, 2.0);
    Mat a(static_cast<size_t>(n) * n);
    for (double& x : a)
        x = dist(gen);
    for (int32_t i = 0; i < n; ++i)
        a[static_cast<size_t>(i) * n + i] += n; // well conditioned
    return a;
}

// Independent reference: Leibniz expansion over all permutations (small n only).
double LeibnizDet(const Mat& a, int32_t n) {
    std::vector<int> p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        p[static_cast<size_t>(i)] = i;
    double sum = 0;
    do {
        int inversions = 0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                inversions += p[static_cast<size_t>(i)] > p[static_cast<size_t>(j)];
        double term = inversions % 2 ? -1.0 : 1.0;
        for (int i = 0; i < n; ++i)
            term *= a[static_cast<size_t>(i) * n + p[static_cast<size_t>(i)]];
        sum += term;
    } while (std::next_permutation(p.begin(), p.end()));
    return sum;
}

Mat Product(const Mat& a, const Mat& b, int32_t n) {
    Mat r(a.size());
    EXPECT_EQ(aMultSq(a.data(), n, b.data(), r.data()), -1);
    return r;
}

void ExpectIdentity(const Mat& a, int32_t n, double tol) {
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j)
            EXPECT_NEAR(a[static_cast<size_t>(i) * n + j], i == j ? 1.0 : 0.0, tol)
                << i << "," << j;
}

// ---- determinant ----------------------------------------------------------------------------

TEST(Determinant, EpsilonIsOneUlpAboveTenToTheMinusTwelve) {
    EXPECT_EQ(kDetEpsilon, std::nextafter(1.0e-12, 1.0));
}

struct DetRow {
    const char* name;
    int32_t n;
    Mat a;
    double det;
};

class Determinants : public MatrixTest, public ::testing::WithParamInterface<DetRow> {};

TEST_P(Determinants, ByClosedFormOrElimination) {
    const DetRow& row = GetParam();
    double d = 99;
    EXPECT_EQ(aDet(row.a.data(), row.n, &d), -1);
    EXPECT_NEAR(d, row.det, 1e-9);
    EXPECT_EQ(aDetN(row.a.data(), row.n), d);
}

INSTANTIATE_TEST_SUITE_P(
    Algebra, Determinants,
    ::testing::Values(
        DetRow{"one", 1, {-3}, -3}, DetRow{"two", 2, {1, 2, 3, 4}, -2},
        DetRow{"three", 3, {2, 0, 1, 1, 3, 2, 1, 1, 2}, 6},
        // Largest magnitude of row 0 in the last column: columns exchanged, sign corrected.
        DetRow{"pivot_in_last_column", 4, {1, 0, 0, 9, 0, 2, 0, 0, 0, 0, 3, 0, 1, 0, 0, 1}, -48},
        DetRow{"equal_rows_exactly_zero", 4, {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 2, 1, 0, 1}, 0},
        DetRow{"tiny_is_zero", 4, {1e-7, 0, 0, 0, 0, 1e-7, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0},
        DetRow{"zero_pivot_row", 4, {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Determinant, AgreesWithThePermutationExpansion) {
    for (int32_t n = 4; n <= 7; ++n) {
        SCOPED_TRACE(n);
        const Mat a = RandomMatrix(n, static_cast<unsigned>(n));
        EXPECT_NEAR(aDetN(a.data(), n), LeibnizDet(a, n), 1e-9 * std::fabs(LeibnizDet(a, n)));
    }
}

TEST(Determinant, CountsBelowOneAndNullAreRejected) {
    double d = 7;
    const double a[1] = {1};
    EXPECT_EQ(aDet(a, 0, &d), 5);
    EXPECT_EQ(aDet(a, -3, &d), 5);
    EXPECT_EQ(aDet(nullptr, 1, &d), 15);
    EXPECT_EQ(d, 7);
    EXPECT_EQ(aDetN(a, 0), 0);
}

// ---- inverse and systems ----------------------------------------------------------------

TEST_F(MatrixTest, InverseByAdjugate) {
    Mat a = {4, 7, 2, 6};
    EXPECT_EQ(aInv(a.data(), 2), -1);
    ExpectElements(a, {0.6, -0.7, -0.2, 0.4});
    Mat one = {4};
    EXPECT_EQ(aInv(one.data(), 1), -1);
    EXPECT_EQ(one[0], 0.25);
    Mat singular = {1, 2, 2, 4};
    EXPECT_EQ(aInv(singular.data(), 2), 7);
    ExpectElements(singular, {1, 2, 2, 4}, 0);
    EXPECT_EQ(aInv(a.data(), 0), 5);
}

TEST_F(MatrixTest, InverseTimesMatrixIsTheIdentity) {
    for (int32_t n : {3, 5, 12, kCofactorLimit, kCofactorLimit + 12}) {
        SCOPED_TRACE(n);
        const Mat a = RandomMatrix(n, 7u + static_cast<unsigned>(n));
        Mat inv = a;
        ASSERT_EQ(aInv(inv.data(), n), -1);
        ExpectIdentity(Product(a, inv, n), n, 1e-9);
    }
}

TEST_F(MatrixTest, SystemsByCramersRule) {
    const Mat a = {2, 1, 1, 3}, b = {3, 5};
    Mat x = {0, 0};
    EXPECT_EQ(aSist(a.data(), 2, b.data(), x.data()), -1);
    ExpectElements(x, {0.8, 1.4});
    const Mat singular = {1, 2, 2, 4};
    x = {9, 9};
    EXPECT_EQ(aSist(singular.data(), 2, b.data(), x.data()), 7);
    ExpectElements(x, {9, 9}, 0);
    EXPECT_EQ(aSist(a.data(), 0, b.data(), x.data()), 5);
    for (int32_t n : {6, kCofactorLimit + 5}) {
        SCOPED_TRACE(n);
        const Mat m = RandomMatrix(n, 99u);
        Mat want(static_cast<size_t>(n)), rhs(static_cast<size_t>(n)), got(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            want[static_cast<size_t>(i)] = i - 2.5;
        aMultVect(m.data(), n, n, want.data(), rhs.data());
        ASSERT_EQ(aSist(m.data(), n, rhs.data(), got.data()), -1);
        ExpectElements(got, want, 1e-9);
    }
}

// ---- products, sums, powers ------------------------------------------------------------

TEST_F(MatrixTest, Products) {
    const Mat a = {1, 2, 3, 4, 5, 6}, b = {7, 8, 9, 10, 11, 12}; // 2x3 and 3x2
    Mat r(4, -1);
    EXPECT_EQ(aMultEx(a.data(), 2, 3, b.data(), 3, 2, r.data()), -1);
    ExpectElements(r, {58, 64, 139, 154}, 0);
    r.assign(4, -1);
    EXPECT_EQ(aMultEx(a.data(), 2, 3, b.data(), 2, 3, r.data()), 10);
    EXPECT_EQ(aMultEx(a.data(), 0, 3, b.data(), 3, 2, r.data()), 5);
    ExpectElements(r, {-1, -1, -1, -1}, 0);
    Mat y(2);
    const Mat v = {1, 1, 1};
    EXPECT_EQ(aMultVect(a.data(), 2, 3, v.data(), y.data()), -1);
    ExpectElements(y, {6, 15}, 0);
}

TEST_F(MatrixTest, ProductsInColumnOrderStayInColumnOrder) {
    aElemOrderSet(1);
    // The same 2x3 and 3x2 as above, stored column by column; the 2x2 result too.
    const Mat a = {1, 4, 2, 5, 3, 6}, b = {7, 9, 11, 8, 10, 12};
    Mat r(4);
    EXPECT_EQ(aMultEx(a.data(), 2, 3, b.data(), 3, 2, r.data()), -1);
    ExpectElements(r, {58, 139, 64, 154}, 0);
    Mat t(6);
    EXPECT_EQ(aTraspEx(a.data(), 2, 3, t.data()), -1); // 3x2, column by column
    ExpectElements(t, {1, 2, 3, 4, 5, 6}, 0);
}

TEST_F(MatrixTest, SumsScalarsAndPowers) {
    const Mat a = {1, 2, 3, 4}, b = {10, 20, 30, 40};
    Mat r(4);
    EXPECT_EQ(aSum(a.data(), 2, 2, b.data(), r.data()), 0);
    ExpectElements(r, {11, 22, 33, 44}, 0);
    EXPECT_EQ(aDiff(a.data(), 2, 2, b.data(), r.data()), -1);
    ExpectElements(r, {-9, -18, -27, -36}, 0);
    Mat m = a;
    EXPECT_EQ(aSumScal(m.data(), 2, 2, 1), -1);
    EXPECT_EQ(aProdScal(m.data(), 2, 2, 2), -1);
    EXPECT_EQ(aOpp(m.data(), 2, 2), -1);
    ExpectElements(m, {-4, -6, -8, -10}, 0);
    r.assign(4, 5);
    EXPECT_EQ(aPow(a.data(), 2, 1, r.data()), -1);
    ExpectElements(r, {5, 5, 5, 5}, 0);
    EXPECT_EQ(aPow(a.data(), 2, 2, r.data()), -1);
    ExpectElements(r, {7, 10, 15, 22}, 0);
    const Mat shear = {1, 1, 0, 1};
    EXPECT_EQ(aPow(shear.data(), 2, 1000000, r.data()), -1); // binary powers
    ExpectElements(r, {1, 1000000, 0, 1}, 0);
    EXPECT_EQ(aDiv(a.data(), 2, shear.data(), r.data()), -1); // a * shear^-1
    ExpectElements(r, {1, 1, 3, 1});
    const Mat singular = {1, 2, 2, 4};
    EXPECT_EQ(aDiv(a.data(), 2, singular.data(), r.data()), 7);
    ExpectElements(r, {0, 0, 0, 0}, 0);
}

// ---- reshaping, tests, exchanges ----------------------------------------------------------

TEST_F(MatrixTest, TransposeTraceDiagonalNorm) {
    Mat a = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(aTrasp(a.data(), 2, 3), -1);
    ExpectElements(a, {1, 4, 2, 5, 3, 6}, 0);
    const Mat nine = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(aTraceN(nine.data(), 3), 15);
    Mat d = {2, 1, 4, 3};
    EXPECT_EQ(aDiag(d.data(), 2), -1);
    ExpectElements(d, {2, 0, 0, 1}, 0); // pivots 2 and 3 - 4/2
    double norm = 0;
    const Mat v = {3, 4};
    EXPECT_EQ(aMatrMod(v.data(), 2, &norm), -1);
    EXPECT_EQ(norm, 5);
}

TEST_F(MatrixTest, ComparisonsAreExact) {
    const Mat zero = {0.0, 0.0}, negZero = {0.0, -0.0};
    EXPECT_EQ(aMatrAreEquals(zero.data(), 1, 2, zero.data(), 1, 2), -1);
    EXPECT_EQ(aMatrAreEquals(zero.data(), 1, 2, negZero.data(), 1, 2), 0);
    EXPECT_EQ(aMatrAreEquals(zero.data(), 1, 2, zero.data(), 2, 1), 4);
    const Mat unit = {1, 0, 0, 1}, rot = {0, -1, 1, 0}, rotT = {0, 1, -1, 0}, sing = {1, 2, 2, 4};
    EXPECT_EQ(aMatrIsUnit(unit.data(), 2), -1);
    EXPECT_EQ(aMatrIsUnit(rot.data(), 2), 0);
    EXPECT_EQ(aMatrIsZero(negZero.data(), 1), -1);
    EXPECT_EQ(aMatrIsSing(sing.data(), 2), -1);
    EXPECT_EQ(aMatrIsSing(rot.data(), 2), 0);
    EXPECT_EQ(aMatrIsOrtog(rot.data(), 2), -1);
    EXPECT_EQ(aMatrIsOrtog(sing.data(), 2), 0);
    EXPECT_EQ(aMatrAreOrtog(rot.data(), 2, rotT.data()), -1);
    EXPECT_EQ(aMatrAreOrtog(rot.data(), 2, rot.data()), 0);
}

TEST_F(MatrixTest, SwapsOfBlocksRowsAndColumns) {
    Mat a = {1, 2, 3, 4, 5, 6}, b = {7, 8, 9, 10, 11, 12};
    EXPECT_EQ(aSwap(a.data(), 2, 3, b.data()), -1);
    EXPECT_EQ(a[0], 7);
    EXPECT_EQ(b[5], 6);
    EXPECT_EQ(aSwap(nullptr, 2, 3, b.data()), 15);
    Mat m = {1, 2, 3, 4, 5, 6};
    struct Row {
        const char* name;
        int32_t byRow, p, q, code;
        Mat after;
    } rows[] = {
        {"rows", 1, 1, 2, -1, {4, 5, 6, 1, 2, 3}},
        {"columns", 0, 1, 3, -1, {6, 5, 4, 3, 2, 1}},
        {"row_past_end", 1, 3, 1, 14, {6, 5, 4, 3, 2, 1}},
        {"row_zero", 1, 0, 1, 14, {6, 5, 4, 3, 2, 1}},
        {"column_negative", 0, 1, -1, 14, {6, 5, 4, 3, 2, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(aSwapRC(m.data(), 2, 3, row.byRow, row.p, row.q), row.code);
        ExpectElements(m, row.after, 0);
    }
}

TEST_F(MatrixTest, CountsBelowOneNeverReachTheElements) {
    Mat a = {1, 2, 3, 4};
    double out = 0;
    EXPECT_EQ(aMultSq(a.data(), -1, a.data(), a.data()), 5);
    EXPECT_EQ(aMultVect(a.data(), 2, 0, a.data(), a.data()), 5);
    EXPECT_EQ(aSist(a.data(), -2, a.data(), a.data()), 5);
    EXPECT_EQ(aTrasp(a.data(), -2, 2), 5);
    EXPECT_EQ(aSum(a.data(), 0, 2, a.data(), a.data()), 5);
    EXPECT_EQ(aTrace(a.data(), 0, &out), 5);
    EXPECT_EQ(aPow(a.data(), 0, 3, a.data()), 5);
    EXPECT_EQ(aSwapRC(a.data(), 0, 2, 1, 1, 1), 5);
    ExpectElements(a, {1, 2, 3, 4}, 0);
}

} // namespace
} // namespace zorbit::test
