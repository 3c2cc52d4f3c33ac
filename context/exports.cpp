// The library's lifecycle exports: they touch the settings of several layers.

#include "zorbit/zorbit.h"

#include "common/text.h"
#include "context/context.h"
#include "context/names.h"
#include "context/preview.h"
#include "engine/export_guard.h"

using namespace zorbit;

ZORBIT_API int32_t vexAttachProcess(int32_t) {
    return guarded([] { return AttachProcess(); });
}
ZORBIT_API int32_t vexAttachThread(int32_t) {
    return guarded([] { return AttachThread(); });
}
ZORBIT_API int32_t vexDetachThread(int32_t) {
    return guarded([] { return DetachThread(); });
}
ZORBIT_API int32_t vexDetachProcess(int32_t) {
    return guarded([] { return 0; });
}

ZORBIT_API int32_t GetNameList(char16_t* buffer, int32_t capacity) {
    return guarded([&] { return CopyNameList(buffer, capacity); });
}

ZORBIT_API int32_t e_evalPreview(const char16_t* expr, int64_t workLimit, ZorbitPreview* out) {
    return guarded_code([&] {
        if (!expr || !out) return int32_t{ZORBIT_E_INVALID_ARGUMENT};
        return PreviewExpression(View(expr), workLimit, out);
    });
}
ZORBIT_API int32_t SetLastAnswer(double value, int32_t set) {
    return guarded_code([&] { return zorbit::SetLastAnswer(value, set != 0); });
}
ZORBIT_API int32_t GetLastAnswer(double* value) {
    return guarded([&] { return zorbit::GetLastAnswer(value) ? 1 : 0; });
}
