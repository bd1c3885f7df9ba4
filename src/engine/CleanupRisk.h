#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

enum class CleanupRisk { safe, review, advanced };

inline constexpr std::array<CleanupRisk, 3> allCleanupRisks{CleanupRisk::safe, CleanupRisk::review,
                                                            CleanupRisk::advanced};

std::string_view rawValue(CleanupRisk risk);
std::optional<CleanupRisk> cleanupRiskFromRaw(std::string_view raw);

}  // namespace tarnwick
