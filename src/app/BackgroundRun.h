#pragma once

#include "engine/CancellationToken.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <typeinfo>
#include <vector>

class QRunnable;
class QThreadPool;

namespace tarnwick {

// The pool every background run's worker runs on, apart from Qt's global pool: Qt draws large
// areas with helpers from the global pool and waits for them, so a scan holding its threads would
// stall the window's painting. Its threads run at a lower priority than the window's.
QThreadPool &backgroundRunPool();
// Runs `task` on that pool, at its priority.
void startInBackgroundRunPool(std::function<void()> task);

// Destroys `value` on the background pool. For what the main thread lets go of in bulk: freeing
// a hundred thousand candidates' strings takes it tens of milliseconds.
template <typename T> void destroyInBackground(T value)
{
    // Held by a shared pointer because the pool's task must be copyable; the task is its only owner.
    auto held = std::make_shared<T>(std::move(value));
    startInBackgroundRunPool([held = std::move(held)]() mutable { held.reset(); });
}

// One report of a background run, as a test probe sees it: on the thread that made it, right
// after it was queued for the main thread.
struct RunEvent {
    std::string_view run;  // the name its owner gave the run: "scan", "cleanup", ...
    std::size_t index = 0; // how many reports the same run made before this one
    bool current = true;   // false when it will be dropped: its run was replaced or its owner is gone
    const std::type_info *type = nullptr;
    const void *value = nullptr;

    template <typename T> const T *get() const
    {
        return type != nullptr && *type == typeid(T) ? static_cast<const T *>(value) : nullptr;
    }
};

// For tests: sees every report of every background run and can hold a worker at an exact one, so
// that a test looks at the state half-way through a run, cancels it there or destroys its owner
// there, without depending on how fast anything is. A held worker goes on when the test releases
// it or when its run is cancelled (which is what destroying the owner does), so holding can never
// keep a cancel-and-drain waiting. Reports made on the main thread (an update check's) are seen
// but never held. A predicate that throws makes the worker fail right at that report: the exception
// leaves through the code that reported, as a failure of the work itself would. One probe at a time.
class RunProbe {
public:
    // Called with every report; returning true holds the worker right after that report.
    using HoldAt = std::function<bool(const RunEvent &)>;

    explicit RunProbe(HoldAt holdAt);
    ~RunProbe(); // lets every held worker go and stops looking
    RunProbe(const RunProbe &) = delete;
    RunProbe &operator=(const RunProbe &) = delete;

    // Whether a worker is held now, and how many holds there have been.
    bool isHolding() const;
    int holds() const;
    // Lets the held worker go on; a later report the predicate picks holds it again.
    void release();

    // Used by the runs themselves.
    struct Shared;
    static std::shared_ptr<Shared> installed();
    static void wakeCancelled();

private:
    std::shared_ptr<Shared> m_shared;
};

// The part of a background run shared between its owner on the main thread and its workers: the
// queue of reports waiting for the main thread. Not used directly; see BackgroundRun.
class RunChannel : public std::enable_shared_from_this<RunChannel> {
public:
    explicit RunChannel(std::string_view name) : m_name(name) {}

    uint64_t currentGeneration() const;
    // Main thread: a new run begins; reports of earlier ones are dropped from now on.
    uint64_t beginGeneration();
    // Main thread: the owner is going away; nothing is delivered any more.
    void close();

    // Runs `work` on the background runs' own thread pool as one of this channel's workers.
    void startWorker(std::function<void()> work);
    // Returns once every worker has returned. A worker still queued behind other work is taken
    // off the queue instead: it was cancelled before it began, so it has nothing to do, and
    // waiting for a free thread could mean waiting for work that nobody cancels.
    void waitForWorkers();

    // Any thread. A progress report replaces any progress report of its run still waiting for the
    // main thread; every other report is delivered, in the order made.
    void post(uint64_t generation, bool progress, const std::type_info &type, const void *value,
              std::function<void()> deliver, const CancellationToken &token);
    // Main thread: delivers what is queued and still current, in order. A pile that takes longer
    // than one turn's budget is spread over several turns of the event loop, so the window keeps
    // answering while it catches up; `everything` delivers it all now.
    void deliver(bool everything = false);

private:
    void scheduleDelivery();
    void workerFinished();

    struct Entry {
        uint64_t generation = 0;
        std::function<void()> deliver; // empty once a newer progress report replaced it
    };

