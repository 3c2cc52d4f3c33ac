#pragma once
// e_diff and its companions: parse, derive, parse again, simplify, print.

#include <cstdint>
#include <string_view>

namespace zorbit {

// The body of e_diff: the length of the derivative text, 0 on failure (see zorbit.h).
int32_t DiffFormula(std::u16string_view formula, std::u16string_view variable, char16_t* buffer,
                    int32_t bufferLength);
// The error flag of the last call: 0 none, 1 an error was reported, 7 empty formula.
int32_t LastDiffErr();

} // namespace zorbit
