// Two runs of the real program writing one output file at the same time, many times
// over: the file is always one complete report of one of them, also while they write.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vex::test {
namespace {

namespace fs = std::filesystem;

// Lines per script: a report of some hundred kilobytes, written in many pieces.
constexpr int kLines = 3000;
constexpr int kRounds = 50;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t p = text.find(part); p != text.npos; p = text.find(part, p + part.size()))
        ++n;
    return n;
}

// "" when text is one whole report of the script whose lines all give `value`.
std::string WholeReportProblem(const std::string& text, char value) {
    const std::string mine = std::string("Number = ") + value + ".0000";
    const std::string other = std::string("Number = ") + (value == '1' ? '2' : '1') + ".0000";
    if (text.rfind("'vexCalc", 0) != 0) return "does not start with the header";
    if (Count(text, "'vexCalc") != 1) return "more than one header";
    if (Count(text, mine) != kLines) return "not every record of one run";
    if (Count(text, other) != 0) return "records of both runs";
    if (Count(text, "\r\n'--- End Of BatchRun") != 1) return "not one end line";
    if (text.size() < 4 || text.substr(text.size() - 3) != "-\r\n") return "cut at its end";
    if (text.find('\0') != text.npos) return "holds NUL bytes";
    return "";
}

std::string AnyWholeReportProblem(const std::string& text) {
    const std::string one = WholeReportProblem(text, '1');
    if (one.empty()) return one;
    const std::string two = WholeReportProblem(text, '2');
    return two.empty() ? two : one;
}

pid_t Start(const std::string& switches) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = VEXCALC_PATH, noConfig = "--no-config", batch = "--batch",
                line = switches;
    char* argv[] = {program.data(), noConfig.data(), batch.data(), line.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BatchConcurrencyTest, TwoRunsOnOneOutputLeaveOneWholeReport) {
    std::string pattern = (fs::temp_directory_path() / "vexrace-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    for (const char value : {'1', '2'}) {
        std::ofstream in(dir / (std::string("in") + value + ".vex"), std::ios::binary);
        for (int k = 0; k < kLines; ++k)
            in << "Expr = " << value << "\r\n";
    }
    const fs::path out = dir / "out.vex";
    auto switches = [&](char value) {
        return "/i \"" + (dir / (std::string("in") + value + ".vex")).string() + "\" /o \"" +
               out.string() + "\" /";
    };

    // A reader looks at the file all the time the runs write it.
    std::atomic<bool> done{false};
    std::atomic<int> looks{0};
    std::string seenProblem;
    std::thread reader([&] {
        while (!done) {
            if (!fs::exists(out)) continue;
            const std::string problem = AnyWholeReportProblem(Slurp(out));
            ++looks;
            if (!problem.empty() && seenProblem.empty()) seenProblem = problem;
        }
    });
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const pid_t a = Start(switches('1'));
        const pid_t b = Start(switches('2'));
        ASSERT_GT(a, 0);
        ASSERT_GT(b, 0);
        EXPECT_EQ(Wait(a), 0);
        EXPECT_EQ(Wait(b), 0);
        const std::string problem = AnyWholeReportProblem(Slurp(out));
        EXPECT_EQ(problem, "");
        if (!problem.empty()) break;
    }
    done = true;
    reader.join();
    EXPECT_EQ(seenProblem, "") << "seen by the reader while the runs wrote";
    EXPECT_GT(looks.load(), 0);
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_FALSE(e.path().filename().string().starts_with(".vex")) << e.path();
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace
} // namespace vex::test
