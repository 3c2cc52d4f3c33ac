// The C interface of the differentiation layer: each export is one guarded call into it.

#include "zorbit/zorbit.h"

#include "common/text.h"
#include "derive/diff_entry.h"
#include "derive/diff_log.h"
#include "engine/export_guard.h"

using namespace zorbit;

ZORBIT_API int32_t e_diff(const char16_t* formula, const char16_t* variable, char16_t* buffer,
                          int32_t bufferLength) {
    return guarded([&] { return DiffFormula(View(formula), View(variable), buffer, bufferLength); },
                   int32_t{0});
}

ZORBIT_API int32_t GetLast_diffErr(void) {
    return guarded([] { return LastDiffErr(); }, int32_t{1});
}

ZORBIT_API int32_t SetDiffLogF(int8_t mode, const char16_t* fileName) {
    return guarded([&] { return SetDiffLogMode(mode, View(fileName)); }, int32_t{0});
}
