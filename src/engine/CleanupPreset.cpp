#include "engine/CleanupPreset.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(CleanupPreset preset)
{
    switch (preset) {
    case CleanupPreset::safe:
        return "safe";
    case CleanupPreset::balanced:
        return "balanced";
    case CleanupPreset::deep:
        return "deep";
    case CleanupPreset::custom:
        return "custom";
    }
    return "safe";
}

std::optional<CleanupPreset> cleanupPresetFromRaw(std::string_view raw)
{
    return enumFromRawValue(allCleanupPresets, raw);
}

std::string_view title(CleanupPreset preset)
{
    switch (preset) {
    case CleanupPreset::safe:
        return "Safe";
    case CleanupPreset::balanced:
        return "Balanced";
    case CleanupPreset::deep:
        return "Deep";
    case CleanupPreset::custom:
        return "Custom";
    }
    return "Safe";
}

}  // namespace tarnwick
