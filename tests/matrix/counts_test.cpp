// Counts passed to the exports are checked before any size is computed from them: counts
// whose product overflows, or that no matrix may have, fail with 5 and touch no memory.
// The buffers are one element long, so a copy that ran anyway would be caught.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "zorbit/zorbit.h"

namespace {

void* Library() {
    static void* lib = dlopen(ZORBIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    return lib;
}

template <typename F> F Bind(const char* name) {
    return reinterpret_cast<F>(dlsym(Library(), name));
}

struct CountRow {
    const char* name;
    std::function<int32_t(const double*, double*)> call;
    int32_t code;
};

std::string RowName(const ::testing::TestParamInfo<CountRow>& info) {
    return info.param.name;
}

class ExportCounts : public ::testing::TestWithParam<CountRow> {};

TEST_P(ExportCounts, CheckedBeforeSizes) {
    ASSERT_NE(Library(), nullptr) << dlerror();
    double source[1] = {7};
    double destination[1] = {0};
    EXPECT_EQ(GetParam().call(source, destination), GetParam().code);
    EXPECT_EQ(destination[0], 0);
}

int32_t ByLong(const double* s, double* d, int32_t rows, int32_t cols) {
    return Bind<decltype(&GetMatrixByLong)>("GetMatrixByLong")(s, d, rows, cols);
}
int32_t CopyArray(const double* s, double* d, int32_t rows, int32_t cols) {
    return Bind<decltype(&aCopyArray)>("aCopyArray")(s, d, rows, cols);
}
int32_t Copy(const double* s, double* d, int32_t rows, int32_t cols) {
    return Bind<decltype(&aCopy)>("aCopy")(s, rows, cols, d);
}
int32_t Dupl(const double* s, double* d, int32_t rows, int32_t cols) {
    return Bind<decltype(&aDupl)>("aDupl")(s, rows, cols, d);
}
int32_t VectCoeff(const double* s, double* d, int32_t m, int32_t n) {
    return Bind<decltype(&aCalcVectCoeff)>("aCalcVectCoeff")(s, m, n, s, d);
}
int32_t YPolin(const double* s, double* d, int32_t n) {
    return Bind<decltype(&aGetYPolin)>("aGetYPolin")(s, s, n, d);
}

using std::placeholders::_1;
using std::placeholders::_2;

INSTANTIATE_TEST_SUITE_P(
    CopyExports, ExportCounts,
    ::testing::Values(
        CountRow{"get_by_long_product_overflows_int32", std::bind(ByLong, _1, _2, 65536, 65536), 5},
        CountRow{"get_by_long_square_root_of_overflow", std::bind(ByLong, _1, _2, 46341, 46341), 5},
        CountRow{"get_by_long_one_element_too_many", std::bind(ByLong, _1, _2, 1000001, 1), 5},
        CountRow{"get_by_long_negative", std::bind(ByLong, _1, _2, -1, -1), 5},
        CountRow{"copy_array_product_overflows", std::bind(CopyArray, _1, _2, 65536, 65536), 5},
        CountRow{"copy_array_zero_rows", std::bind(CopyArray, _1, _2, 0, 3), 5},
        CountRow{"copy_product_overflows", std::bind(Copy, _1, _2, 100000, 100000), 5},
        CountRow{"copy_negative_cols", std::bind(Copy, _1, _2, 2, -3), 5},
        CountRow{"dupl_product_overflows", std::bind(Dupl, _1, _2, 2147483647, 2), 5},
        CountRow{"dupl_zero", std::bind(Dupl, _1, _2, 0, 0), 5}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    PolynomialExports, ExportCounts,
    ::testing::Values(
        CountRow{"vect_coeff_normal_matrix_too_large", std::bind(VectCoeff, _1, _2, 1, 1000000), 5},
        CountRow{"vect_coeff_square_of_columns", std::bind(VectCoeff, _1, _2, 2, 5000), 5},
        CountRow{"y_polin_no_coefficients", std::bind(YPolin, _1, _2, 0), 5},
        CountRow{"y_polin_too_many", std::bind(YPolin, _1, _2, 1000001), 5}),
    RowName);

TEST(ExportCountsAtTheLimit, LargestMatrixIsCopied) {
    ASSERT_NE(Library(), nullptr) << dlerror();
    std::vector<double> source(1000000), destination(1000000);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<double>(i);
    EXPECT_EQ(ByLong(source.data(), destination.data(), 1000, 1000), -1);
    EXPECT_EQ(destination.back(), 999999);
    EXPECT_EQ(Dupl(source.data(), destination.data(), 1, 1000000), -1);
    EXPECT_EQ(ByLong(source.data(), destination.data(), 1000, 1001), 5);
    EXPECT_EQ(Bind<decltype(&GetE_Error)>("GetE_Error")(), 5);
}

} // namespace
