// The guided scan: every rule over the chosen locations, each found folder judged on the scan's
// thread and listed at once, and the final list reconciled when the scanner returns.

#include "app/MainThreadPoster.h"
#include "app/SuperCleanCoordinator.h"
#include "core/CountPhrase.h"
#include "core/SuperCleanPolicy.h"
#include "engine/CancellationToken.h"
#include "engine/Tarnwicker.h"

#include <QThreadPool>
#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

namespace tarnwick {

namespace {

// The newest progress record of a scan, handed from the scan's thread to the main thread.
class LatestProgress {
public:
    // Keeps the record; true when no report is on its way to carry it, so one must be posted.
    bool put(const ScanProgress &progress)
    {
        const std::lock_guard lock(m_mutex);
        m_record = progress;
        return !std::exchange(m_posted, true);
    }

    ScanProgress take()
    {
        const std::lock_guard lock(m_mutex);
        m_posted = false;
        return m_record;
    }

private:
    std::mutex m_mutex;
    ScanProgress m_record;
    bool m_posted = false;
};

} // namespace

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
    auto token = std::make_shared<CancellationToken>();
    m_scanToken = token;
    const uint64_t session = ++m_session;

    setPhase(SuperCleanPhase::scanning);
    setStatusMessage("Analyzing developer storage...");
    setItems({});
    setSelectedItemIDs({});
    setFocusedItemID(std::nullopt);
    ScanProgress starting;
    starting.phase = OperationPhase::starting;
    starting.message = "Starting Super Clean";
    setScanProgress(std::move(starting));

    QThreadPool::globalInstance()->start([poster = MainThreadPoster(this), context = std::move(context), token, session,
                                          probe = m_scanProbe]() mutable {
        // A scan makes several records per folder it finds; the window shows only the latest. So a
        // record waits here until the one report that carries it is applied, and records made
        // meanwhile replace it: a hundred thousand items cost the main thread no more records than
        // it has turns to show them.
        auto latest = std::make_shared<LatestProgress>();
        try {
            // Read on the scan's thread: walking /proc takes a moment on a busy desktop.
            context.processUsage = std::make_shared<const ProcessUsage>(ProcessUsage::current());
            auto candidates = Tarnwicker::scan(
                SuperCleanAnalysis::scanOptions(context),
                [&poster, &probe, &token, &latest, session](const ScanProgress &progress) {
                    if (probe) {
                        probe(progress, *token);
                    }
                    if (!latest->put(progress)) {
                        return; // the report already on its way will carry it
                    }
                    poster.post([latest, session](SuperCleanCoordinator &coordinator) {
                        ScanProgress current = latest->take();
                        if (session == coordinator.m_session) {
                            coordinator.setScanProgress(std::move(current));
                        }
                    });
                },
                // The snapshot, the evidence and the verdict are made here, on the scan's thread; the
                // main thread only inserts the finished item.
                [&poster, &context, &token, session](const CleanupCandidate &candidate) {
                    if (token->isCancelled()) {
                        return;
                    }
                    auto item = SuperCleanAnalysis::makeItem(candidate, context, std::chrono::system_clock::now());
                    if (item) {
                        poster.post([item = std::move(*item), session](SuperCleanCoordinator &coordinator) mutable {
                            coordinator.addLiveItem(session, std::move(item));
                        });
                    }
                },
                *token);
            poster.post([candidates = std::move(candidates), context, session](SuperCleanCoordinator &coordinator) {
                coordinator.finishScan(session, candidates, context);
            });
        } catch (const CancellationError &) {
            poster.post([session](SuperCleanCoordinator &coordinator) {
                coordinator.endScan(session, SuperCleanPhase::cancelled, OperationPhase::cancelled,
                                    "Super Clean cancelled", "Super Clean cancelled.");
            });
        } catch (const std::exception &error) {
            poster.post([message = std::string(error.what()), session](SuperCleanCoordinator &coordinator) {
                coordinator.endScan(session, SuperCleanPhase::failed, OperationPhase::failed, message,
                                    "Super Clean could not finish.");
            });
        }
    });
}

void SuperCleanCoordinator::addLiveItem(uint64_t session, SuperCleanItem item)
{
    if (session != m_session || m_phase != SuperCleanPhase::scanning) {
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

void SuperCleanCoordinator::finishScan(uint64_t session, const std::vector<CleanupCandidate> &candidates,
                                       const SuperCleanAnalysis::Context &context)
{
    if (session != m_session) {
        return;
    }
    m_scanToken.reset();
    setPhase(SuperCleanPhase::analyzing);
    // The live items are handed over rather than copied, and unsorted: the reconciliation sorts them
    // with the rest, and the list is replaced right away.
    setItems(SuperCleanAnalysis::reconciled(m_items.takeAll(), candidates, context, std::chrono::system_clock::now()));
    // Whatever was selected while the list filled, only recommended items start selected.
    std::set<std::string> recommended;
    for (const auto &item : items()) {
        if (item.decision.isAutoSelected) {
            recommended.insert(item.id);
        }
    }
    setSelectedItemIDs(std::move(recommended));
    setFocusedItemID(m_items.empty() ? std::nullopt : std::optional<std::string>(items().front().id));
    setPhase(SuperCleanPhase::reviewing);
    setStatusMessage(m_items.empty() ? "No Super Clean candidates found."
                                     : "Review " + countPhrase(static_cast<int64_t>(m_items.size())) +
                                           ". Only Recommended items are selected.");
}

void SuperCleanCoordinator::endScan(uint64_t session, SuperCleanPhase phase, OperationPhase progressPhase,
                                    std::string progressMessage, std::string status)
{
    if (session != m_session) {
        return;
    }
    m_scanToken.reset();
    setPhase(phase);
    auto progress = m_scanProgress;
    progress.phase = progressPhase;
    progress.message = std::move(progressMessage);
    setScanProgress(std::move(progress));
    setStatusMessage(std::move(status));
}

}  // namespace tarnwick
