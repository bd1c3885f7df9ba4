#include "app/BackgroundRun.h"
#include "platform/ThreadPriority.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <iterator>
#include <utility>

namespace tarnwick {

namespace {

// Reports are gathered for this long before one queued call delivers them together, so a worker
// that reports a hundred thousand times wakes the main thread a hundred times a second at most.
constexpr int kGatheringMilliseconds = 10;
// The longest one delivery keeps the main thread before it lets the event loop run.
constexpr std::chrono::milliseconds kTurnBudget{40};

bool onMainThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

} // namespace

QThreadPool &backgroundRunPool()
{
    static QThreadPool pool;
    return pool;
}

void startInBackgroundRunPool(std::function<void()> task)
{
    backgroundRunPool().start([task = std::move(task)] {
        lowerThreadPriority();
        task();
    });
}

struct RunProbe::Shared {
    HoldAt holdAt;
    std::mutex mutex;
    std::condition_variable wake;
    int holding = 0;
    int holds = 0;
    uint64_t releases = 0;
    bool closed = false;
};

namespace {

std::mutex probeMutex;
std::shared_ptr<RunProbe::Shared> probe;
std::atomic<bool> probeInstalled{false};

} // namespace

RunProbe::RunProbe(HoldAt holdAt) : m_shared(std::make_shared<Shared>())
{
    m_shared->holdAt = std::move(holdAt);
    const std::lock_guard lock(probeMutex);
    probe = m_shared;
    probeInstalled.store(true, std::memory_order_release);
}

RunProbe::~RunProbe()
{
    {
        const std::lock_guard lock(probeMutex);
        // A probe made to replace this one is installed before this one goes.
        if (probe == m_shared) {
            probe.reset();
            probeInstalled.store(false, std::memory_order_release);
        }
    }
    const std::lock_guard lock(m_shared->mutex);
    m_shared->closed = true;
    m_shared->wake.notify_all();
}

bool RunProbe::isHolding() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->holding > 0;
}

int RunProbe::holds() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->holds;
}

void RunProbe::release()
{
    const std::lock_guard lock(m_shared->mutex);
    ++m_shared->releases;
    m_shared->wake.notify_all();
}

std::shared_ptr<RunProbe::Shared> RunProbe::installed()
{
    if (!probeInstalled.load(std::memory_order_acquire)) {
        return nullptr;
    }
    const std::lock_guard lock(probeMutex);
    return probe;
}

void RunProbe::wakeCancelled()
{
    if (const auto shared = installed()) {
        // Under the probe's lock, so a worker that has just checked its token cannot miss this.
        const std::lock_guard lock(shared->mutex);
        shared->wake.notify_all();
    }
}

uint64_t RunChannel::currentGeneration() const
{
    return m_generation.load(std::memory_order_relaxed);
}

uint64_t RunChannel::beginGeneration()
{
    const std::lock_guard lock(m_mutex);
    m_reports = 0;
    const uint64_t generation = m_generation.load(std::memory_order_relaxed) + 1;
    m_generation.store(generation, std::memory_order_relaxed);
    return generation;
}

void RunChannel::close()
{
    // Freed after the lock is released, like a report replaced in post().
    std::vector<Entry> dropped;
    {
        const std::lock_guard lock(m_mutex);
        m_open.store(false, std::memory_order_relaxed);
        dropped.swap(m_pending);
        m_waitingProgress.reset();
    }
}

void RunChannel::startWorker(std::function<void()> work)
{
    const std::lock_guard lock(m_mutex);
    const uint64_t ticket = m_nextTicket++;
    QRunnable *runnable = QRunnable::create([self = shared_from_this(), ticket, work = std::move(work)] {
        {
            const std::lock_guard begun(self->m_mutex);
            std::erase_if(self->m_queued, [ticket](const auto &queued) { return queued.first == ticket; });
        }
        struct Finished {
            RunChannel &channel;
            ~Finished() { channel.workerFinished(); }
        } finished{*self};
        lowerThreadPriority();
        work();
    });
    ++m_workers;
    m_queued.emplace_back(ticket, runnable);
    backgroundRunPool().start(runnable);
}

void RunChannel::workerFinished()
{
    const std::lock_guard lock(m_mutex);
    --m_workers;
    m_workersDone.notify_all();
}

