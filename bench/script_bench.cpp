// The interpreter's speed: a 10,000-line script of "Expr = " lines through EvalScript,
// and the terminal path's start-up (binding) on its own.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/eval_script.h"
#include "script/keywords.h"
#include "script/library_loader.h"
#include "shell/entry.h"

namespace {

constexpr const char16_t* kFormulas[] = {u"2+3*4", u"(1+2)*(3+4)/5-6^2",
                                         u"sin(0.5)+cos(0.3)*sqrt(2)", u"x^3-2*x^2+x-1"};
constexpr int kLines = 10000;

const vex::LibraryBinding& Zorbit() {
    static vex::LibraryBinding b = [] {
        vex::LibraryBinding binding;
        std::string error;
        if (!vex::LoadBindingFrom(binding, VEX_ZORBIT_PATH, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return binding;
    }();
    return b;
}

std::u16string BigScript() {
    std::u16string script;
    for (int i = 0; i < kLines; ++i) {
        script += u"Expr = ";
        script += kFormulas[i % 4];
        script += u"\r\n";
    }
    return script;
}

void BM_EvalScript10kLines(benchmark::State& state) {
    vex::ScriptHost host;
    host.slots = &Zorbit().slots;
    host.slots->SetVarFunct(u"x", u"1.5", 0);
    const std::u16string script = BigScript();
    for (auto _ : state) {
        const vex::ScriptResult r = vex::EvalScript(host, script, vex::ScriptRun{});
        if (r.Errors() != 0) state.SkipWithError("a line failed");
        benchmark::DoNotOptimize(r.report.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    state.SetLabel("items = script lines");
}
BENCHMARK(BM_EvalScript10kLines)->Unit(benchmark::kMillisecond);

// The "Integrate" command end to end: sin(x) over [0, 3.14159] with 1000 intervals.
void BM_IntegrateCommand(benchmark::State& state) {
    vex::ScriptHost host;
    host.slots = &Zorbit().slots;
    for (auto _ : state) {
        const vex::ScriptResult r = vex::EvalScript(
            host, u"Integrate(0;3.14159;1000;simpson;x) = sin(x)", vex::ScriptRun{});
        if (r.Errors() != 0) state.SkipWithError("the integral failed");
        benchmark::DoNotOptimize(r.report.data());
    }
}
BENCHMARK(BM_IntegrateCommand)->Unit(benchmark::kMillisecond);

void BM_EntryLine(benchmark::State& state) {
    vex::ScriptHost host;
    host.slots = &Zorbit().slots;
    const auto keywords = vex::InitKeywordTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(vex::RunEntryLine(host, keywords, u"2+3"));
}
BENCHMARK(BM_EntryLine);

void BM_BindAllSlots(benchmark::State& state) {
    for (auto _ : state) {
        vex::LibraryBinding b;
        std::string error;
        vex::LoadBindingFrom(b, VEX_ZORBIT_PATH, error);
        benchmark::DoNotOptimize(b.bound);
    }
}
BENCHMARK(BM_BindAllSlots)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
