#include "app/BackgroundRun.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>

namespace tarnwick {

namespace {

// Reports are gathered for this long before one queued call delivers them together, so a worker
// that reports a hundred thousand times wakes the main thread a hundred times a second at most.
constexpr int kGatheringMilliseconds = 10;

bool onMainThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

} // namespace

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
        probe.reset();
        probeInstalled.store(false, std::memory_order_release);
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
    const std::lock_guard lock(m_mutex);
    return m_generation;
}

uint64_t RunChannel::beginGeneration()
{
    const std::lock_guard lock(m_mutex);
    m_reports = 0;
    return ++m_generation;
}

void RunChannel::close()
{
    const std::lock_guard lock(m_mutex);
    m_open = false;
    m_pending.clear();
}

void RunChannel::workerStarted()
{
    const std::lock_guard lock(m_mutex);
    ++m_workers;
}

void RunChannel::workerFinished()
{
    const std::lock_guard lock(m_mutex);
    --m_workers;
    m_workersDone.notify_all();
}

void RunChannel::waitForWorkers()
{
    std::unique_lock lock(m_mutex);
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
            event.current = m_open && generation == m_generation;
        }
        hold = shared->holdAt && shared->holdAt(event) && !onMainThread();
    }

    bool schedule = false;
    {
        const std::lock_guard lock(m_mutex);
        ++m_reports;
        if (!m_open) {
            return;
        }
        Entry entry{generation, progress, std::move(deliver)};
        if (progress && !m_pending.empty() && m_pending.back().progress && m_pending.back().generation == generation) {
            m_pending.back() = std::move(entry);
        } else {
            m_pending.push_back(std::move(entry));
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

void RunChannel::deliver()
{
    std::vector<Entry> batch;
    {
        const std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
        m_deliveryScheduled = false;
    }
    // The generation and the open flag change only on this thread, also while a delivery below
    // starts a new run or destroys the owner; each report is checked right before it is applied.
    for (auto &entry : batch) {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_open) {
                return;
            }
            if (entry.generation != m_generation) {
                continue;
            }
        }
        entry.deliver();
    }
}

void startOnGlobalPool(std::function<void()> task)
{
    QThreadPool::globalInstance()->start(std::move(task));
}

} // namespace tarnwick
