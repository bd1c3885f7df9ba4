#include "core/SuperCleanTier.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(SuperCleanTier tier)
{
    switch (tier) {
    case SuperCleanTier::recommended:
        return "recommended";
    case SuperCleanTier::review:
        return "review";
    case SuperCleanTier::advanced:
        return "advanced";
    }
    return "review";
}

std::optional<SuperCleanTier> superCleanTierFromRaw(std::string_view raw)
{
    return enumFromRawValue(allSuperCleanTiers, raw);
}

std::string_view title(SuperCleanTier tier)
{
    switch (tier) {
    case SuperCleanTier::recommended:
        return "Recommended";
    case SuperCleanTier::review:
        return "Review";
    case SuperCleanTier::advanced:
        return "Advanced";
    }
    return "Review";
}

}  // namespace tarnwick
