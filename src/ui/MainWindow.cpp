#include "ui/MainWindow.h"

#include "app/AppState.h"
#include "ui/ActionsMenu.h"
#include "ui/MainToolbar.h"
#include "ui/ReviewView.h"
#include "ui/SettingsWindow.h"
#include "ui/SheetPresenter.h"
#include "ui/SidebarView.h"
#include "ui/SuperCleanPresenter.h"
#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QMenuBar>
#include <QSplitter>

namespace tarnwick {

MainWindow::MainWindow(AppState &state, DesktopShell &shell, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_shell(shell),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_sidebar(new SidebarView(state, shell, m_splitter)),
      m_review(new ReviewView(state, shell, m_splitter)),
      m_toolbar(new MainToolbar(state, shell, this)),
      m_sheets(new SheetPresenter(state, shell, this))
{
    setWindowTitle(QStringLiteral("Review"));
    setWindowIcon(ui::applicationIcon());
    setMinimumSize(1120, 720);
    setUnifiedTitleAndToolBarOnMac(true);
    m_sidebar->setMinimumWidth(280);
    m_sidebar->setMaximumWidth(380);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_review);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({320, 800});
    setCentralWidget(m_splitter);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    buildMenus();
    connect(m_sidebar, &SidebarView::superCleanRequested, this, [this] { m_state.startSuperClean(); });
    new SuperCleanPresenter(state, shell, this);
}

void MainWindow::buildMenus()
{
    QMenu *application = menuBar()->addMenu(QStringLiteral("Tarnwick"));
    QAction *settings = application->addAction(QStringLiteral("Settings..."), this, &MainWindow::showSettings);
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    application->addSeparator();
    QAction *quit = application->addAction(QStringLiteral("Quit Tarnwick"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    m_actionsMenu = new ActionsMenu(m_state, this);
    menuBar()->addMenu(m_actionsMenu);
}

SettingsWindow *MainWindow::settingsWindow() const
{
    return m_settings;
}

void MainWindow::showSettings()
{
    if (!m_settings) {
        m_settings = new SettingsWindow(m_state, this);
    }
    m_settings->show();
    m_settings->raise();
    m_settings->activateWindow();
}

}  // namespace tarnwick
