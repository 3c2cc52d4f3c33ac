#pragma once
// What the benchmark programs with Qt share: the offscreen platform unless the caller
// chose one, a scratch folder for the files they write, and the run itself.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QByteArray>
#include <QtGlobal>
#include <filesystem>
#include <string>

namespace vex::bench {

// Benchmarks never need a display.
inline void PreferOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
}

// A fresh folder in the system temp folder, removed with its contents at the end.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& prefix) {
        std::string templ =
            (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
        if (::mkdtemp(templ.data())) path_ = templ;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // Empty when the folder could not be made.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Runs the registered benchmarks; 1 when an argument is not one of Google Benchmark's.
inline int RunRegistered(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace vex::bench
