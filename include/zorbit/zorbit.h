/* libzorbit: the calculator engine behind a flat C interface.
 *
 * Conventions for every export:
 * - Strings passed in are zero-terminated UTF-16 (char16_t) and stay the caller's.
 * - A returned `const char16_t*` belongs to the library and stays valid until the next
 *   call that produces the same result (on any thread); copy it at once.
 * - Success is -1 where an export returns a status or an error code.
 * - Nothing throws; failures are error codes, the library's last error (GetE_Error)
 *   and the error records (GetErrorMsgs).
 * - The program binds these by name (dlsym); this header is the contract.
 *
 * Threads and hooks:
 * - The library keeps one state for the whole process: variables, functions, matrices,
 *   settings, the last error and the error records. Every export runs on one process-wide
 *   lock, so any thread may call any export at any time, and each call sees that state
 *   alone, one call at a time. A caller waits while another thread's call runs, a
 *   message box that call shows included.
 * - Only each single call is whole: another thread's calls may come between two of yours.
 *   GetE_Error, GetResultType, GetErrorMsgs or a returned text read after e_eval may then
 *   belong to that other call. Rely on each call's own answer (e_eval's code and *result),
 *   or keep a lock of your own around a sequence of calls that must stay together.
 * - The host's hooks (SetMessageBoxHook, SetMessageWindowHook, SetClipboardHook) are called
 *   on the thread of the call that shows the message, with the lock held. A call into the
 *   library from inside a hook is refused at once: it does nothing, changes nothing, and
 *   the call that called the hook goes on as if it had not been made. A refused export
 *   answers ZORBIT_E_REENTERED where it answers an error or result code (e_eval, de_eval,
 *   e_evalPreview, SetLastAnswer, e_evals, e_evalsEx, Integrate, SetStrMatrix,
 *   SetMatrix, GetE_Error, SetE_Error, GetResultType, IsPrime, and the matrix copy,
 *   order, algebra and polynomial routines that return a code), else its failure answer:
 *   0, 0.0, "" or nothing. A hook must not wait for another thread that calls the
 *   library: that thread waits for the hook's call. */
#ifndef ZORBIT_ZORBIT_H
#define ZORBIT_ZORBIT_H

#include "zorbit/codes.h"

#if defined(__cplusplus)
#define ZORBIT_EXTERN extern "C"
#else
#define ZORBIT_EXTERN
#endif
#define ZORBIT_API ZORBIT_EXTERN __attribute__((visibility("default")))

/* ---- Host services (styles, answers and callback types: zorbit/codes.h) ---------------- */
/* Install (or with 0 remove) the host's message box, messages window and clipboard. */
ZORBIT_API void SetMessageBoxHook(ZorbitMessageBoxFn fn);
ZORBIT_API void SetMessageWindowHook(ZorbitMessageWindowFn fn);
ZORBIT_API void SetClipboardHook(ZorbitClipboardFn fn);

/* ---- Lifecycle ---------------------------------------------------------------------
 * The library initialises itself when loaded; these are for hosts that call them. */
ZORBIT_API int32_t vexAttachProcess(int32_t x); /* ElementOrder -1, DebugMode 1; 0 */
ZORBIT_API int32_t vexAttachThread(int32_t x);  /* PlainCopy -1; 0 */
ZORBIT_API int32_t vexDetachThread(int32_t x);  /* PlainCopy 0; 0 */
ZORBIT_API int32_t vexDetachProcess(int32_t x); /* 0 */

/* ---- About and version ------------------------------------------------------------- */
/* The about text; mode 0 also shows it in a message box, 1 puts the title in front. */
ZORBIT_API const char16_t* aAbout(int32_t mode);
/* Version of fileName ("" = this library) as "a.b.c.d" into both buffers (>= 24 chars).
 * Returns 2, or 0 (buffers untouched) when the file carries no version of ours. */
ZORBIT_API int32_t DisplayVerInfo(const char16_t* fileName, char16_t* fileVersion,
                                  char16_t* productVersion);

/* ---- String-passing tests ----------------------------------------------------------- */
ZORBIT_API const char16_t* TestStr(const char16_t* text); /* shows two boxes; "123" */
ZORBIT_API char16_t* TestStrPtr(char16_t* buffer);        /* writes 11 'a' (>= 12 chars) */
ZORBIT_API const char16_t* TestStrPtr2(char16_t* buffer); /* writes 14 'a' (>= 15 chars) */

