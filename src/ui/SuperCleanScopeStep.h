#pragma once

#include "core/SuperCleanScopeKind.h"

#include <QWidget>

#include <string>
#include <vector>

class QPushButton;
class QVBoxLayout;

namespace tarnwick {

class DesktopShell;
class SuperCleanCoordinator;
class SuperCleanScopeGroupView;

// The first step: which locations to analyze. One card per group of locations, each location with
// its box; absent ones are listed but can never be analyzed. "Add Project Folder" adds folders the
// user picks to the project group.
class SuperCleanScopeStep : public QWidget {
    Q_OBJECT
public:
    SuperCleanScopeStep(SuperCleanCoordinator &coordinator, DesktopShell &shell, QWidget *parent = nullptr);

    // The group descriptions shown under each title.
    static QString description(SuperCleanScopeKind kind);

private:
    void refresh();
    void addProjectFolders();

    SuperCleanCoordinator &m_coordinator;
    DesktopShell &m_shell;
    QPushButton *m_addFolder;
    QVBoxLayout *m_groupsLayout;
    std::vector<SuperCleanScopeGroupView *> m_groups;
    // Which locations the cards were built for; when only their state changes, the cards are updated
    // in place, so a box keeps the keyboard focus it was just clicked with.
    std::vector<std::vector<std::string>> m_builtFor;
};

}  // namespace tarnwick
