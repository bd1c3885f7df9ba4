// The guided scan: every rule over the chosen locations, each found folder judged on the scan's
// thread and listed at once, and the final list reconciled when the scanner returns.

#include "app/SuperCleanCoordinator.h"
#include "core/CountPhrase.h"
#include "core/SuperCleanPolicy.h"
#include "engine/CancellationToken.h"
#include "engine/Tarnwicker.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

struct SuperCleanCoordinator::FinishedScan {
    std::vector<CleanupCandidate> candidates;
    SuperCleanAnalysis::Context context;
};

struct SuperCleanCoordinator::ScanEnd {
    SuperCleanPhase phase;
    OperationPhase progressPhase;
    std::string progressMessage;
    std::string status;
};

void SuperCleanCoordinator::startScan()
{
    if (isBusy()) {
        return;
    }
    std::vector<std::string> chosen;
    for (const auto &group : m_scopeGroups) {
        for (const auto &root : group.selectedRoots()) {
            chosen.push_back(root.path);
        }
    }
    // Nested locations would make the scanner walk (and report) their folders twice.
    SuperCleanAnalysis::Context context{SuperCleanPolicy::deduplicatedRootPaths(chosen), m_excludedPaths, nullptr};
    if (context.roots.empty()) {
        setStatusMessage("Select at least one existing folder.");
        return;
    }
    setPhase(SuperCleanPhase::scanning);
    setStatusMessage("Analyzing developer storage...");
    setItems({});
    setSelectedItemIDs({});
    setFocusedItemID(std::nullopt);
    ScanProgress starting;
    starting.phase = OperationPhase::starting;
    starting.message = "Starting Super Clean";
    setScanProgress(std::move(starting));

    m_scanRun.start([context = std::move(context)](const RunContext<SuperCleanCoordinator> &run) mutable {
        try {
            // Read on the scan's thread: walking /proc takes a moment on a busy desktop.
            context.processUsage = std::make_shared<const ProcessUsage>(ProcessUsage::current());
            auto candidates = Tarnwicker::scan(
                SuperCleanAnalysis::scanOptions(context),
                [&run](const ScanProgress &progress) { run.progress(progress, &SuperCleanCoordinator::setScanProgress); },
                // The snapshot, the evidence and the verdict are made here, on the scan's thread; the
                // main thread only inserts the finished item.
                [&run, &context](const CleanupCandidate &candidate) {
                    if (run.isCancelled()) {
                        return;
                    }
                    auto item = SuperCleanAnalysis::makeItem(candidate, context, std::chrono::system_clock::now());
                    if (item) {
                        run.post(std::move(*item), &SuperCleanCoordinator::addLiveItem);
                    }
                },
                run.token());
            run.post(FinishedScan{std::move(candidates), context}, &SuperCleanCoordinator::finishScan);
        } catch (const CancellationError &) {
            run.post(ScanEnd{SuperCleanPhase::cancelled, OperationPhase::cancelled, "Super Clean cancelled",
                             "Super Clean cancelled."},
                     &SuperCleanCoordinator::endScan);
        } catch (const std::exception &error) {
            run.post(ScanEnd{SuperCleanPhase::failed, OperationPhase::failed, error.what(),
                             "Super Clean could not finish."},
                     &SuperCleanCoordinator::endScan);
        }
    });
}

void SuperCleanCoordinator::addLiveItem(SuperCleanItem item)
{
    if (m_phase != SuperCleanPhase::scanning) {
        return;
    }
    const std::string id = item.id;
    const bool autoSelected = item.decision.isAutoSelected;
    // Kept in review order without moving the list per item (see SuperCleanLiveList).
    if (!m_items.add(std::move(item))) {
        return;
    }
    emit itemsChanged();
    if (autoSelected) {
        m_selectedItemIDs.insert(id);
        emit selectedItemIDsChanged();
    }
    if (!m_focusedItemID) {
        setFocusedItemID(id);
    }
    setStatusMessage("Analyzing... " + countPhrase(static_cast<int64_t>(m_items.size())) + " found so far.");
}

void SuperCleanCoordinator::finishScan(FinishedScan finished)
{
    setPhase(SuperCleanPhase::analyzing);
    // Putting a hundred thousand items in order by their paths' collation keys takes the better part
    // of a second: the live list goes to the pool for it, whole. Even gathering its items into one
    // vector (moving them into fresh pages) and freeing its ids took the window a quarter of a
    // second. What a view of the running scan reads stays as it was meanwhile.
    m_analyzed = AnalyzedSoFar{m_items.size(), m_items.leading()};
    SuperCleanLiveList live = std::exchange(m_items, SuperCleanLiveList());
    m_scanRun.start([live = std::move(live), finished = std::move(finished)](
                        const RunContext<SuperCleanCoordinator> &run) mutable {
        // Too late to cancel: the scan is done, and its items are kept for review either way.
        try {
            run.post(SuperCleanAnalysis::reconciled(live.takeAll(), finished.candidates, finished.context,
                                                    std::chrono::system_clock::now()),
                     &SuperCleanCoordinator::finishAnalysis);
        } catch (const std::exception &error) {
            run.post(ScanEnd{SuperCleanPhase::failed, OperationPhase::failed, error.what(),
                             "Super Clean could not finish."},
                     &SuperCleanCoordinator::endScan);
        }
    });
}

void SuperCleanCoordinator::finishAnalysis(std::vector<SuperCleanItem> items)
{
    setItems(std::move(items));
    // Whatever was selected while the list filled, only recommended items start selected.
    std::set<std::string> recommended;
    for (const auto &item : this->items()) {
        if (item.decision.isAutoSelected) {
            recommended.insert(item.id);
        }
    }
    setSelectedItemIDs(std::move(recommended));
    setFocusedItemID(m_items.empty() ? std::nullopt : std::optional<std::string>(this->items().front().id));
    setPhase(SuperCleanPhase::reviewing);
    setStatusMessage(m_items.empty() ? "No Super Clean candidates found."
                                     : "Review " + countPhrase(static_cast<int64_t>(m_items.size())) +
                                           ". Only Recommended items are selected.");
}

void SuperCleanCoordinator::endScan(ScanEnd end)
{
    // A failure while the items were put in order leaves none to review.
    if (m_analyzed) {
        setItems({});
    }
    setPhase(end.phase);
    auto progress = m_scanProgress;
    progress.phase = end.progressPhase;
    progress.message = std::move(end.progressMessage);
    setScanProgress(std::move(progress));
    setStatusMessage(std::move(end.status));
}

}  // namespace tarnwick
