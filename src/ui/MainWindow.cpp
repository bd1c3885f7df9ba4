#include "ui/MainWindow.h"

#include "app/AppState.h"
#include "ui/ActionsMenu.h"
#include "ui/DividerSplitter.h"
#include "ui/MainToolbar.h"
#include "ui/ReviewView.h"
#include "ui/SettingsWindow.h"
#include "ui/SheetPresenter.h"
#include "ui/SidebarView.h"
#include "ui/SuperCleanPresenter.h"
#include "ui/SymbolIcons.h"
#include "ui/WheelGuard.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>

namespace tarnwick {

namespace {

// The sidebar's width when nothing else is asked for; it keeps it while the window grows or
// shrinks, down to its minimum.
constexpr int kSidebarWidth = 300;
constexpr int kSidebarMinimumWidth = 280;
constexpr int kSidebarMaximumWidth = 380;
constexpr int kInspectorWidth = 300;

}  // namespace

MainWindow::MainWindow(AppState &state, DesktopShell &shell, WindowLayoutStore layoutStore, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_shell(shell),
      m_layoutStore(std::move(layoutStore)),
      m_splitter(new DividerSplitter(Qt::Horizontal, this)),
      m_sidebar(new SidebarView(state, shell, m_splitter)),
      m_review(new ReviewView(state, shell, m_splitter)),
      m_toolbar(new MainToolbar(state, shell, this)),
      m_sheets(new SheetPresenter(state, shell, this))
{
    ui::WheelGuard::install();
    // The name the task bar and the window switcher show.
    setWindowTitle(QStringLiteral("Tarnwick"));
    setWindowIcon(ui::applicationIcon());
    setMinimumSize(minimumWindowSize);
    setUnifiedTitleAndToolBarOnMac(true);
    m_sidebar->setMinimumWidth(kSidebarMinimumWidth);
    m_sidebar->setMaximumWidth(kSidebarMaximumWidth);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_review);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    buildMenus();
    connect(m_sidebar, &SidebarView::superCleanRequested, this, [this] { m_state.startSuperClean(); });
    new SuperCleanPresenter(state, shell, this);
    if (!m_layoutStore.restore(*this, *m_splitter, *m_review->resultsSplitter())) {
        applyDefaultGeometry();
    }
}

MainWindow::~MainWindow()
{
    m_layoutStore.save(*this, *m_splitter, *m_review->resultsSplitter());
}

QSplitter *MainWindow::sidebarSplitter() const
{
    return m_splitter;
}

void MainWindow::applyDefaultGeometry()
{
    const QRect available = screen()->availableGeometry();
    const QSize size = WindowLayoutStore::defaultSize(available, minimumWindowSize);
    resize(size);
    move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    // Only the surplus over the two fixed columns goes to the list.
    m_splitter->setSizes({kSidebarWidth, size.width() - kSidebarWidth});
    m_review->resultsSplitter()->setSizes({size.width() - kSidebarWidth - kInspectorWidth, kInspectorWidth});
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
