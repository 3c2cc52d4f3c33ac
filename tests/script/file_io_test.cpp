#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

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

// Files larger than one read, so that sequences, line ends and the switch to Latin-1
// meet the boundaries between the pieces read.
struct LargeRow {
    const char* name;
    std::string (*bytes)();
    std::u16string (*text)();
};

std::string Repeat(std::string_view piece, size_t times) {
    std::string s;
    for (size_t k = 0; k < times; ++k)
        s += piece;
    return s;
}

std::u16string Repeat16(std::u16string_view piece, size_t times) {
    std::u16string s;
    for (size_t k = 0; k < times; ++k)
        s += piece;
    return s;
}

class LargeFileTest : public FileIoTest, public ::testing::WithParamInterface<LargeRow> {};

TEST_P(LargeFileTest, ReadInPiecesAsIfWhole) {
    const std::string bytes = GetParam().bytes();
    WriteFile("big.txt", bytes);
    std::u16string text;
    ASSERT_TRUE(ReadTextFile(host, Path("big.txt"), text));
    EXPECT_TRUE(text == GetParam().text()) << "decoded differently";
    EXPECT_TRUE(text == DecodeTextFile(host, bytes)) << "differs from the bytes decoded whole";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LargeFileTest,
    ::testing::Values(
        LargeRow{"twoByteSequencesAcrossReads", [] { return "x" + Repeat("\xC3\xA9", 70000); },
                 [] { return u"x" + Repeat16(u"\u00E9", 70000) + u"\r\n"; }},
        LargeRow{"fourByteSequencesAcrossReads",
                 [] { return "xy" + Repeat("\xF0\x9F\x98\x80", 40000); },
                 [] { return u"xy" + Repeat16(u"\U0001F600", 40000) + u"\r\n"; }},
        LargeRow{"crAndLfInDifferentReads", [] { return std::string(65535, 'a') + "\r\nb"; },
                 [] { return std::u16string(65535, u'a') + u"\r\nb\r\n"; }},
        LargeRow{"latin1ByteLateInTheFile", [] { return Repeat("\xC3\xA9", 60000) + "\xE9"; },
                 [] { return Repeat16(u"\u00C3\u00A9", 60000) + u"\u00E9\r\n"; }},
        LargeRow{"utf8MarkWithABadByteLate",
                 [] { return "\xEF\xBB\xBF" + std::string(70000, 'a') + "\xFF"; },
                 [] { return std::u16string(70000, u'a') + u"\uFFFD\r\n"; }},
        LargeRow{"cutSequenceAtTheEnd", [] { return std::string(70000, 'a') + "\xE2\x82"; },
                 [] { return std::u16string(70000, u'a') + u"\u00E2\u0082\r\n"; }},
        LargeRow{"utf16LeWithAnOddLastByte",
                 [] { return "\xFF\xFE" + Repeat(std::string_view("a\0\n\0", 4), 20000) + "z"; },
                 [] { return Repeat16(u"a\r\n", 20000); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileIoTest, TooLargeAndNonFilesCannotBeRead) {
    { std::ofstream big(Path("huge.txt"), std::ios::binary); }
    std::filesystem::resize_file(Path("huge.txt"), kMaxFileBytes + 1);
    std::filesystem::create_directory(Path("folder"));
    for (const char* name : {"huge.txt", "folder"}) {
        SCOPED_TRACE(name);
        std::u16string text = u"stale";
        EXPECT_FALSE(ReadTextFile(host, Path(name), text));
        EXPECT_TRUE(text.empty());
    }
}

TEST_F(FileIoTest, PipeIsReadOnceAndDecoded) {
    const std::string path = Path("pipe");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::thread writer([&] {
        std::ofstream out(path, std::ios::binary);
        out << "caf\xE9\nx";
    });
    std::u16string text;
    EXPECT_TRUE(ReadTextFile(host, path, text));
    writer.join();
    EXPECT_EQ(U8(text), "caf\xC3\xA9\r\nx\r\n");
}

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
