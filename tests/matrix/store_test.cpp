#include <cmath>

#include "common/number_text.h"
#include "context/context.h"
#include "matrix_fixture.h"

namespace zorbit::test {
namespace {

// ---- definitions that succeed ------------------------------------------------------------

struct DefinitionRow {
    const char* name;
    std::u16string_view definition;
    std::u16string_view matrix;
    int32_t rows, cols;
    bool vector;
    std::vector<double> elements;
};

class Definitions : public MatrixTest, public ::testing::WithParamInterface<DefinitionRow> {};

TEST_P(Definitions, DefineTheMatrix) {
    const DefinitionRow& row = GetParam();
    Define(row.definition);
    const MatrixEntry* m = Entry(row.matrix);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->rows, row.rows);
    EXPECT_EQ(m->cols, row.cols);
    EXPECT_EQ(m->vector, row.vector);
    EXPECT_FALSE(m->Internal);
    ExpectElements(Elements(m), row.elements, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Store, Definitions,
    ::testing::Values(
        DefinitionRow{
            "no_trailing_separator", u"[mA];2;2;1;2;3;4", u"[mA]", 2, 2, false, {1, 2, 3, 4}},
        DefinitionRow{"zero_cols_is_column", u"[v]; 3; 0; 1; 2; 3", u"[v]", 3, 1, true, {1, 2, 3}},
        DefinitionRow{"one_by_one_is_vector", u"[s]; 1; 1; 5", u"[s]", 1, 1, true, {5}},
        DefinitionRow{"formulas", u"[f];1;2;1+1;2*sin(0)", u"[f]", 1, 2, true, {2, 0}},
        DefinitionRow{"scientific_formulas",
                      u"[g];1;3;1e3;-2.5E-3;6.02e23/1e23",
                      u"[g]",
                      1,
                      3,
                      true,
                      {1e3, -2.5e-3, 6.02e23 / 1e23}},
        DefinitionRow{"hex_and_binary_counts", u"[h];$2;%1;7;8", u"[h]", 2, 1, true, {7, 8}},
        DefinitionRow{"extra_fields_ignored", u"  [e];1;1;4;5;6;  ", u"[e]", 1, 1, true, {4}},
        DefinitionRow{"name_case_folded", u"[BiG];1;2;1;2", u"[big]", 1, 2, true, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MatrixTest, PlainElementsAreReadAsNumbers) {
    SetStrMatrix(u"[p];1;3;2.5abc;x;-1e2", false, false);
    ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR);
    ExpectElements(Elements(u"[p]"), {2.5, 0, -100}, 0);
    SetStrMatrix(u"[q];1;4;.5e3;1E+10;2e;6.02E23", false, false);
    ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR);
    ExpectElements(Elements(u"[q]"), {500, 1e10, 2, 6.02e23}, 0);
}

// ---- definitions that fail: the code, and nothing changes -----------------------------------

struct FailureRow {
    const char* name;
    std::u16string_view definition;
    int32_t code;
    std::u16string_view recordPart; // part of the error record's extra text ("" = none)
};

class DefinitionFailures : public MatrixTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(DefinitionFailures, FailAsAWhole) {
    Define(u"[keep];1;2;7;8");
    const int64_t blocks = LiveMatrixBlocks();
    const intptr_t result = SetStrMatrix(GetParam().definition, false, true);
    EXPECT_EQ(result, GetParam().code);
    EXPECT_EQ(E_Error(), GetParam().code);
    EXPECT_EQ(ListSize(), 1u);
    EXPECT_EQ(LiveMatrixBlocks(), blocks);
    ExpectElements(Elements(u"[keep]"), {7, 8}, 0);
    if (!GetParam().recordPart.empty()) {
        EXPECT_NE(Engine().errors.ErrMsgs.find(GetParam().recordPart), std::u16string::npos)
            << Narrow(Engine().errors.ErrMsgs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Store, DefinitionFailures,
    ::testing::Values(FailureRow{"missing_element", u"[mA]; 2; 2; 1; 2; 3", 12,
                                 u"Should be: 4, are: 3"},
                      FailureRow{"zero_counts", u"[mA]; 0; 0; 1", 11, u"rows = 0, cols = 0"},
                      FailureRow{"empty", u"", 13, u""}, FailureRow{"only_spaces", u"   ", 11, u""},
                      FailureRow{"no_name", u";1;1;1", 11, u""},
                      FailureRow{"negative_rows", u"[n];-2;2;1;2;3;4", 11, u"rows = -2"},
                      FailureRow{"too_many_elements", u"[big];1001;1000;1", 11, u""},
                      FailureRow{"count_overflow", u"[o];99999999999999999999;1;1", 11, u""},
                      FailureRow{"product_overflow", u"[o];$7FFFFFFF;$7FFFFFFF;1", 11, u""},
                      FailureRow{"empty_element", u"[mA];1;3;1;;3", 12, u"row = 1, col = 2"},
                      FailureRow{"redefinition_failing", u"[keep];1;2;1;1/0", 8, u"value = '1/0'"},
                      FailureRow{"element_syntax", u"[x];1;1;2+", 3, u""},
                      FailureRow{"element_unknown_matrix", u"[x];1;1;[nothing]", 14, u""},
                      FailureRow{"element_is_a_matrix", u"[x];1;1;[keep]", 11, u""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- redefinition, SetMatrix and ownership -------------------------------------------------

TEST_F(MatrixTest, RedefinitionWithSameShapeCopiesIntoTheFirstStorage) {
    Define(u"[MA]; 1; 2; 1; 2");
    const double* first = Entry(u"[ma]")->Addr;
    Define(u"[ma]; 1; 2; 5; 6");
    EXPECT_EQ(ListSize(), 1u);
    EXPECT_EQ(Entry(u"[MA]")->Addr, first);
    ExpectElements(Elements(u"[ma]"), {5, 6}, 0);
    EXPECT_EQ(LiveMatrixBlocks(), 1);
}

TEST_F(MatrixTest, RedefinitionWithOtherShapeFreesTheOldStorage) {
    Define(u"[m];1;2;1;2");
    Define(u"[m];2;2;1;2;3;4");
    EXPECT_EQ(Entry(u"[m]")->rows, 2);
    EXPECT_EQ(LiveMatrixBlocks(), 1);
}

TEST_F(MatrixTest, CallerStorageStaysTheCallers) {
    double mine[4] = {1, 2, 3, 4};
    EXPECT_EQ(SetMatrix(u"[c]", mine, 2, 2, true), reinterpret_cast<intptr_t>(mine));
    EXPECT_EQ(LiveMatrixBlocks(), 0);
    Define(u"[c];2;2;9;8;7;6"); // same shape: the values land in the caller's block
    EXPECT_EQ(mine[0], 9);
    EXPECT_EQ(LiveMatrixBlocks(), 0);
    EXPECT_EQ(ClearMatrixList(0), 1);
    EXPECT_EQ(mine[3], 6); // still readable: never freed by the library
}

TEST_F(MatrixTest, SetMatrixRejectsBadCountsAndNullStorage) {
    double block[2] = {1, 2};
    EXPECT_EQ(SetMatrix(u"[n]", block, -1, 2, false), ZORBIT_E_WRONG_STRING_MATRIX);
    EXPECT_EQ(SetMatrix(u"[n]", nullptr, 1, 2, false), ZORBIT_E_INVALID_ARGUMENT);
    EXPECT_EQ(ListSize(), 0u);
    EXPECT_EQ(SetMatrix(u"[n]", block, 0, 2, false), 0); // 0 becomes 1; index 0
    EXPECT_EQ(Entry(u"[n]")->rows, 1);
}

// ---- lookup ----------------------------------------------------------------------------

TEST_F(MatrixTest, FindMatrixByNameAddressAndFlags) {
    Define(u"[mA];2;3;1;2;3;4;5;6");
    Define(u"[mB];1;1;1");
    const MatrixEntry* a = Entry(u"[ma]");
    int32_t rows = 0, cols = 0;
    // Appended, not u"0" + IntText(...): that makes GCC 12 at -O3 warn of a false overlap.
    std::u16string zeroHandle = u"0";
    zeroHandle += IntText(static_cast<long long>(a->handle));
    struct Row {
        const char* name;
        std::u16string key;
        int32_t flags;
        intptr_t result;
        int32_t error;
    } rowsTable[] = {
        {"name_address_trimmed", u"  [mA]  ", 33, reinterpret_cast<intptr_t>(a->Addr), -1},
        {"name_index_first", u"[MA]", 34, 0, -1},
        {"name_index_second", u"[mb]", 34, 1, -1},
        {"handle_address", IntText(static_cast<long long>(a->handle)), 9,
         reinterpret_cast<intptr_t>(a->Addr), -1},
        {"handle_not_by_name", IntText(static_cast<long long>(a->handle)), 33, 0, 14},
        {"no_return_flag", u"[mA]", 32, 0, 14},
        {"missing", u"[zz]", 33, 0, 14},
        {"handle_with_leading_zero", zeroHandle, 9, 0, 14},
    };
    for (const Row& row : rowsTable) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FindMatrix(row.key, row.flags, &rows, &cols, false), row.result);
        EXPECT_EQ(E_Error(), row.error);
    }
    FindMatrix(u"[ma]", 33, &rows, &cols, false);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(cols, 3);
}

TEST_F(MatrixTest, MissingMatrixIsReportedOnlyWhenAsked) {
    FindMatrix(u"[zz]", 33, nullptr, nullptr, false);
    EXPECT_TRUE(Engine().errors.ErrMsgs.empty());
    FindMatrix(u" [zz]", 33, nullptr, nullptr, true);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"FindMatrix (Line: 393)"), std::u16string::npos);
}

// ---- deletion and the list dump ------------------------------------------------------------

TEST_F(MatrixTest, ClearMatrixListKeepsUserEntriesAndTheKeptScratch) {
    Define(u"[mA];1;2;1;2");
    const double h1 = MatrixReference(u"[mA]", 0);
    const double h2 = MatrixReference(u"[mA]", 0);
    EXPECT_NE(h1, h2);
    EXPECT_EQ(ListSize(), 3u);
    EXPECT_EQ(ClearMatrixList(static_cast<intptr_t>(h2)), 1);
    EXPECT_NE(FindMatrixByValue(h2, false), nullptr);
    EXPECT_EQ(FindMatrixByValue(h1, false), nullptr);
    EXPECT_EQ(ClearMatrixList(0), 2);
    EXPECT_EQ(ListSize(), 0u);
    EXPECT_EQ(E_Error(), ZORBIT_NO_ERROR);
}

TEST_F(MatrixTest, HandlesAreNeverReused) {
    Define(u"[mA];1;1;1");
    const double first = MatrixReference(u"[mA]", 0);
    ClearAllMatrices();
    ResetContext();
    Define(u"[mA];1;1;1");
    const double second = MatrixReference(u"[mA]", 0);
    EXPECT_GT(second, first);
    EXPECT_LT(second, 9007199254740992.0);
}

TEST_F(MatrixTest, MatrixListText) {
    Define(u"[mA];2;2;1;2;3;4");
    const MatrixEntry* a = Entry(u"[mA]");
    const std::u16string head = u"Matrix List: Count:1\r\n - Name: [ma] - nr. 1\r\n     Addr: " +
                                IntText(static_cast<long long>(a->handle)) +
                                u"\r\n     Internal: 0\r\n     rows: 2\r\n     cols: 2\r\n"
                                u"     index: 0\r\n     vector: 0";
    EXPECT_EQ(std::u16string(GetMatrixList(false)), head + u"\r\n");
    EXPECT_EQ(
        std::u16string(GetMatrixList(true)),
        head +
            u"     \r\nA(0,0)=1.0000\tA(0,1)=2.0000\t\r\nA(1,0)=3.0000\tA(1,1)=4.0000\t\r\n\r\n");
}

// ---- element order and copies --------------------------------------------------------------

TEST_F(MatrixTest, ElementOrderSettings) {
    EXPECT_EQ(aElemOrderGet(), -1);
    EXPECT_EQ(aElemOrderSet(2), 17);
    EXPECT_EQ(aElemOrderGet(), -1);
    EXPECT_EQ(aElemOrderSt(u"vb"), 0);
    EXPECT_EQ(aElemOrderSt(u"VB"), 1);
    EXPECT_EQ(aElemOrderSt(u"Visual Basic"), 1);
    const double rowProbe[4] = {0, 2, 5, 0}, colProbe[4] = {0, 5, 2, 0};
    EXPECT_EQ(aElemOrder(rowProbe), 0);
    EXPECT_EQ(aElemOrder(colProbe), 1);
    const int32_t zero = 0;
    EXPECT_EQ(aElemOrderEx(&zero, 2), -1);
    EXPECT_EQ(aElemOrderEx(nullptr, 3), 0);
    EXPECT_EQ(aElemOrderEx(colProbe, 1), 0);
}

TEST_F(MatrixTest, CopyArrayReordersColumnByColumnInput) {
    aElemOrderSet(1);
    const double square[4] = {1, 3, 2, 4};
    double out[4] = {};
    aCopyArray(square, out, 2, 2);
    ExpectElements({out, out + 4}, {1, 2, 3, 4}, 0);
    // 2 x 3 stored column by column: (1 4) (2 5) (3 6).
    const double rect[6] = {1, 4, 2, 5, 3, 6};
    double rows[6] = {}, back[6] = {};
    aCopyArray(rect, rows, 2, 3);
    ExpectElements({rows, rows + 6}, {1, 2, 3, 4, 5, 6}, 0);
    CopyToCaller(rows, back, 2, 3);
    ExpectElements({back, back + 6}, {1, 4, 2, 5, 3, 6}, 0);
    Matrices().PlainCopy = 1;
    aCopyArray(rect, rows, 2, 3);
    ExpectElements({rows, rows + 6}, {1, 4, 2, 5, 3, 6}, 0);
}

TEST_F(MatrixTest, DefinitionUnderColumnOrderReadsColumnByColumn) {
    aElemOrderSet(1);
    Define(u"[c];2;2;1;2;3;4");
    ExpectElements(Elements(u"[c]"), {1, 3, 2, 4}, 0);
}

TEST_F(MatrixTest, GetMatrixByLongChecksItsArguments) {
    const double src[2] = {1, 2};
    double dst[2] = {};
    EXPECT_EQ(GetMatrixByLong(nullptr, dst, 1, 2), 15);
    EXPECT_EQ(E_Error(), 15);
    EXPECT_EQ(GetMatrixByLong(src, dst, 0, 2), 5);
    EXPECT_EQ(E_Error(), 5);
    EXPECT_EQ(GetMatrixByLong(src, dst, 1, 2), -1);
    EXPECT_EQ(dst[1], 2);
}

} // namespace
} // namespace zorbit::test
