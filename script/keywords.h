#pragma once
// The command keywords the main window's entry field recognises.

#include <string>
#include <vector>

namespace vex {

// The 28 keywords, in the order the entry field tries them.
std::vector<std::u16string> InitKeywordTable();

} // namespace vex
