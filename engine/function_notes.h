#pragma once
// One line about each built-in function, keyed by its Fn, for the lists of names callers
// show (GetNameList). Kept beside the function table rather than in its rows.

#include <string_view>

#include "engine/functions.h"

namespace zorbit {

std::u16string_view FunctionNote(Fn fn);

} // namespace zorbit
