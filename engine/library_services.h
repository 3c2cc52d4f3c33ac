#pragma once
// Library-level services: about text, version, the string-passing tests.

#include <cstdint>
#include <string_view>

namespace zorbit {

const char16_t* AboutText(int32_t mode);
// The settings behind SetErrorMsgsF, SetDebugF and ShowMsgs; each returns what the
// export answers.
int32_t SetErrorTextSwitch(int32_t onOff);
int32_t SetDebugMode(int32_t mode);
int32_t SetMessageFlags(int32_t flags);
// GetDiff_OperAndFuncs: the help text into buffer; its size in bytes with the zero.
int32_t CopyOperAndFuncs(char16_t* buffer);
// StrD0: the trimmed number text, library-owned until the next call.
const char16_t* TrimNumberResult(std::u16string_view text);
const char16_t* TestStrBody(std::u16string_view text);
char16_t* TestStrPtrBody(char16_t* buffer);
const char16_t* TestStrPtr2Body(char16_t* buffer);

} // namespace zorbit
