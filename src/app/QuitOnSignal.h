#pragma once

#include <QObject>

class QSocketNotifier;

namespace tarnwick {

// Turns SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl-C in the terminal that started the
// application, the terminal closing) into an ordinary quit of the event loop, so the application
// winds down as when its window closes: a cleanup finishes its folder and is recorded, the
// preferences are flushed. A second such signal ends the process the system's way, so a copy that
// is stuck can still be stopped.
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    QSocketNotifier *m_notifier = nullptr;
};

}  // namespace tarnwick
