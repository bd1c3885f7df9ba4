#include "engine/CleanupRisk.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(CleanupRisk risk)
{
    switch (risk) {
    case CleanupRisk::safe:
        return "safe";
    case CleanupRisk::review:
        return "review";
    case CleanupRisk::advanced:
        return "advanced";
    }
    return "safe";
}

std::optional<CleanupRisk> cleanupRiskFromRaw(std::string_view raw)
{
    return enumFromRawValue(allCleanupRisks, raw);
}

}  // namespace tarnwick
