#pragma once
// Derivative rules: the derivative of a subtree written as fully bracketed formula text,
// to be parsed again, simplified and printed.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbit {

// Appends the fully bracketed text of the subtree at node.
void Df_GetFormula(int32_t node, std::u16string& out);
// Appends the derivative text of the subtree at node by the state's variable.
void Df(int32_t node, std::u16string& out);

std::u16string Df_GetFormula(int32_t node);
std::u16string Df(int32_t node);

// The power rule's exponent reduced by one ("2" gives "1", "0.5" gives "-0.5").
std::u16string ReducedExponent(std::u16string_view exponent);

} // namespace zorbit
