#pragma once
// What the evaluator needs from the matrix layer. The engine sits below that layer and
// never includes it: the matrix layer provides this table and the context installs it.
// A matrix value inside an expression is a double holding a unique integer handle
// (< 2^53) of a scratch entry; only these operations read it.

#include <cstdint>
#include <string_view>

#include "engine/state.h"

namespace zorbit {

struct MatrixOperations {
    // A reference such as "[mA]" with its suffix ('I', 'T', 'D' or 0): a scratch copy's
    // handle, ResultRows/ResultCols set. Not found: e_error 14, the code as the value.
    double (*reference)(std::u16string_view reference, char16_t suffix);
    // "+"/"-" and "*"/"/"/"^" for every number/matrix combination; aFlag is the left
    // operand's matrix flag, updated to the result's.
    double (*sumSubt)(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag);
    double (*divMult)(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag);
    // det, trace, syst, vcoeff.
    double (*function)(std::u16string_view name, double a, double b, double c, uint8_t* aFlag,
                       uint8_t bFlag, uint8_t cFlag);
    // After an evaluation: every scratch entry except the one of keepHandle goes.
    void (*clearScratch)(double keepHandle);
    // de_eval's matrix result, registered under "[mResult]".
    void (*registerResult)(double handle);
    // Every entry goes (ReSetZiZoruze).
    void (*clearAll)();
    // Whether an element of the scratch entry has no value (an overflow, or NaN after one).
    bool (*notFinite)(double handle);
};

// Without a matrix layer every matrix operand fails with 14.
const MatrixOperations& NoMatrixOperations();

inline double MatrixReference(std::u16string_view reference, char16_t suffix) {
    return Engine().matrix->reference(reference, suffix);
}
inline double CalcMatrixSumSubt(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag) {
    return Engine().matrix->sumSubt(op, a, b, aFlag, bFlag);
}
inline double CalcMatrixDivMult(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag) {
    return Engine().matrix->divMult(op, a, b, aFlag, bFlag);
}
inline double CalcMatrFunct(std::u16string_view name, double a, double b, double c, uint8_t* aFlag,
                            uint8_t bFlag, uint8_t cFlag) {
    return Engine().matrix->function(name, a, b, c, aFlag, bFlag, cFlag);
}
inline void ClearScratchMatrices(double keepHandle) {
    Engine().matrix->clearScratch(keepHandle);
}
inline void RegisterMatrixResult(double handle) {
    Engine().matrix->registerResult(handle);
}
inline void ClearAllMatrices() {
    Engine().matrix->clearAll();
}
inline bool MatrixNotFinite(double handle) {
    return Engine().matrix->notFinite(handle);
}

} // namespace zorbit
