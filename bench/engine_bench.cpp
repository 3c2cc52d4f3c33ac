// Parse-and-evaluate cost of the engine on typical formulas, beside muparser doing the
// same work (SetExpr then Eval on the same text every time).
#include <benchmark/benchmark.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/variables.h"
#include "matrix/matrix_expr.h"
#include "numeric/numeric.h"
#include "zorbit/zorbit.h"

#ifdef VEX_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

struct Formula {
    const char16_t* ours;
    const char* theirs;
};

// F1..F8 of the engine benchmark.
const Formula kFormulas[] = {
    {u"2+3*4", "2+3*4"},
    {u"(1+2)*(3+4)/5-6^2", "(1+2)*(3+4)/5-6^2"},
    {u"sin(0.5)+cos(0.3)*sqrt(2)", "sin(0.5)+cos(0.3)*sqrt(2)"},
    {u"x^3-2*x^2+x-1", "x^3-2*x^2+x-1"},
    {u"((((1+2)*3)+4)*5)", "((((1+2)*3)+4)*5)"},
    {u"exp(1.5)*ln(10)-atan(1)*4+sqrt(17)/3", "exp(1.5)*ln(10)-atan(1)*4+sqrt(17)/3"},
    {u"(sin(0.5)*cos(0.25)+sqrt(17)/3)*(exp(1.5)-ln(10))/(atan(1)*4+abs(-2.5))-((1+2)*(3+4)/5-6^2)"
     u"+3.14159*2-sqrt(2)*sin(1)*cos(1)+tan(0.3)/(1+0.5*0.5)-(2.5*(1.5-0.25))",
     "(sin(0.5)*cos(0.25)+sqrt(17)/3)*(exp(1.5)-ln(10))/(atan(1)*4+abs(-2.5))-((1+2)*(3+4)/5-6^2)"
     "+3.14159*2-sqrt(2)*sin(1)*cos(1)+tan(0.3)/(1+0.5*0.5)-(2.5*(1.5-0.25))"},
    {u"avg(1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20)",
     "sum(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20)/20"},
};

void FreshEngine() {
    zorbit::ResetContext();
    zorbit::SetVarFunct(u"x", u"1.5", 0);
}

void EvalInMode(benchmark::State& state, int32_t mode) {
    FreshEngine();
    zorbit::SetPrecisionMode(mode);
    const Formula& f = kFormulas[state.range(0)];
    double v = 0;
    for (auto _ : state) {
        zorbit::EvalExpression(f.ours, &v, false);
        benchmark::DoNotOptimize(v);
    }
    if (zorbit::E_Error() != -1) state.SkipWithError("evaluation failed");
}

void BM_Zorbit(benchmark::State& state) {
    EvalInMode(state, ZORBIT_PRECISION_CLASSIC);
}
BENCHMARK(BM_Zorbit)->DenseRange(0, 7)->Name("zorbit_F");

// Full precision: no rounding on the way, and no slower.
void BM_ZorbitFull(benchmark::State& state) {
    EvalInMode(state, ZORBIT_PRECISION_FULL);
}
BENCHMARK(BM_ZorbitFull)->DenseRange(0, 7)->Name("zorbit_full_F");

// The same formulas through libzorbit.so's export, as a caller pays for them: the export's
// guard (and its lock) on top of the evaluation above.
void BM_ZorbitExport(benchmark::State& state) {
    ::ReSetZiZoruze();
    ::SetVarFunct(u"x", u"1.5", 0);
    const Formula& f = kFormulas[state.range(0)];
    double v = 0;
    for (auto _ : state) {
        ::e_eval(f.ours, &v, 0);
        benchmark::DoNotOptimize(v);
    }
    if (::GetE_Error() != -1) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_ZorbitExport)->DenseRange(0, 7)->Name("zorbit_export_F");

// The entry line's live result, per key: the same formulas through e_evalPreview, which
// saves and restores the library's state around the evaluation, with the entry line's
// work bound. range(1) variables are defined (the state a preview copies grows with them).
constexpr int64_t kEntryPreviewWork = 400000;

void DefineVariables(int64_t count) {
    ::ReSetZiZoruze();
    ::SetVarFunct(u"x", u"1.5", 0);
    for (int64_t k = 0; k < count; ++k) {
        const std::u16string name =
            u"v" + std::u16string(std::to_string(k).begin(), std::to_string(k).end());
        ::SetVarFunct(name.c_str(), u"2.25", 0);
    }
}

void BM_Preview(benchmark::State& state) {
    DefineVariables(state.range(1));
    const Formula& f = kFormulas[state.range(0)];
    ZorbitPreview out{};
    for (auto _ : state) {
        ::e_evalPreview(f.ours, kEntryPreviewWork, &out);
        benchmark::DoNotOptimize(out.value);
    }
    if (out.error != -1) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_Preview)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 7, 1), {0, 1000}})
    ->Name("preview_F");

