#pragma once

#include <gtest/gtest.h>

#include <string>

#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "matrix/matrix_expr.h"

namespace zorbit::test {

// Every test starts from the state of a freshly loaded library.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetContext(); }
    void TearDown() override { ResetContext(); }

    // Evaluates and expects success; returns the value.
    static double Value(std::u16string_view expr) {
        double v = -12345.678;
        const int32_t rc = EvalExpression(expr, &v, false);
        EXPECT_EQ(rc, 0) << "error " << E_Error();
        EXPECT_EQ(E_Error(), -1);
        return v;
    }
    // Evaluates and returns the code e_eval answered.
    static int32_t Code(std::u16string_view expr) {
        double v = 0;
        return EvalExpression(expr, &v, false);
    }
};

// Table rows: a formula and the value or the code it gives, under a unique row name.
struct ValueRow {
    const char* name;
    std::u16string_view expr;
    double value;
};
struct CodeRow {
    const char* name;
    std::u16string_view expr;
    int32_t code;
};
template <typename Row> std::string ParamName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

inline std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

} // namespace zorbit::test
