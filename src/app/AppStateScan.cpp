// The classic scan: checks, the background run, live results and the three endings.

#include "app/AppState.h"
#include "core/AnalyticsBuckets.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupRules.h"
#include "engine/Tarnwicker.h"
#include "platform/FileTests.h"

#include <unordered_map>

namespace tarnwick {

namespace {

double secondsSince(const std::optional<Timestamp> &start)
{
    const auto now = std::chrono::system_clock::now();
    return std::chrono::duration<double>(now - start.value_or(now)).count();
}

}  // namespace

void AppState::scan()
{
    if (m_isScanning || m_isDeleting) {
        return;
    }
    std::vector<std::string> existingRoots;
    for (const auto &root : m_settings.roots) {
        if (isDirectory(root)) {
            existingRoots.push_back(root);
        }
    }
    if (existingRoots.empty()) {
        setStatusMessage("Choose a folder to scan first.");
        return;
    }
    if (CleanupRules::selected(m_settings.includeAggressive, m_settings.enabledRuleKeys).empty()) {
        setStatusMessage("Choose at least one folder type.");
        return;
    }
    ScanOptions options;
    options.roots = existingRoots;
    options.includeAggressive = m_settings.includeAggressive;
    options.selectedTargetKeys = m_settings.enabledRuleKeys;
    options.minimumSizeBytes = minimumSizeBytes(m_settings.minimumSizePreset);
    options.excludedPaths = m_settings.excludedPaths;
    options.allowRootMatches = false;
    m_scanStartedAt = std::chrono::system_clock::now();

    setIsScanning(true);
    setFailures({});
    announce(m_review.clear());
    ScanProgress starting;
    starting.phase = OperationPhase::starting;
    starting.message = "Starting scan";
    setScanProgress(starting);
    setStatusMessage("Scanning...");
    track(AnalyticsEvent::scanStarted,
          {{"root_count", AnalyticsBuckets::count(static_cast<int64_t>(existingRoots.size()))},
           {"enabled_rule_count", AnalyticsBuckets::count(static_cast<int64_t>(m_settings.enabledRuleKeys.size()))},
           {"cleanup_method", m_settings.cleanupAction == CleanupAction::moveToTrash ? "trash" : "permanent"}});

    m_scanRun.start([options = std::move(options)](const RunContext<AppState> &run) {
        // The live list as the main thread builds it: each folder once, in the order found.
        std::unordered_map<std::string, uint32_t> livePosition;
        try {
            auto result = Tarnwicker::scan(
                options,
                [&run](const ScanProgress &progress) { run.progress(progress, &AppState::setScanProgress); },
                [&run, &livePosition](const CleanupCandidate &candidate) {
                    // Roots that contain one another reach some folders twice; the list shows each once.
                    const auto position = static_cast<uint32_t>(livePosition.size());
                    if (livePosition.emplace(candidate.id, position).second) {
                        run.post(candidate, &AppState::addLiveScanCandidate);
                    }
                },
                run.token());
            run.post(ReviewList::finishedScan(std::move(result), livePosition), &AppState::finishScan);
        } catch (const CancellationError &) {
            run.post(OperationPhase::cancelled, [](AppState &state, OperationPhase) { state.endScanCancelled(); });
        } catch (const std::exception &error) {
            run.post(std::string(error.what()), [](AppState &state, const std::string &message) {
                state.endScanFailed(message);
            });
        }
    });
}

void AppState::cancelScan()
{
    m_scanRun.cancel();
    setStatusMessage("Cancelling scan...");
}

void AppState::addLiveScanCandidate(CleanupCandidate candidate)
{
    const bool first = !m_review.focusedID();
    std::optional<std::string> id = first ? std::optional<std::string>(candidate.id) : std::nullopt;
    if (!m_review.addLive(std::move(candidate))) {
        return;
    }
    emit candidatesChanged();
    emit selectedCandidateIDsChanged();
    if (first) {
        setFocusedCandidateID(std::move(id));
    }
    setStatusMessage("Scanning... " + countPhrase(static_cast<int64_t>(m_review.candidates().size())) +
                     " found so far.");
}

void AppState::finishScan(ReviewList::FinishedScan finished)
{
    // Everything the list needs was made on the scan's thread. The candidates are in order before
    // isScanningChanged goes out, so a view that reads the rows then sees the sorted final list.
    std::optional<std::string> largest = finished.largest;
    const ReviewChanges changes = m_review.finishScan(finished);
    destroyInBackground(std::move(finished));
    setIsScanning(false);
    announce(changes);
    setFocusedCandidateID(std::move(largest));
    const auto count = static_cast<int64_t>(m_review.candidates().size());
    const int64_t total = totalSize();
    if (count == 0) {
        setStatusMessage("No cleanup folders found.", RunOutcome::scanFoundNothing);
    } else {
        setStatusMessage("Found " + countPhrase(count) + ", about " + formatByteCount(total) + ".",
                         RunOutcome::scanFound);
    }
    track(AnalyticsEvent::scanCompleted,
          {{"result_count_bucket", AnalyticsBuckets::count(count)},
           {"total_size_bucket", AnalyticsBuckets::size(total)},
           {"scan_duration_bucket", AnalyticsBuckets::duration(secondsSince(m_scanStartedAt))}});
}

void AppState::endScanCancelled()
{
    setIsScanning(false);
    auto progress = m_scanProgress;
    progress.phase = OperationPhase::cancelled;
    progress.message = "Scan cancelled";
    setScanProgress(std::move(progress));
    setStatusMessage("Scan cancelled.", RunOutcome::scanCancelled);
    track(AnalyticsEvent::scanCancelled);
}

void AppState::endScanFailed(const std::string &message)
{
    setIsScanning(false);
    auto progress = m_scanProgress;
    progress.phase = OperationPhase::failed;
    progress.message = message;
    setScanProgress(std::move(progress));
    setStatusMessage("Scan failed.", RunOutcome::scanFailed);
}

}  // namespace tarnwick
