#pragma once
// The terminal front end of the entry: the lines of -e and of standard input run one
// by one as the entry field runs them, and the notes of a batch run.

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_host.h"

namespace vex {

// Longest line the terminal takes; a longer one is reported and not run.
inline constexpr size_t kMaxEntryLine = size_t{1} << 20;

// Runs every line of text and prints its result rows on out. LF, CR LF and a lone CR
// each end a line, so no line reaches the entry with a line break inside it. Returns 0, or 1 when a
// line reported an error or was not run; out of memory ends the run with a message on err and 1.
int RunEntryText(ScriptHost& host, const std::vector<std::u16string>& keywords,
                 std::string_view text, std::ostream& out, std::ostream& err);

// The same for the lines of in, read one at a time and never more than kMaxEntryLine
// bytes of a line kept.
int RunEntryStream(ScriptHost& host, const std::vector<std::u16string>& keywords, std::istream& in,
                   std::ostream& out, std::ostream& err);

// Tells on err what the last batch run's switch string passed over: unknown switches,
// and an output name that the output rule replaced.
void PrintBatchNotes(const BatchSettings& batch, std::ostream& err);

} // namespace vex
