#pragma once

#include "ui/SuperCleanCard.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace tarnwick {

class AppState;
class DesktopShell;
class SuperCleanCoordinator;
class SuperCleanTierBadge;

// The focused item in full: its name, size and tier, every reason in the policy's order, what
// cleaning it would mean, and the actions Reveal, Copy Path and Always Keep.
class SuperCleanInspector : public SuperCleanCard {
    Q_OBJECT
public:
    SuperCleanInspector(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

private:
    void refresh();
    void revealFocused();
    void copyFocusedPath();
    void keepFocused();

    AppState &m_state;
    DesktopShell &m_shell;
    SuperCleanCoordinator &m_coordinator;
    QStackedWidget *m_pages;
    QLabel *m_name;
    QLabel *m_size;
    SuperCleanTierBadge *m_badge;
    QWidget *m_reasons;
    QVBoxLayout *m_reasonsLayout;
    QLabel *m_consequence;
    QPushButton *m_keep;
};

}  // namespace tarnwick
