// The matrix exports as the program binds them: by name from the shared library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "zorbit/zorbit.h"

namespace {

class MatrixExports : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { lib_ = dlopen(ZORBIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL); }
    static void TearDownTestSuite() {
        if (lib_) dlclose(lib_);
    }
    template <typename F> static F Bind(const char* name) {
        return reinterpret_cast<F>(dlsym(lib_, name));
    }
    static void* lib_;
};
void* MatrixExports::lib_ = nullptr;

TEST_F(MatrixExports, EveryMatrixExportResolvesByName) {
    ASSERT_NE(lib_, nullptr) << dlerror();
    const char* names[] = {"SetMatrix",
                           "SetStrMatrix",
                           "FindMatrix",
                           "ClearMatrixList",
                           "GetMatrixByLong",
                           "GetMatrixList",
                           "aCopy",
                           "aCopyArray",
                           "aDupl",
                           "aElemOrder",
                           "aElemOrderEx",
                           "aElemOrderGet",
                           "aElemOrderSet",
                           "aElemOrderSt",
                           "aDet",
                           "aDetN",
                           "aInv",
                           "aSist",
                           "aTrasp",
                           "aTraspEx",
                           "aTraspSq",
                           "aMultEx",
                           "aMultSq",
                           "aMultVect",
                           "aMultVectSq",
                           "aSum",
                           "aSumMem",
                           "aSumScal",
                           "aDiff",
                           "aDiffMem",
                           "aDiv",
                           "aDiag",
                           "aTrace",
                           "aTraceN",
                           "aMatrIsOrtog",
                           "aMatrIsSing",
                           "aMatrIsUnit",
                           "aMatrIsZero",
                           "aMatrAreEquals",
                           "aMatrAreOrtog",
                           "aMatrMod",
                           "aVectMod",
                           "aProdScal",
                           "aOpp",
                           "aPow",
                           "aSwap",
                           "aSwapRC",
                           "aCombine",
                           "aInsert",
                           "aSub",
                           "aCalcCoeffPolin",
                           "aCalcVectCoeff",
                           "aGetXsOfQuadr",
                           "aGetYPolin",
                           "InterpLin",
                           "IntBezier2D",
                           "IsPrime",
                           "lIsPrime",
                           "fact",
                           "fact_inv",
                           "aPrint",
                           "aPrintEx",
                           "aShow",
                           "aShowByLong"};
    for (const char* n : names)
        EXPECT_NE(dlsym(lib_, n), nullptr) << n;
}

TEST_F(MatrixExports, DefineEvaluateAndReadBack) {
    ASSERT_NE(lib_, nullptr);
    auto define = Bind<decltype(&SetStrMatrix)>("SetStrMatrix");
    auto find = Bind<decltype(&FindMatrix)>("FindMatrix");
    auto eval = Bind<decltype(&e_eval)>("e_eval");
    auto error = Bind<decltype(&GetE_Error)>("GetE_Error");
    auto print = Bind<decltype(&aPrint)>("aPrint");
    auto reset = Bind<decltype(&ReSetZiZoruze)>("ReSetZiZoruze");
    reset();
    define(u"[mA];2;2;1;2;3;4", 0, 1, 0);
    ASSERT_EQ(error(), -1);
    double handle = 0;
    ASSERT_EQ(eval(u"[mA]*[mA]", &handle, 1), 1);
    // The result travels as a handle; its decimal text finds the storage.
    const std::string digits = std::to_string(static_cast<long long>(handle));
    const std::u16string key(digits.begin(), digits.end());
    int32_t rows = 0, cols = 0;
    const auto* storage = reinterpret_cast<const double*>(find(key.c_str(), 9, &rows, &cols, 0));
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(storage[3], 22);
    EXPECT_EQ(std::u16string(print(storage, rows, cols, u"String", u"0", u"", u" ")),
              u"\r\nA(0,0)=7.0000 A(0,1)=10.0000 \r\nA(1,0)=15.0000 A(1,1)=22.0000 ");
    EXPECT_EQ(define(u"", 0, 1, 0), 13);
    EXPECT_EQ(error(), 13);
    reset();
    EXPECT_EQ(find(u"[mA]", 33, nullptr, nullptr, 0), 0);
}

TEST_F(MatrixExports, AlgebraOnCallerStorage) {
    ASSERT_NE(lib_, nullptr);
    auto inv = Bind<decltype(&aInv)>("aInv");
    auto detN = Bind<decltype(&aDetN)>("aDetN");
    auto fact = Bind<decltype(&::fact)>("fact");
    double a[4] = {4, 7, 2, 6};
    EXPECT_EQ(detN(a, 2), 10);
    EXPECT_EQ(inv(a, 2), -1);
    EXPECT_NEAR(a[1], -0.7, 1e-15);
    EXPECT_EQ(inv(nullptr, 2), 15);
    EXPECT_EQ(fact(5), 120);
}

} // namespace
