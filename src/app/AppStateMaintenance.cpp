// The developer tools the application state runs: read-only previews whose reports offer the
// destructive run as a follow-up, one tool at a time, each on a pool thread.

#include "app/AppState.h"
#include "app/MaintenanceRunner.h"
#include "engine/Uuid.h"

#include <QString>

namespace tarnwick {

void AppState::previewHomebrewCleanup()
{
    runMaintenance("Homebrew Cleanup Preview", "brew", {"cleanup", "--dry-run"}, "Run Homebrew Cleanup",
                   MaintenanceAction::runHomebrewCleanup);
}

void AppState::runHomebrewCleanup()
{
    runMaintenance("Homebrew Cleanup", "brew", {"cleanup"}, std::nullopt, std::nullopt);
}

void AppState::previewUnavailableSimulators()
{
    runMaintenance("Unavailable Simulators", "xcrun", {"simctl", "list", "devices", "unavailable"},
                   "Delete Unavailable Simulators", MaintenanceAction::deleteUnavailableSimulators);
}

void AppState::deleteUnavailableSimulators()
{
    runMaintenance("Delete Unavailable Simulators", "xcrun", {"simctl", "delete", "unavailable"}, std::nullopt,
                   std::nullopt);
}

void AppState::previewDockerUsage()
{
    runMaintenance("Docker Disk Usage", "docker", {"system", "df", "-v"}, std::nullopt, std::nullopt);
}

void AppState::previewColimaUsage()
{
    runMaintenance("Colima Profiles", "colima", {"list"}, std::nullopt, std::nullopt);
}

void AppState::runMaintenanceAction(MaintenanceAction action)
{
    dismissMaintenanceReport();
    switch (action) {
    case MaintenanceAction::runHomebrewCleanup:
        runHomebrewCleanup();
        break;
    case MaintenanceAction::deleteUnavailableSimulators:
        deleteUnavailableSimulators();
        break;
    }
}

void AppState::dismissMaintenanceReport()
{
    if (m_maintenanceReport) {
        setMaintenanceReport(std::nullopt);
    }
}

void AppState::runMaintenance(const std::string &title, const std::string &tool,
                              const std::vector<std::string> &arguments,
                              std::optional<std::string> primaryActionTitle,
                              std::optional<MaintenanceAction> primaryAction)
{
    if (m_isRunningMaintenance) {
        return;
    }
    setIsRunningMaintenance(true);
    setStatusMessage("Running " + QString::fromStdString(title).toLower().toStdString() + "...");

    std::string command = tool;
    for (const auto &argument : arguments) {
        command += " " + argument;
    }
    MaintenanceReport report{"", title, std::move(command), "", std::move(primaryActionTitle), primaryAction};

    // The tool may outlive the window that asked for it, but not this object: destroying it
    // cancels the run, which terminates the tool.
    m_toolRun.start([tool, arguments, report = std::move(report)](const RunContext<AppState> &run) mutable {
        report.output = MaintenanceRunner::run(tool, arguments, run.token());
        run.post(std::move(report), &AppState::finishMaintenance);
    });
}

void AppState::finishMaintenance(MaintenanceReport report)
{
    const std::string finished = report.title + " finished.";
    report.id = newUuid();
    setIsRunningMaintenance(false);
    setMaintenanceReport(std::move(report));
    setStatusMessage(finished);
}

}  // namespace tarnwick