/* ---- Evaluation ---------------------------------------------------------------------- */
/* 0: number in *result; 1: matrix, *result = its handle; otherwise the error code
 * (codes 0 and 1 are errors too: check GetE_Error() == -1). */
ZORBIT_API int32_t e_eval(const char16_t* expr, double* result, int32_t checkFunctions);
/* The value, or the error code as a double (GetE_Error tells which). */
ZORBIT_API double de_eval(const char16_t* expr, int32_t checkFunctions);
/* expr at steps + 1 points from xFrom to xTo, varName replaced by each x. xs and ys
 * receive steps + 1 doubles, limits 5 (0, xmin, ymin, xmax, ymax). -1, or the last
 * point's error code; 13 (nothing written) when steps < 1. */
ZORBIT_API int32_t e_evals(const char16_t* expr, double xFrom, const char16_t* varName, double xTo,
                           int32_t steps, double* xs, double* ys, double* limits);
/* e_evals, and codes (steps + 1 entries, may be 0) receives each point's own code: -1
 * when it evaluated, else its error code; -2 (ZORBIT_NOT_REACHED) for a point the series
 * never reached (x passed xTo, or the range is empty).
 * A failed point still has a y in ys; this tells which points failed. */
ZORBIT_API int32_t e_evalsEx(const char16_t* expr, double xFrom, const char16_t* varName,
                             double xTo, int32_t steps, double* xs, double* ys, double* limits,
                             int32_t* codes);
ZORBIT_API int32_t GetResultType(void); /* 0 number, 1 matrix, -1 after a reset */
/* expr evaluated as e_eval does (checkFunctions 1), with no effect at all: variables,
 * functions, matrices, the last matrix result, the error code and position, the error
 * records, the debug log, the random numbers and GetResultType are as before; no hook is
 * called and no file written (the host's services are silenced for the call).
 * workLimit bounds the work (about 16 per token read, a matrix operand its element count
 * times its larger side, a matrix power its products); past it the evaluation stops with
 * error 0 (exit before completion) and out->cutOff 1. A negative limit is none. out
 * receives the value or the shape, or the code, position and description of the failure.
 * Returns as e_eval: 0 number, 1 matrix, else the error code (codes 0 and 1 are errors
 * too: check out->error == -1); 13 when expr or out is 0. */
ZORBIT_API int32_t e_evalPreview(const char16_t* expr, int64_t workLimit, ZorbitPreview* out);
ZORBIT_API int32_t SetBoolSign(int32_t sign); /* value of "true": 1 or -1; returns 0 */

/* ---- Precision ------------------------------------------------------------------------ */
/* How numbers travel through an evaluation, per context: ZORBIT_PRECISION_CLASSIC (the
 * default) or ZORBIT_PRECISION_FULL (codes.h). Returns the previous mode; an unknown
 * mode changes nothing and gives -1 (error 13). In Full mode the built-in functions
 * compute in double (e, pi and the other constants are doubles), variables enter
 * formulas whole, e_evals, Integrate and dSolve write x exactly, e_get_const answers the
 * double and the differentiator folds numbers whole. Results that are not finite are
 * errors in both modes. */
ZORBIT_API int32_t SetPrecisionMode(int32_t mode);
ZORBIT_API int32_t GetPrecisionMode(void);

/* ---- Functions and constants -------------------------------------------------------- */
/* 1 and the value (rounded to 10 decimals) when name is a constant; else 0, error 18. */
ZORBIT_API int32_t e_get_const(const char16_t* name, double* value);
/* Copies the operator and function help text into buffer (>= 8192 chars); returns its
 * size in bytes with the terminating zero; 0 when buffer is 0. */
ZORBIT_API int32_t GetDiff_OperAndFuncs(char16_t* buffer);

/* ---- Errors and diagnostics ----------------------------------------------------------- */
ZORBIT_API int32_t GetE_Error(void);
/* Where the last e_eval failed: the 0-based offset in its text of the token being read
 * when the error arose (an error found at the end gives the text's length), or -1 when
 * it succeeded or failed before reading (ambiguous or unexpandable functions, a text too
 * long). Inside an expanded custom function call it is the offset of the call's name. */
