#pragma once
// The engine's export guard: an exception becomes an error code in the engine's error
// state and a record, and the export answers its fallback.

#include <cstdint>
#include <type_traits>

#include "common/guard.h"
#include "engine/errors.h"

namespace zorbit {

// Records a failure that escaped an export body (out of memory, internal fault).
void RecordGuardFailure(int32_t code) noexcept;

template <typename Body, typename R = std::invoke_result_t<Body>>
requires(!std::is_void_v<R>) R
    guarded(Body&& body, R fallback = R{}, int32_t code = ZORBIT_E_INVALID_ARGUMENT)
noexcept {
    return guarded_with(std::forward<Body>(body), fallback, [code] { RecordGuardFailure(code); });
}

template <typename Body>
requires std::is_void_v<std::invoke_result_t<Body>>
void guarded(Body&& body) noexcept {
    guarded_with(std::forward<Body>(body), [] { RecordGuardFailure(ZORBIT_E_INVALID_ARGUMENT); });
}

} // namespace zorbit
