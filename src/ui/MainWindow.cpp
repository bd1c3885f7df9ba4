#include "ui/MainWindow.h"

#include "app/AppState.h"
#include "ui/ReviewView.h"
#include "ui/SidebarView.h"

#include <QSplitter>

namespace tarnwick {

MainWindow::MainWindow(AppState &state, DesktopShell &shell, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_shell(shell),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_sidebar(new SidebarView(state, shell, m_splitter)),
      m_review(new ReviewView(state, shell, m_splitter))
{
    setWindowTitle(QStringLiteral("Review"));
    setMinimumSize(1120, 720);
    m_sidebar->setMinimumWidth(280);
    m_sidebar->setMaximumWidth(380);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_review);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({320, 800});
    setCentralWidget(m_splitter);
}

}  // namespace tarnwick
