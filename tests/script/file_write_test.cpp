#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "platform/protected_files.h"
#include "script/file_write.h"

namespace vex::test {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kNew = u"new report \u00E9\r\n";
constexpr std::string_view kNewBytes = "new report \xC3\xA9\r\n";

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Put(const fs::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

mode_t Bits(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

ino_t Inode(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_ino;
}

mode_t CurrentUmask() {
    const mode_t m = ::umask(022);
    ::umask(m);
    return m;
}

// Temporary files left behind in a folder.
std::vector<std::string> Leftovers(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with(".vex")) names.push_back(name);
    }
    return names;
}

class FileWriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vexwrite-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string At(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
};

// A name as long as a file name can be: nothing may be added to it.
std::string LongName() {
    return std::string(NAME_MAX - 4, 'a') + ".vex";
}

// What is there before, where the text goes, and what must hold after.
struct TargetRow {
    const char* name;
    void (*arrange)(const fs::path& dir);
    std::string target; // relative to the folder unless it starts with "/"
    WriteMode mode;
    int error;
    void (*check)(const fs::path& dir);
};

class TargetTest : public FileWriteTest, public ::testing::WithParamInterface<TargetRow> {};

TEST_P(TargetTest, WhereTheTextGoes) {
    const TargetRow& row = GetParam();
    if (row.arrange) row.arrange(dir);
    const std::string target = row.target[0] == '/' ? std::string(row.target) : At(row.target);
    EXPECT_EQ(WriteTextFile(target, {kNew.substr(0, 4), kNew.substr(4)}, row.mode), row.error)
        << std::strerror(row.error);
    if (row.check) row.check(dir);
    EXPECT_TRUE(Leftovers(dir).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TargetTest,
    ::testing::Values(
        TargetRow{"newFileGetsTheUsualBits", nullptr, "new.txt", WriteMode::Replace, 0,
                  [](const fs::path& d) {
                      EXPECT_EQ(Slurp(d / "new.txt"), kNewBytes);
                      EXPECT_EQ(Bits(d / "new.txt"), 0666 & ~CurrentUmask());
                  }},
        TargetRow{"regularFileKeepsItsBits",
                  [](const fs::path& d) {
                      Put(d / "old.txt", "old text, longer than the new one");
                      fs::permissions(d / "old.txt", fs::perms(0640));
                  },
                  "old.txt", WriteMode::Replace, 0,
                  [](const fs::path& d) {
                      EXPECT_EQ(Slurp(d / "old.txt"), kNewBytes);
                      EXPECT_EQ(Bits(d / "old.txt"), 0640u);
                  }},
        TargetRow{"appendKeepsTheOldBytes", [](const fs::path& d) { Put(d / "a.txt", "old\n"); },
                  "a.txt", WriteMode::Append, 0,
                  [](const fs::path& d) {
                      EXPECT_EQ(Slurp(d / "a.txt"), "old\n" + std::string(kNewBytes));
                  }},
        TargetRow{"symlinkTargetIsReplacedNotTheLink",
                  [](const fs::path& d) {
                      Put(d / "real.txt", "old");
                      fs::create_symlink("real.txt", d / "link.txt");
                  },
                  "link.txt", WriteMode::Replace, 0,
                  [](const fs::path& d) {
                      EXPECT_TRUE(fs::is_symlink(d / "link.txt"));
                      EXPECT_EQ(Slurp(d / "real.txt"), kNewBytes);
                  }},
        TargetRow{"symlinkChainIsFollowedToItsEnd",
                  [](const fs::path& d) {
                      fs::create_directory(d / "sub");
                      Put(d / "sub/end.txt", "old");
                      fs::create_symlink("sub/mid.txt", d / "first.txt");
                      fs::create_symlink("end.txt", d / "sub/mid.txt");
                  },
                  "first.txt", WriteMode::Replace, 0,
                  [](const fs::path& d) {
                      EXPECT_TRUE(fs::is_symlink(d / "first.txt"));
                      EXPECT_TRUE(fs::is_symlink(d / "sub/mid.txt"));
                      EXPECT_EQ(Slurp(d / "sub/end.txt"), kNewBytes);
                      EXPECT_TRUE(Leftovers(d / "sub").empty());
                  }},
        TargetRow{"danglingSymlinkCreatesItsTarget",
                  [](const fs::path& d) { fs::create_symlink("made.txt", d / "link.txt"); },
                  "link.txt", WriteMode::Replace, 0,
                  [](const fs::path& d) {
                      EXPECT_TRUE(fs::is_symlink(d / "link.txt"));
                      EXPECT_EQ(Slurp(d / "made.txt"), kNewBytes);
                  }},
        TargetRow{"longestFileNameFits", nullptr, LongName(), WriteMode::Replace, 0,
                  [](const fs::path& d) { EXPECT_EQ(Slurp(d / LongName()), kNewBytes); }},
        TargetRow{"deviceIsWrittenDirectly", nullptr, "/dev/null", WriteMode::Replace, 0,
                  [](const fs::path&) { EXPECT_TRUE(fs::is_character_file("/dev/null")); }},
        TargetRow{"fullDeviceFails", nullptr, "/dev/full", WriteMode::Replace, ENOSPC, nullptr},
        TargetRow{"nameUnderDevIsNeverCreated", nullptr, "/dev/vexcalc-no-such-device",
                  WriteMode::Replace, ENOENT,
                  [](const fs::path&) {
                      EXPECT_FALSE(fs::exists(fs::symlink_status("/dev/vexcalc-no-such-device")));
                  }},
        TargetRow{"missingFolderFails", nullptr, "no/such/out.txt", WriteMode::Replace, ENOENT,
                  [](const fs::path& d) { EXPECT_FALSE(fs::exists(d / "no")); }},
        TargetRow{"folderIsNotReplaced", [](const fs::path& d) { fs::create_directory(d / "sub"); },
                  "sub", WriteMode::Replace, EISDIR,
                  [](const fs::path& d) { EXPECT_TRUE(fs::is_directory(d / "sub")); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Failures injected through the test seam, and what they leave.
struct FaultRow {
    const char* name;
    const char* failingStep;
    int failure;
    const char* refusedStep; // a second step made to fail with EACCES, or ""
    bool oldFile;
    WriteMode mode;
    int error;
    const char* after; // the file's text after, or nullptr when there must be none
    bool sameInode;
};

class FaultTest : public FileWriteTest, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(FaultTest, FailuresLoseNothing) {
    const FaultRow& row = GetParam();
    const std::string path = At("out.txt");
    if (row.oldFile) Put(path, "old");
    const ino_t before = row.oldFile ? Inode(path) : 0;
    FaultHooks faults;
    faults.fileStep = [&](std::string_view step) {
        if (step == row.failingStep) return row.failure;
        return step == row.refusedStep ? EACCES : 0;
    };
    EXPECT_EQ(WriteTextFile(path, {kNew}, row.mode, &faults), row.error);
    if (row.after) {
        EXPECT_EQ(Slurp(path), row.after);
    } else {
        EXPECT_FALSE(fs::exists(path)) << "no file, not even an empty one";
    }
    if (row.sameInode) {
        EXPECT_EQ(Inode(path), before);
    }
    EXPECT_TRUE(Leftovers(dir).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FaultTest,
    ::testing::Values(FaultRow{"failedRenameKeepsTheOldFile", "rename", EIO, "", true,
                               WriteMode::Replace, EIO, "old", true},
                      FaultRow{"fullDiskKeepsTheOldFile", "write", ENOSPC, "", true,
                               WriteMode::Replace, ENOSPC, "old", true},
                      FaultRow{"fullDiskLeavesNoEmptyFile", "write", ENOSPC, "", false,
                               WriteMode::Replace, ENOSPC, nullptr, false},
                      FaultRow{"readOnlyFolderWritesTheFileInPlace", "", 0, "temp", true,
                               WriteMode::Replace, 0, "new report \xC3\xA9\r\n", true},
                      FaultRow{"readOnlyFolderAppendsInPlace", "", 0, "temp", true,
                               WriteMode::Append, 0, "oldnew report \xC3\xA9\r\n", true},
                      FaultRow{"readOnlyFolderWithoutTheFileFails", "", 0, "temp", false,
                               WriteMode::Replace, EACCES, nullptr, false},
                      FaultRow{"inPlaceAppendOnAFullDiskTakesItBack", "write", ENOSPC, "temp", true,
                               WriteMode::Append, ENOSPC, "old", true},
                      FaultRow{"fileTheUserMayNotWriteIsLeftAlone", "access", EACCES, "", true,
                               WriteMode::Replace, EACCES, "old", true},
                      FaultRow{"fileTheUserMayNotWriteIsNotAppendedTo", "access", EACCES, "", true,
                               WriteMode::Append, EACCES, "old", true},
                      FaultRow{"newFileNeedsNoWriteRightOfItsOwn", "access", EACCES, "", false,
                               WriteMode::Replace, 0, "new report \xC3\xA9\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileWriteTest, ReadOnlyFolderFallsBackToWritingInPlace) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root; FaultTest covers it";
    const std::string path = At("out.txt");
    Put(path, "old text, longer than the new one");
    const ino_t before = Inode(path);
    fs::permissions(dir, fs::perms(0555));
    const int error = WriteTextFile(path, {kNew}, WriteMode::Replace);
    fs::permissions(dir, fs::perms(0755));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(Slurp(path), kNewBytes);
    EXPECT_EQ(Inode(path), before);
}

// Another user's file in a folder everyone may write: the rename would replace it, the
// user may not write it, so it stays. Run for real as an unprivileged user.
TEST_F(FileWriteTest, AnotherUsersFileInAWritableFolderStays) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    constexpr uid_t kNobody = 65534;
    fs::permissions(dir, fs::perms(0777));
    const std::string path = At("theirs.txt");
    Put(path, "old");
    fs::permissions(path, fs::perms(0644));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(100);
        const int text = WriteTextFile(path, {kNew}, WriteMode::Replace);
        const int bytes = ReplaceFileBytes(path, "picture");
        const int mine = WriteTextFile(At("mine.txt"), {kNew}, WriteMode::Replace);
        ::_exit(text == EACCES && bytes == EACCES && mine == 0 ? 0 : 101);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(Slurp(dir / "mine.txt"), kNewBytes);
    EXPECT_TRUE(Leftovers(dir).empty());
}

TEST_F(FileWriteTest, AReadOnlyFileIsRefusedWhenPermissionsBind) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write it; the seam rows cover the refusal";
    const std::string path = At("ro.txt");
    Put(path, "old");
    fs::permissions(path, fs::perms(0444));
    EXPECT_EQ(WriteTextFile(path, {kNew}, WriteMode::Replace), EACCES);
    EXPECT_EQ(ReplaceFileBytes(path, "x"), EACCES);
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(Bits(path), 0444u);
}

// The program's own files: every spelling of one is refused, the file left as it was.
class ProtectedTest : public FileWriteTest {
  protected:
    void SetUp() override {
        FileWriteTest::SetUp();
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "lib");
        fs::create_directories(dir / "share");
        fs::create_directories(dir / "work");
        for (const char* name : {"bin/vexcalc", "lib/libzorbit.so.0", "lib/libgridentry.so",
                                 "share/ShowCmds.vex", "share/other.txt"})
            Put(dir / name, "own");
        fs::create_symlink("libzorbit.so.0", dir / "lib/libzorbit.so");
        ClearProtectedFiles();
    }
    void TearDown() override {
        ClearProtectedFiles();
        FileWriteTest::TearDown();
    }
};

TEST_F(ProtectedTest, EverySpellingOfAProgramFileIsRefused) {
    ProtectProgramFiles({At("bin/vexcalc"), At("lib/libzorbit.so"), At("share"), false});
    fs::create_symlink(dir / "share/ShowCmds.vex", dir / "work/help.vex");
    fs::create_hard_link(dir / "lib/libzorbit.so.0", dir / "work/copy.so");
    const struct {
        const char* name;
        std::string path;
        const char* protectedFile; // relative to dir
    } rows[] = {
        {"executable", At("bin/vexcalc"), "bin/vexcalc"},
        {"libraryByItsLink", At("lib/libzorbit.so"), "lib/libzorbit.so.0"},
        {"libraryByItsRealName", At("lib/libzorbit.so.0"), "lib/libzorbit.so.0"},
        {"otherLibrary", At("lib/libgridentry.so"), "lib/libgridentry.so"},
        {"aVersionNotThereYet", At("lib/libzorbit.so.0.2"), nullptr},
        {"throughDotDot", At("work/../share/ShowCmds.vex"), "share/ShowCmds.vex"},
        {"throughASymlink", At("work/help.vex"), "share/ShowCmds.vex"},
        {"aHardLink", At("work/copy.so"), "lib/libzorbit.so.0"},
        {"throughProc", "/proc/self/root" + At("share/ShowCmds.vex"), "share/ShowCmds.vex"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(WriteTextFile(row.path, {kNew}, WriteMode::Replace), EPERM);
        EXPECT_EQ(WriteTextFile(row.path, {kNew}, WriteMode::Append), EPERM);
        EXPECT_EQ(ReplaceFileBytes(row.path, "x"), EPERM);
        EXPECT_EQ(WriteErrorText(row.path, EPERM), "it is one of the program's own files");
        if (row.protectedFile)
            EXPECT_EQ(Slurp(dir / row.protectedFile), "own");
        else
            EXPECT_FALSE(fs::exists(row.path));
    }
    EXPECT_TRUE(fs::is_symlink(dir / "lib/libzorbit.so"));
    // Not installed: the program's folders hold files the user may write.
    EXPECT_EQ(WriteTextFile(At("share/other.txt"), {kNew}, WriteMode::Replace), 0);
    EXPECT_EQ(WriteTextFile(At("bin/vexCalc.ini"), {kNew}, WriteMode::Replace), 0);
    EXPECT_EQ(WriteErrorText(At("share/other.txt"), EPERM), std::strerror(EPERM));
}

TEST_F(ProtectedTest, AnInstalledProgramsFoldersAreRefusedWhole) {
    ProtectProgramFiles({At("bin/vexcalc"), At("lib/libzorbit.so.0"), At("share"), true});
    for (const char* name : {"bin/new.txt", "share/other.txt", "share/sub/new.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(WriteTextFile(At(name), {kNew}, WriteMode::Replace), EPERM);
    }
    EXPECT_EQ(Slurp(dir / "share/other.txt"), "own");
    EXPECT_FALSE(fs::exists(dir / "bin/new.txt"));
    // A folder whose name only starts like a protected one is not inside it.
    fs::create_directories(dir / "binary");
    EXPECT_EQ(WriteTextFile(At("binary/out.txt"), {kNew}, WriteMode::Replace), 0);
    EXPECT_EQ(WriteTextFile(At("work/out.txt"), {kNew}, WriteMode::Replace), 0);
}

TEST_F(FileWriteTest, OutOfMemoryWhileWritingKeepsTheOldFile) {
    const std::string path = At("out.txt");
    Put(path, "old");
    FaultHooks faults;
    faults.allocation = [](std::string_view point) {
        if (point == "output") throw std::bad_alloc();
    };
    EXPECT_THROW(WriteTextFile(path, {kNew}, WriteMode::Replace, &faults), std::bad_alloc);
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_TRUE(Leftovers(dir).empty());
}

TEST_F(FileWriteTest, FifoIsWrittenDirectlyAndStaysAFifo) {
    const std::string path = At("pipe");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        received = s.str();
    });
    EXPECT_EQ(WriteTextFile(path, {kNew}, WriteMode::Replace), 0);
    reader.join();
    EXPECT_EQ(received, kNewBytes);
    EXPECT_TRUE(fs::is_fifo(path));
}

TEST_F(FileWriteTest, FifoWithoutAReaderFailsInsteadOfWaiting) {
    const std::string path = At("lonely");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(WriteTextFile(path, {kNew}, WriteMode::Replace), ENXIO);
    EXPECT_TRUE(fs::is_fifo(path));
}

TEST_F(FileWriteTest, TwoWritesUseDifferentTemporaryNames) {
    // A temporary file of another writer is never opened: names are not reused while one
    // exists, even when both writers start at once.
    std::vector<std::thread> writers;
    for (int k = 0; k < 8; ++k) {
        writers.emplace_back([this, k] {
            const std::u16string text(20000, static_cast<char16_t>(u'a' + k));
            for (int round = 0; round < 20; ++round)
                EXPECT_EQ(WriteTextFile(At("shared.txt"), {text}, WriteMode::Replace), 0);
        });
    }
    for (std::thread& t : writers)
        t.join();
    const std::string text = Slurp(dir / "shared.txt");
    ASSERT_EQ(text.size(), 20000u);
    EXPECT_EQ(text.find_first_not_of(text[0]), std::string::npos) << "a mixture of writers";
    EXPECT_TRUE(Leftovers(dir).empty());
}

struct Utf8Row {
    const char* name;
    std::u16string text;
};

class Utf8PieceTest : public ::testing::TestWithParam<Utf8Row> {};

TEST_P(Utf8PieceTest, PiecesJoinToTheWholeText) {
    const std::u16string& text = GetParam().text;
    std::string joined;
    size_t pieces = 0;
    EXPECT_TRUE(ForEachUtf8Piece(text, [&](std::string_view piece) {
        joined += piece;
        ++pieces;
        return true;
    }));
    EXPECT_EQ(joined, zorbit::Utf16ToUtf8(text));
    EXPECT_EQ(Utf8Length(text), joined.size());
    if (text.size() > 100000) {
        EXPECT_GT(pieces, 1u);
    }
}

std::u16string PairsAcrossPieces() {
    // Surrogate pairs at every position, so one of them meets each piece boundary.
    std::u16string text = u"x";
    while (text.size() < 200000)
        text += u"\U0001F600";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Utf8PieceTest,
    ::testing::Values(Utf8Row{"empty", u""}, Utf8Row{"ascii", u"plain text\r\n"},
                      Utf8Row{"latinAndBmp", u"caf\u00E9 \u20AC \u4E2D"},
                      Utf8Row{"surrogatePair", u"\U0001F600"},
                      Utf8Row{"loneSurrogate", std::u16string(1, char16_t(0xD800)) + u"a"},
                      Utf8Row{"pairsAcrossPieces", PairsAcrossPieces()}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
