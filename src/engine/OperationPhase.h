#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// Shared by scanning and deleting; each operation emits only some of the phases.
enum class OperationPhase { idle, starting, scanning, measuring, deleting, done, cancelled, failed };

inline constexpr std::array<OperationPhase, 8> allOperationPhases{
    OperationPhase::idle, OperationPhase::starting, OperationPhase::scanning, OperationPhase::measuring,
    OperationPhase::deleting, OperationPhase::done, OperationPhase::cancelled, OperationPhase::failed};

std::string_view rawValue(OperationPhase phase);
std::optional<OperationPhase> operationPhaseFromRaw(std::string_view raw);

}  // namespace tarnwick
