// Any formula and any variable name through e_diff. First byte: bits 0-3 the variable's
// length, bit 6 the log in its count-only mode, bit 7 the rest read as UTF-16 pairs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "context/context.h"
#include "derive/diff_entry.h"
#include "derive/diff_log.h"
#include "derive/diff_state.h"
#include "engine/state.h"

using namespace zorbit;

namespace {

std::u16string Decode(const uint8_t* data, size_t size, bool pairs) {
    std::u16string text;
    if (pairs) {
        for (size_t i = 0; i + 1 < size; i += 2)
            text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    } else {
        for (size_t i = 0; i < size; ++i)
            text += static_cast<char16_t>(data[i]);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    ResetContext();
    const bool pairs = (data[0] & 0x80) != 0;
    if ((data[0] & 0x40) != 0) SetDiffLogMode(3, u"");
    size_t varLength = data[0] & 0x0F;
    if (varLength > size - 1) varLength = size - 1;
    const std::u16string variable = Decode(data + 1, varLength, false);
    const std::u16string formula = Decode(data + 1 + varLength, size - 1 - varLength, pairs);

    std::u16string buffer(64, u' ');
    const int32_t length = DiffFormula(formula, variable, buffer.data(), 64);
    const int32_t error = E_Error();
    const DiffState& d = Diff();
    if (d.Index != 0 || d.depth != 0) __builtin_trap(); // the table and the walks are left clean
    if (length > 0) {
        // Success: no error, and the buffer starts the derivative.
        if (error != -1 || d.errorFlag != 0) __builtin_trap();
        if (buffer.compare(0, std::min<size_t>(64, d.result.size()), d.result, 0, 64) != 0)
            __builtin_trap();
        // What e_diff prints, it can read again.
        std::u16string again(8, u' ');
        DiffFormula(d.result, variable, again.data(), 8);
    } else if (error != 6 && error != 7 && error != 8) {
        __builtin_trap();
    }
    return 0;
}
