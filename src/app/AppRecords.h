#pragma once

#include "engine/CleanupAction.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The small records the application state publishes for its sheets.
namespace tarnwick {

// The result of one classic cleanup run, shown by the summary sheet.
struct CleanupSummary {
    std::string id;
    CleanupAction action = CleanupAction::moveToTrash;
    int64_t folderCount = 0;
    int64_t bytes = 0;
    int64_t failureCount = 0;
    bool cancelled = false;
    int64_t historyBytes = 0;  // lifetime total including this run

    bool operator==(const CleanupSummary &) const = default;
};

// Tells the user why a standard-folder action added nothing.
struct StandardFolderNotice {
    std::string id;
    std::string title;
    std::string message;
    bool showsChooseFolder = false;

    bool operator==(const StandardFolderNotice &) const = default;
};

// The follow-up a maintenance report can offer.
enum class MaintenanceAction { runHomebrewCleanup, deleteUnavailableSimulators };
std::string_view rawValue(MaintenanceAction action);

// The output of one developer-tool run.
struct MaintenanceReport {
    std::string id;
    std::string title;
    std::string command;
    std::string output;
    std::optional<std::string> primaryActionTitle;
    std::optional<MaintenanceAction> primaryAction;

    bool operator==(const MaintenanceReport &) const = default;
};

}  // namespace tarnwick
