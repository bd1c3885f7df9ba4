#include "ui/SuperCleanScopeStep.h"

#include "app/DesktopShell.h"
#include "app/SuperCleanCoordinator.h"
#include "ui/SuperCleanScopeGroupView.h"
#include "ui/SuperCleanStyle.h"
#include "ui/SymbolIcons.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

std::vector<std::vector<std::string>> locationIDs(const std::vector<SuperCleanScopeGroup> &groups)
{
    std::vector<std::vector<std::string>> ids;
    for (const auto &group : groups) {
        auto &groupIDs = ids.emplace_back();
        groupIDs.push_back(std::string(group.id()));
        for (const auto &root : group.roots) {
            groupIDs.push_back(root.id);
        }
    }
    return ids;
}

}  // namespace

SuperCleanScopeStep::SuperCleanScopeStep(SuperCleanCoordinator &coordinator, DesktopShell &shell, QWidget *parent)
    : QWidget(parent), m_coordinator(coordinator), m_shell(shell)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);

    auto *column = new QWidget(scroll);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(10);
    layout->addWidget(ui::makeLabel(QStringLiteral("Choose what to analyze"), ui::TextStyle::title, column));
    layout->addWidget(ui::makeParagraph(
        QStringLiteral("Super Clean only scans selected developer locations. It does not scan your whole computer, "
                       "iCloud Drive, Time Machine, network volumes, or unrelated Library folders."),
        ui::TextStyle::body, column, true));
    m_addFolder = new QPushButton(ui::symbolIcon("folder.badge.plus"), QStringLiteral("Add Project Folder"), column);
    m_addFolder->setAutoDefault(false);
    layout->addWidget(m_addFolder, 0, Qt::AlignLeft);
    m_groupsLayout = new QVBoxLayout;
    m_groupsLayout->setSpacing(10);
    layout->addLayout(m_groupsLayout);
    layout->addStretch();
    scroll->setWidget(column);

    connect(m_addFolder, &QPushButton::clicked, this, &SuperCleanScopeStep::addProjectFolders);
    connect(&coordinator, &SuperCleanCoordinator::scopeGroupsChanged, this, &SuperCleanScopeStep::refresh);
    connect(&coordinator, &SuperCleanCoordinator::phaseChanged, this, &SuperCleanScopeStep::refresh);
    refresh();
}

QString SuperCleanScopeStep::description(SuperCleanScopeKind kind)
{
    switch (kind) {
    case SuperCleanScopeKind::projectFolders:
        return QStringLiteral("Project roots you already use, plus common local project folders.");
    case SuperCleanScopeKind::xcodeAndSimulator:
        return QStringLiteral("Exact Xcode build, archive, device support, and simulator locations.");
    case SuperCleanScopeKind::packageCaches:
        return QStringLiteral("Known cache folders for npm, pnpm, Yarn, Homebrew, CocoaPods, Gradle, and SwiftPM.");
    case SuperCleanScopeKind::containers:
        return QStringLiteral("Docker and Colima locations are analysis-first and stay in Review or Advanced.");
    }
    return {};
}

void SuperCleanScopeStep::refresh()
{
    m_addFolder->setEnabled(!m_coordinator.isBusy());
    const auto &groups = m_coordinator.scopeGroups();
    auto ids = locationIDs(groups);
    if (ids == m_builtFor) {
        for (std::size_t index = 0; index < groups.size(); ++index) {
            m_groups[index]->showGroup(groups[index]);
        }
        return;
    }
    for (auto *view : m_groups) {
        view->hide();
        // Later: this may run inside a click on one of the view's own boxes.
        view->deleteLater();
    }
    m_groups.clear();
    for (const auto &group : groups) {
        auto *view = new SuperCleanScopeGroupView(m_coordinator, group, this);
        m_groupsLayout->addWidget(view);
        m_groups.push_back(view);
    }
    m_builtFor = std::move(ids);
}

void SuperCleanScopeStep::addProjectFolders()
{
    const auto folders = m_shell.chooseFolders();
    if (!folders.empty()) {
        m_coordinator.addManualRoots(folders);
    }
}

}  // namespace tarnwick
