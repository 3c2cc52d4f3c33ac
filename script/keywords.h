#pragma once
// The command keywords the main window's entry field recognises.

#include <string>
#include <vector>

namespace vex {

// The entry field's keywords in the order it tries them: the 28 of the list, then
// the interpreter's other command words.
std::vector<std::u16string> InitKeywordTable();

} // namespace vex
