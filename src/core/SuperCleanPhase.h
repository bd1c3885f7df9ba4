#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// Where the guided flow stands. The coordinator is busy while scanning, analyzing or cleaning;
// `confirming` belongs to the window's vocabulary and is never entered by the coordinator itself.
enum class SuperCleanPhase {
    idle,
    choosingScope,
    scanning,
    analyzing,
    reviewing,
    confirming,
    cleaning,
    completed,
    cancelled,
    failed,
};

inline constexpr std::array<SuperCleanPhase, 10> allSuperCleanPhases{
    SuperCleanPhase::idle,      SuperCleanPhase::choosingScope, SuperCleanPhase::scanning,
    SuperCleanPhase::analyzing, SuperCleanPhase::reviewing,     SuperCleanPhase::confirming,
    SuperCleanPhase::cleaning,  SuperCleanPhase::completed,     SuperCleanPhase::cancelled,
    SuperCleanPhase::failed};

std::string_view rawValue(SuperCleanPhase phase);
std::optional<SuperCleanPhase> superCleanPhaseFromRaw(std::string_view raw);

}  // namespace tarnwick
