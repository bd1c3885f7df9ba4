#pragma once

#include "engine/CleanupCandidate.h"
#include "engine/CleanupFailure.h"
#include "engine/CleanupSkipped.h"
#include "engine/TrashTransactionRecord.h"

#include <vector>

namespace tarnwick {

// What a cleanup run did. Every candidate it reached is in exactly one of deleted, failures,
// missing and skipped; the one interrupted by cancellation is in none.
struct DeleteResult {
    std::vector<CleanupCandidate> deleted;  // in processing order
    std::vector<CleanupFailure> failures;
    std::vector<CleanupCandidate> missing;  // already gone
    std::vector<CleanupSkipped> skipped;
    std::vector<TrashTransactionRecord> trashRecords;  // moves of snapshotted candidates whose Trash location is known
    bool cancelled = false;

    bool operator==(const DeleteResult &) const = default;
};

}  // namespace tarnwick
