#pragma once
// Completion of the name being typed in the entry line: the built-in names the library
// lists, the command words, and the variables, functions and matrices defined in this
// run, each with a short description. Nothing here needs a window.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

enum class NameKind : uint8_t {
    Function,     // built-in function, statistics or matrix function: takes "("
    Constant,     // pi, e, deg ...
    Operator,     // and, mod ...
    Command,      // the first word of a command line
    Variable,     // defined in this run
    UserFunction, // defined in this run; "(" when it has parameters
    Matrix,       // defined in this run, "[name]"
};

struct NameEntry {
    NameKind kind = NameKind::Function;
    std::u16string name;        // as it is inserted, without the "("
    std::u16string description; // help line, value or definition
    bool takesBracket = false;  // completed with "("
};

// The entries of a name list ("kind\tname\tdescription\r\n" lines, as the library gives
// them); lines of unknown kinds are left out.
std::vector<NameEntry> ParseNameList(std::u16string_view list);
// True for what a run defines (variables, functions, matrices) rather than a built-in.
inline bool DefinedInRun(NameKind kind) {
    return kind == NameKind::Variable || kind == NameKind::UserFunction || kind == NameKind::Matrix;
}

// The command words with the first line of each one's help entry (helpText holds the
// entries; a word without one gets no description).
std::vector<NameEntry> CommandEntries(const std::vector<std::u16string>& keywords,
                                      std::u16string_view helpText);

// The name being typed: the run of name characters before the caret, with a "[" or "#"
// in front when there is one; empty when the caret is not at the end of a name (inside
// a number, or after a blank). end is where the name ends after the caret.
struct TypedWord {
    size_t start = 0;
    size_t end = 0;
    std::u16string_view prefix; // from start to the caret
    bool firstWord = false;     // nothing but blanks before it: a command may go here
};
TypedWord WordAtCaret(std::u16string_view text, size_t caret);

// The entries sorted by name, without case, for prefix searches.
class CompletionIndex {
  public:
    void Assign(std::vector<NameEntry> entries);
    size_t size() const { return entries_.size(); }
    // The entries whose name starts with the typed word (without case), at most limit,
    // in name order; commands only where the word is the line's first.
    std::vector<const NameEntry*> Matches(const TypedWord& word, size_t limit) const;

  private:
    std::vector<NameEntry> entries_;
    std::vector<std::u16string> keys_; // lower-cased names, sorted, one per entry
};

// The help entry of the command being typed: the first word of typed when it is a
// command whose own entry the help text holds (not an entry of a longer word that starts
// with it); nothing otherwise.
std::optional<std::u16string> TypedCommandHelp(const std::vector<std::u16string>& keywords,
                                               std::u16string_view helpText,
                                               std::u16string_view typed);

// The entry line after a candidate is taken: the typed word replaced by its name, and
// "(" after a function unless one follows already. caret receives the new caret.
std::u16string AcceptCompletion(std::u16string_view text, const TypedWord& word,
                                const NameEntry& entry, size_t* caret);

} // namespace vex
