#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tarnwick {

// Carries a worker's reports to a controller on the main thread, in the order they were made, every
// one of them. Reports are gathered for a few milliseconds and delivered together by one queued call
// instead of one each, which keeps a scan with a hundred thousand live results from flooding the
// event loop; a pile of them is spread over several turns of the loop. A report that arrives after
// the controller is gone is dropped.
class MainThreadQueue {
public:
    using Report = std::function<void(QObject &)>;

    explicit MainThreadQueue(QObject *target);

    // Any thread.
    void post(Report report);

private:
    struct Shared {
        std::mutex mutex;
        std::vector<Report> pending;
        bool drainScheduled = false;
    };
    static void drain(const std::shared_ptr<Shared> &shared, const QPointer<QObject> &target);

    static constexpr int kCoalescingMilliseconds = 10;
    // The longest one drain keeps the main thread before it lets the event loop run.
    static constexpr std::chrono::milliseconds kTurnBudget{40};

    QPointer<QObject> m_target;
    std::shared_ptr<Shared> m_shared;
};

// The queue for one kind of controller: its reports receive the controller itself.
template <typename Target>
class MainThreadPoster {
public:
    using Report = std::function<void(Target &)>;

    explicit MainThreadPoster(Target *target) : m_queue(target) {}

    // Any thread.
    void post(Report report)
    {
        m_queue.post([report = std::move(report)](QObject &target) { report(static_cast<Target &>(target)); });
    }

private:
    MainThreadQueue m_queue;
};

}  // namespace tarnwick
