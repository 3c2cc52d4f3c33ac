// The matrix-entry window's rules without a window: import, counts, the definition in
// both forms, cell places, geometry, the caller's buffer and the matrix files.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "gridentry/grid_state.h"

namespace vex::grid {
namespace {

namespace fs = std::filesystem;

template <typename Row> std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

std::string U8(std::u16string_view text) {
    return zorbit::Utf16ToUtf8(text);
}

GridState Filled(int rows, int cols, std::vector<std::u16string> cells,
                 std::u16string name = u"[mA]", bool multiLine = false) {
    GridState s;
    s.rows = rows;
    s.cols = cols;
    s.cells = std::move(cells);
    s.name = std::move(name);
    s.multiLine = multiLine;
    return s;
}

// ---- import name

struct NameRow {
    const char* name;
    std::u16string_view text;
    std::u16string_view want;
};
class ImportNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(ImportNames, NameBetweenTheFirstTwoEquals) {
    EXPECT_EQ(U8(ImportName(GetParam().text)), U8(GetParam().want));
}

INSTANTIATE_TEST_SUITE_P(
    Grid, ImportNames,
    ::testing::Values(NameRow{"matr_line", u"Matr = [mA]; 2; 2; 1; 2; 3; 0", u"[mA]"},
                      NameRow{"no_equals", u"[mA]; 2; 2; 1", u""}, NameRow{"empty_text", u"", u""},
                      NameRow{"x_equals_5", u"x = 5", u"5"},
                      NameRow{"second_equals_ends_it", u"Matr = a = b; 1", u"a"},
                      NameRow{"spaces_around_name", u"Matr =   [m B]  ; 1; 1", u"[m B]"},
                      NameRow{"only_equals", u"=", u""},
                      NameRow{"nothing_after_equals", u"Matr =   ", u""},
                      NameRow{"empty_first_field", u"Matr = ; 2; 2", u""},
                      NameRow{"equals_first", u"=abc;1", u"abc"},
                      NameRow{"two_equals_nothing_between", u"a == b", u""}),
    RowName<NameRow>);

// ---- rows and columns

struct CountRow {
    const char* name;
    std::u16string_view text;
    std::optional<int> want;
};
class Counts : public ::testing::TestWithParam<CountRow> {};

TEST_P(Counts, IntegerValueWithinBounds) {
    EXPECT_EQ(CheckedCount(CountValue(GetParam().text)), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, Counts,
    ::testing::Values(CountRow{"zero", u"0", 0}, CountRow{"largest", u"256", 256},
                      CountRow{"one_past", u"257", std::nullopt},
                      CountRow{"minus_one", u"-1", std::nullopt}, CountRow{"minus_zero", u"-0", 0},
                      CountRow{"plus_sign", u"+7", 7}, CountRow{"word_reads_zero", u"abc", 0},
                      CountRow{"empty", u"", 0}, CountRow{"digits_then_letter", u"3x", 3},
                      CountRow{"fraction_dropped", u"2.9", 2},
                      CountRow{"blanks_around", u" \t12 ", 12}, CountRow{"sign_alone", u"-", 0},
                      CountRow{"huge_digits", u"99999999999999999999999999999999999999",
                               std::nullopt},
                      CountRow{"huge_negative", u"-99999999999999999999999999", std::nullopt},
                      CountRow{"leading_zeros", u"000000000000000000000000000000000255", 255}),
    RowName<CountRow>);

TEST(GridCounts, HugeDigitStringStaysFinite) {
    const std::u16string digits(100000, u'9');
    const double v = CountValue(digits);
    EXPECT_TRUE(v > kMaxSide && v < 1e300);
}

// ---- fields and filling

TEST(GridFields, FieldsByNumberAndPastTheEnd) {
    const std::u16string_view text = u"Matr = [a]; 2 ;3; x ";
    EXPECT_EQ(U8(Field(text, 1)), "Matr = [a]");
    EXPECT_EQ(U8(Field(text, 2)), " 2 ");
    EXPECT_EQ(U8(Field(text, 4)), " x ");
    EXPECT_EQ(U8(Field(text, 5)), "");
    EXPECT_EQ(U8(Field(text, 500)), "");
    EXPECT_EQ(U8(Field(u"", 1)), "");
    EXPECT_EQ(U8(Field(u"a;", 2)), "");
}

struct FillRow {
    const char* name;
    int rows, cols;
    std::u16string_view text;
    std::vector<std::u16string> want;
};
class Fill : public ::testing::TestWithParam<FillRow> {};

TEST_P(Fill, CellsTakeFieldsFromTheFourthOn) {
    const FillRow& row = GetParam();
    GridState s;
    ResetCells(s, row.rows, row.cols);
    FillCells(s, row.text);
    ASSERT_EQ(s.cells.size(), row.want.size());
    for (size_t k = 0; k < s.cells.size(); ++k)
        EXPECT_EQ(U8(s.cells[k]), U8(row.want[k])) << "cell " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Grid, Fill,
    ::testing::Values(
        FillRow{"exact", 2, 2, u"Matr = [mA]; 2; 2;  1 ; 2;3;4", {u"1", u"2", u"3", u"4"}},
        FillRow{"fewer_values", 2, 2, u"Matr = [mA]; 2; 2; 1; 2", {u"1", u"2", u"", u""}},
        FillRow{"extra_values", 1, 2, u"Matr = [mA]; 1; 2; 1; 2; 3; 4", {u"1", u"2"}},
        FillRow{"ends_after_field_3", 1, 2, u"Matr = [mA]; 1; 2", {u"", u""}},
        FillRow{"ends_after_third_semicolon", 1, 2, u"Matr = [mA]; 1; 2;", {u"", u""}},
        FillRow{"trailing_semicolon", 1, 2, u"Matr = [mA]; 1; 2; a; b;", {u"a", u"b"}},
        FillRow{"expressions_kept", 1, 2, u"M=[m];1;2; 2*3 ; pi ", {u"2*3", u"pi"}},
        FillRow{"no_semicolons", 1, 1, u"Matr = [mA]", {u""}},
        FillRow{"empty_fields", 1, 3, u"M=[m];1;3;;  ;x", {u"", u"", u"x"}},
        FillRow{"no_cells", 0, 0, u"M=[m];0;0;1;2", {}}),
    RowName<FillRow>);

TEST(GridFill, CellsPastTheLastFieldKeepTheirText) {
    GridState s = Filled(1, 3, {u"a", u"b", u"c"});
    FillCells(s, u"M=[m];1;3;x");
    EXPECT_EQ(s.cells, (std::vector<std::u16string>{u"x", u"b", u"c"}));
}

// ---- the definition

struct DefinitionRow {
    const char* name;
    GridState state;
    std::u16string_view want;
};
class Definitions : public ::testing::TestWithParam<DefinitionRow> {};

TEST_P(Definitions, BuiltFromTheCells) {
    EXPECT_EQ(U8(Definition(GetParam().state)), U8(GetParam().want));
}

INSTANTIATE_TEST_SUITE_P(
    Grid, Definitions,
    ::testing::Values(
        DefinitionRow{"one_line_2x2", Filled(2, 2, {u"1", u"2", u"3", u""}),
                      u"Matr = [mA]; 2; 2; 1; 2; 3; 0"},
        DefinitionRow{"multi_line_2x2", Filled(2, 2, {u"1", u"2", u"3", u""}, u"[mA]", true),
                      u"DimX = mA(2,2); mA(1,1)=1; mA(1,2)=2; \r\n"
                      u"DimX = mA(2,2); mA(2,1)=3; mA(2,2)=0; "},
        DefinitionRow{"no_rows", Filled(0, 0, {}), u"Matr = [mA]; 0; 0"},
        DefinitionRow{"no_rows_multi_line", Filled(0, 0, {}, u"[mA]", true), u""},
        DefinitionRow{"cells_trimmed_of_spaces_only", Filled(1, 3, {u"  7 ", u"   ", u"\t1"}, u"v"),
                      u"Matr = v; 1; 3; 7; 0; \t1"},
        DefinitionRow{"column_vector_multi_line", Filled(2, 1, {u"a", u"b"}, u"[[v]]", true),
                      u"DimX = v(2,1); v(1,1)=a; \r\nDimX = v(2,1); v(2,1)=b; "},
        DefinitionRow{"brackets_inside_name_stay", Filled(1, 1, {u"5"}, u"][a[b]]", true),
                      u"DimX = a[b(1,1); a[b(1,1)=5; "},
        DefinitionRow{"name_only_brackets", Filled(1, 1, {u"5"}, u"[]", true),
                      u"DimX = (1,1); (1,1)=5; "},
        DefinitionRow{"rows_without_columns_multi_line", Filled(2, 0, {}, u"m", true),
                      u"DimX = m(2,0); \r\nDimX = m(2,0); "},
        DefinitionRow{"two_digit_places",
                      Filled(1, 10, std::vector<std::u16string>(10, u"1"), u"m", true),
                      u"DimX = m(1,10); m(1,1)=1; m(1,2)=1; m(1,3)=1; m(1,4)=1; m(1,5)=1; "
                      u"m(1,6)=1; m(1,7)=1; m(1,8)=1; m(1,9)=1; m(1,10)=1; "}),
    RowName<DefinitionRow>);

TEST(GridDefinition, ImportOfADefinitionReproducesIt) {
    GridState s = Filled(3, 2, {u"1", u"-2.5", u"x^2", u"", u"pi", u"7"}, u"[big]");
    const std::u16string line = Definition(s);
    GridState back;
    back.name = ImportName(line);
    ResetCells(back, *CheckedCount(CountValue(Field(line, 2))),
               *CheckedCount(CountValue(Field(line, 3))));
    FillCells(back, line);
    EXPECT_EQ(U8(Definition(back)), U8(line));
    EXPECT_EQ(back.cells[3], u"0");
}

// ---- cell places

TEST(GridPlaces, IdentifiersRoundTripOverAGrid) {
    for (const int base : {int{kCellBase}, kCellBase + kCompiledInOffset}) {
        for (const int cols : {1, 3, 4, 256}) {
            SCOPED_TRACE(::testing::Message() << "base " << base << " cols " << cols);
            for (int row = 1; row <= 3; ++row)
                for (int col = 1; col <= cols; ++col) {
                    const int id = IdOf(row, col, cols, base);
                    const CellPlace p = PlaceOf(id, cols, base);
                    ASSERT_EQ(p.row, row);
                    ASSERT_EQ(p.col, col);
                }
        }
    }
    EXPECT_EQ(IdOf(1, 1, 4, kCellBase), 228);
    EXPECT_EQ(IdOf(2, 3, 4, kCellBase + kCompiledInOffset), 1157 + 4 + 3);
    EXPECT_EQ(U8(PlaceLabel(PlaceOf(IdOf(2, 3, 4, kCellBase), 4, kCellBase))), "R2,C3");
    EXPECT_EQ(PlaceOf(300, 0, kCellBase).row, 0); // no columns: no place, no division
}

TEST(GridPlaces, TitleSaysVectorForOneRowOrColumn) {
    EXPECT_EQ(U8(DefinitionTitle(Filled(1, 5, {}, u"[v]"))), "Vector: [v]");
    EXPECT_EQ(U8(DefinitionTitle(Filled(5, 1, {}, u"[v]"))), "Vector: [v]");
    EXPECT_EQ(U8(DefinitionTitle(Filled(2, 2, {}, u"[m]"))), "Matrix: [m]");
}

// ---- geometry

struct GeometryRow {
    const char* name;
    int rows, cols;
    GridGeometry want;
};
class Geometry : public ::testing::TestWithParam<GeometryRow> {};

TEST_P(Geometry, WindowAndCellsFromTheShape) {
    const GridGeometry g = GeometryFor(GetParam().rows, GetParam().cols);
    const GridGeometry& w = GetParam().want;
    EXPECT_EQ(g.width, w.width);
    EXPECT_EQ(g.height, w.height);
    EXPECT_EQ(g.outputTop, w.outputTop);
    EXPECT_EQ(g.cellsTop, w.cellsTop);
    EXPECT_EQ(g.cellsHeight, w.cellsHeight);
}

// W = max(345, cols*80 + 4), H = 85 + rows*20 + 36, output at H - 34, cells from 80.
INSTANTIATE_TEST_SUITE_P(
    Grid, Geometry,
    ::testing::Values(GeometryRow{"empty", 0, 0, {345, 121, 80, 7, 87}},
                      GeometryRow{"narrow_grid_keeps_buttons", 3, 4, {345, 181, 80, 67, 147}},
                      GeometryRow{"five_columns", 2, 5, {404, 161, 80, 47, 127}},
                      GeometryRow{"largest", 256, 256, {20484, 5241, 80, 5127, 5207}}),
    RowName<GeometryRow>);

TEST(GridGeometryFit, SmallScreenCutsWidthAndHeightAndKeepsTheOutputBelowTheCells) {
    const GridGeometry big = GeometryFor(256, 256);
    const GridGeometry g = FitGeometry(big, 1000, 700);
    EXPECT_EQ(g.width, 1000);
    EXPECT_EQ(g.height, 700);
    EXPECT_EQ(g.outputTop, 700 - 34);
    EXPECT_EQ(g.cellsTop, 80);
    EXPECT_EQ(g.cellsHeight, 700 - 34 - 80);

    // A screen smaller than the controls themselves: the controls win.
    const GridGeometry tiny = FitGeometry(big, 100, 50);
    EXPECT_EQ(tiny.width, 345);
    EXPECT_EQ(tiny.height, 121);
    EXPECT_EQ(tiny.cellsHeight, 7);

    // Room enough: unchanged.
    const GridGeometry small = GeometryFor(2, 2);
    const GridGeometry same = FitGeometry(small, 4000, 4000);
    EXPECT_EQ(same.width, small.width);
    EXPECT_EQ(same.height, small.height);
    EXPECT_EQ(same.outputTop, small.outputTop);
    EXPECT_EQ(same.cellsHeight, small.cellsHeight);
}

// ---- transpose and about

TEST(GridTranspose, TwoByThreeBecomesThreeByTwo) {
    GridState s = Filled(2, 3, {u"a", u"b", u"c", u"d", u"e", u"f"});
    Transpose(s);
    EXPECT_EQ(s.rows, 3);
    EXPECT_EQ(s.cols, 2);
    EXPECT_EQ(s.cells, (std::vector<std::u16string>{u"a", u"d", u"b", u"e", u"c", u"f"}));
    EXPECT_EQ(U8(Definition(s)), "Matr = [mA]; 3; 2; a; d; b; e; c; f");
    Transpose(s);
    EXPECT_EQ(s.cells, (std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"e", u"f"}));
}

TEST(GridAbout, LinesEndInCrLf) {
    const std::u16string about = AboutText();
    EXPECT_EQ(about.rfind(u"Module: GridEntry", 0), 0u);
    EXPECT_NE(about.find(u"\r\nVersion: 0.0.1.0 - Built: "), std::u16string::npos);
    EXPECT_EQ(about.substr(about.size() - 2), u"\r\n");
    EXPECT_EQ(about.find(u"\n\n"), std::u16string::npos);
}

// ---- the caller's buffer

struct HandBackRow {
    const char* name;
    size_t capacity; // characters the buffer held on entry
    std::u16string_view text;
    int32_t want;
};
class HandBacks : public ::testing::TestWithParam<HandBackRow> {};

TEST_P(HandBacks, WritesAtMostCapacityAndAZero) {
    const HandBackRow& row = GetParam();
    constexpr char16_t kSentinel = u'#';
    std::u16string buffer(row.capacity, u' ');
    buffer.append(8, kSentinel); // what lies past the caller's terminating zero
    const int32_t n = HandBack(buffer.data(), row.capacity, row.text);
    EXPECT_EQ(n, row.want);
    EXPECT_EQ(U8(buffer.substr(0, static_cast<size_t>(n))), U8(row.text.substr(0, n)));
    if (row.capacity > 0) {
        EXPECT_EQ(buffer[static_cast<size_t>(n)], u'\0');
        // Past the zero the buffer holds what it held.
        for (size_t k = static_cast<size_t>(n) + 1; k < row.capacity; ++k)
            EXPECT_EQ(buffer[k], u' ') << k;
    } else {
        EXPECT_EQ(buffer[0], kSentinel);
    }
    for (size_t k = row.capacity + 1; k < buffer.size(); ++k)
        EXPECT_EQ(buffer[k], kSentinel) << k;
}

INSTANTIATE_TEST_SUITE_P(Grid, HandBacks,
                         ::testing::Values(HandBackRow{"cut", 5, u"Matr = [mA]; 1; 1; 5", 5},
                                           HandBackRow{"exact", 4, u"Matr", 4},
                                           HandBackRow{"room_to_spare", 20, u"Matr", 4},
                                           HandBackRow{"capacity_zero", 0, u"Matr", 0},
                                           HandBackRow{"empty_text", 6, u"", 0}),
                         RowName<HandBackRow>);

TEST(GridHandBack, NullBufferGetsNothing) {
    EXPECT_EQ(HandBack(nullptr, 10, u"Matr = [m]; 0; 0"), 0);
}

// ---- files

struct LineRow {
    const char* name;
    std::u16string_view text;
    std::u16string_view want;
};
class MatrixLines : public ::testing::TestWithParam<LineRow> {};

TEST_P(MatrixLines, FirstMatrLine) {
    EXPECT_EQ(U8(MatrixLineOf(GetParam().text)), U8(GetParam().want));
}

INSTANTIATE_TEST_SUITE_P(
    Grid, MatrixLines,
    ::testing::Values(LineRow{"only_line", u"Matr = [a]; 1; 1; 2", u"Matr = [a]; 1; 1; 2"},
                      LineRow{"first_of_two", u"x = 1\nMatr = [a]; 0; 0\nMatr = [b]; 0; 0\n",
                              u"Matr = [a]; 0; 0"},
                      LineRow{"crlf_ends", u"rem\r\nMatr = [a]; 1; 1; 7\r\nMatr = [b]; 0; 0\r\n",
                              u"Matr = [a]; 1; 1; 7"},
                      LineRow{"any_case_and_indent", u"  mATR = [c]; 0; 0", u"  mATR = [c]; 0; 0"},
                      LineRow{"matr_without_name_skipped", u"Matr =\nMatr = [d]; 0; 0",
                              u"Matr = [d]; 0; 0"},
                      LineRow{"none", u"DimX = m(1,1); m(1,1)=1\r\nx = 2\r\n", u""},
                      LineRow{"empty", u"", u""}, LineRow{"only_newlines", u"\n\n\r\n", u""}),
    RowName<LineRow>);

class MatrixFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vexgrid-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void WriteBytes(const std::string& path, std::string_view bytes) const {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    std::string ReadBytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path dir_;
};

TEST_F(MatrixFiles, OneLineDefinitionRoundTrips) {
    const std::u16string def = Definition(Filled(2, 2, {u"1", u"ä", u"3", u""}, u"[mÄ]"));
    std::string error;
    ASSERT_TRUE(WriteMatrixFile(Path("m.txt"), def, error)) << error;
    EXPECT_EQ(ReadBytes(Path("m.txt")), U8(def) + "\n");
    std::u16string line;
    ASSERT_TRUE(ReadMatrixFile(Path("m.txt"), line, error)) << error;
    EXPECT_EQ(U8(line), U8(def));
}

TEST_F(MatrixFiles, MultiLineDefinitionIsWrittenWithLineFeeds) {
    const std::u16string def = Definition(Filled(2, 1, {u"1", u"2"}, u"[v]", true));
    std::string error;
    ASSERT_TRUE(WriteMatrixFile(Path("d.txt"), def, error)) << error;
    EXPECT_EQ(ReadBytes(Path("d.txt")), "DimX = v(2,1); v(1,1)=1; \nDimX = v(2,1); v(2,1)=2; \n");
    // Open reads only "Matr = " lines.
    std::u16string line;
    EXPECT_FALSE(ReadMatrixFile(Path("d.txt"), line, error));
    EXPECT_NE(error.find("Matr"), std::string::npos) << error;
}

TEST_F(MatrixFiles, WriteOverAnOldFileReplacesIt) {
    std::string error;
    WriteBytes(Path("m.txt"), std::string(1000, 'x'));
    ASSERT_TRUE(WriteMatrixFile(Path("m.txt"), u"Matr = [a]; 0; 0", error)) << error;
    EXPECT_EQ(ReadBytes(Path("m.txt")), "Matr = [a]; 0; 0\n");
}

TEST_F(MatrixFiles, WriteIntoAMissingFolderFailsWithAReason) {
    std::string error;
    EXPECT_FALSE(WriteMatrixFile(Path("none/m.txt"), u"Matr = [a]; 0; 0", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(MatrixFiles, UnreadableFilesAreRefusedWithAReason) {
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0); // nobody writes: reading must not wait
    WriteBytes(Path("plain.txt"), "x = 1\r\ny = 2\r\n");
    {
        std::ofstream big(Path("big.txt"), std::ios::binary);
        big << "Matr = [a]; 1; 1; 5\n";
    }
    fs::resize_file(dir_ / "big.txt", kMaxMatrixFileBytes + 1); // sparse
    struct Case {
        const char* name;
        std::string path;
        const char* says;
    };
    for (const Case& c :
         {Case{"missing", Path("missing.txt"), "No such file"},
          Case{"folder", Path("folder"), "directory"}, Case{"pipe", Path("pipe"), "regular file"},
          Case{"no_matr_line", Path("plain.txt"), "Matr"},
          Case{"over_16_mib", Path("big.txt"), "16 MiB"}}) {
        SCOPED_TRACE(c.name);
        std::u16string line = u"untouched";
        std::string error;
        EXPECT_FALSE(ReadMatrixFile(c.path, line, error));
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST_F(MatrixFiles, SixteenMebibytesIsStillRead) {
    {
        std::ofstream f(Path("edge.txt"), std::ios::binary);
        f << "Matr = [a]; 1; 1; 5\n";
    }
    fs::resize_file(dir_ / "edge.txt", kMaxMatrixFileBytes);
    std::u16string line;
    std::string error;
    ASSERT_TRUE(ReadMatrixFile(Path("edge.txt"), line, error)) << error;
    EXPECT_EQ(U8(line), "Matr = [a]; 1; 1; 5");
}

TEST_F(MatrixFiles, EncodingsOfTheLine) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string want;
    };
    for (const Case& c :
         {Case{"utf8_bom", "\xEF\xBB\xBFMatr = [m\xC3\xA4]; 1; 1; 2\r\n", u"Matr = [mä]; 1; 1; 2"},
          Case{"latin1", "rem \xE9t\xE9\nMatr = [m\xE4]; 1; 1; 2\n", u"Matr = [mä]; 1; 1; 2"},
          Case{"no_line_end", "Matr = [z]; 0; 0", u"Matr = [z]; 0; 0"}}) {
        SCOPED_TRACE(c.name);
        WriteBytes(Path("e.txt"), c.bytes);
        std::u16string line;
        std::string error;
        ASSERT_TRUE(ReadMatrixFile(Path("e.txt"), line, error)) << error;
        EXPECT_EQ(U8(line), U8(c.want));
    }
}

} // namespace
} // namespace vex::grid
