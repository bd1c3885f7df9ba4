#include "app/AnalyticsEvent.h"

#include "core/EnumRawValue.h"

namespace tarnwick {

std::string_view rawValue(AnalyticsEvent event)
{
    switch (event) {
    case AnalyticsEvent::appOpened:
        return "app_opened";
    case AnalyticsEvent::folderAdded:
        return "folder_added";
    case AnalyticsEvent::scanStarted:
        return "scan_started";
    case AnalyticsEvent::scanCancelled:
        return "scan_cancelled";
    case AnalyticsEvent::scanCompleted:
        return "scan_completed";
    case AnalyticsEvent::cleanupStarted:
        return "cleanup_started";
    case AnalyticsEvent::cleanupCancelled:
        return "cleanup_cancelled";
    case AnalyticsEvent::cleanupCompleted:
        return "cleanup_completed";
    case AnalyticsEvent::superCleanStarted:
        return "super_clean_started";
    case AnalyticsEvent::superCleanCompleted:
        return "super_clean_completed";
    case AnalyticsEvent::extraFolderTypesEnabled:
        return "extra_folder_types_enabled";
    case AnalyticsEvent::cleanupMethodChanged:
        return "cleanup_method_changed";
    case AnalyticsEvent::analyticsEnabled:
        return "analytics_enabled";
    case AnalyticsEvent::updateCheckCompleted:
        return "update_check_completed";
    }
    return "app_opened";
}

std::optional<AnalyticsEvent> analyticsEventFromRaw(std::string_view raw)
{
    return enumFromRawValue(allAnalyticsEvents, raw);
}

}  // namespace tarnwick
