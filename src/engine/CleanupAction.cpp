#include "engine/CleanupAction.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(CleanupAction action)
{
    switch (action) {
    case CleanupAction::moveToTrash:
        return "moveToTrash";
    case CleanupAction::deletePermanently:
        return "deletePermanently";
    }
    return "moveToTrash";
}

std::optional<CleanupAction> cleanupActionFromRaw(std::string_view raw)
{
    return enumFromRawValue(allCleanupActions, raw);
}

}  // namespace tarnwick
