#pragma once

#include "engine/CleanupCandidate.h"
#include "engine/CleanupRule.h"
#include "platform/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// One matched folder being measured, possibly by several workers at once. What is known when the
// match is found is fixed from then on; the running figures belong to the ScanReporter, which
// changes them only under its lock, so its progress records and the final figure agree.
struct MatchMeasurement {
    std::string path;
    std::string folderName;
    const CleanupRule *rule = nullptr; // none when a folder is measured on its own
    std::string rootPath;
    FileIdentity rootIdentity;
    // Where the match lies in a one-thread walk's order: the root's position, then at each level
    // the entry's position among those its parent queued (the walk takes the last one first).
    std::vector<uint32_t> foundOrder;
    std::optional<Timestamp> modifiedAt;
    std::optional<FileIdentity> identity;

    // Guarded by the reporter's lock.
    int64_t size = 0;
    int64_t entries = 0;
    std::size_t unfinishedFolders = 1; // the matched folder itself, then every queued sub-folder
};

} // namespace tarnwick
