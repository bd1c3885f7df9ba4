#include "core/SuperCleanScopeKind.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(SuperCleanScopeKind kind)
{
    switch (kind) {
    case SuperCleanScopeKind::projectFolders:
        return "projectFolders";
    case SuperCleanScopeKind::xcodeAndSimulator:
        return "xcodeAndSimulator";
    case SuperCleanScopeKind::packageCaches:
        return "packageCaches";
    case SuperCleanScopeKind::containers:
        return "containers";
    }
    return "projectFolders";
}

std::optional<SuperCleanScopeKind> superCleanScopeKindFromRaw(std::string_view raw)
{
    return enumFromRawValue(allSuperCleanScopeKinds, raw);
}

std::string_view title(SuperCleanScopeKind kind)
{
    switch (kind) {
    case SuperCleanScopeKind::projectFolders:
        return "My project folders";
    case SuperCleanScopeKind::xcodeAndSimulator:
        return "Xcode and Simulator";
    case SuperCleanScopeKind::packageCaches:
        return "Package-manager caches";
    case SuperCleanScopeKind::containers:
        return "Containers";
    }
    return "My project folders";
}

}  // namespace tarnwick
