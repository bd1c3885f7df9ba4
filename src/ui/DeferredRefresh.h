#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace tarnwick {

// Runs a view's refresh once after a burst of state changes rather than once per change: a scan
// announces every live result, and the end of a run announces half a dozen properties together,
// while the view only needs to draw the final state.
class DeferredRefresh : public QObject {
    Q_OBJECT
public:
    DeferredRefresh(QObject *owner, std::function<void()> refresh);

    // At the next turn of the event loop; several calls before then give one refresh.
    void schedule();
    // At once, dropping a scheduled one.
    void now();

    // Schedules a refresh whenever one of the sender's signals fires.
    template <typename Sender, typename... Signal>
    void watch(const Sender *sender, Signal... changed)
    {
        (connect(sender, changed, this, &DeferredRefresh::schedule), ...);
    }

private:
    std::function<void()> m_refresh;
    QTimer m_timer;
};

}  // namespace tarnwick
