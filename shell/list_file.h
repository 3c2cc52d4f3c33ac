#pragma once
// Expression-list files (".vxc"): a "Columns: 1" line, then per list row its "#" text
// and its text on two lines. Everything is UTF-8 with CR LF line ends. Opening keeps
// only the expressions: the list is rebuilt by evaluating them again.

#include <string>
#include <string_view>
#include <vector>

#include "shell/expression_list.h"

namespace vex {

// Largest list file that is opened.
inline constexpr size_t kMaxListFileBytes = size_t{64} << 20;

// The file's text for these rows (rows with both columns empty are left out).
std::string FormatListFile(const std::vector<ListRow>& rows);
// The expressions of a list file's bytes, in order: the line after each line that
// begins with "E" but not "ERR". A UTF-8 byte-order mark is skipped; bytes that are
// not valid UTF-8 are read as Latin-1.
std::vector<std::u16string> ListFileExpressions(std::string_view bytes);

// Writes the rows to path through a temporary file beside it, so a failed save leaves
// the old file whole; false with error set on failure.
bool WriteListFile(const std::string& path, const std::vector<ListRow>& rows, std::string& error);
// Reads a list file's expressions; false with error set when it cannot be read or is
// larger than kMaxListFileBytes.
bool ReadListFile(const std::string& path, std::vector<std::u16string>& expressions,
                  std::string& error);

} // namespace vex
