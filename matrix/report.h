#pragma once
// Error reporting shared by the matrix routines that use the library's error state.

#include <cstdint>
#include <string_view>

namespace zorbit {

// Sets the error state to code, records it and, when the parser's message bit is on,
// writes the "ZiZoruze: Error" debug entry. Returns code.
int32_t MatrixError(int32_t code, std::u16string_view procedure, int32_t line,
                    std::u16string_view extra);
// The debug entry alone, for errors already recorded elsewhere (FindMatrix's report).
void MatrixErrorDebugEntry(std::u16string_view procedure, std::u16string_view extra);

} // namespace zorbit
