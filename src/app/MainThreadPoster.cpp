#include "app/MainThreadPoster.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <iterator>

namespace tarnwick {

MainThreadQueue::MainThreadQueue(QObject *target) : m_target(target), m_shared(std::make_shared<Shared>()) {}

void MainThreadQueue::post(Report report)
{
    bool schedule = false;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->pending.push_back(std::move(report));
        schedule = !m_shared->drainScheduled;
        m_shared->drainScheduled = true;
    }
    if (schedule) {
        // qApp lives for the whole program; the target is checked on the main thread only. The drain
        // waits a few milliseconds, so a fast worker wakes the main thread a hundred times a second
        // at most rather than once per report; a person sees no difference.
        QMetaObject::invokeMethod(
            qApp,
            [shared = m_shared, target = m_target] {
                QTimer::singleShot(kCoalescingMilliseconds, qApp, [shared, target] { drain(shared, target); });
            },
            Qt::QueuedConnection);
    }
}

void MainThreadQueue::drain(const std::shared_ptr<Shared> &shared, const QPointer<QObject> &target)
{
    std::vector<Report> reports;
    {
        const std::lock_guard lock(shared->mutex);
        reports.swap(shared->pending);
        shared->drainScheduled = false;
    }
    // Reports that piled up while the main thread was busy elsewhere are applied over several turns
    // of the event loop, so the window keeps answering; the rest go first at the next turn.
    const auto deadline = std::chrono::steady_clock::now() + kTurnBudget;
    std::size_t done = 0;
    while (done < reports.size()) {
        if (!target) {
            return;
        }
        reports[done++](*target);
        if (done < reports.size() && std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    if (done == reports.size()) {
        return;
    }
    bool schedule = false;
    {
        const std::lock_guard lock(shared->mutex);
        shared->pending.insert(shared->pending.begin(), std::make_move_iterator(reports.begin() + done),
                               std::make_move_iterator(reports.end()));
        schedule = !shared->drainScheduled;
        shared->drainScheduled = true;
    }
    if (schedule) {
        QTimer::singleShot(0, qApp, [shared, target] { drain(shared, target); });
    }
}

}  // namespace tarnwick
