#pragma once
// Numbers inside derivative formulas: how a node's text reads and how a folded value
// is written back.

#include <string>
#include <string_view>

namespace zorbit {

// A number node's text as a double; a name reads as 0. Folded non-finite values read back.
double NumberValue(std::u16string_view text);
// Ten decimals with trailing zeros and point removed (in Full precision the shortest text
// of the double); zero is "0" (never "-0").
std::u16string FoldedText(double value);

} // namespace zorbit
