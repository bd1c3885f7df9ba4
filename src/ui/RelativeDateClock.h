#pragma once

#include "engine/CleanupCandidate.h"

#include <QObject>
#include <QTimer>
#include <chrono>

namespace tarnwick::ui {

// The present that the windows' relative dates are told against, and a beat that tells the views
// showing them to redraw: "2 minutes ago" must not still say so an hour later just because
// nothing else changed. One clock for every view, so they all move together.
class RelativeDateClock : public QObject {
    Q_OBJECT
public:
    // Made on first use and owned by the application object.
    static RelativeDateClock &shared();

    Timestamp now() const;
    // Moves this clock's present forward and ticks at once, so a test can look at what the
    // windows say later without waiting for it.
    void advance(std::chrono::seconds by);

signals:
    void ticked();

private:
    explicit RelativeDateClock(QObject *parent);

    QTimer m_timer;
    std::chrono::seconds m_offset{0};
};

}  // namespace tarnwick::ui
