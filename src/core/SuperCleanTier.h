#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// How confident the guided cleanup is about an item, most confident first. Only recommended items
// are ever selected automatically.
enum class SuperCleanTier { recommended, review, advanced };

inline constexpr std::array<SuperCleanTier, 3> allSuperCleanTiers{SuperCleanTier::recommended, SuperCleanTier::review,
                                                                  SuperCleanTier::advanced};

std::string_view rawValue(SuperCleanTier tier);
std::optional<SuperCleanTier> superCleanTierFromRaw(std::string_view raw);

// "Recommended", "Review", "Advanced".
std::string_view title(SuperCleanTier tier);

}  // namespace tarnwick
