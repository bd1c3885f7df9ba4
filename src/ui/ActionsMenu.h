#pragma once

#include <QMenu>

class QAction;

namespace tarnwick {

class AppState;

// The "Actions" menu: the main window's commands with their shortcuts, and the update commands.
class ActionsMenu : public QMenu {
    Q_OBJECT
public:
    explicit ActionsMenu(AppState &state, QWidget *parent = nullptr);

    QAction *scanAction() const { return m_scan; }
    QAction *cancelScanAction() const { return m_cancelScan; }
    QAction *cancelCleanupAction() const { return m_cancelCleanup; }
    QAction *putBackLastCleanupAction() const { return m_putBackLastCleanup; }
    QAction *selectAllAction() const { return m_selectAll; }
    QAction *clearSelectionAction() const { return m_clearSelection; }
    QAction *checkForUpdatesAction() const { return m_checkForUpdates; }
    QAction *downloadLatestAction() const { return m_downloadLatest; }
    QAction *cleanAction() const { return m_clean; }

private:
    void refresh();

    AppState &m_state;
    QAction *m_scan;
    QAction *m_cancelScan;
    QAction *m_cancelCleanup;
    QAction *m_putBackLastCleanup;
    QAction *m_selectAll;
    QAction *m_clearSelection;
    QAction *m_checkForUpdates;
    QAction *m_downloadLatest;
    QAction *m_clean;
};

}  // namespace tarnwick
