#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// The risk of the cleanup rule that matched a guided item, as the policy sees it. The scan maps the
// catalogue's own risk onto it case for case; core keeps its own copy so the policy needs no engine.
enum class SuperCleanRuleRisk { safe, review, advanced };

inline constexpr std::array<SuperCleanRuleRisk, 3> allSuperCleanRuleRisks{
    SuperCleanRuleRisk::safe, SuperCleanRuleRisk::review, SuperCleanRuleRisk::advanced};

std::string_view rawValue(SuperCleanRuleRisk risk);
std::optional<SuperCleanRuleRisk> superCleanRuleRiskFromRaw(std::string_view raw);

}  // namespace tarnwick
