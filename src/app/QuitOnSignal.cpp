#include "app/QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end is all a handler may touch: one write() is async-signal-safe, a Qt call is not.
int pipeEnds[2] = {-1, -1};

void onSignal(int number)
{
    std::signal(number, SIG_DFL);  // the next one is not asked twice
    const char byte = static_cast<char>(number);
    (void)!::write(pipeEnds[1], &byte, 1);
}

}  // namespace

QuitOnSignal::QuitOnSignal(QObject *parent) : QObject(parent)
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [] {
        char byte = 0;
        while (::read(pipeEnds[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });
    for (const int number : kSignals) {
        std::signal(number, onSignal);
    }
}

QuitOnSignal::~QuitOnSignal()
{
    if (m_notifier == nullptr) {
        return;
    }
    for (const int number : kSignals) {
        std::signal(number, SIG_DFL);
    }
    delete m_notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

}  // namespace tarnwick
