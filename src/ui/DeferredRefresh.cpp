#include "ui/DeferredRefresh.h"

namespace tarnwick {

DeferredRefresh::DeferredRefresh(QObject *owner, std::function<void()> refresh)
    : QObject(owner), m_refresh(std::move(refresh))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_refresh(); });
}

void DeferredRefresh::schedule()
{
    if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void DeferredRefresh::now()
{
    m_timer.stop();
    m_refresh();
}

}  // namespace tarnwick
