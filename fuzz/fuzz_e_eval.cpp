// Any UTF-16 text through e_eval, with a few variables and functions defined. An odd
// size reads the functions first (as the program does), and its last byte's bit 0 picks
// Full precision. A number result is never infinite or NaN, in either mode. The same text
// previewed first gives what e_eval then gives (the preview leaves nothing behind, the
// random numbers included), unless its work ran out.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "context/context.h"
#include "context/preview.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/variables.h"
#include "matrix/matrix_expr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zorbit::ResetContext();
    if ((size & 1) != 0 && (data[size - 1] & 1) != 0)
        zorbit::SetPrecisionMode(ZORBIT_PRECISION_FULL);
    zorbit::SetVarFunct(u"x", u"1.5", 0);
    zorbit::SetVarFunct(u"ax", u"-2", 0);
    zorbit::SetVarFunct(u"f(x)", u"x^2+1", 1);
    zorbit::SetVarFunct(u"g", u"sin(x)*f(x)", 1);
    zorbit::SetVarFunct(u"h(a; b)", u"a*f(b)-g", 1);
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    ZorbitPreview preview{};
    const int32_t previewed = zorbit::PreviewExpression(text, 200000, &preview);
    double v = 0;
    const int32_t code = zorbit::EvalExpression(text, &v, (size & 1) != 0);
    if (code == 0 && !std::isfinite(v)) {
        std::fprintf(stderr, "e_eval gave %g as a value\n", v);
        std::abort();
    }
    // The preview reads the functions first, as an odd size does.
    const bool evaluated = code == 0 && zorbit::E_Error() == ZORBIT_NO_ERROR;
    if ((size & 1) != 0 && preview.cutOff == 0 &&
        (evaluated != (previewed == 0 && preview.error == ZORBIT_NO_ERROR) ||
         (evaluated && v != preview.value))) {
        std::fprintf(stderr, "the preview gave %d (%g), e_eval %d (%g)\n", previewed, preview.value,
                     code, v);
        std::abort();
    }
    zorbit::DeEval(text, false);
    return 0;
}
