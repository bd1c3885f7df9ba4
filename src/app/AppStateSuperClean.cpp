// Where the application state and the guided cleanup meet: opening and closing its window, and the
// one event sent when a guided cleaning ends.

#include "app/AppState.h"
#include "app/SuperCleanCoordinator.h"
#include "core/AnalyticsBuckets.h"
#include "core/SuperCleanPrivacy.h"

#include <QPointer>

namespace tarnwick {

void AppState::startSuperClean()
{
    m_superCleanStartedAt = std::chrono::system_clock::now();
    m_superCleanCoordinator->prepare(m_settings.roots, m_settings.excludedPaths);
    m_superCleanCoordinator->setOnCompleted([self = QPointer<AppState>(this)](const SuperCleanCompletionReport &report) {
        if (self) {
            self->superCleanCompleted(report);
        }
    });
    setIsSuperCleanPresented(true);
    track(AnalyticsEvent::superCleanStarted,
          {{"root_count", AnalyticsBuckets::count(static_cast<int64_t>(m_settings.roots.size()))}});
}

void AppState::closeSuperClean()
{
    m_superCleanCoordinator->cancel();
    m_superCleanStartedAt.reset();
    setIsSuperCleanPresented(false);
}

void AppState::superCleanCompleted(const SuperCleanCompletionReport &report)
{
    // The coordinator calls this before the moved items leave its list, so every category the run
    // had in front of it counts.
    std::set<std::string> categories;
    for (const auto &item : m_superCleanCoordinator->items()) {
        categories.insert(item.candidate.category);
    }
    const auto now = std::chrono::system_clock::now();
    const double duration = std::chrono::duration<double>(now - m_superCleanStartedAt.value_or(now)).count();
    track(AnalyticsEvent::superCleanCompleted,
          SuperCleanPrivacy::analyticsProperties(report.movedCount + report.skippedCount + report.failedCount,
                                                 report.selectedBytes, static_cast<int64_t>(categories.size()),
                                                 report.failedCount, duration, {}, {}));
    m_superCleanStartedAt.reset();
}

}  // namespace tarnwick
