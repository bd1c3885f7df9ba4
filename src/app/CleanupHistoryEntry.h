#pragma once

#include "engine/CleanupCandidate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// One recorded cleanup run.
struct CleanupHistoryEntry {
    std::string id;  // upper-case UUID
    Timestamp date{};
    std::string actionRawValue;
    int64_t folderCount = 0;
    int64_t bytes = 0;
    std::string folderSummary;
    int64_t failureCount = 0;
    bool cancelled = false;

    bool operator==(const CleanupHistoryEntry &) const = default;
};

inline constexpr std::size_t kCleanupHistoryLimit = 20;

// The stored form of the whole history: a JSON array, newest first, dates as seconds since
// 2001-01-01 00:00:00 UTC. Decoding fails as a whole when any entry lacks a required key or holds
// a value of the wrong type (a negative count or size, or one beyond 64 bits, counts as one);
// "folderSummary" alone may be absent.
std::string encodeCleanupHistory(const std::vector<CleanupHistoryEntry> &entries);
std::optional<std::vector<CleanupHistoryEntry>> decodeCleanupHistory(std::string_view bytes);

}  // namespace tarnwick
