#pragma once

#include "engine/DeleteResult.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <string>

namespace tarnwick::cli {

// What a cleanup did to the home volume's free space, measured, not inferred: the space available
// before and after, and how much of what moved now sits in a Trash on that same volume, where it
// still takes its space until the Trash is emptied.
struct SpaceReport {
    int64_t availableBefore = 0;
    int64_t availableAfter = 0;
    int64_t inTrashOnHomeVolume = 0;

    // Before the cleanup: the space available now.
    static SpaceReport before();
    // After it: the space available now, and the moved folders that landed on the home volume
    // (`trashedTo` maps a candidate's path to where it lies in the Trash).
    void finish(const DeleteResult &result, const std::map<std::string, std::string> &trashedTo);

    // "Home volume: 12.3 GB available before, 12.4 GB after." and, when something went to a Trash
    // on it, that this space comes back when the Trash is emptied.
    std::string text() const;
    void addTo(nlohmann::ordered_json &object) const;
};

// Whether `path` lies on the same volume as the home folder.
bool onHomeVolume(const std::string &path);

}  // namespace tarnwick::cli
