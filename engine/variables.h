#pragma once
// Variables and custom functions: two text lists of "name=value;" entries.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorbit {

// kind 0 = variable list, anything else = function list.
std::u16string& ListByKind(int32_t kind);
// "vars" (any case) = variable list, any other word = function list.
std::u16string& ListByWord(std::u16string_view which);

int32_t SetVarFunct(std::u16string_view name, std::u16string_view value, int32_t kind);
// Whole-entry lookup. Variable: its value; function: e_tok = body, copied into buffer,
// result = body length. Found: e_error 21; not found: 7 (reported when asked).
double FindVarFunctD(std::u16string_view name, int32_t kind, char16_t* buffer, bool report);
int32_t FindVarFunct(std::u16string_view name, int32_t kind, double* result, char16_t* buffer);
// The tokenizer's lookup: a lower-case name; true and the stored value when defined.
bool LookupVariable(std::u16string_view lowerName, double* value);

// GetVarFuncListLen and ClearVarFuncList ("vars" or the functions).
int32_t VarFuncListLength(std::u16string_view which);
int32_t CopyVarFuncList(char16_t* buffer, int32_t capacity, std::u16string_view which);
// Empties the list chosen by word (and its index); 1.
int32_t ClearVarFuncList(std::u16string_view which);
int32_t ReSetZiZoruze();

// A user function with parameters, "name(a; b)" or "name(a,b)": lower-case names, the
// function's name and its parameters (distinct names, at least one).
struct FunctionSignature {
    std::u16string name;
    std::vector<std::u16string> params;
};
// False when text is not a name followed by a parameter list: such a function is a text
// macro whose name is the whole text.
bool ParseSignature(std::u16string_view text, FunctionSignature* out);
// The stored form: "name(a,b)" (";" would end the list entry).
std::u16string SignatureText(const FunctionSignature& sig);

// The built-in a name would hide ("function", "constant", "statistics function", ...):
// a lower-case word; empty when the name is free.
std::u16string_view BuiltinKindOf(std::u16string_view lowerWord);

// Limits of calls of functions with parameters: one function's calls nested in its own
// arguments, and rounds of bodies calling functions defined before them.
constexpr int kMaxCallNesting = 64;
constexpr int kMaxCallRounds = 32;

// Replaces every whole name of a text macro (any case) by "(" + body + ")", and every call
// "name(arg1; arg2)" of a function with parameters by "(" + body + ")" with each parameter
// replaced by "(" + its argument + ")". False when the text would grow past the expression
// limit or a call is malformed; why (when given) then says which.
bool ExpandFunctions(std::u16string& text, std::u16string* why = nullptr);
int32_t CheckFunctions();

// Position of `name` in `text` from `from` on where it stands as a whole name (not part of
// a longer identifier); npos when none. Case-insensitive when asked.
size_t FindWholeName(std::u16string_view text, std::u16string_view name, size_t from,
                     bool ignoreCase);

} // namespace zorbit