ZORBIT_API int32_t GetE_ErrorPos(void);
ZORBIT_API int32_t SetE_Error(int32_t code);
/* Description of code (-99: the current error); extended appends " | " and the records. */
ZORBIT_API const char16_t* GetE_ErrDescr(int32_t code, uint8_t extended);
/* Copies the error records into buffer (capacity characters with the zero); returns their
 * size in bytes. capacity 0 only asks the size. show: message box, Yes copies it. */
ZORBIT_API int32_t GetErrorMsgs(char16_t* buffer, int32_t capacity, uint8_t show);
/* Records an error with the current error code; returns the records' length. */
ZORBIT_API int32_t SetErrorMsgs(const char16_t* procedure, int32_t line, const char16_t* extra);
ZORBIT_API int32_t SetErrorMsgsF(int32_t onOff); /* previous value */
ZORBIT_API int32_t GetDebugLog(char16_t* buffer, int32_t capacity, uint8_t show);
ZORBIT_API int32_t SetDebugF(int32_t mode); /* 1 silent, 2 boxes, 4 log; previous */
ZORBIT_API int32_t ShowMsgs(int32_t flags); /* 0 */

/* ---- Variables and custom functions (kind 0 variable, else function) ------------------ */
ZORBIT_API int32_t SetVarFunct(const char16_t* name, const char16_t* value, int32_t kind);
/* 21 when found: a variable's value in *result; a function's body copied into buffer
 * (room for GetVarFuncListLen + 1 characters) and its length in *result. Else 0. */
ZORBIT_API int32_t FindVarFunct(const char16_t* name, int32_t kind, double* result,
                                char16_t* buffer);
/* which: "vars" or anything else for the functions. buffer needs capacity + 1 chars. */
ZORBIT_API int32_t GetVarFuncList(char16_t* buffer, int32_t capacity, const char16_t* which);
ZORBIT_API int32_t GetVarFuncListLen(const char16_t* which);
ZORBIT_API int32_t ClearVarFuncList(const char16_t* which);
ZORBIT_API int32_t ReSetZiZoruze(void); /* empties lists, matrices, error records, ans */
/* The last answer: what the name "ans" stands for in a formula while no variable of that
 * name exists (a variable named ans wins). A host sets it after each numeric result it
 * shows. SetLastAnswer(value, 1) sets it, (any, 0) forgets it: -1; 13 for a value that is
 * not finite (nothing changed). GetLastAnswer: 1 with *value (may be 0) when one is set,
 * else 0. Without one, "ans" is an undefined name (error 4). */
ZORBIT_API int32_t SetLastAnswer(double value, int32_t set);
ZORBIT_API int32_t GetLastAnswer(double* value);
/* Every name the library knows, one line each: kind TAB name TAB description CR LF.
 * Kinds: "function" (built-in; the description says what it computes), "constant"
 * (description and value), "statistics", "matrixfunction", "operator" (keywords),
 * "variable" (the description is its value as stored), "answer" ("ans" and the last
 * answer's shortest text, while one is set and no variable is named ans), "userfunction" (the name
 * it is called by; the description is the definition, "name(a; b) = body" or "name = body") and
 * "matrix" ("[name]"; "rows x cols"). Fields hold no TAB, CR or LF. Returns the length of the whole
 * list in characters, without the terminating zero. With a buffer and capacity > 0, copies the
 * whole lines that fit in capacity - 1 characters and a zero: call with (0, 0) for the length, then
 * with length + 1. */
ZORBIT_API int32_t GetNameList(char16_t* buffer, int32_t capacity);

/* ---- Number formatting ----------------------------------------------------------------- */
/* "2.5000000000" -> "2.5": leading text and zeros after the point dropped. */
ZORBIT_API const char16_t* StrD0(const char16_t* text);

/* ---- Numeric routines ------------------------------------------------------------------
 * f and polynomials are formulas in the named variable (replaced as a whole name). */
/* Simpson's rule (n rounded up to even), or the trapezoid rule when trapezoid is 1, over
 * [a, b] with n intervals. *value receives the integral on success. Returns and leaves in
 * GetE_Error: -1, 13 for n < 1 (or above 10,000,000), or the code of a failing point. */
