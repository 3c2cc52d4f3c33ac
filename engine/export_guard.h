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
#include <type_traits>

#include <linux/futex.h>
#include <pthread.h>
#include <sys/single_threaded.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "common/guard.h"
#include "engine/errors.h"

namespace zorbit {

// Records a failure that escaped an export body (out of memory, internal fault).
void RecordGuardFailure(int32_t code) noexcept;

// The library's lock. A call costs one atomic exchange to take it and a plain store to
// give it back (none while the process has one thread), so that the lock stays a small
// part of even the shortest evaluation. It knows its owner, so that a call on the owning
// thread is told apart from a call that has to wait.
class ExportLock {
  public:
    // False, without waiting, when this thread holds the lock already.
    bool Enter() noexcept {
        const pthread_t self = pthread_self();
        // Only this thread stores its own id there, and clears it before it lets go, so
        // the id read is ours exactly when this thread holds the lock. (0 is no thread's.)
        if (owner_.load(std::memory_order_relaxed) == self) return false;
        if (__libc_single_threaded) {
            // No other thread to race with; one made later starts after this store.
            held_.store(1, std::memory_order_relaxed);
        } else if (held_.exchange(1, std::memory_order_acquire) != 0) {
            Wait();
        }
        owner_.store(self, std::memory_order_relaxed);
        return true;
    }
    void Leave() noexcept {
        owner_.store(pthread_t{}, std::memory_order_relaxed);
        held_.store(0, std::memory_order_release);
        // Without a fence this can miss a sleeper that has only just come; its timed
        // sleep bounds what that costs it.
        if (sleepers_.load(std::memory_order_relaxed) != 0) Futex(FUTEX_WAKE_PRIVATE, nullptr);
    }

  private:
    [[gnu::noinline]] void Wait() noexcept {
        // Calls are mostly short: look again a few times before sleeping.
        for (int spin = 0; spin < 64; ++spin) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
            if (held_.load(std::memory_order_relaxed) == 0 &&
                held_.exchange(1, std::memory_order_acquire) == 0)
                return;
        }
        sleepers_.fetch_add(1);
        long nanoseconds = 1000000;
        while (held_.exchange(1, std::memory_order_acquire) != 0) {
            timespec limit{0, nanoseconds};
            Futex(FUTEX_WAIT_PRIVATE, &limit);
            if (nanoseconds < 64000000) nanoseconds *= 2;
        }
        sleepers_.fetch_sub(1);
    }
    // FUTEX_WAIT: sleeps while held_ is 1, at most limit; FUTEX_WAKE: wakes one sleeper.
    void Futex(int op, const timespec* limit) noexcept {
        syscall(SYS_futex, reinterpret_cast<uint32_t*>(&held_), op, 1, limit, nullptr, 0);
    }

    std::atomic<uint32_t> held_{0};
    std::atomic<uint32_t> sleepers_{0};
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
