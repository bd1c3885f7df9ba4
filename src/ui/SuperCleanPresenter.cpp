#include "ui/SuperCleanPresenter.h"

#include "app/AppState.h"
#include "ui/SuperCleanWindow.h"

namespace tarnwick {

SuperCleanPresenter::SuperCleanPresenter(AppState &state, DesktopShell &shell, QWidget *parentWindow)
    : QObject(parentWindow), m_state(state), m_shell(shell), m_parentWindow(parentWindow)
{
    connect(&state, &AppState::isSuperCleanPresentedChanged, this, &SuperCleanPresenter::sync);
    sync();
}

SuperCleanWindow *SuperCleanPresenter::window() const
{
    return m_window;
}

void SuperCleanPresenter::sync()
{
    if (m_state.isSuperCleanPresented() && !m_window) {
        m_window = new SuperCleanWindow(m_state, m_shell, m_parentWindow);
        m_window->open();
    } else if (!m_state.isSuperCleanPresented() && m_window) {
        m_window->hide();
        // Later: closing starts inside one of the window's own handlers.
        m_window->deleteLater();
        m_window = nullptr;
    }
}

}  // namespace tarnwick
