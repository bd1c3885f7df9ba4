// The classic scan: checks, the background run, live results and the three endings.

#include "app/AppState.h"
#include "app/CandidateOrdering.h"
#include "app/MainThreadPoster.h"
#include "core/AnalyticsBuckets.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/SaturatingAdd.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupRules.h"
#include "engine/Tarnwicker.h"
#include "platform/FileTests.h"

#include <QThreadPool>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tarnwick {

namespace {

double secondsSince(const std::optional<Timestamp> &start)
{
    const auto now = std::chrono::system_clock::now();
    return std::chrono::duration<double>(now - start.value_or(now)).count();
}

}  // namespace

// What the scan's thread hands over at the end: the final order, the path keys it made for sorting
// and, by position in that order, pointers to them. The final list holds the very candidates that
// were handed over live, so the order is given as positions in the live list, which the main thread
// rearranges in place. Copying the final list instead would allocate 100,000 candidates on one
// thread and free as many on the other, which stalls the main thread at the end of a long scan.
struct AppState::FinishedScan {
    std::vector<uint32_t> liveOrder;
    std::optional<std::string> largest;
    PathSortKeys pathSortKeys;
    std::vector<const std::string *> sortKeys;
};

void AppState::scan()
{
    if (m_isScanning || m_isDeleting) {
        return;
    }
    std::vector<std::string> existingRoots;
    for (const auto &root : m_roots) {
        if (isDirectory(root)) {
            existingRoots.push_back(root);
        }
    }
    if (existingRoots.empty()) {
        setStatusMessage("Choose a folder to scan first.");
        return;
    }
    if (CleanupRules::selected(m_includeAggressive, m_enabledRuleKeys).empty()) {
        setStatusMessage("Choose at least one folder type.");
        return;
    }
    ScanOptions options;
    options.roots = existingRoots;
    options.includeAggressive = m_includeAggressive;
    options.selectedTargetKeys = m_enabledRuleKeys;
    options.minimumSizeBytes = minimumSizeBytes(m_minimumSizePreset);
    options.excludedPaths = m_excludedPaths;
    options.allowRootMatches = false;

    auto token = std::make_shared<CancellationToken>();
    m_scanToken = token;
    m_scanStartedAt = std::chrono::system_clock::now();

    setIsScanning(true);
    setFailures({});
    setCandidates({});
    m_pathSortKeys.clear();
    setSelectedCandidateIDs({});
    m_selectionEditedWhileScanning = false;
    ScanProgress starting;
    starting.phase = OperationPhase::starting;
    starting.message = "Starting scan";
    setScanProgress(starting);
    setStatusMessage("Scanning...");
    track(AnalyticsEvent::scanStarted,
          {{"root_count", AnalyticsBuckets::count(static_cast<int64_t>(existingRoots.size()))},
           {"enabled_rule_count", AnalyticsBuckets::count(static_cast<int64_t>(m_enabledRuleKeys.size()))},
           {"cleanup_method", m_cleanupAction == CleanupAction::moveToTrash ? "trash" : "permanent"}});

    QThreadPool::globalInstance()->start([poster = MainThreadPoster(this), options = std::move(options), token]() mutable {
        // The live list as the main thread builds it: each folder once, in the order found.
        std::unordered_map<std::string, uint32_t> livePosition;
        try {
            auto result = Tarnwicker::scan(
                options,
                [&poster](const ScanProgress &progress) {
                    poster.post([progress](AppState &state) { state.setScanProgress(progress); });
                },
                [&poster, &livePosition](const CleanupCandidate &candidate) {
                    // Roots that contain one another reach some folders twice; the list shows each once.
                    const auto position = static_cast<uint32_t>(livePosition.size());
                    if (livePosition.emplace(candidate.id, position).second) {
                        poster.post([candidate](AppState &state) { state.addLiveScanCandidate(candidate); });
                    }
                },
                *token);
            FinishedScan finished;
            // The scanner's own first is its largest, found first among equals; the list shown is
            // re-sorted by path among equal sizes.
            if (!result.empty()) {
                finished.largest = result.front().id;
            }
            std::unordered_set<std::string_view> seen;
            std::erase_if(result, [&seen](const CleanupCandidate &candidate) { return !seen.insert(candidate.id).second; });
            // Every path gets its key here, so no later sort of the list makes one on the main thread.
            std::vector<const CleanupCandidate *> all;
            all.reserve(result.size());
            for (const auto &candidate : result) {
                all.push_back(&candidate);
            }
            finished.pathSortKeys.addMissing(all);
            sortCandidates(result, CandidateSortMode::largest, finished.pathSortKeys);
            finished.liveOrder.reserve(result.size());
            finished.sortKeys.reserve(result.size());
            for (const auto &candidate : result) {
                finished.liveOrder.push_back(livePosition.at(candidate.id));
                finished.sortKeys.push_back(finished.pathSortKeys.find(candidate.id));
            }
            poster.post([finished = std::move(finished)](AppState &state) mutable {
                state.finishScan(std::move(finished));
            });
        } catch (const CancellationError &) {
            poster.post([](AppState &state) { state.endScanCancelled(); });
        } catch (const std::exception &error) {
            poster.post([message = std::string(error.what())](AppState &state) { state.endScanFailed(message); });
        }
    });
}