    const std::string_view m_name;
    mutable std::mutex m_mutex;
    std::condition_variable m_workersDone;
    std::vector<Entry> m_pending;
    std::optional<std::size_t> m_waitingProgress; // the progress report in m_pending, if any
    bool m_deliveryScheduled = false;
    // Changed on the main thread only, under the lock; atomic so that the main thread can check
    // them per report without taking the lock the workers post under.
    std::atomic<bool> m_open{true};
    std::atomic<uint64_t> m_generation{0};
    std::size_t m_reports = 0;
    int m_workers = 0;
    // Workers handed to the pool that have not begun, by ticket.
    std::vector<std::pair<uint64_t, QRunnable *>> m_queued;
    uint64_t m_nextTicket = 0;
};

// What a worker gets: its token and the way to report to the owner on the main thread.
template <typename Owner> class RunContext {
public:
    RunContext(std::shared_ptr<RunChannel> channel, uint64_t generation, std::shared_ptr<CancellationToken> token,
               Owner *owner)
        : m_channel(std::move(channel)), m_generation(generation), m_token(std::move(token)), m_owner(owner)
    {
    }

    CancellationToken &token() const { return *m_token; }
    bool isCancelled() const { return m_token->isCancelled(); }

    // `apply(owner, value)` runs on the main thread, in the order of posting, unless the run was
    // replaced or its owner destroyed by then.
    template <typename T, typename Apply> void post(T value, Apply apply) const
    {
        send(false, std::move(value), std::move(apply));
    }
    // The same for a report that a later progress report may replace before delivery.
    template <typename T, typename Apply> void progress(T value, Apply apply) const
    {
        send(true, std::move(value), std::move(apply));
    }

private:
    template <typename T, typename Apply> void send(bool progress, T value, Apply apply) const
    {
        // The probe sees the value through the pointer before the report is queued; the copy
        // queued is the one delivered.
        auto shared = std::make_shared<T>(std::move(value));
        const T *seen = shared.get();
        m_channel->post(
            m_generation, progress, typeid(T), seen,
            [owner = m_owner, shared = std::move(shared), apply = std::move(apply)] {
                std::invoke(apply, *owner, std::move(*shared));
            },
            *m_token);
    }

    std::shared_ptr<RunChannel> m_channel;
    uint64_t m_generation;
    std::shared_ptr<CancellationToken> m_token;
    Owner *m_owner;
};

// Owns one kind of background work of a controller: a scan, a cleanup, a tool run. Each run gets
// a fresh cancellation token and a generation number; its reports reach the owner on the main
// thread in the order they were made, and only while the run is the current one, so a late report
// of a replaced run is dropped. Destroying the helper (with its owner) cancels the run, waits for
// its worker to return and drops whatever it still reports: no work outlives its owner unseen.
// Work runs on the background runs' own thread pool, at a lower priority than the window, with
// copies of its inputs; the token is all it shares.
template <typename Owner> class BackgroundRun {
public:
    // `name` says which run a probe is looking at; it must outlive the helper (a literal).
    BackgroundRun(Owner *owner, std::string_view name) : m_owner(owner), m_channel(std::make_shared<RunChannel>(name))
    {
    }
    ~BackgroundRun()
    {
        // Closed before the worker is woken by the cancel, so nothing it reports from then on is
        // delivered.
        m_channel->close();
        cancel();
        m_channel->waitForWorkers();
    }
    BackgroundRun(const BackgroundRun &) = delete;
    BackgroundRun &operator=(const BackgroundRun &) = delete;

    // Replaces any earlier run, whose reports are dropped from now on, and starts `work` on the
    // background pool.
    void start(std::function<void(const RunContext<Owner> &)> work)
    {
        m_channel->startWorker([context = begin(), work = std::move(work)] { work(context); });
    }

    // Replaces any earlier run with one whose work the caller starts itself (a request that
    // answers later on the main thread) and returns its context.
    RunContext<Owner> begin()
    {
        abandon();
        const uint64_t generation = m_channel->beginGeneration();
        m_token = std::make_shared<CancellationToken>();
        return RunContext<Owner>(m_channel, generation, m_token, m_owner);
    }

    // Asks the current run to stop at its next poll; it still reports its own end.
    void cancel()
    {
        if (m_token) {
            m_token->cancel();
            RunProbe::wakeCancelled();
        }
    }

    // Cancels the current run and drops everything it reports from now on.
    void abandon()
    {
        // The generation moves on first: a worker woken by the cancel reports into the past.
        m_channel->beginGeneration();
        cancel();
        m_token.reset();
    }

    // Cancels the current run, waits until its worker has returned and delivers, now, every report
    // it made that is still waiting. For a run whose end must be recorded even when its owner goes
    // away: a cleanup finishes the folder in progress and its result is applied before this returns.
    void cancelAndDrain()
    {
        cancel();
        m_channel->waitForWorkers();
        m_channel->deliver(true);
    }

    // Whether a run was started and not yet cancelled or replaced.
    bool isActive() const { return m_token && !m_token->isCancelled(); }

private:
    Owner *m_owner;
    std::shared_ptr<RunChannel> m_channel;
    std::shared_ptr<CancellationToken> m_token;
};

} // namespace tarnwick
