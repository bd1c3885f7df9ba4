#include "engine/CleanupRisk.h"

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
    for (const auto risk : allCleanupRisks) {
        if (rawValue(risk) == raw) {
            return risk;
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick
