#pragma once
// Shared fixture of the differentiator's tests: fresh state and a temporary current
// folder for every test, so the log never writes into the source tree.

#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "context/context.h"
#include "derive/diff_entry.h"
#include "derive/diff_parser.h"
#include "derive/diff_rules.h"
#include "derive/diff_simplify.h"
#include "derive/diff_state.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "numeric/series.h"

namespace zorbit::test {

inline std::u16string U(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}
inline std::string A(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

// One table row: a name, an input and what it should give.
struct Row {
    const char* name;
    const char* in;
    const char* out;
};
inline std::string RowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

class DeriveTest : public testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() /
                  ("derive_test_" + std::to_string(::getpid()) + "_" + std::to_string(++count_));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        ResetContext();
    }
    void TearDown() override {
        ResetContext();
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

  private:
    std::filesystem::path previous_, folder_;
    static inline int count_ = 0;
};
class RowTest : public DeriveTest, public testing::WithParamInterface<Row> {};

struct Derived {
    int32_t length = 0;
    std::string text; // the buffer after the call
    int32_t error = 0;
    int32_t flag = 0;
};

// e_diff as the calculator calls it: a buffer of `room` spaces.
inline Derived Derive(std::string_view formula, std::string_view variable = "x",
                      size_t room = 1000) {
    std::u16string buffer(room, u' ');
    Derived d;
    d.length = DiffFormula(U(formula), U(variable), buffer.data(), static_cast<int32_t>(room));
    d.text = A(std::u16string_view(buffer.c_str()));
    d.error = E_Error();
    d.flag = LastDiffErr();
    return d;
}

// Parses text into the node table as e_diff does; returns the root.
inline int32_t Parse(std::string_view text) {
    static std::u16string kept; // the parser reads the text while building
    kept = U(text);
    Diff().Index = 0;
    Diff().errorFlag = 0;
    Diff().firstError.clear();
    StartParse();
    return GetTreeExpr(kept);
}

// The tree in prefix form: "(* -2 x)", "(neg x)", "(sin x)".
inline std::string Tree(int32_t node) {
    const DiffNode& n = Diff().t[node];
    const char* op[] = {"", "", "", "+", "-", "*", "/"};
    if (n.opCode == kDcNum || n.opCode == kDcName) return A(n.con);
    if (n.opCode == kDcNeg) return "(neg " + Tree(n.l) + ")";
    // std::string first: "(" + A(...) makes GCC 12 at -O3 warn of a false overlap.
    if (IsFunctionCode(n.opCode)) return std::string("(") + A(n.con) + " " + Tree(n.l) + ")";
    return std::string("(") + (n.opCode == kDcPow ? "^" : op[n.opCode]) + " " + Tree(n.l) + " " +
           Tree(n.r) + ")";
}

// Runs fn on a thread whose stack is 1 MiB, as small as a host may give the library.
inline void OnSmallStack(std::function<void()> fn) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, size_t{1} << 20);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void* p) -> void* {
                      (*static_cast<std::function<void()>*>(p))();
                      return nullptr;
                  },
                  &fn),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// The engine's value of text with x replaced by a number; NaN when it fails.
inline double ValueAt(const std::u16string& text, double x) {
    double xs[2] = {}, ys[2] = {}, limits[5] = {};
    return EvalSeries(text, x, u"x", x, 1, xs, ys, limits) == -1 ? ys[0] : std::nan("");
}

// The derivative, evaluated by the engine, agrees with a central difference of the
// formula at each point. The engine computes functions in single precision, so the
// step is wide and the difference of fourth order.
inline void
ExpectMatchesCentralDifference(const std::u16string& formula, const std::u16string& derivative,
                               const std::vector<double>& points = {0.35, 0.7, 1.3, 2.15}) {
    constexpr double h = 1e-2;
    const auto f = [&](double at) { return ValueAt(formula, at); };
    for (const double x : points) {
        const double printed = ValueAt(derivative, x);
        const double central =
            (f(x - 2 * h) - 8 * f(x - h) + 8 * f(x + h) - f(x + 2 * h)) / (12 * h);
        ASSERT_TRUE(std::isfinite(printed) && std::isfinite(central)) << x;
        EXPECT_NEAR(printed, central, 1e-4 * std::max(1.0, std::fabs(central))) << x;
    }
}

} // namespace zorbit::test
