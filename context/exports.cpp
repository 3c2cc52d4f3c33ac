// The library's lifecycle exports: they touch the settings of several layers.

#include "zorbit/zorbit.h"

#include "context/context.h"
#include "context/names.h"
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
