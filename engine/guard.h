#pragma once
// Every export body runs inside guarded(): nothing may escape the C interface.

#include <new>
#include <type_traits>

#include "engine/errors.h"
#include "engine/state.h"

namespace zorbit {

// Runs body; an exception becomes error `code` (13 unless given) and the fallback value.
template <typename Body, typename R = std::invoke_result_t<Body>>
R guarded(Body&& body, R fallback = R{}, int32_t code = kErrInvalidArgument) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            E_Error() = code;
            ReportError(u"guarded", 0, u"Out of memory or internal failure");
        } catch (...) {
        }
        return fallback;
    }
}

}  // namespace zorbit
