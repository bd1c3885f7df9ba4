#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QScrollArea;
class QToolButton;
class QVBoxLayout;

namespace tarnwick {

class AppState;
class CleanupSettingsSection;
class DesktopShell;
class DisclosureHeader;
class ExclusionRow;
class HistoryRow;
class RootRow;
class StatsSummaryView;
class SuperCleanSidebarCard;

// The left column: settings, folders, statistics and shortcuts, scrolling as one list. Each part
// refreshes only on the signals of the properties it shows. Apart from whether the folder list and
// the advanced settings are unfolded, it holds nothing of its own.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    SidebarView(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    bool rootsExpanded() const { return m_rootsExpanded; }
    bool advancedExpanded() const { return m_advancedExpanded; }
    void setRootsExpanded(bool expanded);
    void setAdvancedExpanded(bool expanded);

    QLabel *statusLabel() const { return m_status; }
    SuperCleanSidebarCard *superCleanCard() const { return m_superClean; }
    StatsSummaryView *stats() const { return m_stats; }
    CleanupSettingsSection *cleanupSettings() const { return m_cleanup; }
    const std::vector<RootRow *> &rootRows() const { return m_rootRows; }
    const std::vector<ExclusionRow *> &exclusionRows() const { return m_exclusionRows; }
    const std::vector<HistoryRow *> &historyRows() const { return m_historyRows; }
    QToolButton *chooseFolderButton() const { return m_chooseFolder; }
    QToolButton *standardFolderButton() const { return m_standardFolders; }
    const std::vector<QToolButton *> &maintenanceButtons() const { return m_maintenance; }
    QWidget *alwaysKeepSection() const { return m_alwaysKeep; }
    QWidget *recentSection() const { return m_recent; }
    QToolButton *gettingStartedButton() const { return m_gettingStarted; }
    QScrollArea *scrollArea() const { return m_scroll; }

signals:
    // "Analyze Developer Storage" was pressed.
    void superCleanRequested();

private:
    QWidget *buildHeader();
    QWidget *buildFolders();
    QWidget *buildMaintenance();
    void showStatus();
    void showRoots();
    void showExclusions();
    void showHistory();
    void refreshEnablement();

    AppState &m_state;
    DesktopShell &m_shell;
    bool m_rootsExpanded = true;
    bool m_advancedExpanded = false;

    QScrollArea *m_scroll;
    QLabel *m_status = nullptr;
    SuperCleanSidebarCard *m_superClean = nullptr;
    StatsSummaryView *m_stats = nullptr;
    DisclosureHeader *m_rootsHeader = nullptr;
    QWidget *m_rootsContent = nullptr;
    QVBoxLayout *m_rootList = nullptr;
    std::vector<RootRow *> m_rootRows;
    QToolButton *m_chooseFolder = nullptr;
    QToolButton *m_standardFolders = nullptr;
    CleanupSettingsSection *m_cleanup = nullptr;
    std::vector<QToolButton *> m_maintenance;
    QWidget *m_alwaysKeep = nullptr;
    QVBoxLayout *m_exclusionList = nullptr;
    std::vector<ExclusionRow *> m_exclusionRows;
    QWidget *m_recent = nullptr;
    QVBoxLayout *m_historyList = nullptr;
    std::vector<HistoryRow *> m_historyRows;
    QToolButton *m_gettingStarted = nullptr;
};

}  // namespace tarnwick
