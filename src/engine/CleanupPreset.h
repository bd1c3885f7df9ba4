#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

enum class CleanupPreset { safe, balanced, deep, custom };

inline constexpr std::array<CleanupPreset, 4> allCleanupPresets{CleanupPreset::safe, CleanupPreset::balanced,
                                                                CleanupPreset::deep, CleanupPreset::custom};

std::string_view rawValue(CleanupPreset preset);
std::optional<CleanupPreset> cleanupPresetFromRaw(std::string_view raw);
// The name shown to the user; rawValue is the stored form.
std::string_view title(CleanupPreset preset);

}  // namespace tarnwick
