// The Calculate menu on the real libzorbit.so, bound by path as the window binds it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "gridentry/grid_calculate.h"
#include "zorbit/codes.h"
#include "zorbit/zorbit.h"

namespace vex::grid {
namespace {

std::string U8(std::u16string_view text) {
    return zorbit::Utf16ToUtf8(text);
}

const MatrixLibrary& Bound() {
    static const MatrixLibrary lib = BindMatrixLibrary({VEX_ZORBIT_PATH});
    return lib;
}

const Library& Lib() {
    static const Library lib = Bound().Client();
    return lib;
}

GridState Square(int n, std::vector<std::u16string> cells, std::u16string name = u"[mA]") {
    GridState s;
    s.rows = s.cols = n;
    s.cells = std::move(cells);
    s.name = std::move(name);
    return s;
}

class MatrixLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Bound().bound()) << Bound().error;
        // An error code the caller had before must survive every computation.
        Lib().SetError(kCallersCode);
    }
    void TearDown() override {
        EXPECT_EQ(Lib().GetError(), kCallersCode) << "the library's error code was not put back";
        Lib().SetError(ZORBIT_NO_ERROR);
    }
    static constexpr int32_t kCallersCode = 42;
};

TEST(MatrixLibraryBinding, MissingLibraryIsAnErrorNotABinding) {
    const MatrixLibrary lib = BindMatrixLibrary({"/nonexistent/libzorbit.so"});
    EXPECT_FALSE(lib.bound());
    EXPECT_NE(lib.error.find("/nonexistent/libzorbit.so"), std::string::npos) << lib.error;
    EXPECT_EQ(lib.binding.slots.e_eval, nullptr);
    // Calculations on it are refused instead of calling through empty entries.
    const Library client = lib.Client();
    EXPECT_FALSE(client.Bound());
    GridState g;
    ResetCells(g, 1, 1);
    g.cells[0].push_back(u'2'); // (assigning a literal trips GCC 12's -Wrestrict)
    EXPECT_EQ(U8(DeterminantOf(client, g).error), "The library is not loaded: " + lib.error);
    EXPECT_FALSE(InvertCells(client, g).error.empty());
    EXPECT_EQ(g.cells[0], u"2");
    EXPECT_FALSE(OrthogonalityOf(client, g).error.empty());
}

TEST(MatrixLibraryBinding, LooksBesideItsOwnModuleFirstThenByName) {
    const std::vector<std::string> c = LibraryCandidates();
    ASSERT_EQ(c.size(), 4u);
    // This code is linked into the test program: its folder comes first.
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(c[0], self + "/libzorbit.so.0");
    EXPECT_EQ(c[1], self + "/libzorbit.so");
    EXPECT_EQ(c[2], "libzorbit.so.0");
    EXPECT_EQ(c[3], "libzorbit.so");
}

TEST(MatrixLibraryBinding, LibraryWithoutTheEntriesIsRefused) {
    // The C library loads but has none of the matrix entries.
    const MatrixLibrary lib = BindMatrixLibrary({"libc.so.6"});
    EXPECT_FALSE(lib.bound());
    EXPECT_NE(lib.error.find("e_eval"), std::string::npos) << lib.error;
    EXPECT_EQ(lib.binding.handle, nullptr);
}

TEST(MatrixLibraryBinding, AClientWithoutAnEntryTheWindowCallsCannotCalculate) {
    ASSERT_TRUE(Bound().bound()) << Bound().error;
    EXPECT_EQ(CannotCalculate(Lib()), "");
    EXPECT_EQ(CannotCalculate(Library()), "no library is bound");
    EXPECT_EQ(CannotCalculate(Library(nullptr, "gone")), "gone");
    struct Row {
        const char* name;
        void (*drop)(EntrySlots&);
    };
    for (const Row& row : {Row{"aDet", [](EntrySlots& s) { s.aDet = nullptr; }},
                           Row{"SetErrorMsgsF", [](EntrySlots& s) { s.SetErrorMsgsF = nullptr; }},
                           Row{"e_eval", [](EntrySlots& s) { s.e_eval = nullptr; }}}) {
        SCOPED_TRACE(row.name);
        EntrySlots slots = Bound().binding.slots;
        row.drop(slots);
        const Library lib(&slots);
        EXPECT_EQ(CannotCalculate(lib), "entry " + std::string(row.name) + " is missing");
        GridState g = Square(1, {u"2"});
        EXPECT_EQ(U8(DeterminantOf(lib, g).error),
                  "The library is not loaded: entry " + std::string(row.name) + " is missing");
    }
}

