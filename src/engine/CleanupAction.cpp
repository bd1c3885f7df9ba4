#include "engine/CleanupAction.h"

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
    for (const auto action : allCleanupActions) {
        if (rawValue(action) == raw) {
            return action;
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick
