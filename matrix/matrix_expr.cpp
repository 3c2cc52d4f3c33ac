// Matrices inside expressions: references, the operators and the matrix functions.
// A matrix value is the handle of a scratch entry; every result overwrites a scratch copy,
// so a user's matrix never changes through an expression.

#include "matrix/matrix_expr.h"

#include <algorithm>

#include <cmath>
#include <cstring>
#include <string>

#include "common/number_text.h"
#include "engine/errors.h"
#include "engine/state.h"
#include "matrix/algebra.h"
#include "matrix/polynomial.h"
#include "matrix/report.h"
#include "matrix/store.h"

namespace zorbit {

namespace {

size_t Count(const MatrixEntry& m) {
    return static_cast<size_t>(m.rows) * static_cast<size_t>(m.cols);
}

double HandleValue(const MatrixEntry& m) {
    return static_cast<double>(m.handle);
}

void SetResultShape(const MatrixEntry& m) {
    Engine().eval.ResultRows = m.rows;
    Engine().eval.ResultCols = m.cols;
}

// A fresh scratch entry "m_" + handle holding block.
MatrixEntry* RegisterScratch(MatrixBlock block, int32_t rows, int32_t cols) {
    MatrixStore& store = Matrices();
    MatrixEntry entry;
    entry.handle = store.nextHandle++;
    entry.Name = u"m_" + IntText(static_cast<long long>(entry.handle));
    entry.Addr = block.get();
    entry.owned = std::move(block);
    entry.Internal = true; // de_eval parses outside InEvaluation; its copies must go too
    entry.rows = rows;
    entry.cols = cols;
    entry.index = static_cast<int32_t>(store.arrList.size());
    entry.vector = rows == 1 || cols == 1;
    store.arrList.push_back(std::move(entry));
    return &store.arrList.back();
}

// The entry behind an operand. A number never stands for a matrix: looking it up as a
// handle could hit an unrelated scratch entry, so it fails as not found at once.
MatrixEntry* Operand(double value, uint8_t flag, std::u16string_view procedure) {
    MatrixEntry* m = nullptr;
    if (flag == 1) {
        m = FindMatrixByValue(value, true);
    } else {
        E_Error() = ZORBIT_E_MATRIX_NOT_FOUND;
        ReportError(u"FindMatrix", 393, u"MatrName = " + ShortestText(value));
    }
    if (m == nullptr) {
        MatrixErrorDebugEntry(procedure, u"Matrix not found");
        return nullptr;
    }
    // A bounded evaluation pays for what an operation on the matrix may cost at most.
    if (!SpendWork(static_cast<double>(Count(*m)) * std::max(m->rows, m->cols))) return nullptr;
    return m;
}

std::u16string FlagsText(uint8_t a, uint8_t b) {
    return u"nnTp = " + IntText(a) + u"\r\n" + u"n2Tp = " + IntText(b) + u"\r\n";
}

std::u16string DimsText(const MatrixEntry& a) {
    return u"Dimensions: r1, c1 = " + IntText(a.rows) + u", " + IntText(a.cols) + u"\r\n";
}

std::u16string DimsText(const MatrixEntry& a, const MatrixEntry& b) {
    return DimsText(a) + u"            r2, c2 = " + IntText(b.rows) + u", " + IntText(b.cols) +
           u"\r\n";
}

double Failed(int32_t code, std::u16string_view procedure, int32_t line, std::u16string_view extra,
              double a) {
    MatrixError(code, procedure, line, extra);
    return a;
}

double MatrixResult(MatrixEntry& m, uint8_t* aFlag) {
    SetResultShape(m);
    *aFlag = 1;
    return HandleValue(m);
}

// The result of an operation whose other operand is used up: that copy can go now, so
// that a long run of evaluations with numeric results does not pile up copies.
double ResultUsing(MatrixEntry& m, uint8_t* aFlag, uint64_t usedUp) {
    const double value = MatrixResult(m, aFlag);
    if (usedUp != m.handle) DropScratch(usedUp);
    return value;
}

bool IsSquare(const MatrixEntry& m) {
    return m.rows == m.cols;
}

bool IsVector(const MatrixEntry& m) {
    return m.vector || m.cols == 1;
}

// ---- "+" and "-" ------------------------------------------------------------------------

double SumMatrices(char16_t op, double a, double b, uint8_t* aFlag) {
    MatrixEntry* m = Operand(a, 1, u"CalcMatrixSumSubt");
    if (m == nullptr) return a;
    const MatrixEntry* n = Operand(b, 1, u"CalcMatrixSumSubt");
    if (n == nullptr) return a;
    if (m->rows != n->rows || m->cols != n->cols)
        return Failed(
            ZORBIT_E_RETURNED_VALUE, u"CalcMatrixSumSubt", 2395,
            u"If A(r1, c1) +/- B(r2, c2) must be r1 = r2 and c1 = c2.\r\n" + DimsText(*m, *n), a);
    const double sign = op == u'+' ? 1.0 : -1.0;
    for (size_t k = 0; k < Count(*m); ++k)
        m->Addr[k] = m->Addr[k] + sign * n->Addr[k];
    return ResultUsing(*m, aFlag, n->handle);
}

double ShiftMatrix(double a, double s, uint8_t* aFlag) {
    MatrixEntry* m = Operand(a, 1, u"CalcMatrixSumSubt");
    if (m == nullptr) return a;
    for (size_t k = 0; k < Count(*m); ++k)
        m->Addr[k] += s;
    return MatrixResult(*m, aFlag);
}

// ---- "*" ----------------------------------------------------------------------------------

double ScaleMatrix(double value, uint8_t flagOfValue, double s, uint8_t* aFlag,
                   std::u16string_view procedure) {
    MatrixEntry* m = Operand(value, flagOfValue, procedure);
    if (m == nullptr) return value;
    for (size_t k = 0; k < Count(*m); ++k)
        m->Addr[k] *= s;
    return MatrixResult(*m, aFlag);
}

double MultiplyMatrices(double a, double b, uint8_t* aFlag) {
    MatrixEntry* m = Operand(a, 1, u"CalcMatrixDivMult");
    if (m == nullptr) return a;
    const MatrixEntry* n = Operand(b, 1, u"CalcMatrixDivMult");
    if (n == nullptr) return a;
    if (m->cols != n->rows)
        return Failed(ZORBIT_E_RETURNED_VALUE, u"CalcMatrixDivMult", 2510,
                      u"If A(r1, c1) * B(r2, c2) must be c1 = r2.\r\nc1 = " + IntText(m->cols) +
                          u"\r\nr2 = " + IntText(n->rows) + u"\r\n",
                      a);
    const size_t needed = static_cast<size_t>(m->rows) * static_cast<size_t>(n->cols);
    if (!CountsFit(m->rows, n->cols))
        return Failed(ZORBIT_E_RETURNED_VALUE, u"CalcMatrixDivMult", 2515,
                      u"Product too large.\r\n" + DimsText(*m, *n), a);
    MatrixBlock product = AllocateBlock(needed);
    Multiply(m->Addr, m->rows, m->cols, n->Addr, n->cols, product.get());
    if (needed > Count(*m)) {
        m->owned = std::move(product);
        m->Addr = m->owned.get();
    } else {
        std::memcpy(m->Addr, product.get(), needed * sizeof(double));
    }
    m->cols = n->cols;
    m->vector = m->rows == 1 || m->cols == 1;
    return ResultUsing(*m, aFlag, n->handle);
}

// ---- "/" ----------------------------------------------------------------------------------

std::u16string TokenText() {
    return Engine().parser.TokText();
}

double DivideByNumber(double a, double s, uint8_t* aFlag) {
    if (s == 0)
        return Failed(ZORBIT_E_DIVISION_BY_ZERO, u"CalcMatrixDivMult", 2572,
                      u"Matr Pointer: n2 = " + IntText(std::llround(s)) +
                          u"Calculation error, token = '" + TokenText() + u"'\r\n",
                      a);
    return ScaleMatrix(a, 1, 1.0 / s, aFlag, u"CalcMatrixDivMult");
}

double DivideMatrices(double a, double b, uint8_t* aFlag) {
    MatrixEntry* m = Operand(a, 1, u"CalcMatrixDivMult");
    if (m == nullptr) return a;
    const MatrixEntry* n = Operand(b, 1, u"CalcMatrixDivMult");
    if (n == nullptr) return a;
    if (!IsSquare(*m) || !IsSquare(*n))
        return Failed(ZORBIT_E_TOKEN_MATCH, u"CalcMatrixDivMult", 2600,
                      u"Matrix not squared.\r\n" + DimsText(*m, *n), a);
    if (m->rows != n->rows)
        return Failed(ZORBIT_E_RETURNED_VALUE, u"CalcMatrixDivMult", 2602,
                      u"If A(r1, c1) * B(r2, c2) must be c1 = r2.\r\nc1 - r2 = " +
                          IntText(m->cols) + u" - " + IntText(n->rows) + u"\r\n",
                      a);
    MatrixBlock inverse = AllocateBlock(Count(*n));
    std::memcpy(inverse.get(), n->Addr, Count(*n) * sizeof(double));
    const int32_t code = InvertInPlace(inverse.get(), n->rows);
    if (code != ZORBIT_NO_ERROR)
        return Failed(code, u"CalcMatrixDivMult", 2631,
                      u"Matrix error, token = '" + TokenText() + u"' and Pointer n2 = " +
                          IntText(static_cast<long long>(n->handle)) +
                          u"\r\nMatrix is singolar (det = 0) or not squared. It can not be "
                          u"inverted\r\n\r\nr1, c1 = " +
                          IntText(m->rows) + u", " + IntText(m->cols) + u"\r\nr2, c2 = " +
                          IntText(n->rows) + u", " + IntText(n->cols) + u"\r\n",
                      a);
    MatrixBlock product = AllocateBlock(Count(*m));
    Multiply(m->Addr, m->rows, m->cols, inverse.get(), n->cols, product.get());
    std::memcpy(m->Addr, product.get(), Count(*m) * sizeof(double));
    return ResultUsing(*m, aFlag, n->handle);
}

double NumberOverMatrix(double s, double b, uint8_t* aFlag) {
    MatrixEntry* m = Operand(b, 1, u"CalcMatrixDivMult");
    if (m == nullptr) return s;
    if (!IsSquare(*m))
        return Failed(ZORBIT_E_TOKEN_MATCH, u"CalcMatrixDivMult", 2655,
                      u"Matrix not squared.\r\n" + DimsText(*m), s);
    MatrixBlock inverse = AllocateBlock(Count(*m));
    std::memcpy(inverse.get(), m->Addr, Count(*m) * sizeof(double));
    const int32_t code = InvertInPlace(inverse.get(), m->rows);
    if (code != ZORBIT_NO_ERROR)
        return Failed(code, u"CalcMatrixDivMult", 2663,
                      u"Matr Pointer n2 = " + IntText(static_cast<long long>(m->handle)) +
                          u"\r\nMatrix is singolar (det = 0) or not squared. It can not be "
                          u"inverted\r\n\r\nr1, c1 = " +
                          IntText(m->rows) + u", " + IntText(m->cols) + u"\r\n",
                      s);
    for (size_t k = 0; k < Count(*m); ++k)
        m->Addr[k] = inverse[k] * s;
    return MatrixResult(*m, aFlag);
}

// ---- "^" ----------------------------------------------------------------------------------

double MatrixPower(double a, double s, uint8_t* aFlag) {
    MatrixEntry* m = Operand(a, 1, u"CalcMatrixDivMult");
    if (m == nullptr) return a;
    if (!std::isfinite(s) || std::trunc(s) - s != 0)
        return Failed(
            ZORBIT_E_NOT_INTEGER, u"CalcMatrixDivMult", 2466,
            u"Exponent of Matrix (es. [mA]^n) is not integer.\r\nExp = " + Fixed10(s) + u"\r\n", a);
    if (!IsSquare(*m))
        return Failed(ZORBIT_E_TOKEN_MATCH, u"CalcMatrixDivMult", 2470,
                      u"Matrix not squared.\r\n" + DimsText(*m), a);
    const int32_t n = m->rows;
    if (s == 0) {
        Identity(m->Addr, n);
        return MatrixResult(*m, aFlag);
    }
    if (s < 0) {
        const int32_t code = InvertInPlace(m->Addr, n);
        if (code != ZORBIT_NO_ERROR)
            return Failed(
                code, u"CalcMatrixDivMult", 2480,
                u"Matrix is singolar (det = 0). It can not be inverted\r\n" + DimsText(*m), a);
        s = -s;
    }
    if (s > 1) {
        // Products as Power makes them: one per step up to 64, two per binary digit past it.
        const double products = s <= 64 ? s - 1 : 2 * std::ceil(std::log2(s));
        if (!SpendWork(products * static_cast<double>(Count(*m)) * n)) return a;
        MatrixBlock power = AllocateBlock(Count(*m));
        Power(m->Addr, n, s, power.get());
        std::memcpy(m->Addr, power.get(), Count(*m) * sizeof(double));
    }
    return MatrixResult(*m, aFlag);
}

// ---- matrix functions ------------------------------------------------------------------

double DetOrTrace(bool isDet, double a, uint8_t* aFlag) {
    MatrixEntry* m = Operand(a, *aFlag, u"CalcMatrFunct");
    *aFlag = 0;
    if (m == nullptr) return 0;
    if (!IsSquare(*m)) return Failed(ZORBIT_E_TOKEN_MATCH, u"CalcMatrFunct", 2172, DimsText(*m), a);
    const double value = isDet ? Determinant(m->Addr, m->rows) : Trace(m->Addr, m->rows);
    DropScratch(m->handle);
    return value;
}

// Both operands of syst/vcoeff; on success *square and *vec point at their entries.
bool SystemOperands(double a, double b, uint8_t aFlag, uint8_t bFlag, int32_t dimsLine,
                    int32_t rolesLine, bool vectorText, MatrixEntry** square, MatrixEntry** vec) {
    MatrixEntry* m = Operand(a, aFlag, u"CalcMatrFunct");
    if (m == nullptr) return false;
    MatrixEntry* n = Operand(b, bFlag, u"CalcMatrFunct");
    if (n == nullptr) return false;
    const bool mVec = IsVector(*m), nVec = IsVector(*n);
    if ((!mVec && !IsSquare(*m)) || (!nVec && !IsSquare(*n)) || m->rows != n->rows) {
        MatrixError(ZORBIT_E_RETURNED_VALUE, u"CalcMatrFunct", dimsLine, DimsText(*m, *n));
        return false;
    }
    if (mVec == nVec) {
        const std::u16string text = vectorText
                                        ? u"nnVect = " + IntText(mVec ? -1 : 0) + u"\r\nn2Vect = " +
                                              IntText(nVec ? -1 : 0) + u"\r\n"
                                        : DimsText(*m, *n);
        MatrixError(ZORBIT_E_CONDITION_MATRIX, u"CalcMatrFunct", rolesLine, text);
        return false;
    }
    *square = mVec ? n : m;
    *vec = mVec ? m : n;
    return true;
}

double System(double a, double b, uint8_t* aFlag, uint8_t bFlag) {
    MatrixEntry* square = nullptr;
    MatrixEntry* vec = nullptr;
    if (!SystemOperands(a, b, *aFlag, bFlag, 2213, 2220, false, &square, &vec)) return a;
    const int32_t n = square->rows;
    MatrixBlock x = AllocateBlock(static_cast<size_t>(n));
    if (SolveSystem(square->Addr, n, vec->Addr, x.get()) != ZORBIT_NO_ERROR)
        return Failed(ZORBIT_E_NOT_FOUND, u"CalcMatrFunct", 2230,
                      u"Matrix is singolar (det = 0).\r\n" + DimsText(*square, *vec), a);
    std::memcpy(vec->Addr, x.get(), static_cast<size_t>(n) * sizeof(double));
    return ResultUsing(*vec, aFlag, square->handle);
}

double VectorCoefficients(double a, double b, double c, uint8_t* aFlag, uint8_t bFlag) {
    MatrixEntry* design = nullptr;
    MatrixEntry* vec = nullptr;
    if (!SystemOperands(a, b, *aFlag, bFlag, 2273, 2280, true, &design, &vec)) return a;
    const int32_t m = vec->rows;
    const double rounded = std::isfinite(c) ? std::round(c) : 0.0;
    if (rounded < 1 || rounded > m)
        return Failed(ZORBIT_E_INVALID_ARGUMENT, u"CalcMatrFunct", 2290,
                      u"Coefficients: n = " + Fixed10(c) + u", points: m = " + IntText(m) + u"\r\n",
                      a);
    const int32_t n = static_cast<int32_t>(rounded);
    // The design matrix is square (m x m): its first n columns hold the basis values.
    std::vector<double> basis(static_cast<size_t>(m) * static_cast<size_t>(n));
    for (int32_t k = 0; k < m; ++k)
        for (int32_t j = 0; j < n; ++j)
            basis[static_cast<size_t>(k) * n + j] =
                design->Addr[static_cast<size_t>(k) * design->cols + j];
    std::vector<double> out(static_cast<size_t>(m), 0.0);
    if (FitCoefficients(basis.data(), m, n, vec->Addr, out.data()) != ZORBIT_NO_ERROR)
        return Failed(ZORBIT_E_NOT_FOUND, u"CalcMatrFunct", 2295,
                      u"Normal matrix is singolar (det = 0).\r\n" + DimsText(*design, *vec), a);
    std::memcpy(vec->Addr, out.data(), out.size() * sizeof(double));
    return ResultUsing(*vec, aFlag, design->handle);
}

double ReferenceOperand(std::u16string_view reference, char16_t suffix) {
    const MatrixEntry* user = FindMatrixEntry(reference, kMatchByName | kReturnAddress, true);
    if (user == nullptr) {
        ReportError(u"e_prs", 0, u"");
        return E_Error();
    }
    int32_t rows = user->rows, cols = user->cols;
    MatrixBlock copy = AllocateBlock(Count(*user));
    std::memcpy(copy.get(), user->Addr, Count(*user) * sizeof(double));
    if ((suffix == u'I' || suffix == u'D') && rows != cols) {
        MatrixError(ZORBIT_E_TOKEN_MATCH, u"e_prs", 0,
                    u"Matrix not squared: " + std::u16string(reference) + u"\r\n");
        return E_Error();
    }
    if (suffix == u'I') {
        const int32_t code = InvertInPlace(copy.get(), rows);
        if (code != ZORBIT_NO_ERROR) {
            MatrixError(code, u"e_prs", 0,
                        u"Matrix is singolar (det = 0). It can not be inverted: " +
                            std::u16string(reference) + u"\r\n");
            return E_Error();
        }
    } else if (suffix == u'T') {
        MatrixBlock transposed = AllocateBlock(Count(*user));
        Transpose(copy.get(), rows, cols, transposed.get());
        copy = std::move(transposed);
        std::swap(rows, cols);
    } else if (suffix == u'D') {
        PivotDiagonal(copy.get(), rows);
    }
    MatrixEntry* scratch = RegisterScratch(std::move(copy), rows, cols);
    SetResultShape(*scratch);
    E_Error() = ZORBIT_NO_ERROR;
    return HandleValue(*scratch);
}

double SumSubtOperands(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag) {
    uint8_t local = 0;
    if (aFlag == nullptr) aFlag = &local;
    if (op != u'+' && op != u'-') return a;
    const double sign = op == u'+' ? 1.0 : -1.0;
    if (*aFlag == 0 && bFlag == 0) return op == u'+' ? a + b : a - b;
    if (*aFlag == 1 && bFlag == 0) return ShiftMatrix(a, sign * b, aFlag);
    if (*aFlag == 0 && bFlag == 1) {
        MatrixEntry* m = Operand(b, 1, u"CalcMatrixSumSubt");
        if (m == nullptr) return a;
        for (size_t k = 0; k < Count(*m); ++k)
            m->Addr[k] = a + sign * m->Addr[k];
        return MatrixResult(*m, aFlag);
    }
    if (*aFlag == 1 && bFlag == 1) return SumMatrices(op, a, b, aFlag);
    return Failed(ZORBIT_E_CONDITION_MATRIX, u"CalcMatrixSumSubt", 2409, FlagsText(*aFlag, bFlag),
                  a);
}

double DivMultOperands(char16_t op, double a, double b, uint8_t* aFlag, uint8_t bFlag) {
    uint8_t local = 0;
    if (aFlag == nullptr) aFlag = &local;
    const uint8_t af = *aFlag;
    if (op == u'*') {
        if (af == 0 && bFlag == 0) return a * b;
        if (af == 1 && bFlag == 0) return ScaleMatrix(a, 1, b, aFlag, u"CalcMatrixDivMult");
        if (af == 0 && bFlag == 1) return ScaleMatrix(b, 1, a, aFlag, u"CalcMatrixDivMult");
        if (af == 1 && bFlag == 1) return MultiplyMatrices(a, b, aFlag);
        return Failed(ZORBIT_E_CONDITION_MATRIX, u"CalcMatrixDivMult", 2543, FlagsText(af, bFlag),
                      a);
    }
    if (op == u'/') {
        if (af == 0 && bFlag == 0) {
            if (b == 0) return Failed(ZORBIT_E_DIVISION_BY_ZERO, u"CalcMatrixDivMult", 0, u"", a);
            return a / b;
        }
        if (af == 1 && bFlag == 0) return DivideByNumber(a, b, aFlag);
        if (af == 1 && bFlag == 1) return DivideMatrices(a, b, aFlag);
        if (af == 0 && bFlag == 1) return NumberOverMatrix(a, b, aFlag);
        return Failed(ZORBIT_E_CONDITION_MATRIX, u"CalcMatrixDivMult", 2675,
                      u"Case not found. token2 = / and mName = " + TokenText() + u"\r\n" +
                          FlagsText(af, bFlag),
                      a);
    }
    if (op == u'^') {
        if (af == 0 && bFlag == 0) return std::pow(a, b);
        if (af == 1 && bFlag == 0) return MatrixPower(a, b, aFlag);
        // A number or a matrix raised to a matrix has no meaning; never pass a as its value.
        return Failed(ZORBIT_E_CONDITION_MATRIX, u"CalcMatrixDivMult", 2490,
                      u"Exponent must be a number.\r\n" + FlagsText(af, bFlag), a);
    }
    return a;
}

double MatrixFunctionOperands(std::u16string_view name, double a, double b, double c,
                              uint8_t* aFlag, uint8_t bFlag, uint8_t /*cFlag: never read*/) {
    uint8_t local = 0;
    if (aFlag == nullptr) aFlag = &local;
    if (name == u"det") return DetOrTrace(true, a, aFlag);
    if (name == u"trace") return DetOrTrace(false, a, aFlag);
    if (name == u"syst") return System(a, b, aFlag, bFlag);
    if (name == u"vcoeff") return VectorCoefficients(a, b, c, aFlag, bFlag);
    const uint8_t af = *aFlag;
    return Failed(ZORBIT_E_CONDITION_MATRIX, u"CalcMatrFunct", 2311,
                  u"Case not found. case (tok2) = " + std::u16string(name) + u"\r\n\r\n" +
                      FlagsText(af, bFlag),
                  a);
}

uint64_t HandleOf(double value) {
    if (!std::isfinite(value) || value < 1 || value >= 9007199254740992.0) return 0;
    return static_cast<uint64_t>(std::llround(value));
}

void ClearScratch(double keepHandle) {
    const uint64_t keep = HandleOf(keepHandle);
    // Called after every evaluation: nothing to do is the common case.
    const auto& list = Matrices().arrList;
    if (std::none_of(list.begin(), list.end(),
                     [keep](const MatrixEntry& m) { return m.Internal && m.handle != keep; }))
        return;
    if (keep != 0) {
        ClearMatrixList(static_cast<intptr_t>(keep));
        return;
    }
    // Nothing to keep: only the scratch entries go, never the user's matrices.
    MatrixStore& store = Matrices();
    std::vector<MatrixEntry> kept;
    for (MatrixEntry& entry : store.arrList)
        if (!entry.Internal) kept.push_back(std::move(entry));
    store.arrList = std::move(kept);
    store.current = 0;
}

void RegisterResult(double handle) {
    const MatrixEntry* result = FindMatrixByHandle(HandleOf(handle));
    if (result == nullptr) {
        MatrixError(ZORBIT_E_MATRIX_NOT_FOUND, u"de_eval", 0,
                    u"MatrName = " + ShortestText(handle));
        return;
    }
    // "[mResult]" gets a copy of its own: the scratch entry goes with the next clean-up.
    const int32_t rows = result->rows, cols = result->cols;
    MatrixBlock copy = AllocateBlock(Count(*result));
    std::memcpy(copy.get(), result->Addr, Count(*result) * sizeof(double));
    double* storage = copy.get();
    SetMatrix(u"[mResult]", storage, rows, cols, false, std::move(copy));
}

void ClearAll() {
    ClearMatrixList(0);
}

bool AnyNotFinite(double handle) {
    const MatrixEntry* m = FindMatrixByHandle(HandleOf(handle));
    return m != nullptr &&
           std::any_of(m->Addr, m->Addr + Count(*m), [](double x) { return !std::isfinite(x); });
}

} // namespace

const MatrixOperations& MatrixLayerOperations() {
    static const MatrixOperations ops{
        &ReferenceOperand, &SumSubtOperands, &DivMultOperands, &MatrixFunctionOperands,
        &ClearScratch,     &RegisterResult,  &ClearAll,        &AnyNotFinite};
    return ops;
}

} // namespace zorbit
