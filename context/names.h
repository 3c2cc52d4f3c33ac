#pragma once
// Every name the library knows, for completion lists and any caller that shows names:
// one line per name, "kind\tname\tdescription\r\n" (GetNameList in zorbit.h).

#include <cstdint>
#include <string>

namespace zorbit {

std::u16string NameList();
// Copies the whole lines that fit in capacity - 1 characters, then a zero; returns the
// length of the whole list (the zero not counted), whatever was copied.
int32_t CopyNameList(char16_t* buffer, int32_t capacity);

} // namespace zorbit
