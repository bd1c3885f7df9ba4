#include "ui/RelativeDateClock.h"

#include <QCoreApplication>
#include <QPointer>

namespace tarnwick::ui {

namespace {

// The finest unit the texts name is the second, but nobody reads a list that closely: twice a
// minute keeps "30 seconds ago" and "2 minutes ago" honest at no cost.
constexpr std::chrono::milliseconds kBeat{30'000};

}  // namespace

RelativeDateClock::RelativeDateClock(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &RelativeDateClock::ticked);
    m_timer.start(kBeat);
}

RelativeDateClock &RelativeDateClock::shared()
{
    static QPointer<RelativeDateClock> clock;
    if (!clock) {
        clock = new RelativeDateClock(QCoreApplication::instance());
    }
    return *clock;
}

Timestamp RelativeDateClock::now() const
{
    return std::chrono::system_clock::now() + m_offset;
}

void RelativeDateClock::advance(std::chrono::seconds by)
{
    m_offset += by;
    emit ticked();
}

}  // namespace tarnwick::ui
