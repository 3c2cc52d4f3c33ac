#pragma once
// The error table and the error records of the library (the codes are zorbit.h's).

#include <cstdint>
#include <string>
#include <string_view>

#include "zorbit/codes.h"

namespace zorbit {

constexpr int kErrorTableBase = 30;
constexpr int kErrorTableSize = 101;

// The description of a code (index = code + 30; outside the table: code 25).
std::u16string_view ErrorDescription(int32_t code);

// Records an error with the current e_error and returns ErrMsgs.
// Marks the token being read as where this reading failed, unless a failure came first.
void MarkErrorPlace();
const std::u16string& ReportError(std::u16string_view procedure, int32_t line,
                                  std::u16string_view extra);
// ReportError for SetErrorMsgs: the records' length.
int32_t ReportErrorLength(std::u16string_view procedure, int32_t line, std::u16string_view extra);
// mode 1 record, 2 read, 4 clear, 8 last record with its extended information.
const std::u16string& RecordError(std::u16string_view procedure, int32_t line,
                                  std::u16string_view extra, int32_t mode);
// Debug output by DebugMode (1 silences, 2 message boxes, 4 debug log).
void DebugOut(std::u16string_view text, std::u16string_view title, bool show);
inline bool DebugLogOn();
// The position line of the trace for the parser's current position.
std::u16string PositionLine(size_t offset, size_t tokenLength);

// Export bodies of the error family.
const char16_t* GetErrorDescriptionText(int32_t code, bool extended);
int32_t CopyErrorMsgs(char16_t* buffer, int32_t capacity, bool show);
int32_t CopyDebugLog(char16_t* buffer, int32_t capacity, bool show);

} // namespace zorbit

#include "state.h"
namespace zorbit {
inline bool DebugLogOn() {
    const int32_t m = Engine().errors.DebugMode;
    return (m & 4) != 0 && (m & 1) == 0;
}
} // namespace zorbit
