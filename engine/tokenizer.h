#pragma once
// The tokenizer: reads one token at a time from the front of the expression.

#include <cstdint>
#include <string_view>

#include "engine/state.h"

namespace zorbit {

// Starts reading `e_expr` (already set) from its first character.
void StartTokenizer();
// Reads the next token; may change e_error (identifiers). Returns -1.
int32_t e_nxt();
// Checks that the current token is `expected` (error 6 when no error is pending), then
// reads the next token in any case. Returns e_error.
int32_t e_match(std::u16string_view expected);
// True when the current token's type text equals t (for one-character operators).
inline bool TokIs(const ParserState& ps, char16_t t) {
    return ps.type == Tok::Op && ps.text.size() == 1 && ps.text[0] == t;
}
// Keyword of a lower-case word, or Kw::None.
Kw KeywordOf(std::u16string_view lowerName);

} // namespace zorbit
