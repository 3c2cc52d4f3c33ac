// Matrix operations at the orders a calculator meets (3, 10, 20, 40): each exported
// operation (the core call its export makes) and the same work written as an expression.
// Budget: under 5 ms per operation up to order 20, under 50 ms at order 40.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "common/number_text.h"
#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "matrix/algebra.h"
#include "matrix/matrix_expr.h"
#include "matrix/store.h"

namespace {

using namespace zorbit;

std::vector<double> WellConditioned(int32_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> a(static_cast<size_t>(n) * n);
    for (double& x : a)
        x = dist(gen);
    for (int32_t i = 0; i < n; ++i)
        a[static_cast<size_t>(i) * n + i] += n;
    return a;
}

void Orders(benchmark::internal::Benchmark* b) {
    for (int n : {3, 10, 20, 40})
        b->Arg(n);
    b->Unit(benchmark::kMicrosecond);
}

void BM_aDet(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    const std::vector<double> a = WellConditioned(n, 1);
    double d = 0;
    for (auto _ : state) {
        aDet(a.data(), n, &d);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_aDet)->Apply(Orders);

void BM_aInv(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    const std::vector<double> a = WellConditioned(n, 2);
    std::vector<double> w(a.size());
    for (auto _ : state) {
        w = a;
        benchmark::DoNotOptimize(aInv(w.data(), n));
    }
}
BENCHMARK(BM_aInv)->Apply(Orders);

void BM_aSist(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    const std::vector<double> a = WellConditioned(n, 3);
    const std::vector<double> b(static_cast<size_t>(n), 1.0);
    std::vector<double> x(static_cast<size_t>(n));
    for (auto _ : state)
        benchmark::DoNotOptimize(aSist(a.data(), n, b.data(), x.data()));
}
BENCHMARK(BM_aSist)->Apply(Orders);

void BM_aMultEx(benchmark::State& state) {
    const int32_t n = static_cast<int32_t>(state.range(0));
    const std::vector<double> a = WellConditioned(n, 4), b = WellConditioned(n, 5);
    std::vector<double> r(a.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(aMultEx(a.data(), n, n, b.data(), n, n, r.data()));
}
BENCHMARK(BM_aMultEx)->Apply(Orders);

// [mA], [mB] (n x n) and [vB] (n x 1) defined from definition strings, as a user would.
struct Defined {
    explicit Defined(int32_t n) {
        ResetContext();
        Define(u"[mA]", WellConditioned(n, 6), n, n);
        Define(u"[mB]", WellConditioned(n, 7), n, n);
        Define(u"[vB]", std::vector<double>(static_cast<size_t>(n), 1.0), n, 1);
    }
    ~Defined() {
        ClearAllMatrices();
        ResetContext();
    }
    static void Define(std::u16string_view name, const std::vector<double>& v, int32_t rows,
                       int32_t cols) {
        std::u16string text(name);
        text += u";" + IntText(rows) + u";" + IntText(cols) + u";";
        for (double x : v)
            text += ShortestText(x) + u";";
        SetStrMatrix(text, false, false);
    }
};

void EvalLoop(benchmark::State& state, std::u16string_view expr) {
    const Defined matrices(static_cast<int32_t>(state.range(0)));
    double v = 0;
    for (auto _ : state) {
        if (EvalExpression(expr, &v, false) < 0 || E_Error() != -1) {
            state.SkipWithError("evaluation failed");
            break;
        }
        benchmark::DoNotOptimize(v);
    }
}

void BM_EvalProduct(benchmark::State& state) {
    EvalLoop(state, u"[mA]*[mB]");
}
void BM_EvalInverse(benchmark::State& state) {
    EvalLoop(state, u"[mA]I");
}
void BM_EvalSyst(benchmark::State& state) {
    EvalLoop(state, u"syst([mA],[vB])");
}
void BM_EvalDet(benchmark::State& state) {
    EvalLoop(state, u"det([mA])");
}
BENCHMARK(BM_EvalProduct)->Apply(Orders);
BENCHMARK(BM_EvalInverse)->Apply(Orders);
BENCHMARK(BM_EvalSyst)->Apply(Orders);
BENCHMARK(BM_EvalDet)->Apply(Orders);

// 10,000 evaluations that create and discard matrices: the library's live blocks must come
// back to the defined matrices alone.
void BM_EvalLeakCheck(benchmark::State& state) {
    const Defined matrices(10);
    const int64_t defined = LiveMatrixBlocks();
    double v = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i)
            EvalExpression(i % 2 ? u"[mA]*[mB]+[mA]I" : u"det([mA]^2)", &v, false);
        ClearScratchMatrices(0);
        if (LiveMatrixBlocks() != defined) state.SkipWithError("matrix storage leaked");
    }
    state.counters["live_blocks"] = static_cast<double>(LiveMatrixBlocks());
}
BENCHMARK(BM_EvalLeakCheck)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
