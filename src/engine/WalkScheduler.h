#pragma once

#include "engine/CancellationToken.h"
#include "engine/WalkMutex.h"
#include "engine/WalkTask.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tarnwick {

// Runs a walk's tasks on a fixed set of workers, the calling thread being worker 0.
//
// Every worker has its own stack of pending tasks and takes the one it queued last, so each
// worker walks depth-first and its stack holds only the siblings along its current descent. A
// worker whose stack is empty takes the oldest task of another: the shallowest, so the largest
// part of the tree left, which keeps such hand-overs rare. Nothing but these stacks and the
// counts below is shared; the tasks themselves carry what a worker needs (see WalkFolder).
//
// The calling thread also runs `callerTurn` between its tasks and while it waits for work, which
// is where the walk's reports are handed to the caller's handlers.
class WalkScheduler {
public:
    using Process = std::function<void(std::size_t worker, WalkTask &task)>;

    WalkScheduler(std::size_t workers, const CancellationToken &token);
    WalkScheduler(const WalkScheduler &) = delete;
    WalkScheduler &operator=(const WalkScheduler &) = delete;
    ~WalkScheduler();

    std::size_t workerCount() const { return m_stacks.size(); }

    // Queues tasks on a worker's stack; the last one is taken first. Empties `tasks`.
    void push(std::size_t worker, std::vector<WalkTask> &tasks);

    // Runs until every queued task, and every task those queue, is done. Throws CancellationError
    // when the token is cancelled, or the first exception thrown by a task or by callerTurn; the
    // other workers then stop after their current task, and all have ended when run returns.
    void run(const Process &process, const std::function<void()> &callerTurn);

    // Whether the walk is being stopped: the token is cancelled or a worker failed.
    bool stopping() const { return m_stopped.load(std::memory_order_relaxed) || m_token.isCancelled(); }

private:
    // A worker's pending tasks: tasks[oldest..] are waiting; the owner works at the back, others
    // take from the front. A vector that is only ever emptied, unlike a deque, allocates nothing
    // once it has grown to the walk's width.
    struct alignas(64) Stack {
        explicit Stack(bool shared) : mutex(shared) {}
        WalkMutex mutex;
        std::vector<WalkTask> tasks;
        std::size_t oldest = 0;
        std::atomic<std::size_t> size{0};
    };

    void work(std::size_t worker, const Process &process, const std::function<void()> *callerTurn);
    bool take(std::size_t worker, WalkTask &task);
    void finishTask();
    void fail(std::exception_ptr failure);
    void wake();

    const CancellationToken &m_token;
    std::vector<std::unique_ptr<Stack>> m_stacks;
    std::atomic<std::size_t> m_unfinished{0}; // queued or running
    std::atomic<std::size_t> m_queued{0};
    std::atomic<std::size_t> m_waiting{0};
    std::atomic<bool> m_stopped{false};

    std::mutex m_waitMutex;
    std::condition_variable m_wakeUp;
    std::exception_ptr m_failure; // guarded by m_waitMutex
};

} // namespace tarnwick
