#pragma once
// Library-level services: about text, version, the string-passing tests.

#include <cstdint>
#include <string_view>

namespace zorbit {

const char16_t* AboutText(int32_t mode);
int32_t VersionInfo(std::u16string_view fileName, char16_t* fileVersion, char16_t* productVersion);
const char16_t* TestStrBody(std::u16string_view text);
char16_t* TestStrPtrBody(char16_t* buffer);
const char16_t* TestStrPtr2Body(char16_t* buffer);

}  // namespace zorbit
