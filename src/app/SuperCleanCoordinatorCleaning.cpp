// The guided cleaning: the selected items to the Trash, each re-validated against its snapshot and
// approved root right before it moves; the journal, the report, the result and the hand-off.

#include "app/SuperCleanCoordinator.h"
#include "core/SaturatingAdd.h"
#include "engine/CleaningLog.h"
#include "engine/Tarnwicker.h"
#include "engine/Uuid.h"
#include "platform/AvailableSpace.h"

#include <unordered_set>

namespace tarnwick {

struct SuperCleanCoordinator::FinishedCleaning {
    DeleteResult result;
    int64_t selectedBytes = 0;
    int64_t spaceBefore = 0;
    int64_t spaceAfter = 0;
};

void SuperCleanCoordinator::cleanSelected()
{
    if (isBusy()) {
        return;
    }
    const std::vector<SuperCleanItem> selected = selectedItems();
    if (selected.empty()) {
        setStatusMessage("Select at least one item first.");
        return;
    }
    setConfirmationPresented(false);
    setPhase(SuperCleanPhase::cleaning);
    setStatusMessage("Moving selected items to Trash...");
    DeleteProgress preparing;
    preparing.phase = OperationPhase::starting;
    preparing.message = "Preparing Super Clean";
    preparing.total = static_cast<int64_t>(selected.size());
    setDeleteProgress(std::move(preparing));

    std::vector<CleanupCandidate> candidates;
    std::map<std::string, FileSystemSnapshot> snapshots;
    std::map<std::string, std::string> approvedRoots;
    int64_t selectedBytes = 0;
    for (const auto &item : selected) {
        candidates.push_back(item.candidate);
        snapshots.emplace(item.candidate.id, item.snapshot);
        approvedRoots.emplace(item.candidate.id, item.approvedRoot);
        selectedBytes = saturatingAdd(selectedBytes, item.candidate.size);
    }
    const int64_t spaceBefore = availableSpace(m_homeFolder);

    m_cleaningRun.start([candidates = std::move(candidates), snapshots = std::move(snapshots),
                         approvedRoots = std::move(approvedRoots), home = m_homeFolder, selectedBytes,
                         spaceBefore](const RunContext<SuperCleanCoordinator> &run) {
        DeleteResult result = Tarnwicker::deleteCandidates(
            candidates, CleanupAction::moveToTrash, snapshots, approvedRoots,
            [&run](const DeleteProgress &progress) { run.progress(progress, &SuperCleanCoordinator::setDeleteProgress); },
            run.token());
        const int64_t spaceAfter = availableSpace(home);
        // The moves have happened whether or not a window still listens, so they are journaled here
        // rather than in the report to the main thread, which is dropped when the coordinator is gone.
        CleaningLog::record(result.trashRecords, std::chrono::system_clock::now());
        run.post(FinishedCleaning{std::move(result), selectedBytes, spaceBefore, spaceAfter},
                 &SuperCleanCoordinator::finishCleaning);
    });
}

void SuperCleanCoordinator::finishCleaning(FinishedCleaning finished)
{
    const DeleteResult &result = finished.result;
    SuperCleanCompletionReport report;
    report.foundBytes = foundBytes();
    report.selectedBytes = finished.selectedBytes;
    for (const auto &moved : result.deleted) {
        report.movedToTrashBytes = saturatingAdd(report.movedToTrashBytes, moved.size);
    }
    report.permanentlyReclaimedBytes = 0;
    report.observedAvailableSpaceChange = finished.spaceAfter - finished.spaceBefore;
    report.movedCount = static_cast<int64_t>(result.deleted.size());
    report.skippedCount = static_cast<int64_t>(result.missing.size() + result.skipped.size());
    report.failedCount = static_cast<int64_t>(result.failures.size());
    setResult(SuperCleanResult{newUuid(), report, static_cast<int64_t>(result.missing.size()), result.skipped,
                               result.failures, result.cancelled});
    // Before the moved items leave the list: the handler counts what the run had in front of it.
    if (m_onCompleted) {
        m_onCompleted(report);
    }

    std::unordered_set<std::string> gone;
    for (const auto *list : {&result.deleted, &result.missing}) {
        for (const auto &candidate : *list) {
            gone.insert(candidate.id);
        }
    }
    auto kept = items();
    std::erase_if(kept, [&gone](const SuperCleanItem &item) { return gone.contains(item.id); });
    setItems(std::move(kept));
    auto selected = m_selectedItemIDs;
    std::erase_if(selected, [&gone](const std::string &id) { return gone.contains(id); });
    setSelectedItemIDs(std::move(selected));
    refocus();
    setPhase(result.cancelled ? SuperCleanPhase::cancelled : SuperCleanPhase::completed);
    setStatusMessage(report.summaryText());
}

}  // namespace tarnwick
