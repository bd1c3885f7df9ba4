#pragma once

#include "core/FileSystemSnapshot.h"
#include "engine/CleanupCandidate.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

// One journal entry per snapshotted item moved to the Trash: enough to find the item again and to
// prove it was the entry the user reviewed.
struct TrashTransactionRecord {
    std::string id;  // a fresh random UUID, upper case
    std::string originalPath;
    std::string trashPath;
    FileSystemSnapshot snapshot;  // the one validated right before the move
    std::string category;
    int64_t size = 0;
    Timestamp timestamp{};  // of the move

    bool operator==(const TrashTransactionRecord &) const = default;

    // Keys id, originalPath, trashPath, snapshot, category, size, timestamp in that order; the
    // times (the snapshot's too) as ISO 8601 UTC whole seconds.
    nlohmann::ordered_json toJson() const;

    // Every key required with its exact type; nothing when the record is damaged.
    static std::optional<TrashTransactionRecord> fromJson(const nlohmann::ordered_json &object);
};

}  // namespace tarnwick
