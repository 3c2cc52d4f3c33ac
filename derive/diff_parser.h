#pragma once
// The differentiator's parser: formula text into the node table. Sums, products and
// factors are three mutually recursive procedures; errors only raise the error flag and
// the parse runs on to the end of the text.

#include <cstdint>
#include <string>
#include <string_view>

#include "derive/diff_state.h"

namespace zorbit {

// Sets the error flag and logs the message; parsing goes on.
void ERR(std::u16string_view message);

// The next free node, cleared, the table grown as needed; 0 (and "Too long formula")
// past the ceiling.
int32_t NewNode();

// Empties the table and gives back what it grew beyond its start size.
void ReleaseNodes();

// Next token of s from pos: its code into `code` (unchanged for a stray character) and
// its text into `text`.
void GetLex(std::u16string_view s, int32_t& code, std::u16string& text);
// The number text starting at pos (on a digit); pos ends after it.
std::u16string_view GetNumber(std::u16string_view s);
// A sum; returns its root node.
int32_t GetTreeExpr(std::u16string_view s);
// A product or quotient with an optional leading sign; `code` gets the ending token.
int32_t GetOp(std::u16string_view s, int32_t& code);
// A factor whose first token is in `code`; `code` gets the token after it.
int32_t GetSingleOp(std::u16string_view s, int32_t& code);

// Positions the parser at the start of a new text (the node table is left as it is).
void StartParse();

// Counts one level of recursion of the parser or a tree walk; past the limit it reports
// once and the walk must stop.
class NestingGuard {
  public:
    NestingGuard();
    ~NestingGuard();
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
    bool ok() const { return ok_; }

  private:
    bool ok_;
};

} // namespace zorbit
