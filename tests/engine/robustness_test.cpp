#include <pthread.h>

#include <functional>

#include "common/number_text.h"
#include "engine/variables.h"
#include "engine_fixture.h"
#include "numeric/series.h"

namespace zorbit::test {
namespace {

std::u16string Repeat(std::u16string_view s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// Runs fn on a thread whose stack is 1 MiB, as small as a host may give the engine.
void OnSmallStack(std::function<void()> fn) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 1u << 20);
    pthread_t thread;
    auto* task = new std::function<void()>(std::move(fn));
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void* p) -> void* {
                      auto* f = static_cast<std::function<void()>*>(p);
                      (*f)();
                      delete f;
                      return nullptr;
                  },
                  task),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

struct NestRow {
    const char* name;
    std::u16string_view open;
    std::u16string_view core;
    std::u16string_view close;
    double value256;
};

class Nesting : public EngineTest, public ::testing::WithParamInterface<NestRow> {};

TEST_P(Nesting, DeepButBoundedOnOneMebibyteStack) {
    const NestRow& r = GetParam();
    OnSmallStack([&] {
        const std::u16string ok =
            Repeat(r.open, 256) + std::u16string(r.core) + Repeat(r.close, 256);
        double v = 0;
        EXPECT_EQ(EvalExpression(ok, &v, false), 0) << "error " << E_Error();
        EXPECT_NEAR(v, r.value256, 1e-6);
        const std::u16string deep =
            Repeat(r.open, 50000) + std::u16string(r.core) + Repeat(r.close, 50000);
        EXPECT_EQ(EvalExpression(deep, &v, false), 3);
    });
}

INSTANTIATE_TEST_SUITE_P(Forms, Nesting,
                         ::testing::Values(NestRow{"brackets", u"(", u"7", u")", 7},
                                           NestRow{"sums_in_brackets", u"1+(", u"0", u")", 256},
                                           NestRow{"powers", u"1^(", u"2", u")", 1},
                                           NestRow{"calls", u"abs(", u"-2", u")", 2},
                                           NestRow{"unary", u"-", u"3", u"", 3},
                                           NestRow{"not_chain", u"not ", u"0", u"", 0},
                                           NestRow{"statistics", u"sum(1;", u"1", u")", 257},
                                           NestRow{"mixed", u"abs(-(", u"4", u"))", 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Nesting, MacroExpansionNestsToo) {
    // f0 = (f1)+1, f1 = (f2)+1, ...: the text nests one bracket per entry.
    // Appended, not u"f" + IntText(k): that makes GCC 12 at -O3 warn of a false overlap.
    const auto f = [](int k) {
        std::u16string name = u"f";
        return name += IntText(k);
    };
    for (int i = 0; i < 256; ++i)
        SetVarFunct(f(i), f(i + 1) + u"+1", 1);
    SetVarFunct(u"f256", u"0", 1);
    OnSmallStack([] { EXPECT_EQ(Value(u"f0"), 256); });
}

TEST_F(Nesting, SeriesCompilesDeepFormulasOnOneMebibyteStack) {
    OnSmallStack([] {
        double xs[3], ys[3], limits[5];
        // 990 brackets: within the limit for either sign of x, so the formula is compiled.
        const std::u16string ok = Repeat(u"abs(", 990) + u"x" + Repeat(u")", 990);
        FormulaSeries series(ok, u"x", XTextRule(10));
        EXPECT_TRUE(series.Compiled());
        EXPECT_EQ(EvalSeries(ok, -1, u"x", 1, 2, xs, ys, limits), -1);
        EXPECT_EQ(ys[0], 1);
        const std::u16string deep = Repeat(u"(", 50000) + u"x" + Repeat(u")", 50000);
        EXPECT_EQ(EvalSeries(deep, -1, u"x", 1, 2, xs, ys, limits), 3);
    });
}

TEST_F(Nesting, FlatSumOfAnyLength) {
    // 400,000 characters: evaluated in one linear pass.
    std::u16string sum = u"1";
    sum += Repeat(u"+1", 199999);
    sum += u"+0";
    EXPECT_EQ(Value(sum), 200000);
}

TEST_F(Nesting, LongNumbersAndOddText) {
    EXPECT_EQ(Code(std::u16string(100000, u'9')), 8); // reads as +infinity
    EXPECT_EQ(Code(std::u16string(1000, u'[')), 14);
    EXPECT_EQ(Code(u"\xD800\xDC00+1"), 3);
    EXPECT_EQ(Code(std::u16string(1, char16_t(0xDFFF))), 3);
    EXPECT_EQ(Code(u"!" + std::u16string(5000, u'1')), 8);
}

} // namespace
} // namespace zorbit::test