ZORBIT_API int32_t Integrate(const char16_t* f, double a, double b, int32_t n, int32_t trapezoid,
                             const char16_t* var, double* value);
/* A real root of the polynomial in variable; GetE_Error 13 when it has none. */
ZORBIT_API double dSolve(const char16_t* polynomial, const char16_t* variable);
/* The derivative as formula text (library-owned, valid until the next call); on failure
 * "" and GetE_Error tells the code. */
ZORBIT_API const char16_t* lPoly_dydx(const char16_t* polynomial, const char16_t* variable);

/* ---- Matrix store, algebra, polynomials, printing ------------------------------------- */
/* Matrices are r*c doubles, element (i, j) at i*c + j unless aElemOrderSet(1) says the
 * caller stores them column by column. Storage handed in stays the caller's; storage the
 * library allocates (definitions, expression results) is freed when its entry goes.
 * A matrix value of e_eval/de_eval is a handle: FindMatrix(its decimal text, 9, ...) gives
 * the storage. Algebra codes (result only, error state untouched): -1 success, 4 orders
 * differ, 5 counts below 1 or above 1,000,000 elements, 7 singular, 10 inner dimensions
 * differ, 14 row/column out of range, 15 a null address. */

/* ---- Matrix store ---- */
/* Defines "name; rows; cols; e1; e2; ..." (elements row by row, formulas when evaluate).
 * The entry's index, or its storage when returnAddress; on failure the code (11 bad name or
 * counts, 12 missing element, 13 empty text, or a failing element's code), list unchanged.
 * Tell success from a small index by GetE_Error() == -1. */
ZORBIT_API intptr_t SetStrMatrix(const char16_t* definition, int32_t returnAddress,
                                 int32_t evaluate, int32_t ignored);
/* Registers caller storage (not copied, never freed) under name, or copies into the
 * entry of that name when the counts match. Index or storage; 11 bad counts, 13 null storage. */
ZORBIT_API intptr_t SetMatrix(const char16_t* name, double* storage, int32_t rows, int32_t cols,
                              int32_t returnAddress);
/* flags: 1 return storage, 2 return list position, 8 key is a handle, 32 key is a name.
 * 0 when not found (error state 14, reported when reportMissing). */
ZORBIT_API intptr_t FindMatrix(const char16_t* key, int32_t flags, int32_t* rowsOut,
                               int32_t* colsOut, int32_t reportMissing);
/* keep 0: every entry goes; else the scratch entries except the one with that handle or
 * storage. Returns the number deleted. */
ZORBIT_API int32_t ClearMatrixList(intptr_t keep);
/* The list as text (library-owned, valid until the next call). */
ZORBIT_API const char16_t* GetMatrixList(int32_t withValues);
/* Copies rows*cols doubles (reordered per aElemOrderSet); -1, 15 null address, 5 bad counts. */
ZORBIT_API int32_t GetMatrixByLong(const double* source, double* destination, int32_t rows,
                                   int32_t cols);
/* Caller's order to the library's; -1 (15 on a null address, 5 bad counts). */
ZORBIT_API int32_t aCopyArray(const double* source, double* destination, int32_t rows,
                              int32_t cols);
/* Plain copies of rows*cols doubles; -1 (15 on a null address, 5 bad counts). */
ZORBIT_API int32_t aCopy(const double* source, int32_t rows, int32_t cols, double* destination);
ZORBIT_API int32_t aDupl(const double* source, int32_t rows, int32_t cols, double* destination);
/* probe: a 2x2 block with 2.0 at row 1, column 2. Returns and sets the order (0 or 1). */
ZORBIT_API int32_t aElemOrder(const double* probe);
ZORBIT_API int32_t aElemOrderSet(int32_t order);        /* 0 or 1: -1; else order -1 and 17 */
ZORBIT_API int32_t aElemOrderGet(void);                 /* -1 not set, 0 rows, 1 columns */
ZORBIT_API int32_t aElemOrderSt(const char16_t* label); /* "Visual Basic"/"VB": 1; else 0 */
/* mode 0 aElemOrder(argument), 2 aElemOrderSet(*(int32_t*)argument), 3 aElemOrderGet; else 0. */
ZORBIT_API int32_t aElemOrderEx(const void* argument, int32_t mode);

