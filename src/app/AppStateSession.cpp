// The setters of the application state's session properties. Each stores the value and announces
// the change; those that feed the review list also drop its cached form.

#include "app/AppState.h"
#include "core/SaturatingAdd.h"

#include <limits>

namespace tarnwick {

void AppState::setCandidates(std::vector<CleanupCandidate> candidates)
{
    m_candidates = std::move(candidates);
    m_candidateSortKeysValid = false;
    m_candidatesOrder.reset();
    m_candidateIndex.clear();
    m_candidateIndex.reserve(m_candidates.size());
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        m_candidateIndex.emplace(m_candidates[i].id, i);
    }
    m_selectionTotals.reset();
    invalidateDisplayedCandidates();
    emit candidatesChanged();
}

void AppState::setSelectedCandidateIDs(std::set<std::string> ids, std::optional<SelectionTotals> knownTotals)
{
    if (m_selectedCandidateIDs == ids) {
        return;
    }
    m_selectedCandidateIDs = std::move(ids);
    m_selectionEditedWhileScanning = m_selectionEditedWhileScanning || m_isScanning;
    m_selectionTotals = knownTotals;
    if (m_reviewFilter != ReviewFilter::all) {
        invalidateDisplayedCandidates();
    }
    emit selectedCandidateIDsChanged();
}

void AppState::selectionEdited(std::optional<SelectionTotals> totalsDelta)
{
    if (m_selectionTotals && totalsDelta) {
        m_selectionTotals->count = saturatingAdd(m_selectionTotals->count, totalsDelta->count);
        m_selectionTotals->bytes = saturatingAdd(m_selectionTotals->bytes, totalsDelta->bytes);
        // A total held at a limit no longer undoes exactly when the same folder is unselected again;
        // the next read counts afresh.
        if (m_selectionTotals->bytes == std::numeric_limits<int64_t>::max() ||
            m_selectionTotals->bytes == std::numeric_limits<int64_t>::min()) {
            m_selectionTotals.reset();
        }
    } else {
        m_selectionTotals.reset();
    }
    if (m_reviewFilter != ReviewFilter::all) {
        invalidateDisplayedCandidates();
    }
    emit selectedCandidateIDsChanged();
}

void AppState::setScanProgress(ScanProgress progress)
{
    if (m_scanProgress == progress) {
        return;
    }
    m_scanProgress = std::move(progress);
    emit scanProgressChanged();
}

void AppState::setDeleteProgress(DeleteProgress progress)
{
    if (m_deleteProgress == progress) {
        return;
    }
    m_deleteProgress = std::move(progress);
    emit deleteProgressChanged();
}

void AppState::setFailures(std::vector<CleanupFailure> failures)
{
    if (m_failures == failures) {
        return;
    }
    m_failures = std::move(failures);
    emit failuresChanged();
}

void AppState::setIsScanning(bool scanning)
{
    if (m_isScanning == scanning) {
        return;
    }
    m_isScanning = scanning;
    invalidateDisplayedCandidates();  // the list is unsorted while scanning
    emit isScanningChanged();
}

void AppState::setIsDeleting(bool deleting)
{
    if (m_isDeleting == deleting) {
        return;
    }
    m_isDeleting = deleting;
    emit isDeletingChanged();
}

void AppState::setCleanupSummary(std::optional<CleanupSummary> summary)
{
    m_cleanupSummary = std::move(summary);
    emit cleanupSummaryChanged();
}

void AppState::setStandardFolderNotice(std::optional<StandardFolderNotice> notice)
{
    m_standardFolderNotice = std::move(notice);
    emit standardFolderNoticeChanged();
}

void AppState::setMaintenanceReport(std::optional<MaintenanceReport> report)
{
    m_maintenanceReport = std::move(report);
    emit maintenanceReportChanged();
}

void AppState::setIsRunningMaintenance(bool running)
{
    if (m_isRunningMaintenance == running) {
        return;
    }
    m_isRunningMaintenance = running;
    emit isRunningMaintenanceChanged();
}

void AppState::setIsOnboardingPresented(bool presented)
{
    if (m_isOnboardingPresented == presented) {
        return;
    }
    m_isOnboardingPresented = presented;
    emit isOnboardingPresentedChanged();
}

void AppState::setIsSuperCleanPresented(bool presented)
{
    if (m_isSuperCleanPresented == presented) {
        return;
    }
    m_isSuperCleanPresented = presented;
    emit isSuperCleanPresentedChanged();
}

void AppState::setReadyStatus()
{
    setStatusMessage(m_roots.empty() ? "Choose a folder to scan." : "Ready to scan.");
}

}  // namespace tarnwick
