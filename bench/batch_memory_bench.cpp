// Peak memory of a batch run of vexcalc on a 50 MB script: the program runs as a child
// and its largest resident size (getrusage of the child) is set against the sizes of its
// input and its report. Three kinds of script: records of arithmetic (a report larger
// than the input), comments (a report of a few lines) and copied lines (a report as
// large as the input).
//   build/default/bin/bench_batch_memory [--vexcalc PATH]

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr size_t kInputBytes = size_t{50} * 1000 * 1000;

std::string g_vexcalc = VEXCALC_PATH;

const fs::path& Folder() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "vexmem-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return fs::path(pattern);
    }();
    return dir;
}

// Writes a script of about kInputBytes from its repeated lines (once per kind).
fs::path Script(const char* kind, std::initializer_list<const char*> lines) {
    const fs::path path = Folder() / (std::string(kind) + ".vex");
    if (fs::exists(path)) return path;
    std::ofstream out(path, std::ios::binary);
    size_t written = 0;
    while (written < kInputBytes) {
        for (const char* line : lines) {
            out << line << "\r\n";
            written += std::strlen(line) + 2;
        }
    }
    return path;
}

// Runs one batch; returns the child's peak resident size in bytes, or 0 on failure.
size_t PeakOfRun(const fs::path& input, const fs::path& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = g_vexcalc, noConfig = "--no-config", batch = "--batch";
    std::string line = "/i \"" + input.string() + "\" /o \"" + output.string() + "\" /";
    char* argv[] = {program.data(), noConfig.data(), batch.data(), line.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return 0;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 0;
    return static_cast<size_t>(usage.ru_maxrss) * 1024;
}

void Run(benchmark::State& state, const fs::path& input) {
    const fs::path output = Folder() / "out.vex";
    size_t peak = 0;
    for (auto _ : state) {
        peak = PeakOfRun(input, output);
        if (peak == 0) {
            state.SkipWithError("the batch run failed");
            return;
        }
    }
    const double mb = 1e6;
    const double in = static_cast<double>(fs::file_size(input));
    const double report = static_cast<double>(fs::file_size(output));
    state.counters["input_MB"] = in / mb;
    state.counters["report_MB"] = report / mb;
    state.counters["peak_MB"] = static_cast<double>(peak) / mb;
    state.counters["peak_per_in+report"] = static_cast<double>(peak) / (in + report);
}

void BM_BatchPeakMemory_Records(benchmark::State& state) {
    Run(state,
        Script("records",
               {"Expr = 2+3*4", "Expr = (1+2)*(3+4)/5-6^2", "Expr = sin(0.5)+cos(0.3)*sqrt(2)",
                "' a comment line that is rather long and is skipped by the run"}));
}

void BM_BatchPeakMemory_Comments(benchmark::State& state) {
    Run(state,
        Script("comments", {"' only comments, which leave nothing in the report ............"}));
}

void BM_BatchPeakMemory_CopiedLines(benchmark::State& state) {
    Run(state,
        Script("copied", {"'' a line copied into the report as it is ....................."}));
}

BENCHMARK(BM_BatchPeakMemory_Records)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchPeakMemory_Comments)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchPeakMemory_CopiedLines)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // "--vexcalc PATH" measures another build of the program (for a before/after figure).
    for (int k = 1; k + 1 < argc; ++k) {
        if (std::strcmp(argv[k], "--vexcalc") == 0) {
            g_vexcalc = argv[k + 1];
            for (int j = k; j + 2 <= argc; ++j)
                argv[j] = argv[j + 2];
            argc -= 2;
            break;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
