// The C interface of the engine layer: each export is one guarded call into it.

#include "zorbit/zorbit.h"

#include "common/text.h"
#include "common/version.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/export_guard.h"
#include "engine/functions.h"
#include "engine/host_hooks.h"
#include "engine/library_services.h"
#include "engine/state.h"
#include "engine/variables.h"

using namespace zorbit;

namespace {

const char16_t* Empty() {
    return u"";
}

} // namespace

// ---- Host services
ZORBIT_API void SetMessageBoxHook(ZorbitMessageBoxFn fn) {
    guarded([&] { SetMessageBoxHandler(fn); });
}
ZORBIT_API void SetMessageWindowHook(ZorbitMessageWindowFn fn) {
    guarded([&] { SetMessageWindowHandler(fn); });
}
ZORBIT_API void SetClipboardHook(ZorbitClipboardFn fn) {
    guarded([&] { SetClipboardHandler(fn); });
}

// ---- About and version
ZORBIT_API const char16_t* aAbout(int32_t mode) {
    return guarded([&] { return AboutText(mode); }, Empty());
}
ZORBIT_API int32_t DisplayVerInfo(const char16_t* fileName, char16_t* fileVersion,
                                  char16_t* productVersion) {
    return guarded([&] { return VersionInfo(View(fileName), fileVersion, productVersion); });
}

// ---- String-passing tests
ZORBIT_API const char16_t* TestStr(const char16_t* text) {
    return guarded([&] { return TestStrBody(View(text)); }, Empty());
}
ZORBIT_API char16_t* TestStrPtr(char16_t* buffer) {
    return guarded([&] { return TestStrPtrBody(buffer); }, buffer);
}
ZORBIT_API const char16_t* TestStrPtr2(char16_t* buffer) {
    return guarded([&] { return TestStrPtr2Body(buffer); }, Empty());
}

// ---- Evaluation
ZORBIT_API int32_t e_eval(const char16_t* expr, double* result, int32_t checkFunctions) {
    return guarded_code([&] { return EvalExpression(View(expr), result, checkFunctions != 0); });
}
ZORBIT_API double de_eval(const char16_t* expr, int32_t checkFunctions) {
    return guarded_code([&] { return DeEval(View(expr), checkFunctions != 0); });
}
ZORBIT_API int32_t GetResultType(void) {
    return guarded_code([] { return int32_t{Engine().eval.ResultType}; }, int32_t{-1});
}
ZORBIT_API int32_t SetBoolSign(int32_t sign) {
    return guarded([&] { return zorbit::SetBoolSign(sign); });
}
ZORBIT_API int32_t SetPrecisionMode(int32_t mode) {
    return guarded([&] { return zorbit::SetPrecisionMode(mode); });
}
ZORBIT_API int32_t GetPrecisionMode(void) {
    return guarded([&] { return zorbit::Engine().eval.precision; });
}

// ---- Functions and constants
ZORBIT_API int32_t e_get_const(const char16_t* name, double* value) {
    return guarded([&] { return GetConst(View(name), value); });
}
ZORBIT_API int32_t GetDiff_OperAndFuncs(char16_t* buffer) {
    return guarded([&] { return CopyOperAndFuncs(buffer); });
}

// ---- Errors and diagnostics
ZORBIT_API int32_t GetE_Error(void) {
    return guarded_code([] { return E_Error(); });
}
ZORBIT_API int32_t GetE_ErrorPos(void) {
    return guarded_code([] { return Engine().errors.errorPos; }, int32_t{-1});
}
ZORBIT_API int32_t SetE_Error(int32_t code) {
    return guarded_code([&] { return E_Error() = code; });
}
ZORBIT_API const char16_t* GetE_ErrDescr(int32_t code, uint8_t extended) {
    return guarded([&] { return GetErrorDescriptionText(code, extended != 0); }, Empty());
}
ZORBIT_API int32_t GetErrorMsgs(char16_t* buffer, int32_t capacity, uint8_t show) {
    return guarded([&] { return CopyErrorMsgs(buffer, capacity, show != 0); });
}
ZORBIT_API int32_t SetErrorMsgs(const char16_t* procedure, int32_t line, const char16_t* extra) {
    return guarded([&] { return ReportErrorLength(View(procedure), line, View(extra)); });
}
ZORBIT_API int32_t SetErrorMsgsF(int32_t onOff) {
    return guarded([&] { return SetErrorTextSwitch(onOff); });
}
ZORBIT_API int32_t GetDebugLog(char16_t* buffer, int32_t capacity, uint8_t show) {
    return guarded([&] { return CopyDebugLog(buffer, capacity, show != 0); });
}
ZORBIT_API int32_t SetDebugF(int32_t mode) {
    return guarded([&] { return SetDebugMode(mode); });
}
ZORBIT_API int32_t ShowMsgs(int32_t flags) {
    return guarded([&] { return SetMessageFlags(flags); });
}

// ---- Variables and custom functions
ZORBIT_API int32_t SetVarFunct(const char16_t* name, const char16_t* value, int32_t kind) {
    return guarded([&] { return zorbit::SetVarFunct(View(name), View(value), kind); });
}
ZORBIT_API int32_t FindVarFunct(const char16_t* name, int32_t kind, double* result,
                                char16_t* buffer) {
    return guarded([&] { return zorbit::FindVarFunct(View(name), kind, result, buffer); });
}
ZORBIT_API int32_t GetVarFuncList(char16_t* buffer, int32_t capacity, const char16_t* which) {
    return guarded([&] { return CopyVarFuncList(buffer, capacity, View(which)); });
}
ZORBIT_API int32_t GetVarFuncListLen(const char16_t* which) {
    return guarded([&] { return VarFuncListLength(View(which)); });
}
ZORBIT_API int32_t ClearVarFuncList(const char16_t* which) {
    return guarded([&] { return zorbit::ClearVarFuncList(View(which)); });
}
ZORBIT_API int32_t ReSetZiZoruze(void) {
    return guarded([] { return zorbit::ReSetZiZoruze(); });
}

// ---- Number formatting
ZORBIT_API const char16_t* StrD0(const char16_t* text) {
    return guarded([&] { return TrimNumberResult(View(text)); }, Empty());
}
