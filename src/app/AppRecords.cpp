#include "app/AppRecords.h"

namespace tarnwick {

std::string_view rawValue(MaintenanceAction action)
{
    switch (action) {
    case MaintenanceAction::runHomebrewCleanup:
        return "runHomebrewCleanup";
    case MaintenanceAction::deleteUnavailableSimulators:
        return "deleteUnavailableSimulators";
    }
    return {};
}

}  // namespace tarnwick
