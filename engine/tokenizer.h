#pragma once
// The tokenizer: a pure scan of one token of a text, its literal values, and the
// engine's reading of the expression one token at a time.

#include <cstdint>
#include <string_view>

#include "common/number_text.h"
#include "engine/errors.h"
#include "engine/state.h"

namespace zorbit {

// One token as the scan reads it, before any name is looked up: End, Num, Hex, Bin,
// Const ("#name"), Id (every name), Matrix or Op.
struct Lexeme {
    Tok type = Tok::End;
    size_t start = 0;       // its first character, after blanks
    size_t textEnd = 0;     // one past its text
    size_t end = 0;         // where the next token's scan starts (after a matrix suffix)
    char16_t suffix = 0;    // 'I', 'T' or 'D' after a matrix reference
    bool malformed = false; // a number with a second point ("1..5")
    std::u16string_view Text(std::u16string_view s) const {
        return s.substr(start, textEnd - start);
    }
};
// Scans the token of `s` that starts at or after `pos` (blanks are skipped).
Lexeme ScanToken(std::u16string_view s, size_t pos);
// The hexadecimal and binary part of LiteralValue.
int32_t RadixLiteralValue(Tok type, std::u16string_view text, double* value);
// The value of a Num, Hex or Bin token's text: 0, or 3 for a digit its base lacks or a
// second point, 13 for a hexadecimal beyond 64 bits.
inline int32_t LiteralValue(Tok type, std::u16string_view text, bool malformed, double* value) {
    if (type != Tok::Num) return RadixLiteralValue(type, text, value);
    if (malformed) return ZORBIT_E_PARSER_SYNTAX;
    *value = ParseAsciiNumber(text);
    return ZORBIT_NO_ERROR;
}

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
