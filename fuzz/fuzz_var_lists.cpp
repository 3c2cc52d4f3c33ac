// Definitions and evaluations from the input, one per line (UTF-8): "v name=value" and
// "f name=body" define, "c" clears the function list, "k" runs the name check, anything
// else is evaluated. The lists' indexes must follow every change; a name just defined
// must be found again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/text.h"
#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/variables.h"
#include "matrix/matrix_expr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zorbit::ResetContext();
    zorbit::ResetContext();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (int lines = 0; start < input.size() && lines < 64; ++lines) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const std::u16string line = zorbit::Utf8ToUtf16(input.substr(start, end - start));
        start = end + 1;
        const std::u16string_view rest = std::u16string_view(line).substr(line.empty() ? 0 : 1);
        if (!line.empty() && (line[0] == u'v' || line[0] == u'f')) {
            const size_t eq = rest.find(u'=');
            const std::u16string name(zorbit::TrimSpaces(rest.substr(0, eq)));
            const std::u16string_view value =
                eq == std::u16string_view::npos ? std::u16string_view() : rest.substr(eq + 1);
            const int32_t kind = line[0] == u'v' ? 0 : 1;
            zorbit::E_Error() = -1;
            zorbit::SetVarFunct(name, value, kind);
            const bool accepted = zorbit::E_Error() == -1;
            const std::u16string lower = zorbit::ToLower(name);
            if (accepted && !lower.empty() && lower.back() != u'=' &&
                zorbit::FindVarFunct(lower, kind, nullptr, nullptr) != 21)
                std::abort();
        } else if (line == u"c") {
            zorbit::ClearVarFuncList(u"funct");
        } else if (line == u"k") {
            zorbit::CheckFunctions();
        } else {
            double v = 0;
            zorbit::EvalExpression(line, &v, true);
        }
    }
    return 0;
}
