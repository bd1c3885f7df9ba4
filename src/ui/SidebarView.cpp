#include "ui/SidebarView.h"

#include "app/AppState.h"

#include <QVBoxLayout>

namespace tarnwick {

SidebarView::SidebarView(AppState &state, DesktopShell &shell, QWidget *parent) : QWidget(parent), m_state(state), m_shell(shell)
{
    new QVBoxLayout(this);
}

}  // namespace tarnwick