TEST(MatrixLibraryBinding, FirstCandidateThatLoadsWins) {
    const MatrixLibrary lib = BindMatrixLibrary({"/nonexistent/libzorbit.so", VEX_ZORBIT_PATH});
    EXPECT_TRUE(lib.bound()) << lib.error;
    EXPECT_TRUE(lib.error.empty());
}

struct DetRow {
    const char* name;
    int n;
    std::vector<std::u16string> cells;
    const char* want;
};
class Determinants : public MatrixLibraryTest, public ::testing::WithParamInterface<DetRow> {};

TEST_P(Determinants, OfTheCellsValues) {
    const DetRow& row = GetParam();
    const Calculation c = DeterminantOf(Lib(), Square(row.n, row.cells));
    EXPECT_EQ(U8(c.error), "");
    EXPECT_EQ(U8(c.text), std::string("Determinant of [mA] = ") + row.want);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, Determinants,
    ::testing::Values(DetRow{"two_by_two", 2, {u"4", u"7", u"2", u"6"}, "10"},
                      DetRow{"three_by_three_with_expression",
                             3,
                             {u"2*3", u"0", u"0", u"0", u" 2 ", u"0", u"0", u"0", u"1/4"},
                             "3"},
                      DetRow{"empty_cell_is_zero", 2, {u"1", u"", u"5", u"3"}, "3"},
                      DetRow{"constant_pi", 1, {u"pi"}, "3.1415926536"},
                      DetRow{"singular", 2, {u"1", u"2", u"2", u"4"}, "0"}),
    [](const ::testing::TestParamInfo<DetRow>& info) { return std::string(info.param.name); });

TEST_F(MatrixLibraryTest, InvertReplacesTheCellsWithTrimmedNumbers) {
    GridState s = Square(2, {u"4", u"7", u"2", u"6"});
    const Calculation c = InvertCells(Lib(), s);
    EXPECT_EQ(U8(c.error), "");
    EXPECT_FALSE(c.text.empty());
    EXPECT_EQ(s.cells, (std::vector<std::u16string>{u"0.6", u"-0.7", u"-0.2", u"0.4"}));
    EXPECT_EQ(U8(Definition(s)), "Matr = [mA]; 2; 2; 0.6; -0.7; -0.2; 0.4");
}

TEST_F(MatrixLibraryTest, InvertOfARotationGivesNoNegativeZero) {
    GridState s = Square(2, {u"0", u"1", u"-1", u"0"});
    const Calculation c = InvertCells(Lib(), s);
    EXPECT_EQ(U8(c.error), "");
    EXPECT_EQ(s.cells, (std::vector<std::u16string>{u"0", u"-1", u"1", u"0"}));
}

