#pragma once
// The library's debug output and message records off while a plot talks to it, and its
// error code put back afterwards: a plot, or its redraw, sets no error of its own.

#include <cstdint>

#include "script/slots.h"

namespace vex {

class QuietLibrary {
  public:
    explicit QuietLibrary(const EntrySlots& s) : s_(s) {
        if (s_.GetE_Error) code_ = s_.GetE_Error();
        if (s_.SetDebugF) debug_ = s_.SetDebugF(0);
        if (s_.SetErrorMsgsF) msgs_ = s_.SetErrorMsgsF(0);
    }
    ~QuietLibrary() {
        if (s_.SetDebugF) s_.SetDebugF(debug_);
        if (s_.SetErrorMsgsF) s_.SetErrorMsgsF(msgs_);
        if (s_.SetE_Error && s_.GetE_Error) s_.SetE_Error(code_);
    }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;

  private:
    const EntrySlots& s_;
    int32_t code_ = ZORBIT_NO_ERROR;
    int32_t debug_ = 0;
    int32_t msgs_ = 0;
};

} // namespace vex
