// The setters of the application state's session properties. Each stores the value and announces
// the change.

#include "app/AppState.h"

namespace tarnwick {

void AppState::announce(const ReviewChanges &changes)
{
    if (changes.candidates) {
        emit candidatesChanged();
    }
    if (changes.selection) {
        emit selectedCandidateIDsChanged();
    }
    if (changes.focus) {
        emit focusedCandidateIDChanged();
    }
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
    m_review.setScanning(scanning);
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
    setStatusMessage(m_settings.roots.empty() ? "Choose a folder to scan." : "Ready to scan.");
}

}  // namespace tarnwick