void RunChannel::waitForWorkers()
{
    std::vector<QRunnable *> taken;
    std::unique_lock lock(m_mutex);
    // A queued worker cannot begin while the lock is held, so each pointer here is still alive.
    for (const auto &[ticket, runnable] : m_queued) {
        if (backgroundRunPool().tryTake(runnable)) {
            taken.push_back(runnable);
            --m_workers;
        }
    }
    m_queued.clear();
    lock.unlock();
    for (QRunnable *runnable : taken) {
        delete runnable;
    }
    lock.lock();
    m_workersDone.wait(lock, [this] { return m_workers == 0; });
}

void RunChannel::post(uint64_t generation, bool progress, const std::type_info &type, const void *value,
                      std::function<void()> deliver, const CancellationToken &token)
{
    const auto shared = RunProbe::installed();
    bool hold = false;
    if (shared) {
        RunEvent event;
        event.run = m_name;
        event.type = &type;
        event.value = value;
        {
            const std::lock_guard lock(m_mutex);
            event.index = m_reports;
            event.current = m_open.load(std::memory_order_relaxed) && generation == currentGeneration();
        }
        hold = shared->holdAt && shared->holdAt(event) && !onMainThread();
    }

    bool schedule = false;
    // A report dropped or replaced here is destroyed after the lock is released: destroying a
    // closure frees what it carries, and the main thread should not wait for that.
    std::function<void()> replaced;
    {
        const std::lock_guard lock(m_mutex);
        ++m_reports;
        if (!m_open.load(std::memory_order_relaxed)) {
            return;
        }
        // A newer progress report makes the waiting one pointless. It takes the waiting one's place
        // when nothing was reported since; otherwise it goes at the end, so that it still comes
        // after every result made before it.
        bool tookItsPlace = false;
        if (progress && m_waitingProgress && m_pending[*m_waitingProgress].generation == generation) {
            Entry &waiting = m_pending[*m_waitingProgress];
            replaced = std::exchange(waiting.deliver, nullptr);
            if (*m_waitingProgress + 1 == m_pending.size()) {
                waiting.deliver = std::move(deliver);
                tookItsPlace = true;
            }
        }
        if (!tookItsPlace) {
            if (progress) {
                m_waitingProgress = m_pending.size();
            }
            m_pending.push_back(Entry{generation, std::move(deliver)});
        }
        schedule = !m_deliveryScheduled;
        m_deliveryScheduled = true;
    }
    if (schedule) {
        scheduleDelivery();
    }

    if (hold) {
        std::unique_lock lock(shared->mutex);
        const uint64_t heldAt = shared->releases;
        ++shared->holding;
        ++shared->holds;
        shared->wake.wait(lock, [&] { return shared->closed || shared->releases > heldAt || token.isCancelled(); });
        --shared->holding;
    }
}

void RunChannel::scheduleDelivery()
{
    // The application object lives for the whole program, unlike the owner, so the queued call
    // can always be made; the channel decides on the main thread whether anyone still listens.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self = shared_from_this()] {
            QTimer::singleShot(kGatheringMilliseconds, QCoreApplication::instance(), [self] { self->deliver(); });
        },
        Qt::QueuedConnection);
}

void RunChannel::deliver(bool everything)
{
    std::vector<Entry> batch;
    {
        const std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
        m_deliveryScheduled = false;
        m_waitingProgress.reset();
    }
    const auto deadline = std::chrono::steady_clock::now() + kTurnBudget;
    std::size_t done = 0;
    // The generation and the open flag change only on this thread, also while a delivery below
    // starts a new run or destroys the owner; each report is checked right before it is applied.
    while (done < batch.size()) {
        if (!m_open.load(std::memory_order_relaxed)) {
            return;
        }
        Entry &entry = batch[done++];
        if (entry.deliver && entry.generation == currentGeneration()) {
            entry.deliver();
        }
        if (!everything && done < batch.size() && std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    if (done == batch.size()) {
        return;
    }
    // The rest go first at the next turn, without the gathering delay: they have waited already.
    bool schedule = false;
    {
        const std::lock_guard lock(m_mutex);
        m_pending.insert(m_pending.begin(), std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(done)),
                         std::make_move_iterator(batch.end()));
        if (m_waitingProgress) {
            *m_waitingProgress += batch.size() - done;
        }
        schedule = !m_deliveryScheduled;
        m_deliveryScheduled = true;
    }
    if (schedule) {
        QTimer::singleShot(0, QCoreApplication::instance(), [self = shared_from_this()] { self->deliver(); });
    }
}

} // namespace tarnwick
