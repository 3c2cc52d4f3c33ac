// Cost of large variable and function lists: defining many names, and evaluating a short
// formula while thousands of custom functions are defined.
//
// CPU time on the shared 2-core build machine (RelWithDebInfo), before the lists had an
// index -> with it:
//   BM_DefineVariables/100000      43,562 ms -> 34.3 ms   (10000: 374 ms -> 1.7 ms)
//   BM_EvalWithFunctions/3000/1    59,240 us -> 0.71 us   (0/1: 0.65 us -> 0.61 us)
//   BM_EvalWithFunctions/3000/0      32.4 us -> 0.71 us   (0/0: 0.68 us -> 0.59 us)
//   BM_EvalUsingFunction/3000      58,802 us -> 0.26 us
//   BM_DefineAndEvaluateFunctions/3000: 49 ms with the index (not measured before)
#include <benchmark/benchmark.h>

#include <string>

#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/variables.h"
#include "matrix/matrix_expr.h"

namespace {

std::u16string Text(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

void FreshEngine() {
    zorbit::ResetContext();
    zorbit::ResetContext();
}

// range(0) distinct variables "v0", "v1", ... defined on an empty list.
void BM_DefineVariables(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        FreshEngine();
        state.ResumeTiming();
        for (int i = 0; i < n; ++i)
            zorbit::SetVarFunct(Text("v" + std::to_string(i)), Text(std::to_string(i)), 0);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DefineVariables)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// range(0) distinct custom functions "f1(x)" ... (none a part of another), defined once;
// then "f1(2)" is evaluated with the name check on (range(1) = 1), as the program does,
// or off.
void BM_EvalWithFunctions(benchmark::State& state) {
    FreshEngine();
    const int n = static_cast<int>(state.range(0));
    for (int i = 1; i <= n; ++i)
        zorbit::SetVarFunct(Text("f" + std::to_string(i) + "(x)"), Text("x^2+" + std::to_string(i)),
                            1);
    const bool check = state.range(1) != 0;
    double v = 0;
    for (auto _ : state) {
        zorbit::EvalExpression(u"f1(2)", &v, check);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_EvalWithFunctions)->ArgsProduct({{0, 3000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The same with a formula that uses one of them: "f1(x)" expands to "(x^2+1)".
void BM_EvalUsingFunction(benchmark::State& state) {
    FreshEngine();
    zorbit::SetVarFunct(u"x", u"2", 0);
    const int n = static_cast<int>(state.range(0));
    for (int i = 1; i <= n; ++i)
        zorbit::SetVarFunct(Text("f" + std::to_string(i) + "(x)"), Text("x^2+" + std::to_string(i)),
                            1);
    double v = 0;
    for (auto _ : state) {
        zorbit::EvalExpression(u"f1(x)*2", &v, true);
        benchmark::DoNotOptimize(v);
    }
    if (zorbit::E_Error() != -1) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_EvalUsingFunction)->Arg(1)->Arg(3000)->Unit(benchmark::kMicrosecond);

// range(0) functions defined one by one with an evaluation (name check on) after each, as
// a script defining and using them does: the check follows each new entry.
void BM_DefineAndEvaluateFunctions(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double v = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FreshEngine();
        zorbit::SetVarFunct(u"x", u"2", 0);
        state.ResumeTiming();
        for (int i = 1; i <= n; ++i) {
            zorbit::SetVarFunct(Text("f" + std::to_string(i) + "(x)"),
                                Text("x^2+" + std::to_string(i)), 1);
            zorbit::EvalExpression(u"f1(x)", &v, true);
        }
        benchmark::DoNotOptimize(v);
    }
    if (zorbit::E_Error() != -1) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_DefineAndEvaluateFunctions)->Arg(3000)->Unit(benchmark::kMillisecond);

// Calls with arguments expanded into a formula: nested in their own arguments, in another
// function's arguments and in a body, with range(0) other functions defined.
void BM_ExpandCalls(benchmark::State& state) {
    FreshEngine();
    const int n = static_cast<int>(state.range(0));
    for (int i = 1; i <= n; ++i)
        zorbit::SetVarFunct(Text("g" + std::to_string(i) + "(x)"), Text("x+" + std::to_string(i)),
                            1);
    zorbit::SetVarFunct(u"sq(x)", u"x*x", 1);
    zorbit::SetVarFunct(u"hyp(a; b)", u"sqrt(a^2+b^2)", 1);
    zorbit::SetVarFunct(u"quad(x)", u"sq(x)+1", 1);
    const std::u16string formula = u"hyp(sq(2)-1; 4)+quad(sq(3))*2";
    std::u16string text;
    for (auto _ : state) {
        text = formula;
        if (!zorbit::ExpandFunctions(text)) state.SkipWithError("expansion failed");
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ExpandCalls)->Arg(0)->Arg(3000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
