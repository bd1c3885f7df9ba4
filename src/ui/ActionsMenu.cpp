#include "ui/ActionsMenu.h"

#include "app/AppState.h"
#include "app/PutBackController.h"
#include "ui/StateBindings.h"

namespace tarnwick {

ActionsMenu::ActionsMenu(AppState &state, QWidget *parent)
    : QMenu(QStringLiteral("Actions"), parent),
      m_state(state),
      m_scan(addAction(QStringLiteral("Scan"))),
      m_cancelScan(addAction(QStringLiteral("Cancel Scan"))),
      m_cancelCleanup(addAction(QStringLiteral("Cancel Cleanup"))),
      m_putBackLastCleanup(addAction(QStringLiteral("Put Back Last Cleanup"))),
      m_selectAll((addSeparator(), addAction(QStringLiteral("Select All Results")))),
      m_clearSelection(addAction(QStringLiteral("Clear Selection"))),
      m_checkForUpdates((addSeparator(), addAction(QStringLiteral("Check for Updates...")))),
      m_downloadLatest(addAction(QStringLiteral("Download Latest Version"))),
      m_clean((addSeparator(), addAction(QString())))
{
    m_scan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    // Ctrl+Backspace is the usual stand-in for Command-Delete; Ctrl+Delete is what a PC keyboard
    // user reaches for. A focused text field keeps both for deleting words.
    m_clean->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Backspace), QKeySequence(Qt::CTRL | Qt::Key_Delete)});

    connect(m_scan, &QAction::triggered, this, [this] { m_state.scan(); });
    connect(m_cancelScan, &QAction::triggered, this, [this] { m_state.cancelScan(); });
    connect(m_cancelCleanup, &QAction::triggered, this, [this] { m_state.cancelCleanup(); });
    connect(m_putBackLastCleanup, &QAction::triggered, this, [this] { m_state.putBackLastCleanup(); });
    // The Trash may have been emptied or restored from elsewhere since the menu was last shown.
    connect(this, &QMenu::aboutToShow, this, [this] { m_state.putBack().refresh(); });
    connect(&state.putBack(), &PutBackController::canPutBackLastCleanupChanged, this, &ActionsMenu::refresh);
    connect(m_selectAll, &QAction::triggered, this, [this] { m_state.selectAllCandidates(); });
    connect(m_clearSelection, &QAction::triggered, this, [this] { m_state.clearSelection(); });
    connect(m_checkForUpdates, &QAction::triggered, this, [this] { m_state.checkForUpdates(true); });
    connect(m_downloadLatest, &QAction::triggered, this, [this] { m_state.openLatestDownload(); });
    connect(m_clean, &QAction::triggered, this, [this] { m_state.requestDeleteConfirmation(); });

    ui::onBusyChanged(state, this, [this] { refresh(); });
    for (auto signal : {&AppState::candidatesChanged, &AppState::selectedCandidateIDsChanged,
                        &AppState::updateCheckStateChanged, &AppState::cleanupActionChanged}) {
        connect(&state, signal, this, &ActionsMenu::refresh);
    }
    refresh();
}

void ActionsMenu::refresh()
{
    const bool busy = ui::isBusy(m_state);
    const bool anySelected = !m_state.selectedCandidateIDs().empty();
    const UpdateCheckPhase phase = m_state.updateCheckState().phase;
    m_scan->setEnabled(!busy);
    m_cancelScan->setEnabled(m_state.isScanning());
    m_cancelCleanup->setEnabled(m_state.isDeleting());
    m_putBackLastCleanup->setEnabled(!busy && m_state.putBack().canPutBackLastCleanup());
    m_selectAll->setEnabled(!busy && !m_state.candidates().empty());
    m_clearSelection->setEnabled(!busy && anySelected);
    m_checkForUpdates->setEnabled(phase != UpdateCheckPhase::checking);
    m_downloadLatest->setVisible(phase == UpdateCheckPhase::updateAvailable);
    m_clean->setText(m_state.cleanupAction() == CleanupAction::deletePermanently
                         ? QStringLiteral("Delete Selected Permanently...")
                         : QStringLiteral("Move Selected to Trash..."));
    m_clean->setEnabled(!busy && anySelected);
}

}  // namespace tarnwick
