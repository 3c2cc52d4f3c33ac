#pragma once
// The entry line's words as the engine reads them, for colouring and bracket matching:
// the same token boundaries as the library's tokenizer, with no name looked up.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vex {

enum class SyntaxKind : uint8_t {
    Number,   // 12.5, 1e-3, &FF, !101, #pi
    Name,     // a variable, constant or command word
    Function, // a name followed by "("
    Matrix,   // [mA], [mA]T
    Operator, // + - * / ^ = ; < <= and mod ...
    Bracket,  // ( )
};

struct SyntaxToken {
    size_t start = 0; // first character
    size_t end = 0;   // one past the last, a matrix suffix included
    SyntaxKind kind = SyntaxKind::Operator;
};

// The tokens of text; blanks belong to none.
std::vector<SyntaxToken> ScanSyntax(std::u16string_view text);

// The brackets of text: for each "(" or ")" its partner's offset, or -1 when it has none.
struct BracketPairs {
    std::vector<size_t> at;       // offsets of the brackets, in order
    std::vector<int64_t> partner; // per bracket: the offset of its partner, or -1
};
BracketPairs MatchBrackets(std::u16string_view text, const std::vector<SyntaxToken>& tokens);

// The bracket the caret touches: the one just before it, else the one just after it;
// -1 when neither is a bracket.
int64_t BracketAtCaret(std::u16string_view text, size_t caret);

} // namespace vex
