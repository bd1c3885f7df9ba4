#include "engine/CleanupPreset.h"

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
    for (const auto preset : allCleanupPresets) {
        if (rawValue(preset) == raw) {
            return preset;
        }
    }
    return std::nullopt;
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
