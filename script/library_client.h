#pragma once
// The program's one way into the library: script/, shell/, plot/ and the matrix window
// call libzorbit.so only through this client. Every call checks its slot first: an
// empty slot is never called (a command reports it as error 4 with the routine's name).

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/library_hooks.h"
#include "script/slots.h"

namespace vex {

class Library {
  public:
    // No library: every routine is missing. why says what went wrong loading one.
    Library() = default;
    explicit Library(const EntrySlots* slots, std::string why = {})
        : s_(slots ? slots : &kNoSlots), why_(slots ? std::string() : std::move(why)) {}

    bool Bound() const { return s_ != &kNoSlots; }
    // Why there is no library (empty when Bound).
    const std::string& WhyUnbound() const { return why_; }
    // Whether the library exports routine (a name of the entry slots).
    bool Has(std::string_view routine) const;

    // While one lives, the library's debug output and message records are off; both are
    // put back when it ends, and so is the error code the library held before (unless
    // keepCode is false: then the calls in between leave their own code).
    class Quiet {
      public:
        Quiet(const EntrySlots& s, bool keepCode);
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

      private:
        const EntrySlots& s_;
        bool keepCode_;
        int32_t code_ = -1;
        int32_t debug_ = 0;
        int32_t msgs_ = 0;
    };
    [[nodiscard]] Quiet Quietly(bool keepCode = true) const { return Quiet(*s_, keepCode); }

    // ---- Errors
    int32_t GetError() const { return s_->GetE_Error ? s_->GetE_Error() : -1; }
    // Where the last evaluation failed in its text (0-based), or -1.
    int32_t ErrorPos() const { return s_->GetE_ErrorPos ? s_->GetE_ErrorPos() : -1; }
    void SetError(int32_t code) const {
        if (s_->SetE_Error) s_->SetE_Error(code);
    }
    std::u16string Describe(int32_t code) const;
    // "===> ERROR n. = " + code + ": " + the library's description.
    std::u16string FailureText(int32_t code) const;
    // Adds a record to the library's error records (SetErrorMsgs).
    void RecordError(std::u16string_view procedure, int32_t line, std::u16string_view extra) const;
    // The debug mode and the error records switch; each returns the previous setting.
    int32_t SetDebug(int32_t mode) const;
    int32_t SetErrorRecords(int32_t on) const;
    // The library's precision mode (ZORBIT_PRECISION_CLASSIC or _FULL): the previous mode,
    // -1 for an unknown mode or a library without the routine.
    int32_t SetPrecisionMode(int32_t mode) const;

    // ---- Precision
    // The library's precision mode (ZORBIT_PRECISION_*); Classic when it has no modes.
    int32_t PrecisionMode() const {
        return s_->GetPrecisionMode ? s_->GetPrecisionMode() : ZORBIT_PRECISION_CLASSIC;
    }
    bool FullPrecision() const { return PrecisionMode() == ZORBIT_PRECISION_FULL; }

