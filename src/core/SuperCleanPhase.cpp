#include "core/SuperCleanPhase.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(SuperCleanPhase phase)
{
    switch (phase) {
    case SuperCleanPhase::idle:
        return "idle";
    case SuperCleanPhase::choosingScope:
        return "choosingScope";
    case SuperCleanPhase::scanning:
        return "scanning";
    case SuperCleanPhase::analyzing:
        return "analyzing";
    case SuperCleanPhase::reviewing:
        return "reviewing";
    case SuperCleanPhase::confirming:
        return "confirming";
    case SuperCleanPhase::cleaning:
        return "cleaning";
    case SuperCleanPhase::completed:
        return "completed";
    case SuperCleanPhase::cancelled:
        return "cancelled";
    case SuperCleanPhase::failed:
        return "failed";
    }
    return "idle";
}

std::optional<SuperCleanPhase> superCleanPhaseFromRaw(std::string_view raw)
{
    return enumFromRawValue(allSuperCleanPhases, raw);
}

}  // namespace tarnwick
