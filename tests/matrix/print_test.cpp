#include "engine/host_hooks.h"
#include "matrix/print.h"
#include "matrix_fixture.h"

namespace zorbit::test {
namespace {

struct PrintRow {
    const char* name;
    std::vector<double> a;
    int32_t rows, cols;
    std::u16string_view format, title, separator;
    std::u16string_view text;
};

class Printing : public MatrixTest, public ::testing::WithParamInterface<PrintRow> {};

TEST_P(Printing, Text) {
    const PrintRow& row = GetParam();
    EXPECT_EQ(std::u16string(aPrint(row.a.data(), row.rows, row.cols, u"String", row.format,
                                    row.title, row.separator)),
              row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Print, Printing,
    ::testing::Values(
        PrintRow{"matrix_two_decimals",
                 {1, 2, 3, 4},
                 2,
                 2,
                 u"0.00",
                 u"M",
                 u";",
                 u"M\r\nA(0,0)=1.00;A(0,1)=2.00;\r\nA(1,0)=3.00;A(1,1)=4.00;"},
        PrintRow{"column_vector_default",
                 {1, 2, 3},
                 3,
                 1,
                 u"",
                 u"",
                 u"",
                 u"\r\nV(0)=1.0000\r\nV(1)=2.0000\r\nV(2)=3.0000"},
        PrintRow{"row_vector", {-1.5, 2}, 1, 2, u"#.0", u"v", u"", u"v\r\nV(0)=-1.5\r\nV(1)=2.0"},
        PrintRow{"single", {5}, 1, 1, u"0.", u"", u"", u"\r\nV(0)=5"},
        PrintRow{"tab_separator",
                 {1, 2, 3, 4},
                 2,
                 2,
                 u"0",
                 u"",
                 u"",
                 u"\r\nA(0,0)=1.0000\tA(0,1)=2.0000\t\r\nA(1,0)=3.0000\tA(1,1)=4.0000\t"},
        PrintRow{"rounds", {2.0 / 3}, 1, 1, u"0.000", u"", u"", u"\r\nV(0)=0.667"},
        PrintRow{"no_elements", {}, 0, 3, u"", u"T", u"", u"T\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MatrixTest, PrintReadsCallerOrder) {
    aElemOrderSet(1);
    const double a[4] = {1, 3, 2, 4};
    EXPECT_EQ(std::u16string(aPrint(a, 2, 2, u"String", u"0", u"", u",")),
              u"\r\nA(0,0)=1.0000,A(0,1)=2.0000,\r\nA(1,0)=3.0000,A(1,1)=4.0000,");
}

TEST_F(MatrixTest, PrintExCopiesIntoTheCallersRoom) {
    const double a[4] = {1, 2, 3, 4};
    EXPECT_EQ(aPrintEx(a, 2, 2, u"String", u"0.00", u"M", u";", nullptr), 1);
    char16_t ten[11] = u"          ";
    EXPECT_EQ(aPrintEx(a, 2, 2, u"String", u"0.00", u"M", u";", ten), 10);
    EXPECT_EQ(std::u16string(ten), u"M\r\nA(0,0)=");
    char16_t wide[80];
    std::fill(wide, wide + 79, u' ');
    wide[79] = 0;
    EXPECT_EQ(aPrintEx(a, 1, 1, nullptr, nullptr, nullptr, nullptr, wide), 13);
    EXPECT_EQ(std::u16string(wide), u"\r\nV(0)=1.0000");
    // A buffer holding no text announces no room: nothing is written.
    char16_t none[4] = {0, u'x', u'y', 0};
    EXPECT_EQ(aPrintEx(a, 2, 2, u"String", u"", u"", u"", none), 10);
    EXPECT_EQ(none[1], u'x');
}

std::u16string shownTitle, shownText;
int32_t boxes = 0;
int32_t RecordBox(const char16_t* title, const char16_t* text, int32_t, int32_t answer) {
    ++boxes;
    shownTitle = title;
    shownText = text;
    return answer;
}

TEST_F(MatrixTest, ShowAndDestinations) {
    SetMessageBoxHandler(RecordBox);
    const double a[1] = {2};
    boxes = 0;
    Engine().errors.DebugMode = 4;
    aShow(a, 1, 1);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(shownTitle, u"Zorbyt.dll");
    EXPECT_EQ(shownText, u"\r\nV(0)=2.0000");
    EXPECT_EQ(Engine().errors.DebugMode, 4); // restored
    aPrint(a, 1, 1, u"", u"", u"", u"");     // empty destination is a message box
    EXPECT_EQ(boxes, 2);
    aPrint(a, 1, 1, u"Debug", u"", u"D", u"");
    EXPECT_EQ(boxes, 2);
    EXPECT_NE(Engine().errors.DebugLog.find(u"D\r\nV(0)=2.0000"), std::u16string::npos);
    SetMessageBoxHandler(nullptr);
}

} // namespace
} // namespace zorbit::test
