#pragma once

#include "ui/WindowLayoutStore.h"

#include <QMainWindow>
#include <QPointer>

class QSplitter;

namespace tarnwick {

class ActionsMenu;
class AppState;
class DesktopShell;
class MainToolbar;
class ReviewView;
class SettingsWindow;
class SheetPresenter;
class SidebarView;
class DividerSplitter;

// The classic flow's window: the sidebar of settings and shortcuts beside the review pane.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Opens where it was last closed, or at a size that suits the screen; `layoutStore` is where
    // that is kept.
    MainWindow(AppState &state, DesktopShell &shell, WindowLayoutStore layoutStore = WindowLayoutStore(),
               QWidget *parent = nullptr);
    ~MainWindow() override;

    static constexpr QSize minimumWindowSize{1120, 720};

    SidebarView *sidebar() const { return m_sidebar; }
    ReviewView *review() const { return m_review; }
    MainToolbar *toolbar() const { return m_toolbar; }
    ActionsMenu *actionsMenu() const { return m_actionsMenu; }
    // Null until the settings were first opened.
    SettingsWindow *settingsWindow() const;

    void showSettings();
    SheetPresenter *sheets() const { return m_sheets; }
    QSplitter *sidebarSplitter() const;

private:
    void buildMenus();
    void applyDefaultGeometry();

    AppState &m_state;
    DesktopShell &m_shell;
    WindowLayoutStore m_layoutStore;
    DividerSplitter *m_splitter;
    SidebarView *m_sidebar;
    ReviewView *m_review;
    MainToolbar *m_toolbar;
    ActionsMenu *m_actionsMenu = nullptr;
    QPointer<SettingsWindow> m_settings;
    SheetPresenter *m_sheets;
};

}  // namespace tarnwick
