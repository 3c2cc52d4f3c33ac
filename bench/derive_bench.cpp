// Cost of one e_diff (parse, derive, parse again, simplify, print): typical formulas,
// long chains, the longest formulas e_diff takes, and the slowest inputs the fuzz target
// keeps in its corpus.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "context/context.h"
#include "derive/diff_entry.h"
#include "derive/diff_log.h"
#include "derive/diff_state.h"
#include "engine/state.h"

namespace {

const char16_t* const kFormulas[] = {
    u"x^2",
    u"sin(x)*cos(x)",
    u"sin(sin(sin(sin(x))))",
    u"(x^2+1)/(x-1)",
    u"x^3-2*x^2+x-1",
    u"(x+1)*sin(x)*cos(x)*exp(x)*ln(x)*sqrt(x)",
    // 200 characters.
    u"x^3-2*x^2+x-1+(x^2+1)/(x-1)+sin(x)*cos(x)*exp(-x)+ln(x^2+1)*sqrt(x)-arctg(x)/(1+x^2)"
    u"+sh(x)*ch(2*x)-th(x)^2+abs(x-2)*x^(-2)+log10(x)/(x+3)+(x+1)^4*cos(x^2)-2^x*x^a"
    u"+tan(x)/(sin(x)+2)+arcsin(x/10)*x^1.25",
};

// One e_diff per iteration; the label gives the size and the outcome.
void Run(benchmark::State& state, const std::u16string& formula, const std::u16string& variable,
         int8_t logMode) {
    zorbit::ResetContext();
    zorbit::SetDiffLogMode(logMode, u"");
    std::u16string buffer(1 << 16, u' ');
    int32_t length = 0;
    for (auto _ : state) {
        length = zorbit::DiffFormula(formula, variable, buffer.data(), 1 << 16);
        benchmark::DoNotOptimize(length);
    }
    const std::u16string& error = zorbit::Diff().firstError;
    state.SetLabel(std::to_string(formula.size()) + " chars -> " +
                   (length > 0 ? std::to_string(length) + " chars"
                               : "error " + std::to_string(zorbit::E_Error()) + " " +
                                     std::string(error.begin(), error.end())) +
                   (logMode != 0 ? ", log counted" : ""));
    zorbit::ResetContext();
}

void BM_e_diff(benchmark::State& state) {
    Run(state, kFormulas[state.range(0)], u"x", 0);
}

std::u16string Chain(char16_t op, int64_t count, std::u16string_view term) {
    std::u16string formula(term);
    for (int64_t i = 1; i < count; ++i) {
        formula += op;
        formula += term;
    }
    return formula;
}

// A chain of x: range(0) 0 for a sum, 1 for a product; range(1) terms. A sum derives up
// to 250,000 terms, where the node table is full; a product up to 250 factors, where its
// derivative nests too deep.
void BM_e_diff_chain(benchmark::State& state) {
    Run(state, Chain(state.range(0) == 0 ? u'+' : u'*', state.range(1), u"x"), u"x", 0);
}

std::u16string Nest(std::u16string_view open, int count, std::u16string_view core) {
    std::u16string formula;
    for (int i = 0; i < count; ++i)
        formula += open;
    formula += core;
    formula.append(static_cast<size_t>(count), u')');
    return formula;
}

// The costliest shapes found up to the longest formula e_diff takes (1 MiB); range(1)
// is the log mode (0 off, 3 counted only).
std::u16string Longest(int64_t which) {
    switch (which) {
    case 0: // 2 KB of nested inverse trigonometric calls, as deep as derives
        return Nest(u"arcsin(arccos(arctg(arcctg(", 62, u"x") + std::u16string(62 * 3, u')');
    case 1: // 240 factors of ten-term sums: the largest derivative that still nests
        return Chain(u'*', 240, u"(x+x+x+x+x+x+x+x+x+x)");
    case 2: // 120 nested calls around 20-factor products: built, then too deep
        return Nest(u"sin(x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*", 120, u"x");
    case 3: // a power tower with the variable as exponent: built, then too deep
        return Chain(u'^', 250, u"x");
    case 4: // about 1 MiB: 140,000 terms that fill the table with their derivative
        return Chain(u'+', 140000, u"sin(x)");
    default: // 1 MiB of x+x+...: the formula alone reaches the ceiling
        return Chain(u'+', 1 << 19, u"x");
    }
}

void BM_e_diff_longest(benchmark::State& state) {
    Run(state, Longest(state.range(0)), u"x", static_cast<int8_t>(state.range(1)));
}

// A fuzz input as the target reads it: the first byte holds the variable's length (bits
// 0-3), the counted log (bit 6) and UTF-16 pairs (bit 7).
struct FuzzInput {
    std::u16string variable, formula;
    int8_t logMode = 0;
};

FuzzInput Decode(const std::string& bytes) {
    FuzzInput in;
    if (bytes.empty()) return in;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const bool pairs = (byte(0) & 0x80) != 0;
    in.logMode = (byte(0) & 0x40) != 0 ? 3 : 0;
    const size_t varLength = std::min<size_t>(byte(0) & 0x0F, bytes.size() - 1);
    for (size_t i = 1; i < 1 + varLength; ++i)
        in.variable += static_cast<char16_t>(byte(i));
    for (size_t i = 1 + varLength; i < bytes.size(); i += pairs ? 2 : 1) {
        if (pairs && i + 1 >= bytes.size()) break;
        in.formula += static_cast<char16_t>(pairs ? byte(i) | (byte(i + 1) << 8) : byte(i));
    }
    return in;
}

// The slowest inputs the fuzz target kept, stored as slow_* in its corpus.
void RegisterSlowCorpus() {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(VEX_DERIVE_CORPUS, error))
        if (entry.path().filename().string().starts_with("slow_")) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream stream(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(stream), {}};
        const FuzzInput in = Decode(bytes);
        if (in.formula.empty()) continue;
        benchmark::RegisterBenchmark(
            ("BM_e_diff_corpus/" + file.filename().string()).c_str(),
            [in](benchmark::State& state) { Run(state, in.formula, in.variable, in.logMode); })
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

BENCHMARK(BM_e_diff)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_e_diff_chain)
    ->Args({0, 246})
    ->Args({0, 1250})
    ->Args({0, 4000})
    ->Args({1, 60})
    ->Args({1, 200})
    ->Args({1, 4000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_e_diff_longest)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 3}})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    RegisterSlowCorpus();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
