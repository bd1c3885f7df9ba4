#pragma once

#include "ui/CleanupSummarySheet.h"
#include "ui/DeleteConfirmationSheet.h"
#include "ui/MaintenanceReportSheet.h"
#include "ui/OnboardingSheet.h"
#include "ui/StandardFolderSheet.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace tarnwick {

class AppState;
class DesktopShell;

// Opens the sheets over the main window when their property of the application state asks for
// them, and closes them when it no longer does: the onboarding guide, the delete confirmation, the
// cleanup summary, the maintenance report and the standard-folder alert. Each is window-modal and
// however it is dismissed (a button, Escape, the close button) the property is reset, so the state
// and the window never disagree. The buttons' effects on the state live here too.
class SheetPresenter : public QObject {
    Q_OBJECT
public:
    SheetPresenter(AppState &state, DesktopShell &shell, QWidget *window);

    OnboardingSheet *onboarding() const { return m_onboarding; }
    DeleteConfirmationSheet *deleteConfirmation() const { return m_deleteConfirmation; }
    CleanupSummarySheet *cleanupSummary() const { return m_cleanupSummary; }
    MaintenanceReportSheet *maintenanceReport() const { return m_maintenanceReport; }
    StandardFolderSheet *standardFolderAlert() const { return m_standardFolderAlert; }

private:
    void syncOnboarding();
    void syncDeleteConfirmation();
    void syncCleanupSummary();
    void syncMaintenanceReport();
    void syncStandardFolderAlert();
    // Shows the dialog window-modally; `finished` runs once when the user dismisses it, but not
    // when the presenter closes it because the state moved on.
    void present(QDialog *dialog, std::function<void(int result)> finished);
    void closeQuietly(QDialog *dialog);
    void chooseFolders();

    AppState &m_state;
    DesktopShell &m_shell;
    QWidget *m_window;
    QPointer<OnboardingSheet> m_onboarding;
    QPointer<DeleteConfirmationSheet> m_deleteConfirmation;
    QPointer<CleanupSummarySheet> m_cleanupSummary;
    QPointer<MaintenanceReportSheet> m_maintenanceReport;
    QPointer<StandardFolderSheet> m_standardFolderAlert;
};

}  // namespace tarnwick
