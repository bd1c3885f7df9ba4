#include "core/SuperCleanCompletionReport.h"

#include "core/ByteCountFormatter.h"

namespace tarnwick {

std::string SuperCleanCompletionReport::summaryText() const
{
    std::string text = (movedCount == 1 ? std::string("1 item") : std::to_string(movedCount) + " items") +
                       " moved to Trash, " + formatByteCount(movedToTrashBytes) + ".";
    text += " Items moved to Trash still use storage until Trash is emptied.";
    if (permanentlyReclaimedBytes >= 1) {
        text += " " + formatByteCount(permanentlyReclaimedBytes) +
                " permanently reclaimed by explicitly confirmed tool actions.";
    }
    if (observedAvailableSpaceChange != 0) {
        text += " Observed available-space change: " + formatByteCount(observedAvailableSpaceChange) + ".";
    }
    if (skippedCount >= 1 || failedCount >= 1) {
        text += " " + std::to_string(skippedCount) + " skipped, " + std::to_string(failedCount) + " failed.";
    }
    return text;
}

}  // namespace tarnwick