/* ---- Matrix algebra (codes above) ---- */
ZORBIT_API int32_t aDet(const double* a, int32_t n, double* out);
ZORBIT_API double aDetN(const double* a, int32_t n); /* 0 on bad arguments */
ZORBIT_API int32_t aInv(double* a, int32_t n);       /* in place; 7 leaves a */
ZORBIT_API int32_t aSist(const double* a, int32_t n, const double* b, double* x);
ZORBIT_API int32_t aTrasp(double* a, int32_t rows, int32_t cols); /* a becomes cols x rows */
ZORBIT_API int32_t aTraspEx(const double* a, int32_t rows, int32_t cols, double* b);
ZORBIT_API int32_t aTraspSq(double* a, int32_t n);
ZORBIT_API int32_t aMultEx(const double* a, int32_t r1, int32_t c1, const double* b, int32_t r2,
                           int32_t c2, double* r); /* r is r1 x c2 */
ZORBIT_API int32_t aMultSq(const double* a, int32_t n, const double* b, double* r);
ZORBIT_API int32_t aMultVect(const double* a, int32_t rows, int32_t cols, const double* v,
                             double* y);
ZORBIT_API int32_t aMultVectSq(const double* a, int32_t n, const double* v, double* y);
ZORBIT_API int32_t aSum(const double* a, int32_t rows, int32_t cols, const double* b,
                        double* r); /* 0 on success */
ZORBIT_API int32_t aSumMem(const double* a, int32_t rows, int32_t cols, const double* b, double* r);
ZORBIT_API int32_t aSumScal(double* a, int32_t rows, int32_t cols, double s);
ZORBIT_API int32_t aDiff(const double* a, int32_t rows, int32_t cols, const double* b, double* r);
ZORBIT_API int32_t aDiffMem(const double* a, int32_t rows, int32_t cols, const double* b,
                            double* r);
ZORBIT_API int32_t aDiv(const double* a, int32_t n, const double* b, double* r); /* a*b^-1 */
ZORBIT_API int32_t aDiag(double* a, int32_t n); /* pivot diagonal, in place */
ZORBIT_API int32_t aTrace(const double* a, int32_t n, double* out);
ZORBIT_API double aTraceN(const double* a, int32_t n); /* 0 on bad arguments */
/* Tests: -1 true, 0 false (or a code above). aMatrAreEquals compares bit for bit; 4 when
 * the counts differ. */
ZORBIT_API int32_t aMatrIsOrtog(const double* a, int32_t n);
ZORBIT_API int32_t aMatrIsSing(const double* a, int32_t n);
ZORBIT_API int32_t aMatrIsUnit(const double* a, int32_t n);
ZORBIT_API int32_t aMatrIsZero(const double* a, int32_t n);
ZORBIT_API int32_t aMatrAreEquals(const double* a, int32_t rA, int32_t cA, const double* b,
                                  int32_t rB, int32_t cB);
ZORBIT_API int32_t aMatrAreOrtog(const double* a, int32_t n, const double* b);
ZORBIT_API int32_t aMatrMod(const double* v, int32_t n, double* out); /* Euclidean norm */
ZORBIT_API int32_t aVectMod(const double* v, int32_t n, double* out);
ZORBIT_API int32_t aProdScal(double* a, int32_t rows, int32_t cols, double s);
ZORBIT_API int32_t aOpp(double* a, int32_t rows, int32_t cols);
ZORBIT_API int32_t aPow(const double* a, int32_t n, int32_t p, double* r); /* r untouched p<=1 */
ZORBIT_API int32_t aSwap(double* a, int32_t rows, int32_t cols, double* b);
/* Exchanges rows (byRow != 0) or columns p and q, from 1; 14 when out of range. */
ZORBIT_API int32_t aSwapRC(double* a, int32_t rows, int32_t cols, int32_t byRow, int32_t p,
                           int32_t q);
ZORBIT_API int32_t aCombine(void); /* no effect; 0 */
ZORBIT_API int32_t aInsert(void);  /* no effect; 0 */
ZORBIT_API int32_t aSub(void);     /* no effect; 0 */

