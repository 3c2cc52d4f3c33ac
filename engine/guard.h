#pragma once
// The engine's export guard. Every export of libzorbit.so runs its body here:
// - on the library's one lock, so that callers on several threads see the shared state
//   one call at a time;
// - refused at once (nothing run, nothing changed) when the calling thread holds the lock
//   already, that is from inside one of the host's hooks, which the library calls with the
//   lock held;
// - with an escaping exception turned into an error code and a record.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <type_traits>

#include <pthread.h>

#include "common/guard.h"
#include "engine/errors.h"

namespace zorbit {

// Records a failure that escaped an export body (out of memory, internal fault).
void RecordGuardFailure(int32_t code) noexcept;

// A mutex that knows its owner, so that a call on the owning thread is told apart from a
// call that has to wait.
class ExportLock {
  public:
    // False, without waiting, when this thread holds the lock already.
    bool Enter() noexcept {
        const pthread_t self = pthread_self();
        // Only this thread stores its own id there, and clears it before it lets go, so
        // the id read is ours exactly when this thread holds the lock. (0 is no thread's.)
        if (owner_.load(std::memory_order_relaxed) == self) return false;
        mutex_.lock();
        owner_.store(self, std::memory_order_relaxed);
        return true;
    }
    void Leave() noexcept {
        owner_.store(pthread_t{}, std::memory_order_relaxed);
        mutex_.unlock();
    }

  private:
    std::mutex mutex_;
    std::atomic<pthread_t> owner_{};
};

// The one lock of the library image (hidden, so each image that builds the exports has its own).
constinit inline ExportLock g_exportLock;

// Runs body on the lock. A refused call answers `refused`; a failure records code and
// answers fallback.
template <typename Body, typename R = std::invoke_result_t<Body>>
requires(!std::is_void_v<R>) R guarded_on_lock(Body&& body, R fallback, int32_t code, R refused)
noexcept {
    if (!g_exportLock.Enter()) return refused;
    R result =
        guarded_with(std::forward<Body>(body), fallback, [code] { RecordGuardFailure(code); });
    g_exportLock.Leave();
    return result;
}

// An export that answers a value: a refused call answers as a failure does (fallback).
template <typename Body, typename R = std::invoke_result_t<Body>>
requires(!std::is_void_v<R>) R
    guarded(Body&& body, R fallback = R{}, int32_t code = ZORBIT_E_INVALID_ARGUMENT)
noexcept {
    return guarded_on_lock(std::forward<Body>(body), fallback, code, fallback);
}

// An export that answers an error or result code: a refused call answers
// ZORBIT_E_REENTERED, a failure fallback.
template <typename Body, typename R = std::invoke_result_t<Body>>
requires(!std::is_void_v<R>) R guarded_code(Body&& body, R fallback = R(ZORBIT_E_INVALID_ARGUMENT))
noexcept {
    return guarded_on_lock(std::forward<Body>(body), fallback, ZORBIT_E_INVALID_ARGUMENT,
                           static_cast<R>(ZORBIT_E_REENTERED));
}

// An export without an answer: a refused call does nothing.
template <typename Body>
requires std::is_void_v<std::invoke_result_t<Body>>
void guarded(Body&& body) noexcept {
    if (!g_exportLock.Enter()) return;
    guarded_with(std::forward<Body>(body), [] { RecordGuardFailure(ZORBIT_E_INVALID_ARGUMENT); });
    g_exportLock.Leave();
}

} // namespace zorbit
