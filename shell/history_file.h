#pragma once
// The entry line's Up/Down history between runs: a file beside the configuration, one
// entered line per line, oldest first, as UTF-8. A line break inside an entry (the
// matrix window's multi-line form) is written as "\r" or "\n", a backslash as "\\".

#include <string>
#include <string_view>
#include <vector>

namespace vex {

// Lines kept between runs.
inline constexpr size_t kHistoryLines = 1000;

// The history file beside the configuration file; empty when there is none (--no-config).
std::string HistoryPath(const std::string& configPath);

// The file's text for the last kHistoryLines of lines.
std::string FormatHistory(const std::vector<std::u16string>& lines);
// The lines of a history file's text, its last kHistoryLines.
std::vector<std::u16string> ParseHistory(std::string_view bytes);

// The lines of the file; none when it is missing or cannot be read (note says why then).
std::vector<std::u16string> ReadHistory(const std::string& path, std::string* note = nullptr);
// Writes the file as the configuration is written (a temporary file renamed over it);
// false with error set on failure.
bool WriteHistory(const std::string& path, const std::vector<std::u16string>& lines,
                  std::string& error);

} // namespace vex