void AppState::cancelScan()
{
    if (m_scanToken) {
        m_scanToken->cancel();
    }
    setStatusMessage("Cancelling scan...");
}

void AppState::addLiveScanCandidate(const CleanupCandidate &candidate)
{
    if (!m_isScanning || !m_candidateIndex.emplace(candidate.id, m_candidates.size()).second) {
        return;
    }
    m_candidates.push_back(candidate);
    m_candidateSortKeysValid = false;
    m_candidatesOrder.reset();
    invalidateDisplayedCandidates();
    emit candidatesChanged();
    // In place: copying the selection for every live candidate would cost quadratic time.
    const bool newlySelected = m_selectedCandidateIDs.insert(candidate.id).second;
    // Totals computed before this line did not count the candidate when its id was not selected;
    // an id selected ahead of its candidate may or may not have been counted, so count afresh.
    selectionEdited(newlySelected ? std::optional<SelectionTotals>({1, candidate.size}) : std::nullopt);
    if (!m_focusedCandidateID) {
        setFocusedCandidateID(candidate.id);
    }
    setStatusMessage("Scanning... " + countPhrase(static_cast<int64_t>(m_candidates.size())) + " found so far.");
}

void AppState::finishScan(FinishedScan finished)
{
    m_scanToken.reset();
    // Everything the list needs was made on the scan's thread. The candidates are in order before
    // isScanningChanged goes out, so a view that reads the rows then sees the sorted final list.
    // Every live candidate was taken in, so the order covers the live list exactly; should that
    // ever not hold, the live list stays as it is and is sorted when first read.
    if (finished.liveOrder.size() == m_candidates.size()) {
        std::vector<CleanupCandidate> sorted;
        sorted.reserve(finished.liveOrder.size());
        std::vector<std::size_t> newPosition(m_candidates.size());
        for (const uint32_t position : finished.liveOrder) {
            newPosition[position] = sorted.size();
            sorted.push_back(std::move(m_candidates[position]));
        }
        m_candidates = std::move(sorted);
        for (auto &entry : m_candidateIndex) {
            entry.second = newPosition[entry.second];
        }
        m_candidateSortKeys = std::move(finished.sortKeys);
        m_candidateSortKeysValid = true;
        m_candidatesOrder = CandidateSortMode::largest;
    }
    m_pathSortKeys = std::move(finished.pathSortKeys);
    // Every candidate ends up selected. The live candidates were selected as they came, so unless
    // the selection was edited meanwhile it already is, and counting that takes no lookups.
    const bool reselect = m_selectionEditedWhileScanning;
    if (!reselect) {
        m_selectionTotals = SelectionTotals{static_cast<int64_t>(m_candidates.size()), totalSize()};
    }
    invalidateDisplayedCandidates();
    setIsScanning(false);
    emit candidatesChanged();
    if (reselect) {
        selectAllCandidates();
    }
    setFocusedCandidateID(finished.largest);
    const int64_t total = totalSize();
    setStatusMessage(m_candidates.empty() ? "No cleanup folders found."
                                          : "Found " + countPhrase(static_cast<int64_t>(m_candidates.size())) +
                                                ", about " + formatByteCount(total) + ".");
    track(AnalyticsEvent::scanCompleted,
          {{"result_count_bucket", AnalyticsBuckets::count(static_cast<int64_t>(m_candidates.size()))},
           {"total_size_bucket", AnalyticsBuckets::size(total)},
           {"scan_duration_bucket", AnalyticsBuckets::duration(secondsSince(m_scanStartedAt))}});
}

void AppState::endScanCancelled()
{
    m_scanToken.reset();
    setIsScanning(false);
    auto progress = m_scanProgress;
    progress.phase = OperationPhase::cancelled;
    progress.message = "Scan cancelled";
    setScanProgress(std::move(progress));
    setStatusMessage("Scan cancelled.");
    track(AnalyticsEvent::scanCancelled);
}

void AppState::endScanFailed(const std::string &message)
{
    m_scanToken.reset();
    setIsScanning(false);
    auto progress = m_scanProgress;
    progress.phase = OperationPhase::failed;
    progress.message = message;
    setScanProgress(std::move(progress));
    setStatusMessage("Scan failed.");
}

int64_t AppState::totalSize() const
{
    int64_t total = 0;
    for (const auto &candidate : m_candidates) {
        total = saturatingAdd(total, candidate.size);
    }
    return total;
}

std::vector<CleanupCandidate> AppState::selectedCandidates() const
{
    std::vector<CleanupCandidate> selected;
    for (const auto &candidate : m_candidates) {
        if (m_selectedCandidateIDs.contains(candidate.id)) {
            selected.push_back(candidate);
        }
    }
    return selected;
}

}  // namespace tarnwick
