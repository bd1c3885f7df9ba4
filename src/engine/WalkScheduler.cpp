#include "engine/WalkScheduler.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace tarnwick {

namespace {

// How long a waiting worker sleeps before it looks again on its own. Wake-ups normally come from
// the workers that queue tasks; this only bounds how late the calling thread hands over reports,
// and sees a cancellation, while it has nothing to walk.
constexpr std::chrono::milliseconds kCallerWait{10};
constexpr std::chrono::milliseconds kWorkerWait{50};

} // namespace

WalkScheduler::WalkScheduler(std::size_t workers, const CancellationToken &token) : m_token(token)
{
    for (std::size_t i = 0; i < std::max<std::size_t>(workers, 1); ++i) {
        m_stacks.push_back(std::make_unique<Stack>(workers > 1));
    }
}

WalkScheduler::~WalkScheduler() = default;

void WalkScheduler::push(std::size_t worker, std::vector<WalkTask> &tasks)
{
    if (tasks.empty()) {
        return;
    }
    const std::size_t count = tasks.size();
    // Counted as unfinished before anyone can take them, so the count of the task that queues
    // them cannot reach zero first.
    m_unfinished.fetch_add(count);
    Stack &stack = *m_stacks[worker];
    {
        const std::lock_guard lock(stack.mutex);
        for (auto &task : tasks) {
            stack.tasks.push_back(std::move(task));
        }
        stack.size.store(stack.tasks.size() - stack.oldest, std::memory_order_relaxed);
    }
    tasks.clear();
    m_queued.fetch_add(count);
    if (m_waiting.load() > 0) {
        wake();
    }
}

bool WalkScheduler::take(std::size_t worker, WalkTask &task)
{
    const std::size_t workers = m_stacks.size();
    for (std::size_t step = 0; step < workers; ++step) {
        Stack &stack = *m_stacks[(worker + step) % workers];
        if (stack.size.load(std::memory_order_relaxed) == 0) {
            continue;
        }
        const std::lock_guard lock(stack.mutex);
        if (stack.tasks.size() == stack.oldest) {
            continue;
        }
        if (step == 0) { // its own: the newest
            task = std::move(stack.tasks.back());
            stack.tasks.pop_back();
        } else { // another's: the oldest
            task = std::move(stack.tasks[stack.oldest++]);
        }
        if (stack.tasks.size() == stack.oldest) {
            stack.tasks.clear(); // keeps the capacity
            stack.oldest = 0;
        } else if (stack.oldest > 64 && stack.oldest * 2 > stack.tasks.size()) {
            // Taken tasks leave empty places at the front; dropped once they are the majority.
            stack.tasks.erase(stack.tasks.begin(), stack.tasks.begin() + static_cast<std::ptrdiff_t>(stack.oldest));
            stack.oldest = 0;
        }
        stack.size.store(stack.tasks.size() - stack.oldest, std::memory_order_relaxed);
        m_queued.fetch_sub(1);
        return true;
    }
    return false;
}

void WalkScheduler::finishTask()
{
    if (m_unfinished.fetch_sub(1) == 1) {
        wake();
    }
}

void WalkScheduler::wake()
{
    const std::lock_guard lock(m_waitMutex);
    m_wakeUp.notify_all();
}

void WalkScheduler::fail(std::exception_ptr failure)
{
    {
        const std::lock_guard lock(m_waitMutex);
        if (!m_failure) {
            m_failure = std::move(failure);
        }
        m_stopped.store(true);
    }
    m_wakeUp.notify_all();
}

void WalkScheduler::work(std::size_t worker, const Process &process, const std::function<void()> *callerTurn)
{
    WalkTask task;
    while (!m_stopped.load()) {
        if (callerTurn != nullptr) {
            (*callerTurn)();
        }
        if (m_token.isCancelled()) {
            throw CancellationError();
        }
        if (take(worker, task)) {
            process(worker, task);
            task = {};
            finishTask();
            continue;
        }
        if (m_unfinished.load() == 0) {
            return;
        }
        std::unique_lock lock(m_waitMutex);
        // Counted as waiting before looking again, so a worker that queues tasks after this look
        // sees the count and wakes it (both are sequentially consistent).
        m_waiting.fetch_add(1);
        if (!m_stopped.load() && m_queued.load() == 0 && m_unfinished.load() != 0) {
            m_wakeUp.wait_for(lock, callerTurn != nullptr ? kCallerWait : kWorkerWait);
        }
        m_waiting.fetch_sub(1);
    }
}

void WalkScheduler::run(const Process &process, const std::function<void()> &callerTurn)
{
    const auto guarded = [this, &process](std::size_t worker, const std::function<void()> *turn) {
        try {
            work(worker, process, turn);
        } catch (...) {
            fail(std::current_exception());
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t worker = 1; worker < m_stacks.size(); ++worker) {
            try {
                helpers.emplace_back(guarded, worker, nullptr);
            } catch (const std::system_error &) {
                break; // fewer threads than asked for: the others still do all the work
            }
        }
        guarded(0, &callerTurn);
    } // the helpers are joined here
    const std::lock_guard lock(m_waitMutex);
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
}

} // namespace tarnwick
