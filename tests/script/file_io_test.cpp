#include <gtest/gtest.h>

#include "script/file_io.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

class FileIoTest : public ScriptTest {};

struct BomRow {
    const char* name;
    std::string bytes;
    const char16_t* text;
    bool refused;
};

class ReadTextFileTest : public FileIoTest, public ::testing::WithParamInterface<BomRow> {};

TEST_P(ReadTextFileTest, ByteOrderMarks) {
    WriteFile("t.txt", GetParam().bytes);
    std::u16string text;
    ASSERT_TRUE(ReadTextFile(host, Path("t.txt"), text));
    EXPECT_EQ(U8(text), U8(GetParam().text));
    EXPECT_EQ(box.shown.size(), GetParam().refused ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadTextFileTest,
    ::testing::Values(BomRow{"plainAscii", "a\nb", u"a\r\nb\r\n", false},
                      BomRow{"crLfKept", "a\r\nb\r\n", u"a\r\nb\r\n", false},
                      BomRow{"utf8Bom", "\xEF\xBB\xBFx\xC3\xA9", u"x\u00E9\r\n", false},
                      BomRow{"utf8NoBom", "\xC3\xA9", u"\u00E9\r\n", false},
                      BomRow{"latin1", "caf\xE9", u"caf\u00E9\r\n", false},
                      BomRow{"utf16le",
                             std::string("\xFF\xFE"
                                         "a\0\n\0b\0",
                                         8),
                             u"a\r\nb\r\n", false},
                      BomRow{"utf16be", std::string("\xFE\xFF\0a", 4), u"", true},
                      BomRow{"utf32le", std::string("\xFF\xFE\0\0a\0\0\0", 8), u"", true},
                      BomRow{"utf32be", std::string("\0\0\xFE\xFF\0\0\0a", 8), u"", true},
                      BomRow{"empty", "", u"", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileIoTest, RefusedMarkSaysWhy) {
    WriteFile("be.txt", std::string("\xFE\xFF\0a", 4));
    std::u16string text;
    ReadTextFile(host, Path("be.txt"), text);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0],
              "Zazu Dezeruziv: UTF-16 (big endian) BOM detected.\r\nUnable to convert the file. "
              "Try to save it in ASCII, UTF8 or Unicode format.");
}

TEST_F(FileIoTest, MissingFileCannotBeRead) {
    std::u16string text;
    EXPECT_FALSE(ReadTextFile(host, Path("none.txt"), text));
}

TEST_F(FileIoTest, ScriptFileInputSkipsCommentsAndJoinsLines) {
    WriteFile("in.txt", "\xEF\xBB\xBF"
                        "1+\r\n ' skipped\r\n2\n");
    EXPECT_EQ(U8(ScriptFileIO(host, u"in.txt", u"FileInp", u"")), "1+2");
    EXPECT_EQ(host.batch.ExitCode, -1);
}

TEST_F(FileIoTest, ScriptFileOutputReplacesTheFile) {
    WriteFile("out.txt", "old text that is longer");
    EXPECT_EQ(U8(ScriptFileIO(host, u"out.txt", u"FILEOUT", u"new \u00E9")), "");
    EXPECT_EQ(ReadFile("out.txt"), "new \xC3\xA9");
}

TEST_F(FileIoTest, UnreadableInputSetsTheExitCode) {
    EXPECT_EQ(U8(ScriptFileIO(host, u"none.txt", u"fileinp", u"")), "");
    EXPECT_EQ(host.batch.ExitCode, -2);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0],
              "Zazu Dezeruziv: Error 3: Couldn't open the file!\r\n" + Path("none.txt"));
}

TEST_F(FileIoTest, UnwritableOutputShowsAMessage) {
    ScriptFileIO(host, u"no/such/folder/x.txt", u"fileout", u"x");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("Error 1: can't write the file."), std::string::npos);
}

struct PathRow {
    const char* name;
    const char16_t* file;
    const char* path;
};

class PathTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(PathTest, AbsoluteAsGivenRelativeFromCurDir) {
    ScriptHost host;
    host.batch.CurDir = u"/work/dir";
    EXPECT_EQ(ResolveScriptPath(host, GetParam().file), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Rows, PathTest,
                         ::testing::Values(PathRow{"absolute", u"/tmp/a.txt", "/tmp/a.txt"},
                                           PathRow{"relative", u"a.txt", "/work/dir/a.txt"},
                                           PathRow{"subfolder", u"sub\\a.txt",
                                                   "/work/dir/sub/a.txt"},
                                           PathRow{"drive", u"C:\\tmp\\a.txt", "/tmp/a.txt"},
                                           PathRow{"driveRelative", u"c:a.txt", "/work/dir/a.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileArgsTest, InputAndOutputWithoutBrackets) {
    const FileArgs a = SplitFileArgs(u"in.txt [out.txt]");
    EXPECT_EQ(U8(a.input), "in.txt");
    EXPECT_EQ(U8(a.output), "out.txt");
    EXPECT_TRUE(SplitFileArgs(u"in.txt").output.empty());
}

} // namespace
} // namespace vex::test
