#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace tarnwick {

class AppState;
class DesktopShell;
class SuperCleanWindow;

// Shows the guided cleanup's window over `parentWindow` while the application state presents it,
// and takes it away when it no longer does. Each opening gets a new window, so nothing of an
// earlier session's view survives into the next.
class SuperCleanPresenter : public QObject {
    Q_OBJECT
public:
    SuperCleanPresenter(AppState &state, DesktopShell &shell, QWidget *parentWindow);

    // The window while it is presented, else null.
    SuperCleanWindow *window() const;

private:
    void sync();

    AppState &m_state;
    DesktopShell &m_shell;
    QWidget *m_parentWindow;
    QPointer<SuperCleanWindow> m_window;
};

}  // namespace tarnwick
