#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// The figures of one guided cleaning: shown as its status line and in the window, and turned into
// bucketed analytics by the application state.
struct SuperCleanCompletionReport {
    int64_t foundBytes = 0;                    // all items listed when the cleaning finished
    int64_t selectedBytes = 0;                 // the items the user chose for the run
    int64_t movedToTrashBytes = 0;
    int64_t permanentlyReclaimedBytes = 0;     // only explicitly confirmed tool actions; the guided flow reports 0
    int64_t observedAvailableSpaceChange = 0;  // after minus before; may be negative
    int64_t movedCount = 0;
    int64_t skippedCount = 0;                  // vanished or failed re-validation
    int64_t failedCount = 0;

    bool operator==(const SuperCleanCompletionReport &) const = default;

    // Up to five sentences joined by spaces: what was moved, that the Trash still holds it, what was
    // reclaimed for good, the observed change of free space, and what was skipped or failed. The last
    // three only when there is something to say.
    std::string summaryText() const;
};

}  // namespace tarnwick