    // ---- Expressions, names and lists
    // e_eval; false (with code) on failure. matrix tells a matrix result.
    bool Eval(std::u16string_view expr, double& value, bool& matrix, int32_t& code) const;
    // expr at steps + 1 points (e_evalsEx): its return value, 4 when the routine is missing.
    // expr evaluated with no effect on the library (e_evalPreview), its work bounded by
    // workLimit: 0 number, 1 matrix, else the error code (out.error tells: -1 when it
    // evaluated); 4 without the routine.
    int32_t Preview(std::u16string_view expr, int64_t workLimit, ZorbitPreview& out) const;
    // The value "ans" stands for; nothing changes without the routine or for a value
    // that is not finite (which the library would refuse with an error of its own).
    void SetLastAnswer(double value) const {
        if (s_->SetLastAnswer && std::isfinite(value)) s_->SetLastAnswer(value, 1);
    }
    // The value "ans" stands for; nothing when none is set (or without the routine).
    std::optional<double> LastAnswer() const;
    int32_t EvalSeries(std::u16string_view expr, double from, std::u16string_view variable,
                       double to, int32_t steps, double* xs, double* ys, double* limits,
                       int32_t* codes) const;
    int32_t SetVarFunct(std::u16string_view name, std::u16string_view value, int32_t kind) const;
    // SetVarFunct that tells whether the library took the definition: -1, or the code of
    // its refusal (13: a name of a built-in, or a name or value the list cannot hold).
    int32_t Define(std::u16string_view name, std::u16string_view value, int32_t kind) const;
    // A variable's value; false when there is no such variable.
    bool VariableValue(std::u16string_view name, double& value) const;
    // A user function's body; nothing when there is no such function.
    std::optional<std::u16string> FunctionBody(std::u16string_view name) const;
    // A named constant's value; false when there is no such constant.
    bool ConstantValue(std::u16string_view name, double& value) const;
    // Every name the library knows (GetNameList): "kind\tname\tdescription\r\n" lines;
    // empty without the routine.
    std::u16string NameList() const;
    // The kind of the built-in a word names ("function", "constant", "statistics",
    // "matrixfunction", "operator"); empty when no built-in has that name.
    std::u16string BuiltinKind(std::u16string_view word) const;
    // A user function's definition with its parameters, "hyp(a; b) = body"; nothing when
    // the function has none (or there is no such function).
    std::optional<std::u16string> DefinitionWithParameters(std::u16string_view name) const;
    // The variables ("vars") or functions ("funct") as the library lists them.
    std::u16string VarFuncList(std::u16string_view which) const;
    // Empties the library's lists, matrices and error records.
    void ResetAll() const;

    // ---- Matrices
    // The element storage of a matrix value (handle) or name; null when not found.
    const double* MatrixByValue(double handle, int32_t& rows, int32_t& cols) const;
    const double* MatrixByName(std::u16string_view name, int32_t& rows, int32_t& cols) const;
    std::u16string Print(const double* a, int32_t rows, int32_t cols,
                         std::u16string_view mask) const;
    // SetStrMatrix(text, 0, 1, 0); the code the library holds afterwards.
    int32_t StoreMatrix(std::u16string_view definition) const;
    // The stored matrices with their values.
    std::u16string MatrixList() const;
    void SetElementOrder(int32_t order) const;
    // Shows the library how this program lays out a matrix (a probe block, by row); the
    // order it took from it (0 by row, 1 by column), nothing without the routine.
    std::optional<int32_t> ProbeElementOrder() const;
    // Of an n x n matrix: the determinant (the library's code), the inverse in place (its
    // code; 7 leaves a as it was), and -1 when it is orthogonal.
    int32_t Determinant(const double* a, int32_t n, double& det) const;
    int32_t Invert(double* a, int32_t n) const;
    int32_t Orthogonality(const double* a, int32_t n) const;

    // ---- Numeric routines and derivatives; each returns the library's error code
    // afterwards (-1: done), 4 when the routine is missing.
    int32_t Integrate(std::u16string_view f, double a, double b, int32_t intervals, bool trapezoid,
                      std::u16string_view variable, double& value) const;
    int32_t SolvePolynomial(std::u16string_view polynomial, std::u16string_view variable,
                            double& root) const;
    int32_t PolynomialDerivative(std::u16string_view polynomial, std::u16string_view variable,
                                 std::u16string& text) const;
    // The symbolic derivative of f by variable, however long it comes out (up to a limit).
    int32_t Derivative(std::u16string_view f, std::u16string_view variable,
                       std::u16string& text) const;

    // ---- About the library
    std::u16string About() const;
    // The library's file version ("a.b.c.d"); nothing when it does not tell.
    std::optional<std::u16string> FileVersion() const;
    // The operator and function help text (Show Functions); empty when the library has
    // none or hands back no whole text.
    std::u16string OperatorsAndFunctions() const;
    // The library's hook setters, for the platform to install its services.
    LibraryHookSetters HookSetters() const;

  private:
    static const EntrySlots kNoSlots;
    const EntrySlots* s_ = &kNoSlots;
    std::string why_;
};

} // namespace vex
