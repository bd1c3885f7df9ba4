#include "app/MainThreadPoster.h"

#include "app/AppState.h"

#include <QCoreApplication>
#include <QTimer>

namespace tarnwick {

MainThreadPoster::MainThreadPoster(AppState *state) : m_state(state), m_shared(std::make_shared<Shared>()) {}

void MainThreadPoster::post(Report report)
{
    bool schedule = false;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->pending.push_back(std::move(report));
        schedule = !m_shared->drainScheduled;
        m_shared->drainScheduled = true;
    }
    if (schedule) {
        // qApp lives for the whole program; the state is checked on the main thread only. The drain
        // waits a few milliseconds, so a fast worker wakes the main thread a hundred times a second
        // at most rather than once per report; a person sees no difference.
        QMetaObject::invokeMethod(
            qApp,
            [shared = m_shared, state = m_state] {
                QTimer::singleShot(kCoalescingMilliseconds, qApp, [shared, state] { drain(shared, state); });
            },
            Qt::QueuedConnection);
    }
}

void MainThreadPoster::drain(const std::shared_ptr<Shared> &shared, const QPointer<AppState> &state)
{
    std::vector<Report> reports;
    {
        const std::lock_guard lock(shared->mutex);
        reports.swap(shared->pending);
        shared->drainScheduled = false;
    }
    for (auto &report : reports) {
        if (!state) {
            return;
        }
        report(*state);
    }
}

}  // namespace tarnwick
