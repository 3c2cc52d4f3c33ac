#include "derive/diff_number.h"

#include <cmath>
#include <limits>

#include "common/number_text.h"
#include "engine/state.h"

namespace zorbit {

double NumberValue(std::u16string_view text) {
    // Folding can produce non-finite values; they are written as the formatter writes them.
    if (text == u"inf") return std::numeric_limits<double>::infinity();
    if (text == u"-inf") return -std::numeric_limits<double>::infinity();
    if (text == u"nan" || text == u"-nan") return std::numeric_limits<double>::quiet_NaN();
    return ReadDecimal(text);
}

std::u16string FoldedText(double value) {
    if (!std::isfinite(value)) return Fixed10(value);
    // Full precision writes the value whole.
    if (FullPrecision()) return value == 0 ? std::u16string(1, u'0') : RoundTripText(value);
    // A value that rounds to zero is "0", whatever its sign.
    if (std::fabs(value) < 5e-11) return std::u16string(1, u'0');
    return CompactNumber(Fixed10(value), false);
}

} // namespace zorbit
