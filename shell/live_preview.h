#pragma once
// The entry line's live result: what the line would give, worked out as it is typed
// without any effect on the library, in the list's decimals and number format.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/library_client.h"
#include "script/script_host.h"

namespace vex {

// Longer lines are not worked out while typing (a statistics list of many thousands of
// values): reading them alone would hold up the key.
inline constexpr size_t kPreviewMaxLength = 10000;
// The library's work bound for one preview (about 16 per token): some 25,000 tokens, or
// a matrix operation of some 400,000 element steps.
inline constexpr int64_t kPreviewWork = 400000;

struct LivePreview {
    enum class Kind : uint8_t {
        None,    // nothing to show: an empty line or a command
        Value,   // a number
        Matrix,  // a matrix, shown by its shape
        Error,   // the line would fail
        Skipped, // too long or too much work to work out while typing
    };
    Kind kind = Kind::None;
    std::u16string text;         // what the line under the entry shows
    std::optional<double> value; // a number's value, whole
};

// The preview of the typed line: none for an empty line, a command (it may define,
// store, write, plot or derive) or a line that holds a line break.
LivePreview PreviewLine(const Library& library, const InterpreterState& interp,
                        const std::vector<std::u16string>& keywords, std::u16string_view typed);

} // namespace vex
