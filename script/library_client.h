#pragma once
// Calls into the library through the entry slots. Every call checks its slot first:
// an empty slot is reported as error 4 with the routine's name, never called.

#include <cstdint>
#include <string>
#include <string_view>

#include "script/script_host.h"

namespace vex {

class Library {
  public:
    explicit Library(const EntrySlots* slots) : s_(slots) {}

    bool Has(FnAny fn) const { return fn != nullptr; }
    const EntrySlots& Slots() const { return *s_; }

    int32_t GetError() const { return s_->GetE_Error ? s_->GetE_Error() : -1; }
    void SetError(int32_t code) const {
        if (s_->SetE_Error) s_->SetE_Error(code);
    }
    std::u16string Describe(int32_t code) const;
    // "===> ERROR n. = " + code + ": " + the library's description.
    std::u16string FailureText(int32_t code) const;
    // Failure text for a routine the library does not export.
    std::u16string MissingText(std::u16string_view routine) const;

    // e_eval; false (with code) on failure. matrix tells a matrix result.
    bool Eval(std::u16string_view expr, double& value, bool& matrix, int32_t& code) const;
    // The element storage of a matrix value (handle) or name; null when not found.
    const double* MatrixByValue(double handle, int32_t& rows, int32_t& cols) const;
    const double* MatrixByName(std::u16string_view name, int32_t& rows, int32_t& cols) const;
    std::u16string Print(const double* a, int32_t rows, int32_t cols,
                         std::u16string_view mask) const;
    // SetStrMatrix(text, 0, 1, 0); the code the library holds afterwards.
    int32_t StoreMatrix(std::u16string_view definition) const;
    int32_t SetVarFunct(std::u16string_view name, std::u16string_view value, int32_t kind) const;

  private:
    const EntrySlots* s_;
};

} // namespace vex
