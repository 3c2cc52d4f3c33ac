#pragma once
// The differentiation log: a trace of every parser, rule and simplifier step, written
// to a file ("Derive.Log" by default) or shown in message boxes. Off by default.

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/number_text.h"
#include "derive/diff_state.h"

namespace zorbit {

inline constexpr std::u16string_view kDefaultDiffLog = u"Derive.Log";

// Lines are formed (and counted) in every mode but 0.
inline bool DiffLogOn() {
    return Diff().log.mode != 0;
}

// One log line under a procedure name; "IN_" texts indent, "OUT" texts outdent.
void DiffLog(std::u16string_view name, std::u16string_view text);

// Modes 1 and 2 write each line; the other modes but 0 only count them.
inline bool DiffLogWrites() {
    const int8_t mode = Diff().log.mode;
    return mode == 1 || mode == 2;
}

// Forms the text out of line, so the recursive callers keep small frames.
template <typename MakeText>
[[gnu::noinline]] void DiffLogNow(std::u16string_view name, MakeText& makeText) {
    DiffLog(name, makeText());
}

// Builds the text only when the line is written: the trace must cost nothing when it is
// off, and a counted line needs no text. Many texts hold the subformula built so far, so
// forming them for every counted line would cost the square of the formula's size.
template <typename MakeText> void DiffLogIf(std::u16string_view name, MakeText&& makeText) {
    if (DiffLogWrites())
        DiffLogNow(name, makeText);
    else if (DiffLogOn())
        DiffLog(name, {});
}

// One line per node 1..last: index, links, code, operator name and token text.
void DumpNodes(std::u16string_view name, int32_t last);

// The operator name of a code as the node dump prints it ("" for unnamed codes).
std::u16string_view OpName(int32_t code);

// SetDiffLogF: mode 0 off, 1 file, 2 message boxes, other: count only.
int32_t SetDiffLogMode(int8_t mode, std::u16string_view fileName);

// Concatenation of texts and decimal integers, for log lines and messages.
inline void AppendPiece(std::u16string& out, std::u16string_view piece) {
    out += piece;
}
inline void AppendPiece(std::u16string& out, char16_t piece) {
    out += piece;
}
template <typename T>
requires(std::is_integral_v<T> && !std::is_same_v<T, char16_t> &&
         !std::is_same_v<T, bool>) void AppendPiece(std::u16string& out, T value) {
    out += IntText(static_cast<long long>(value));
}
template <typename... Pieces> std::u16string Cat(const Pieces&... pieces) {
    std::u16string out;
    (AppendPiece(out, pieces), ...);
    return out;
}

} // namespace zorbit
