#include "ui/SheetPresenter.h"

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "ui/CleanupSummarySheet.h"
#include "ui/DeleteConfirmationSheet.h"
#include "ui/MaintenanceReportSheet.h"
#include "ui/OnboardingSheet.h"
#include "ui/StateBindings.h"

#include <QTimer>

namespace tarnwick {

SheetPresenter::SheetPresenter(AppState &state, DesktopShell &shell, QWidget *window)
    : QObject(window), m_state(state), m_shell(shell), m_window(window)
{
    connect(&state, &AppState::isOnboardingPresentedChanged, this, &SheetPresenter::syncOnboarding);
    connect(&state, &AppState::isDeleteConfirmationPresentedChanged, this, &SheetPresenter::syncDeleteConfirmation);
    connect(&state, &AppState::cleanupSummaryChanged, this, &SheetPresenter::syncCleanupSummary);
    connect(&state, &AppState::maintenanceReportChanged, this, &SheetPresenter::syncMaintenanceReport);
    connect(&state, &AppState::standardFolderNoticeChanged, this, &SheetPresenter::syncStandardFolderAlert);
    // A sheet asked for before the window exists opens with it.
    QTimer::singleShot(0, this, [this] {
        syncOnboarding();
        syncDeleteConfirmation();
        syncCleanupSummary();
        syncMaintenanceReport();
        syncStandardFolderAlert();
    });
}

void SheetPresenter::present(QDialog *dialog, std::function<void(int)> finished)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, std::move(finished));
    dialog->open();  // window-modal over the main window
}

void SheetPresenter::closeQuietly(QDialog *dialog)
{
    if (dialog != nullptr) {
        disconnect(dialog, &QDialog::finished, this, nullptr);
        dialog->done(QDialog::Rejected);
    }
}

void SheetPresenter::chooseFolders()
{
    // After the sheet has gone, so the chooser opens over the window rather than over the sheet.
    QTimer::singleShot(0, this, [this] { ui::chooseFoldersToScan(m_state, m_shell); });
}

void SheetPresenter::syncOnboarding()
{
    if (!m_state.isOnboardingPresented()) {
        closeQuietly(m_onboarding);
        return;
    }
    if (m_onboarding) {
        return;
    }
    m_onboarding = new OnboardingSheet(m_window);
    present(m_onboarding, [this](int result) {
        m_onboarding = nullptr;
        if (result == OnboardingSheet::doneResult || result == OnboardingSheet::chooseFolderResult) {
            m_state.completeOnboarding();
        } else {
            m_state.setIsOnboardingPresented(false);
        }
        if (result == OnboardingSheet::chooseFolderResult) {
            chooseFolders();
        }
    });
}

void SheetPresenter::syncDeleteConfirmation()
{
    if (!m_state.isDeleteConfirmationPresented()) {
        closeQuietly(m_deleteConfirmation);
        return;
    }
    if (m_deleteConfirmation) {
        return;
    }
    m_deleteConfirmation = new DeleteConfirmationSheet(m_state, m_window);
    present(m_deleteConfirmation, [this](int result) {
        m_deleteConfirmation = nullptr;
        m_state.dismissDeleteConfirmation();
        if (result == QDialog::Accepted) {
            m_state.deleteSelected();
        }
    });
}

void SheetPresenter::syncCleanupSummary()
{
    const auto &summary = m_state.cleanupSummary();
    if (m_cleanupSummary && (!summary || summary->id != m_cleanupSummary->summaryID())) {
        closeQuietly(m_cleanupSummary);
    }
    if (!summary || m_cleanupSummary) {
        return;
    }
    m_cleanupSummary = new CleanupSummarySheet(*summary, m_window);
    present(m_cleanupSummary, [this, id = summary->id](int) {
        m_cleanupSummary = nullptr;
        if (m_state.cleanupSummary() && m_state.cleanupSummary()->id == id) {
            m_state.dismissCleanupSummary();
        }
    });
}

void SheetPresenter::syncMaintenanceReport()
{
    const auto &report = m_state.maintenanceReport();
    if (m_maintenanceReport && (!report || report->id != m_maintenanceReport->reportID())) {
        closeQuietly(m_maintenanceReport);
    }
    if (!report || m_maintenanceReport) {
        return;
    }
    m_maintenanceReport = new MaintenanceReportSheet(*report, m_state, m_window);
    present(m_maintenanceReport, [this, id = report->id, action = report->primaryAction](int result) {
        m_maintenanceReport = nullptr;
        if (m_state.maintenanceReport() && m_state.maintenanceReport()->id == id) {
            m_state.dismissMaintenanceReport();
        }
        if (result == MaintenanceReportSheet::followUpResult && action) {
            m_state.runMaintenanceAction(*action);
        }
    });
}

void SheetPresenter::syncStandardFolderAlert()
{
    const auto &notice = m_state.standardFolderNotice();
    if (m_standardFolderAlert && (!notice || notice->id != m_standardFolderAlert->noticeID())) {
        closeQuietly(m_standardFolderAlert);
    }
    if (!notice || m_standardFolderAlert) {
        return;
    }
    m_standardFolderAlert = new StandardFolderSheet(*notice, m_window);
    present(m_standardFolderAlert, [this, id = notice->id](int result) {
        m_standardFolderAlert = nullptr;
        if (m_state.standardFolderNotice() && m_state.standardFolderNotice()->id == id) {
            m_state.dismissStandardFolderNotice();
        }
        if (result == StandardFolderSheet::chooseFolderResult) {
            chooseFolders();
        }
    });
}

}  // namespace tarnwick
