#include "engine/OperationPhase.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(OperationPhase phase)
{
    switch (phase) {
    case OperationPhase::idle:
        return "idle";
    case OperationPhase::starting:
        return "starting";
    case OperationPhase::scanning:
        return "scanning";
    case OperationPhase::measuring:
        return "measuring";
    case OperationPhase::deleting:
        return "deleting";
    case OperationPhase::done:
        return "done";
    case OperationPhase::cancelled:
        return "cancelled";
    case OperationPhase::failed:
        return "failed";
    }
    return "idle";
}

std::optional<OperationPhase> operationPhaseFromRaw(std::string_view raw)
{
    return enumFromRawValue(allOperationPhases, raw);
}

}  // namespace tarnwick
