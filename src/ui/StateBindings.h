#pragma once

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "ui/DisplayText.h"

#include <QObject>
#include <QString>

#include <string>

// Small pieces of glue every view of the main window shares.
namespace tarnwick::ui {

// A scan or a cleanup is running: nearly every control that changes state is disabled.
inline bool isBusy(const AppState &state)
{
    return state.isScanning() || state.isDeleting();
}

// Calls `refresh` whenever busy may have changed.
template <typename Refresh>
void onBusyChanged(AppState &state, QObject *context, Refresh refresh)
{
    QObject::connect(&state, &AppState::isScanningChanged, context, refresh);
    QObject::connect(&state, &AppState::isDeletingChanged, context, refresh);
}

// The folder chooser of every "Choose Folder": all chosen folders go to the scan list in one call;
// a cancelled chooser changes nothing.
inline void chooseFoldersToScan(AppState &state, DesktopShell &shell)
{
    auto folders = shell.chooseFolders();
    if (!folders.empty()) {
        state.addRoots(folders);
    }
}

inline QString cleanupActionTitle(CleanupAction action)
{
    return action == CleanupAction::deletePermanently ? QStringLiteral("Delete Permanently")
                                                      : QStringLiteral("Move to Trash");
}

}  // namespace tarnwick::ui
