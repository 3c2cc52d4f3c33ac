#pragma once
// An evaluation that leaves no trace: the entry line's result while a formula is typed.

#include <cstdint>
#include <string_view>

#include "zorbit/codes.h"

namespace zorbit {

// e_evalPreview (zorbit.h): 0 number, 1 matrix, else the error code; *out filled.
int32_t PreviewExpression(std::u16string_view expr, int64_t workLimit, ZorbitPreview* out);

// The last answer (SetLastAnswer, GetLastAnswer).
int32_t SetLastAnswer(double value, bool set);
bool GetLastAnswer(double* value);

} // namespace zorbit
