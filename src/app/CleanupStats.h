#pragma once

#include "engine/CleanupCandidate.h"

#include <cstdint>
#include <optional>

namespace tarnwick {

// Lifetime statistics of classic cleanups, kept in the preferences.
struct CleanupStats {
    Timestamp startedAt{};
    int64_t cleanedBytes = 0;
    int64_t cleanedFolders = 0;
    int64_t movedToTrashBytes = 0;
    int64_t permanentlyDeletedBytes = 0;
    int64_t cleanupRuns = 0;
    std::optional<Timestamp> lastCleanupAt;

    bool operator==(const CleanupStats &) const = default;
};

}  // namespace tarnwick
