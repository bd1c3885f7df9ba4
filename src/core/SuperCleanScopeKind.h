#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// The groups of locations the guided flow offers to analyze, in the order they are shown.
enum class SuperCleanScopeKind { projectFolders, xcodeAndSimulator, packageCaches, containers };

inline constexpr std::array<SuperCleanScopeKind, 4> allSuperCleanScopeKinds{
    SuperCleanScopeKind::projectFolders, SuperCleanScopeKind::xcodeAndSimulator, SuperCleanScopeKind::packageCaches,
    SuperCleanScopeKind::containers};

std::string_view rawValue(SuperCleanScopeKind kind);
std::optional<SuperCleanScopeKind> superCleanScopeKindFromRaw(std::string_view raw);

// "My project folders", "Xcode and Simulator", "Package-manager caches", "Containers".
std::string_view title(SuperCleanScopeKind kind);

}  // namespace tarnwick
