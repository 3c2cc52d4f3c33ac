#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context/context.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "matrix/matrix_expr.h"
#include "matrix/store.h"

namespace zorbit::test {

// Every test starts from a freshly loaded library with an empty matrix list.
class MatrixTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override {
        Reset();
        // Whatever a test created, the library's own storage is gone with the entries.
        EXPECT_EQ(LiveMatrixBlocks(), 0);
    }
    static void Reset() { ResetContext(); }

    // Defines a matrix from its definition string and expects success.
    static void Define(std::u16string_view definition) {
        SetStrMatrix(definition, false, true);
        ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR) << "definition failed";
    }
    static const MatrixEntry* Entry(std::u16string_view name) {
        return FindMatrixEntry(name, kMatchByName | kReturnAddress, false);
    }
    static std::vector<double> Elements(const MatrixEntry* m) {
        if (m == nullptr) return {};
        return std::vector<double>(m->Addr, m->Addr + static_cast<size_t>(m->rows) * m->cols);
    }
    static std::vector<double> Elements(std::u16string_view name) { return Elements(Entry(name)); }
    static size_t ListSize() { return Matrices().arrList.size(); }
};

inline std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// Element-wise comparison within tol (0 = exact).
inline void ExpectElements(const std::vector<double>& got, const std::vector<double>& want,
                           double tol = 1e-12) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t k = 0; k < got.size(); ++k)
        EXPECT_NEAR(got[k], want[k], tol) << "element " << k;
}

} // namespace zorbit::test
