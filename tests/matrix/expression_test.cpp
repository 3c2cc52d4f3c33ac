#include <cmath>

#include "common/number_text.h"
#include "matrix/algebra.h"
#include "matrix_fixture.h"

namespace zorbit::test {
namespace {

// Matrices the expressions below work with.
class MatrixExpressions : public MatrixTest {
  protected:
    void SetUp() override {
        MatrixTest::SetUp();
        Define(u"[mA];2;2;1;2;3;4");
        Define(u"[mB];2;2;5;6;7;8");
        Define(u"[mI];2;2;1;0;0;1");
        Define(u"[mS];2;2;1;2;2;4");        // singular
        Define(u"[mR];2;3;1;2;3;4;5;6");    // 2 x 3
        Define(u"[mC];3;2;7;8;9;10;11;12"); // 3 x 2
        Define(u"[vB];2;1;3;5");
        Define(u"[mV];3;1;1;2;3");
        Define(u"[mP];3;3;1;0;0;1;1;1;1;2;4"); // x^0, x^1, x^2 at x = 0, 1, 2
        Define(u"[vY];3;1;1;3;7");
    }

    // Evaluates a matrix expression; returns its elements and checks the result shape.
    std::vector<double> MatrixValue(std::u16string_view expr, int32_t rows, int32_t cols) {
        double handle = 0;
        EXPECT_EQ(EvalExpression(expr, &handle, false), 1) << "error " << E_Error();
        EXPECT_EQ(E_Error(), ZORBIT_NO_ERROR);
        EXPECT_EQ(Engine().eval.ResultRows, rows);
        EXPECT_EQ(Engine().eval.ResultCols, cols);
        const MatrixEntry* m = FindMatrixByValue(handle, false);
        if (m == nullptr) {
            ADD_FAILURE() << "no scratch entry behind the result";
            return {};
        }
        EXPECT_TRUE(m->Internal);
        EXPECT_EQ(m->Name, u"m_" + IntText(static_cast<long long>(m->handle)));
        EXPECT_EQ(m->rows, rows);
        EXPECT_EQ(m->cols, cols);
        return Elements(m);
    }
};

struct MatrixRow {
    const char* name;
    std::u16string_view expr;
    int32_t rows, cols;
    std::vector<double> elements;
};

class MatrixResults : public MatrixExpressions, public ::testing::WithParamInterface<MatrixRow> {};

TEST_P(MatrixResults, Compute) {
    const MatrixRow& row = GetParam();
    ExpectElements(MatrixValue(row.expr, row.rows, row.cols), row.elements, 1e-12);
    // A user's matrix never changes through an expression.
    ExpectElements(Elements(u"[mA]"), {1, 2, 3, 4}, 0);
    ExpectElements(Elements(u"[vB]"), {3, 5}, 0);
    ExpectElements(Elements(u"[vY]"), {1, 3, 7}, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, MatrixResults,
    ::testing::Values(
        MatrixRow{"reference", u"[mA]", 2, 2, {1, 2, 3, 4}},
        MatrixRow{"times_number", u"[mA]*2", 2, 2, {2, 4, 6, 8}},
        MatrixRow{"number_times", u"2*[mA]", 2, 2, {2, 4, 6, 8}},
        MatrixRow{"number_minus", u"1-[mA]", 2, 2, {0, -1, -2, -3}},
        MatrixRow{"minus_number", u"[mA]-1", 2, 2, {0, 1, 2, 3}},
        MatrixRow{"plus_number", u"[mA]+1", 2, 2, {2, 3, 4, 5}},
        MatrixRow{"unary_minus", u"-[mA]", 2, 2, {-1, -2, -3, -4}},
        MatrixRow{"sum", u"[mA]+[mB]", 2, 2, {6, 8, 10, 12}},
        MatrixRow{"difference", u"[mB]-[mA]", 2, 2, {4, 4, 4, 4}},
        MatrixRow{"mixed", u"2*[mA]-[mB]", 2, 2, {-3, -2, -1, 0}},
        MatrixRow{"square", u"[mA]^2", 2, 2, {7, 10, 15, 22}},
        MatrixRow{"cube", u"[mA]^3", 2, 2, {37, 54, 81, 118}},
        MatrixRow{"power_one", u"[mA]^1", 2, 2, {1, 2, 3, 4}},
        MatrixRow{"power_zero_identity", u"[mA]^0", 2, 2, {1, 0, 0, 1}},
        MatrixRow{"inverse_power", u"[mA]^-1", 2, 2, {-2, 1, 1.5, -0.5}},
        MatrixRow{"inverse_square", u"[mA]^-2", 2, 2, {5.5, -2.5, -3.75, 1.75}},
        MatrixRow{"inverse_suffix", u"[mA]I", 2, 2, {-2, 1, 1.5, -0.5}},
        MatrixRow{"transpose_suffix", u"[mA]t", 2, 2, {1, 3, 2, 4}},
        MatrixRow{"transpose_rectangular", u"[mR]T", 3, 2, {1, 4, 2, 5, 3, 6}},
        MatrixRow{"diagonal_suffix", u"[mA]D", 2, 2, {2, 0, 0, 1}},
        MatrixRow{"product", u"[mA]*[mB]", 2, 2, {19, 22, 43, 50}},
        MatrixRow{"product_shrinks", u"[mR]*[mC]", 2, 2, {58, 64, 139, 154}},
        MatrixRow{"product_grows", u"[mC]*[mR]", 3, 3, {39, 54, 69, 49, 68, 87, 59, 82, 105}},
        MatrixRow{"product_then_sum",
                  u"[mC]*[mR]+[mC]*[mR]",
                  3,
                  3,
                  {78, 108, 138, 98, 136, 174, 118, 164, 210}},
        MatrixRow{"matrix_times_vector", u"[mA]*[vB]", 2, 1, {13, 29}},
        MatrixRow{"divide_by_identity", u"[mA]/[mI]", 2, 2, {1, 2, 3, 4}},
        MatrixRow{"divide_by_self", u"[mA]/[mA]", 2, 2, {1, 0, 0, 1}},
        MatrixRow{"divide_by_number", u"[mA]/2", 2, 2, {0.5, 1, 1.5, 2}},
        MatrixRow{"number_over_matrix", u"2/[mA]", 2, 2, {-4, 2, 3, -1}},
        MatrixRow{"system", u"syst([mA], [vB])", 2, 1, {-1, 2}},
        MatrixRow{"system_swapped", u"syst([vB], [mA])", 2, 1, {-1, 2}},
        MatrixRow{"coefficients", u"vcoeff([mP], [vY], 3)", 3, 1, {1, 1, 1}},
        MatrixRow{"coefficients_fewer", u"vcoeff([mP], [vY], 2)", 3, 1, {2.0 / 3, 3, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct NumberRow {
    const char* name;
    std::u16string_view expr;
    double value;
};

class NumberResults : public MatrixExpressions, public ::testing::WithParamInterface<NumberRow> {};

TEST_P(NumberResults, Compute) {
    double v = 0;
    EXPECT_EQ(EvalExpression(GetParam().expr, &v, false), 0) << "error " << E_Error();
    EXPECT_NEAR(v, GetParam().value, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, NumberResults,
    ::testing::Values(NumberRow{"det", u"det([mA])", -2}, NumberRow{"trace", u"trace([mA])", 5},
                      NumberRow{"det_of_product", u"det([mA]*[mB])", 4},
                      NumberRow{"det_in_arithmetic", u"1+det([mA]I)*2", 0},
                      NumberRow{"trace_of_grown_product", u"trace([mC]*[mR])", 212}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureRow {
    const char* name;
    std::u16string_view expr;
    int32_t code;
};

class Failures : public MatrixExpressions, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(Failures, ReportTheirCode) {
    double v = 123;
    EXPECT_EQ(EvalExpression(GetParam().expr, &v, false), GetParam().code);
    EXPECT_EQ(E_Error(), GetParam().code);
    EXPECT_EQ(v, 123);
    EXPECT_FALSE(Engine().errors.ErrMsgs.empty());
    ExpectElements(Elements(u"[mA]"), {1, 2, 3, 4}, 0);
    ExpectElements(Elements(u"[vB]"), {3, 5}, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, Failures,
    ::testing::Values(
        FailureRow{"not_integer_exponent", u"[mA]^1.5", 9},
        FailureRow{"infinite_exponent", u"[mA]^(10^400)", 9},
        FailureRow{"matrix_over_zero", u"[mA]/0", 8}, FailureRow{"number_over_zero", u"1/0", 8},
        FailureRow{"product_shapes", u"[mR]*[mR]", 5}, FailureRow{"sum_shapes", u"[mA]+[mR]", 5},
        FailureRow{"difference_shapes", u"[mR]-[mC]", 5},
        FailureRow{"divide_singular", u"[mA]/[mS]", 7},
        FailureRow{"number_over_singular", u"1/[mS]", 7},
        FailureRow{"divide_rectangular", u"[mR]/[mR]", 6},
        FailureRow{"number_over_rectangular", u"2/[mR]", 6},
        FailureRow{"divide_orders", u"[mA]/[mP]", 5}, FailureRow{"power_rectangular", u"[mR]^2", 6},
        FailureRow{"power_rectangular_zero", u"[mR]^0", 6},
        FailureRow{"inverse_power_singular", u"[mS]^-1", 7},
        FailureRow{"inverse_suffix_rectangular", u"[mR]I", 6},
        FailureRow{"diagonal_suffix_rectangular", u"[mR]D", 6},
        FailureRow{"inverse_suffix_singular", u"[mS]I", 7},
        FailureRow{"number_to_matrix_power", u"2^[mA]", 10},
        FailureRow{"matrix_to_matrix_power", u"[mA]^[mA]", 10},
        FailureRow{"unknown_matrix", u"[zz]*2", 14}, FailureRow{"det_of_vector", u"det([mV])", 6},
        FailureRow{"det_of_number", u"det(5)", 14},
        FailureRow{"system_two_squares", u"syst([mA], [mA])", 10},
        FailureRow{"system_two_vectors", u"syst([vB], [vB])", 10},
        FailureRow{"system_orders", u"syst([mP], [vB])", 5},
        FailureRow{"system_rectangular", u"syst([mR], [vB])", 5},
        FailureRow{"system_singular", u"syst([mS], [vB])", 7},
        FailureRow{"coefficients_too_many", u"vcoeff([mP], [vY], 4)", 13},
        FailureRow{"coefficients_none", u"vcoeff([mP], [vY], 0)", 13},
        FailureRow{"coefficients_matrix_last", u"vcoeff([mP], [vY], [mA])", 13}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- scratch entries and their clean-up ------------------------------------------------------

TEST_F(MatrixExpressions, ScratchEntriesGoWhenUsedUpOrAfterAMatrixResult) {
    const size_t users = ListSize();
    double v = 0;
    ASSERT_EQ(EvalExpression(u"det([mA])+trace([mB]*[mA])+det(syst([mA],[vB])*[vB]T)", &v, false),
              0);
    EXPECT_EQ(ListSize(), users); // every copy was used up by its operation
    ASSERT_EQ(EvalExpression(u"[mA]*[mB]+[mA]-[mI]", &v, false), 1);
    EXPECT_EQ(ListSize(), users + 1); // the result stays for its caller ...
    const double result = v;
    EXPECT_EQ(EvalExpression(u"[mA]+[mB]*[zz]", &v, false), 14);
    EXPECT_EQ(ListSize(), users + 1); // ... while a failed evaluation drops its copies
    EXPECT_EQ(EvalExpression(u"det([mA])", &v, false), 0);
    EXPECT_EQ(ListSize(), users + 1); // and so does a numeric one
    v = result;
    EXPECT_EQ(FindMatrixByValue(v, false), &Matrices().arrList.back());
    ClearScratchMatrices(0);
    EXPECT_EQ(ListSize(), users);
}

TEST_F(MatrixExpressions, DeEvalRegistersItsResultAsACopy) {
    const double h = DeEval(u"[mA]*2", false);
    ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR);
    ExpectElements(Elements(u"[mResult]"), {2, 4, 6, 8}, 0);
    EXPECT_FALSE(Entry(u"[mResult]")->Internal);
    EXPECT_NE(Entry(u"[mResult]")->Addr, FindMatrixByValue(h, false)->Addr);
    // The next matrix result clears the scratch copy; "[mResult]" keeps its values.
    double v = 0;
    ASSERT_EQ(EvalExpression(u"[mB]", &v, false), 1);
    EXPECT_EQ(FindMatrixByValue(h, false), nullptr);
    ExpectElements(Elements(u"[mResult]"), {2, 4, 6, 8}, 0);
    DeEval(u"[mResult]+1", false);
    ExpectElements(Elements(u"[mResult]"), {3, 5, 7, 9}, 0);
}

TEST_F(MatrixExpressions, ResetRemovesEverything) {
    double v = 0;
    EvalExpression(u"[mA]*[mB]", &v, false);
    ClearAllMatrices();
    EXPECT_EQ(ListSize(), 0u);
    EXPECT_EQ(LiveMatrixBlocks(), 0);
}

TEST_F(MatrixExpressions, TenThousandEvaluationsLeaveNoStorageBehind) {
    const int64_t users = LiveMatrixBlocks();
    double v = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::u16string_view expr = i % 3 == 0   ? u"[mC]*[mR]+[mC]*[mR]"
                                         : i % 3 == 1 ? u"det([mA]I*[mB])"
                                                      : u"[mA]^5/[mB]";
        ASSERT_GE(EvalExpression(expr, &v, false), 0);
        ASSERT_LE(LiveMatrixBlocks(), users + 1) << "iteration " << i;
    }
    ClearScratchMatrices(0);
    EXPECT_EQ(LiveMatrixBlocks(), users);
}

} // namespace
} // namespace zorbit::test

namespace zorbit::test {
namespace {

TEST_F(MatrixExpressions, ExpressionsIgnoreTheCallersElementOrder) {
    // Definitions were read row by row; matrices inside expressions stay in the library's order.
    aElemOrderSet(1);
    ExpectElements(MatrixValue(u"[mR]*[mC]", 2, 2), {58, 64, 139, 154}, 0);
    ExpectElements(MatrixValue(u"[mA]^2-[mA]I*2", 2, 2), {11, 8, 12, 23}, 1e-12);
    EXPECT_EQ(Determinant(Elements(u"[mA]").data(), 2), -2);
}

TEST_F(MatrixExpressions, ErrorsWriteTheDebugEntryWhenAsked) {
    Engine().errors.DebugMode = 4;
    double v = 0;
    EvalExpression(u"[mA]^1.5", &v, false);
    EXPECT_EQ(Engine().errors.DebugLog.find(u"Procedure: CalcMatrixDivMult"), std::u16string::npos);
    Engine().errors.MsgFlags = 1;
    EvalExpression(u"[mA]^1.5", &v, false);
    EXPECT_NE(Engine().errors.DebugLog.find(u"Procedure: CalcMatrixDivMult\r\nExponent of Matrix"),
              std::u16string::npos);
}

TEST_F(MatrixExpressions, ClearingIsTracedInTheDebugLog) {
    Engine().errors.DebugMode = 4;
    double v = 0;
    ASSERT_EQ(EvalExpression(u"[mA]", &v, false), 1); // its copy stays as the last result
    ASSERT_EQ(EvalExpression(u"[mB]", &v, false), 1);
    const std::u16string& log = Engine().errors.DebugLog;
    EXPECT_NE(log.find(u"arrList() = [ma] ("), std::u16string::npos);
    EXPECT_NE(log.find(u"   internal - deleted"), std::u16string::npos);
    ClearAllMatrices();
    EXPECT_NE(log.find(u"arrList() = [mb]   deleted"), std::u16string::npos);
}

} // namespace
} // namespace zorbit::test
