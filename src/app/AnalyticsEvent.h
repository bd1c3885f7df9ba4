#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The usage events Tarnwick can report once the user has opted in. The raw value is the event's
// name on the wire.
enum class AnalyticsEvent {
    appOpened,
    folderAdded,
    scanStarted,
    scanCancelled,
    scanCompleted,
    cleanupStarted,
    cleanupCancelled,
    cleanupCompleted,
    superCleanStarted,
    superCleanCompleted,
    extraFolderTypesEnabled,
    cleanupMethodChanged,
    analyticsEnabled,
    updateCheckCompleted,
};

inline constexpr std::array<AnalyticsEvent, 14> allAnalyticsEvents{
    AnalyticsEvent::appOpened,
    AnalyticsEvent::folderAdded,
    AnalyticsEvent::scanStarted,
    AnalyticsEvent::scanCancelled,
    AnalyticsEvent::scanCompleted,
    AnalyticsEvent::cleanupStarted,
    AnalyticsEvent::cleanupCancelled,
    AnalyticsEvent::cleanupCompleted,
    AnalyticsEvent::superCleanStarted,
    AnalyticsEvent::superCleanCompleted,
    AnalyticsEvent::extraFolderTypesEnabled,
    AnalyticsEvent::cleanupMethodChanged,
    AnalyticsEvent::analyticsEnabled,
    AnalyticsEvent::updateCheckCompleted,
};

// Every value is a bucket label or a fixed word, never a raw number, path or name.
using AnalyticsProperties = std::map<std::string, std::string>;

std::string_view rawValue(AnalyticsEvent event);
std::optional<AnalyticsEvent> analyticsEventFromRaw(std::string_view raw);

}  // namespace tarnwick
