#pragma once

#include "core/SuperCleanTier.h"
#include "ui/SuperCleanCard.h"

#include <optional>

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
// cleaning it would mean, and the actions Reveal, Copy Path and Always Keep. Beside the list of one
// tier it shows the focused item only when it belongs to that tier: an item that is not in view
// must not look like part of it.
class SuperCleanInspector : public SuperCleanCard {
    Q_OBJECT
public:
    SuperCleanInspector(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    void setTierInView(std::optional<SuperCleanTier> tier);
    // The item shown, if any.
    std::optional<std::string> shownItemID() const { return m_shownID; }

private:
    void refresh();
    void revealFocused();
    void copyFocusedPath();
    void keepFocused();

    AppState &m_state;
    DesktopShell &m_shell;
    SuperCleanCoordinator &m_coordinator;
    std::optional<SuperCleanTier> m_tierInView;
    std::optional<std::string> m_shownID;
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
