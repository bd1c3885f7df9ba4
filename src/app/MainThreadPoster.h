#pragma once

#include <QPointer>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tarnwick {

class AppState;

// Carries a worker's reports to the application state on the main thread, in the order they were
// made, every one of them. Reports are gathered for a few milliseconds and delivered together by one
// queued call instead of one each, which keeps a scan with a hundred thousand live results from
// flooding the event loop. A report that arrives after the state is gone is dropped.
class MainThreadPoster {
public:
    using Report = std::function<void(AppState &)>;

    explicit MainThreadPoster(AppState *state);

    // Any thread.
    void post(Report report);

private:
    struct Shared {
        std::mutex mutex;
        std::vector<Report> pending;
        bool drainScheduled = false;
    };
    static void drain(const std::shared_ptr<Shared> &shared, const QPointer<AppState> &state);

    static constexpr int kCoalescingMilliseconds = 10;

    QPointer<AppState> m_state;
    std::shared_ptr<Shared> m_shared;
};

}  // namespace tarnwick