/* ---- Polynomials and numeric utilities ---- */
/* Least squares through m points (m x 2, x and y) with n coefficients, lowest power first.
 * -1; 12 when n < 1 or n > m; 7 when the points cannot determine them (coeffs unchanged). */
ZORBIT_API int32_t aCalcCoeffPolin(const double* points, int32_t m, int32_t n, double* coeffs);
/* Least squares V (m x n) * coeffs ~ y. 0; 7 singular normal matrix (coeffs unchanged);
 * 5 bad counts (also n x n beyond 1,000,000 elements). */
ZORBIT_API int32_t aCalcVectCoeff(const double* v, int32_t m, int32_t n, const double* y,
                                  double* coeffs);
/* x with polynomial(x) = *y for n = 1..3 coefficients: -1; 13 no real root or zero leading
 * coefficient, 8 other n (x1 = x2 = 0 then). */
ZORBIT_API int32_t aGetXsOfQuadr(const double* y, const double* coeffs, int32_t n, double* x1,
                                 double* x2);
/* -1; 5 when n is below 1 or above 1,000,000. */
ZORBIT_API int32_t aGetYPolin(const double* x, const double* coeffs, int32_t n, double* y);
ZORBIT_API int32_t InterpLin(const double* x, const double* x1, const double* x2, const double* y1,
                             const double* y2, double* y); /* 0 */
ZORBIT_API int32_t IntBezier2D(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                               int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10,
                               int32_t a11, int32_t a12); /* placeholder: 0 */
ZORBIT_API int32_t IsPrime(int32_t n);                    /* -1 prime, else 0 */
ZORBIT_API int32_t lIsPrime(int32_t n);                   /* smallest divisor in 2..n-1, or -1 */
ZORBIT_API double fact(int32_t n);                        /* n! (1 for n < 2, inf beyond 170) */
ZORBIT_API double fact_inv(void);                         /* placeholder: 0.0 */

/* ---- Matrix printing ---- */
/* Text of a matrix (library-owned, shared with GetE_ErrDescr and TestStr: copy it at once).
 * destination "MsgBox" (also "") shows it, "Debug" sends it to the debug output. format
 * "0.00" gives 2 decimals (default 4, at most 30); separator "" is a tab. */
ZORBIT_API const char16_t* aPrint(const double* a, int32_t rows, int32_t cols,
                                  const char16_t* destination, const char16_t* format,
                                  const char16_t* title, const char16_t* separator);
/* The same text into buffer, at most as many characters as the text the buffer holds on
 * entry (fill it with spaces). Returns the characters written; 1 when buffer is 0; 10 when
 * the buffer holds no room (nothing written). */
ZORBIT_API int32_t aPrintEx(const double* a, int32_t rows, int32_t cols,
                            const char16_t* destination, const char16_t* format,
                            const char16_t* title, const char16_t* separator, char16_t* buffer);
/* Shows the matrix in a message box; returns the text as aPrint. */
ZORBIT_API const char16_t* aShow(const double* a, int32_t rows, int32_t cols);
ZORBIT_API const char16_t* aShowByLong(const double* a, int32_t rows, int32_t cols);

/* ---- Differentiation -------------------------------------------------------------------- */
/* Simplified derivative of formula by variable (case-sensitive) into buffer: at most as many
 * characters as the text already in buffer (and bufferLength when > 0), zero-terminated.
 * Returns the derivative's full length (retry with more room when larger) and error -1;
 * 0 on failure: error 7 empty formula, 6 syntax, nesting or size (buffer untouched),
 * 8 division by zero (buffer holds the text). The formula and buffer stay the caller's. */
ZORBIT_API int32_t e_diff(const char16_t* formula, const char16_t* variable, char16_t* buffer,
                          int32_t bufferLength);
/* Error flag of the last e_diff: 0 none, 1 an error was reported, 7 empty formula. */
ZORBIT_API int32_t GetLast_diffErr(void);
/* Differentiation log: 0 off, 1 lines appended to fileName ("" = "Derive.Log" in the current
 * folder, recreated at its first line), 2 message boxes, other: counted only. Returns mode. */
ZORBIT_API int32_t SetDiffLogF(int8_t mode, const char16_t* fileName);

#endif
