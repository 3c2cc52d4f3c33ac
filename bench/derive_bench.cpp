// Cost of one e_diff (parse, derive, parse again, simplify, print) on typical formulas.
#include <benchmark/benchmark.h>

#include <string>

#include "derive/diff_entry.h"
#include "derive/diff_state.h"
#include "engine/state.h"
#include "library/context.h"

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

void BM_e_diff(benchmark::State& state) {
    zorbit::ResetContext();
    const std::u16string formula = kFormulas[state.range(0)];
    std::u16string buffer(8000, u' ');
    int32_t length = 0;
    for (auto _ : state) {
        length = zorbit::DiffFormula(formula, u"x", buffer.data(), 8000);
        benchmark::DoNotOptimize(length);
    }
    if (length <= 0) state.SkipWithError("e_diff failed");
    state.SetLabel(std::to_string(formula.size()) + " chars -> " + std::to_string(length));
}

// A chain of x: range(0) 0 for a sum, 1 for a product; range(1) terms. Past the node
// table (a sum of more than 1250, a product of more than about 65) e_diff refuses it, and
// the label says so.
void BM_e_diff_chain(benchmark::State& state) {
    zorbit::ResetContext();
    const char16_t op = state.range(0) == 0 ? u'+' : u'*';
    std::u16string formula = u"x";
    for (int64_t i = 1; i < state.range(1); ++i) {
        formula += op;
        formula += u'x';
    }
    std::u16string buffer(1 << 16, u' ');
    int32_t length = 0;
    for (auto _ : state) {
        length = zorbit::DiffFormula(formula, u"x", buffer.data(), 1 << 16);
        benchmark::DoNotOptimize(length);
    }
    state.SetLabel(std::to_string(state.range(1)) + (op == u'+' ? " terms -> " : " factors -> ") +
                   (length > 0 ? std::to_string(length) + " chars"
                               : "error " + std::to_string(zorbit::E_Error())));
}

} // namespace

BENCHMARK(BM_e_diff)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_e_diff_chain)
    ->Args({0, 246})
    ->Args({0, 1250})
    ->Args({0, 4000})
    ->Args({1, 60})
    ->Args({1, 4000})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
