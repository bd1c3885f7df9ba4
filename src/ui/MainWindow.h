#pragma once

#include <QMainWindow>

class QSplitter;

namespace tarnwick {

class AppState;
class DesktopShell;
class ReviewView;
class SidebarView;

// The classic flow's window: the sidebar of settings and shortcuts beside the review pane.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    SidebarView *sidebar() const { return m_sidebar; }
    ReviewView *review() const { return m_review; }

private:
    AppState &m_state;
    DesktopShell &m_shell;
    QSplitter *m_splitter;
    SidebarView *m_sidebar;
    ReviewView *m_review;
};

}  // namespace tarnwick
