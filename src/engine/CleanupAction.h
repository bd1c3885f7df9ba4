#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// What a cleanup does with each folder. The raw value is also the stored form of the user's setting.
enum class CleanupAction { moveToTrash, deletePermanently };

inline constexpr std::array<CleanupAction, 2> allCleanupActions{CleanupAction::moveToTrash,
                                                                CleanupAction::deletePermanently};

std::string_view rawValue(CleanupAction action);
std::optional<CleanupAction> cleanupActionFromRaw(std::string_view raw);

}  // namespace tarnwick