TEST_F(MatrixLibraryTest, RefusalsLeaveTheCellsAsTheyWere) {
    struct Case {
        const char* name;
        GridState state;
        const char* says;
    };
    GridState nonSquare;
    nonSquare.rows = 2;
    nonSquare.cols = 3;
    nonSquare.cells.assign(6, u"1");
    GridState noColumns;
    noColumns.rows = 2;
    for (Case& c : std::vector<Case>{
             {"singular", Square(2, {u"1", u"2", u"2", u"4"}), "Singular matrix"},
             {"non_square", nonSquare, "square"},
             {"rows_without_columns", noColumns, "square"},
             {"empty_grid", Square(0, {}), "no cells"},
             {"bad_cell", Square(2, {u"1", u"1+*", u"3", u"4"}), "Cell R1,C2"},
             {"unknown_name", Square(2, {u"1", u"2", u"nosuchname", u"4"}), "Cell R2,C1"}}) {
        SCOPED_TRACE(c.name);
        const std::vector<std::u16string> before = c.state.cells;
        const Calculation r = InvertCells(Lib(), c.state);
        EXPECT_TRUE(r.text.empty());
        EXPECT_NE(U8(r.error).find(c.says), std::string::npos) << U8(r.error);
        EXPECT_EQ(c.state.cells, before);
        if (std::string(c.name) != "singular") {
            const Calculation d = DeterminantOf(Lib(), c.state);
            EXPECT_NE(U8(d.error).find(c.says), std::string::npos) << U8(d.error);
            const Calculation o = OrthogonalityOf(Lib(), c.state);
            EXPECT_NE(U8(o.error).find(c.says), std::string::npos) << U8(o.error);
        }
    }
}

TEST_F(MatrixLibraryTest, BadCellIsNamedWithItsText) {
    const Calculation c = DeterminantOf(Lib(), Square(2, {u"1", u"2", u"3", u"  4+  "}));
    EXPECT_EQ(U8(c.error), "Cell R2,C2 has no value: 4+");
}

TEST_F(MatrixLibraryTest, MatrixInACellIsNoNumberButItsDeterminantIs) {
    ASSERT_EQ(Lib().StoreMatrix(u"[gridq]; 2; 2; 1; 2; 3; 4"), ZORBIT_NO_ERROR);
    Lib().SetError(kCallersCode);

    const Calculation bad = DeterminantOf(Lib(), Square(2, {u"1", u"0", u"0", u"[gridq]"}));
    EXPECT_EQ(U8(bad.text), "");
    EXPECT_EQ(U8(bad.error), "Cell R2,C2 holds a matrix, not a number: [gridq]");
    GridState s = Square(2, {u"[gridq]*2", u"0", u"0", u"1"});
    EXPECT_NE(U8(InvertCells(Lib(), s).error).find("Cell R1,C1"), std::string::npos);
    EXPECT_EQ(s.cells[0], u"[gridq]*2");

    const Calculation good = DeterminantOf(Lib(), Square(2, {u"det([gridq])", u"0", u"0", u"1"}));
    EXPECT_EQ(U8(good.error), "");
    EXPECT_EQ(U8(good.text), "Determinant of [mA] = -2");
}

TEST_F(MatrixLibraryTest, Orthogonality) {
    struct Case {
        const char* name;
        std::vector<std::u16string> cells;
        const char* want;
    };
    for (const Case& c :
         {Case{"rotation", {u"0", u"1", u"-1", u"0"}, "[mA] is orthogonal."},
          Case{"reflection_from_expressions", {u"2-1", u"0", u"0", u"-(1)"}, "[mA] is orthogonal."},
          // The library compares bit for bit: rounding makes this one fail.
          Case{"rounded_rotation",
               {u"cos(1)", u"sin(1)", u"-sin(1)", u"cos(1)"},
               "[mA] is not orthogonal."},
          Case{"not", {u"1", u"2", u"3", u"4"}, "[mA] is not orthogonal."}}) {
        SCOPED_TRACE(c.name);
        const Calculation r = OrthogonalityOf(Lib(), Square(2, c.cells));
        EXPECT_EQ(U8(r.error), "");
        EXPECT_EQ(U8(r.text), c.want);
    }
}

TEST_F(MatrixLibraryTest, EvaluateCellsGivesEveryValue) {
    GridState s = Square(2, {u"1+1", u"", u"-3", u"2^10"});
    std::vector<double> values;
    const Calculation c = EvaluateCells(Lib(), s, values);
    EXPECT_EQ(U8(c.error), "");
    EXPECT_EQ(values, (std::vector<double>{2, 0, -3, 1024}));
}

} // namespace
} // namespace vex::grid
