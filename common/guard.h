#pragma once
// Every export body runs inside guarded(): nothing may escape the C interface. The
// caller says what a failure leaves behind (its error sink), so every library of the
// program can use it, with or without the engine's error state.

#include <type_traits>
#include <utility>

namespace zorbit {

// Runs body; an exception calls onFailure (which must not throw out) and gives fallback.
template <typename Body, typename Sink, typename R = std::invoke_result_t<Body>>
requires(!std::is_void_v<R>) R guarded_with(Body&& body, R fallback, Sink&& onFailure)
noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        try {
            onFailure();
        } catch (...) {
        }
        return fallback;
    }
}

// The same for a body without a result.
template <typename Body, typename Sink>
requires std::is_void_v<std::invoke_result_t<Body>>
void guarded_with(Body&& body, Sink&& onFailure) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        try {
            onFailure();
        } catch (...) {
        }
    }
}

} // namespace zorbit
