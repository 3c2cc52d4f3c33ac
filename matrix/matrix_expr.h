#pragma once
// What the evaluator needs from the matrix library. A matrix value inside an
// expression is a double holding a unique integer handle (< 2^53) of a scratch
// entry named "m_" + handle; these routines are the only ones that read it.

#include <cstdint>
#include <string_view>

namespace zorbit {

// A reference such as "[mA]" with its suffix ('I', 'T', 'D' or 0): registers a scratch
// copy of the matrix and returns its handle, setting ResultRows/ResultCols. When the
// matrix is not found: e_error 14 (reported), returns the error code as its value.
double MatrixReference(std::u16string_view reference, char16_t suffix);

// "+"/"-", "*"/"/"/"^" and the matrix functions for every number/matrix combination.
// aFlag is the left operand's matrix flag, updated to the result's.
double CalcMatrixSumSubt(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag);
double CalcMatrixDivMult(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag);
double CalcMatrFunct(std::u16string_view name, double a, double b, double c, uint8_t* aFlag,
                     uint8_t bFlag, uint8_t cFlag);

// After a matrix result: removes every scratch entry except the one of `keepHandle`.
void ClearScratchMatrices(double keepHandle);
// de_eval's matrix result: registered under the name "[mResult]".
void RegisterMatrixResult(double handle);
// ClearMatrixList(0): every entry goes (ReSetZiZoruze).
void ClearAllMatrices();
// Fresh matrix store, as after loading the library.
void ResetMatrixState();

}  // namespace zorbit