// A formula of 1,000 characters, as typed one key at a time: each key previews the text
// so far (every tenth prefix here, so the run stays short).
void BM_PreviewLongFormula(benchmark::State& state) {
    DefineVariables(0);
    std::u16string text = u"1";
    while (text.size() < 1000)
        text += u"+sin(x)*2.5-sqrt(17)/3";
    text.resize(1000);
    while (!text.empty() && (text.back() < u'0' || text.back() > u'9'))
        text.pop_back();
    std::vector<std::u16string> prefixes;
    for (size_t n = 10; n <= text.size(); n += 10)
        prefixes.push_back(text.substr(0, n));
    ZorbitPreview out{};
    for (auto _ : state)
        for (const std::u16string& p : prefixes) {
            ::e_evalPreview(p.c_str(), kEntryPreviewWork, &out);
            benchmark::DoNotOptimize(out.value);
        }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(prefixes.size()));
    ::e_evalPreview(text.c_str(), kEntryPreviewWork, &out);
    if (out.error != -1) state.SkipWithError("the whole formula failed");
}
BENCHMARK(BM_PreviewLongFormula)->Unit(benchmark::kMillisecond);

// What a formula of much work costs before the bound cuts it off: powers of a 300 x 300
// matrix, and a statistics list of 100,000 values (which the entry line skips by its
// length before it reaches the library).
void BM_PreviewCutOff(benchmark::State& state) {
    DefineVariables(0);
    std::u16string text;
    if (state.range(0) == 0) {
        std::u16string definition = u"[mBig]; 300; 300";
        for (int k = 0; k < 300 * 300; ++k)
            definition += u"; 1";
        ::SetStrMatrix(definition.c_str(), 0, 1, 0);
        text = u"[mBig]^1000";
    } else {
        text = u"sum(1";
        for (int k = 1; k < 100000; ++k)
            text += u";1";
        text += u")";
    }
    ZorbitPreview out{};
    for (auto _ : state) {
        ::e_evalPreview(text.c_str(), kEntryPreviewWork, &out);
        benchmark::DoNotOptimize(out.cutOff);
    }
    if (out.cutOff != 1) state.SkipWithError("not cut off");
}
BENCHMARK(BM_PreviewCutOff)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The cheapest export: what the guard alone costs a call.
void BM_ExportGuardOnly(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(::GetE_Error());
}
BENCHMARK(BM_ExportGuardOnly)->Name("zorbit_export_GetE_Error");

// The same with a second thread alive, as in a caller that has threads: the C library's
// locks skip their atomic operations only while the process has one thread.
void BM_ZorbitExportThreaded(benchmark::State& state) {
    std::promise<void> stop;
    std::thread idle([done = stop.get_future()] { done.wait(); });
    BM_ZorbitExport(state);
    stop.set_value();
    idle.join();
}
BENCHMARK(BM_ZorbitExportThreaded)->Arg(0)->Arg(1)->Name("zorbit_export_threaded_F");

void SeriesInMode(benchmark::State& state, int32_t mode) {
    FreshEngine();
    zorbit::SetPrecisionMode(mode);
    const int32_t steps = static_cast<int32_t>(state.range(0));
    std::vector<double> xs(steps + 1), ys(steps + 1);
    double lim[5];
    for (auto _ : state) {
        zorbit::EvalSeries(u"sin(x)*x^2", -10, u"x", 10, steps, xs.data(), ys.data(), lim);
        benchmark::DoNotOptimize(ys.data());
    }
    state.SetItemsProcessed(state.iterations() * (steps + 1));
}

void BM_SeriesPoints(benchmark::State& state) {
    SeriesInMode(state, ZORBIT_PRECISION_CLASSIC);
}
BENCHMARK(BM_SeriesPoints)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SeriesPointsFull(benchmark::State& state) {
    SeriesInMode(state, ZORBIT_PRECISION_FULL);
}
BENCHMARK(BM_SeriesPointsFull)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IntegrateSine(benchmark::State& state) {
    FreshEngine();
    for (auto _ : state) {
        const double v = zorbit::Integrate(u"sin(x)", 0, 3.14159, 1000, false, u"x");
        benchmark::DoNotOptimize(v);
    }
    if (zorbit::E_Error() != -1) state.SkipWithError("integration failed");
}
BENCHMARK(BM_IntegrateSine)->Unit(benchmark::kMillisecond);

#ifdef VEX_HAVE_MUPARSER
void BM_Muparser(benchmark::State& state) {
    const Formula& f = kFormulas[state.range(0)];
    mu::Parser p;
    double x = 1.5;
    p.DefineVar("x", &x);
    double v = 0;
    for (auto _ : state) {
        p.SetExpr(f.theirs);
        v = p.Eval();
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_Muparser)->DenseRange(0, 7)->Name("muparser_F");

void BM_MuparserSeries(benchmark::State& state) {
    const int32_t steps = static_cast<int32_t>(state.range(0));
    std::vector<double> ys(steps + 1);
    mu::Parser p;
    double x = 0;
    p.DefineVar("x", &x);
    p.SetExpr("sin(x)*x^2");
    for (auto _ : state) {
        const double step = 20.0 / steps;
        x = -10;
        for (int32_t i = 0; i <= steps; ++i, x += step)
            ys[i] = p.Eval();
        benchmark::DoNotOptimize(ys.data());
    }
    state.SetItemsProcessed(state.iterations() * (steps + 1));
}
BENCHMARK(BM_MuparserSeries)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
