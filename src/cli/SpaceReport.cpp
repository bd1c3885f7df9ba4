#include "cli/SpaceReport.h"

#include "core/ByteCountFormatter.h"
#include "core/SaturatingAdd.h"
#include "platform/AvailableSpace.h"
#include "platform/UserFolders.h"

#include <sys/stat.h>

namespace tarnwick::cli {

bool onHomeVolume(const std::string &path)
{
    struct stat home {};
    struct stat entry {};
    return ::stat(homeFolder().c_str(), &home) == 0 && ::lstat(path.c_str(), &entry) == 0 &&
           home.st_dev == entry.st_dev;
}

SpaceReport SpaceReport::before()
{
    SpaceReport report;
    report.availableBefore = availableSpace(homeFolder());
    return report;
}

void SpaceReport::finish(const DeleteResult &result, const std::map<std::string, std::string> &trashedTo)
{
    availableAfter = availableSpace(homeFolder());
    inTrashOnHomeVolume = 0;
    for (const auto &moved : result.deleted) {
        const auto trashed = trashedTo.find(moved.path);
        if (trashed != trashedTo.end() && onHomeVolume(trashed->second)) {
            inTrashOnHomeVolume = saturatingAdd(inTrashOnHomeVolume, moved.size);
        }
    }
}

std::string SpaceReport::text() const
{
    std::string text = "Home volume: " + formatByteCount(availableBefore) + " available before, " +
                       formatByteCount(availableAfter) + " after.";
    if (inTrashOnHomeVolume > 0) {
        text += " The " + formatByteCount(inTrashOnHomeVolume) +
                " moved to the Trash is still on it and comes back when the Trash is emptied.";
    }
    return text;
}

void SpaceReport::addTo(nlohmann::ordered_json &object) const
{
    object["availableBefore"] = availableBefore;
    object["availableAfter"] = availableAfter;
    object["inTrashOnHomeVolume"] = inTrashOnHomeVolume;
}

}  // namespace tarnwick::cli
