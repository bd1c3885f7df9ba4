#pragma once

#include <atomic>
#include <exception>

namespace tarnwick {

// The one object a background operation shares with the thread that started it. Cancelling
// publishes with release order and polling reads with acquire order, so whatever the canceller
// wrote before cancelling is visible to the worker that sees the flag.
class CancellationToken {
public:
    void cancel() noexcept { m_cancelled.store(true, std::memory_order_release); }
    bool isCancelled() const noexcept { return m_cancelled.load(std::memory_order_acquire); }
    void reset() noexcept { m_cancelled.store(false, std::memory_order_release); }

private:
    std::atomic<bool> m_cancelled{false};
    static_assert(std::atomic<bool>::is_always_lock_free, "cancel() must be safe in a signal handler");
};

// Thrown by a scan that stops because its token was cancelled; nothing else leaves a scan.
class CancellationError : public std::exception {
public:
    const char *what() const noexcept override { return "The operation was cancelled."; }
};

}  // namespace tarnwick
