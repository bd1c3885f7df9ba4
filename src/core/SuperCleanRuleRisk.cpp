#include "core/SuperCleanRuleRisk.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(SuperCleanRuleRisk risk)
{
    switch (risk) {
    case SuperCleanRuleRisk::safe:
        return "safe";
    case SuperCleanRuleRisk::review:
        return "review";
    case SuperCleanRuleRisk::advanced:
        return "advanced";
    }
    return "safe";
}

std::optional<SuperCleanRuleRisk> superCleanRuleRiskFromRaw(std::string_view raw)
{
    return enumFromRawValue(allSuperCleanRuleRisks, raw);
}

}  // namespace tarnwick
