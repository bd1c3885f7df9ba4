#pragma once

#include <QWidget>

namespace tarnwick {

class AppState;
class DesktopShell;

// The left column: settings, folders, statistics and shortcuts.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    SidebarView(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

private:
    AppState &m_state;
    DesktopShell &m_shell;
};

}  // namespace tarnwick
