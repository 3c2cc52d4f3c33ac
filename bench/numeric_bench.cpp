// A formula over many values of one variable: e_evals and Integrate through the exports,
// beside muparser evaluating the same formula with a bound variable in a plain loop.
#include <benchmark/benchmark.h>

#include <vector>

#include "zorbit/zorbit.h"

#ifdef VEX_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

void SeriesExportInMode(benchmark::State& state, const char16_t* formula, int32_t mode) {
    ReSetZiZoruze();
    SetPrecisionMode(mode);
    const int32_t steps = static_cast<int32_t>(state.range(0));
    std::vector<double> xs(steps + 1), ys(steps + 1);
    double limits[5];
    for (auto _ : state) {
        const int32_t rc = e_evals(formula, -10, u"x", 10, steps, xs.data(), ys.data(), limits);
        benchmark::DoNotOptimize(ys.data());
        if (rc != -1) state.SkipWithError("a point failed");
    }
    state.SetItemsProcessed(state.iterations() * (steps + 1));
    SetPrecisionMode(ZORBIT_PRECISION_CLASSIC);
}

void BM_SeriesExport(benchmark::State& state, const char16_t* formula) {
    SeriesExportInMode(state, formula, ZORBIT_PRECISION_CLASSIC);
}

// Full precision: x travels exactly and the functions compute in double.
void BM_SeriesExportFull(benchmark::State& state, const char16_t* formula) {
    SeriesExportInMode(state, formula, ZORBIT_PRECISION_FULL);
}

BENCHMARK_CAPTURE(BM_SeriesExport, sin_x_x2, u"sin(x)*x^2")
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
// Formulas the compiled route does not take (a statistics call) cost what they did.
BENCHMARK_CAPTURE(BM_SeriesExport, statistics, u"max(x;0)*2")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SeriesExportFull, sin_x_x2, u"sin(x)*x^2")
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SeriesExportFull, statistics, u"max(x;0)*2")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_IntegrateSine(benchmark::State& state) {
    ReSetZiZoruze();
    double v = 0;
    for (auto _ : state) {
        if (Integrate(u"sin(x)", 0, 3.14159, 1000, 0, u"x", &v) != -1)
            state.SkipWithError("integration failed");
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_IntegrateSine)->Unit(benchmark::kMicrosecond);

void BM_SolveCubic(benchmark::State& state) {
    ReSetZiZoruze();
    for (auto _ : state) {
        const double r = dSolve(u"x^3-2*x^2+x-2", u"x");
        if (GetE_Error() != -1) state.SkipWithError("no root");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_SolveCubic)->Unit(benchmark::kMicrosecond);

#ifdef VEX_HAVE_MUPARSER
// The formula is parsed once, x is bound by address, and the loop only evaluates.
void BM_MuparserBoundLoop(benchmark::State& state) {
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
BENCHMARK(BM_MuparserBoundLoop)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
