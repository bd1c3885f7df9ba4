// The classic scan: checks, the background run, live results and the three endings.

#include "app/AppState.h"
#include "app/CandidateOrdering.h"
#include "app/MainThreadPoster.h"
#include "core/AnalyticsBuckets.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupRules.h"
#include "engine/Tarnwicker.h"
#include "platform/FileTests.h"

#include <QThreadPool>

#include <algorithm>

namespace tarnwick {

namespace {

double secondsSince(const std::optional<Timestamp> &start)
{
    const auto now = std::chrono::system_clock::now();
    return std::chrono::duration<double>(now - start.value_or(now)).count();
}

}  // namespace

// What the scan's thread hands over at the end: the list without repeats, sorted largest first,
// its ids, and the path keys it made for that sort. Doing this before the hand-over keeps a scan of
// 100,000 folders from stalling the main thread at its end.
struct AppState::FinishedScan {
    std::vector<CleanupCandidate> candidates;
    std::set<std::string> ids;
    std::optional<std::string> largest;
    PathSortKeys pathSortKeys;
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
        try {
            auto result = Tarnwicker::scan(
                options,
                [&poster](const ScanProgress &progress) {
                    poster.post([progress](AppState &state) { state.setScanProgress(progress); });
                },
                [&poster](const CleanupCandidate &candidate) {
                    poster.post([candidate](AppState &state) { state.addLiveScanCandidate(candidate); });
                },
                *token);
            FinishedScan finished;
            // The scanner's own first is its largest, found first among equals; the list shown is
            // re-sorted by path among equal sizes.
            if (!result.empty()) {
                finished.largest = result.front().id;
            }
            // Roots that contain one another reach some folders twice; the list shows each once.
            std::erase_if(result, [&finished](const CleanupCandidate &candidate) {
                return !finished.ids.insert(candidate.id).second;
            });
            // Every path gets its key here, so no later sort of the list makes one on the main thread.
            std::vector<const CleanupCandidate *> all;
            all.reserve(result.size());
            for (const auto &candidate : result) {
                all.push_back(&candidate);
            }
            finished.pathSortKeys.addMissing(all);
            sortCandidates(result, CandidateSortMode::largest, finished.pathSortKeys);
            finished.candidates = std::move(result);
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
    if (!m_isScanning || m_candidateIDs.contains(candidate.id)) {
        return;
    }
    m_candidates.push_back(candidate);
    m_candidateSortKeysValid = false;
    m_candidateIDs.insert(candidate.id);
    invalidateDisplayedCandidates();
    emit candidatesChanged();
    // In place: copying the selection for every live candidate would cost quadratic time.
    const bool newlySelected = m_selectedCandidateIDs.insert(candidate.id).second;
    // Totals computed before this line did not count the candidate when its id was not selected;
    // an id selected ahead of its candidate may or may not have been counted, so count afresh.
    if (m_selectionTotals && newlySelected) {
        ++m_selectionTotals->count;
        m_selectionTotals->bytes += candidate.size;
    } else {
        m_selectionTotals.reset();
    }
    if (m_reviewFilter != ReviewFilter::all) {
        invalidateDisplayedCandidates();
    }
    emit selectedCandidateIDsChanged();
    if (!m_focusedCandidateID) {
        setFocusedCandidateID(candidate.id);
    }
    setStatusMessage("Scanning... " + countPhrase(static_cast<int64_t>(m_candidates.size())) + " found so far.");
}

void AppState::finishScan(FinishedScan finished)
{
    m_scanToken.reset();
    m_pathSortKeys = std::move(finished.pathSortKeys);
    setIsScanning(false);
    setCandidates(std::move(finished.candidates));
    setSelectedCandidateIDs(std::move(finished.ids));
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
        total += candidate.size;
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
