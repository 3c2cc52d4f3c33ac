#pragma once
// Simplification of the parsed derivative and its printing with only the brackets that
// precedence needs.

#include <cstdint>
#include <string>

namespace zorbit {

// Rewrites the subtree bottom-up in place; returns the node that replaces `node`.
int32_t Diff_Simplify(int32_t node);
// The subtree as formula text.
std::u16string Diff_GetFormula(int32_t node);

} // namespace zorbit
