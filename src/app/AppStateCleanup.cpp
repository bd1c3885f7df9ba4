// The classic cleanup: confirmation, the background run, and what its end changes: statistics,
// history, the summary, the review list, the status line and the events.

#include "app/AppState.h"
#include "app/CandidateOrdering.h"
#include "app/MainThreadPoster.h"
#include "core/AnalyticsBuckets.h"
#include "core/CountPhrase.h"
#include "core/PathRules.h"
#include "core/SaturatingAdd.h"
#include "app/PutBackController.h"
#include "app/SuperCleanCoordinator.h"
#include "engine/CancellationToken.h"
#include "engine/CleaningLog.h"
#include "engine/Tarnwicker.h"
#include "engine/Uuid.h"

#include <QThreadPool>

#include <algorithm>
#include <map>

namespace tarnwick {

namespace {

std::string methodValue(CleanupAction action)
{
    return action == CleanupAction::moveToTrash ? "trash" : "permanent";
}

std::string actionVerb(CleanupAction action)
{
    return action == CleanupAction::moveToTrash ? "Moved" : "Deleted";
}

int64_t sizeOf(const std::vector<CleanupCandidate> &candidates)
{
    int64_t total = 0;
    for (const auto &candidate : candidates) {
        total = saturatingAdd(total, candidate.size);
    }
    return total;
}

// The path with the home folder shown as "~".
std::string abbreviated(std::string_view path, const std::string &home)
{
    if (home.size() > 1 && isPathInside(path, home)) {
        return "~" + std::string(path.substr(home.size()));
    }
    return std::string(path);
}

}  // namespace

std::string AppState::abbreviatingHome(std::string_view path) const
{
    return abbreviated(path, m_environment.homeFolder);
}

void AppState::requestDeleteConfirmation()
{
    if (m_isScanning || m_isDeleting) {
        return;
    }
    if (m_selectedCandidateIDs.empty()) {
        setStatusMessage("Select folders first.");
        return;
    }
    if (!m_isDeleteConfirmationPresented) {
        m_isDeleteConfirmationPresented = true;
        emit isDeleteConfirmationPresentedChanged();
    }
}

void AppState::dismissDeleteConfirmation()
{
    if (m_isDeleteConfirmationPresented) {
        m_isDeleteConfirmationPresented = false;
        emit isDeleteConfirmationPresentedChanged();
    }
}

void AppState::dismissCleanupSummary()
{
    setCleanupSummary(std::nullopt);
}

void AppState::deleteSelected()
{
    if (m_isScanning || m_isDeleting) {
        return;
    }
    auto selected = selectedCandidates();
    if (selected.empty()) {
        setStatusMessage("Select folders first.");
        return;
    }
    auto token = std::make_shared<CancellationToken>();
    m_deleteToken = token;
    const CleanupAction action = m_cleanupAction;
    m_deleteStartedAt = std::chrono::system_clock::now();

    setIsDeleting(true);
    setFailures({});
    DeleteProgress preparing;
    preparing.phase = OperationPhase::starting;
    preparing.message = "Preparing cleanup";
    preparing.total = static_cast<int64_t>(selected.size());
    setDeleteProgress(preparing);
    setStatusMessage(action == CleanupAction::moveToTrash ? "Moving..." : "Deleting...");
    track(AnalyticsEvent::cleanupStarted,
          {{"selected_count_bucket", AnalyticsBuckets::count(static_cast<int64_t>(selected.size()))},
           {"selected_size_bucket", AnalyticsBuckets::size(sizeOf(selected))},
           {"cleanup_method", methodValue(action)}});

    QThreadPool::globalInstance()->start([poster = MainThreadPoster(this), selected = std::move(selected), action,
                                          token]() mutable {
        std::map<std::string, std::string> trashedTo;
        DeleteResult result = Tarnwicker::deleteCandidates(
            selected, action, {}, {},
            [&poster, &trashedTo](const DeleteProgress &progress) {
                CleaningLog::noteTrashMove(progress, trashedTo);
                poster.post([progress](AppState &state) { state.setDeleteProgress(progress); });
            },
            *token);
        // Journaled here, off the main thread, so Put Back can find the moves.
        const Timestamp now = std::chrono::system_clock::now();
        CleaningLog::record(CleaningLog::recordsOfMoves(result.deleted, trashedTo, now), now);
        poster.post([result = std::move(result), action](AppState &state) { state.finishCleanup(result, action); });
    });
}

void AppState::putBackLastCleanup()
{
    // A cleanup in progress is still writing the journal this reads.
    if (m_isDeleting || m_superCleanCoordinator->isBusy()) {
        return;
    }
    m_putBack->putBackLastCleanup();
    setStatusMessage(m_putBack->outcomeText());
}

void AppState::cancelCleanup()
{
    if (m_deleteToken) {
        m_deleteToken->cancel();
    }
    setStatusMessage("Cancelling after the current folder...");
}

void AppState::finishCleanup(const DeleteResult &result, CleanupAction action)
{
    const auto &cleaned = result.deleted;
    const int64_t bytes = sizeOf(cleaned);
    const auto failureCount = static_cast<int64_t>(result.failures.size());

    m_deleteToken.reset();
    setIsDeleting(false);
    setFailures(result.failures);
    m_putBack->cleanupFinished();

    const auto now = std::chrono::system_clock::now();
    CleanupStats stats = m_cleanupStats;
    if (!cleaned.empty() || bytes > 0) {
        stats.cleanedBytes = saturatingAdd(stats.cleanedBytes, bytes);
        stats.cleanedFolders = saturatingAdd(stats.cleanedFolders, static_cast<int64_t>(cleaned.size()));
        stats.cleanupRuns = saturatingAdd(stats.cleanupRuns, 1);
        stats.lastCleanupAt = now;
        int64_t &methodBytes =
            action == CleanupAction::moveToTrash ? stats.movedToTrashBytes : stats.permanentlyDeletedBytes;
        methodBytes = saturatingAdd(methodBytes, bytes);
    }
    setCleanupStats(stats);

    if (!cleaned.empty() || failureCount > 0) {
        CleanupHistoryEntry entry{newUuid(),
                                  now,
                                  std::string(rawValue(action)),
                                  static_cast<int64_t>(cleaned.size()),
                                  bytes,
                                  folderSummary(cleaned, m_environment.homeFolder),
                                  failureCount,
                                  result.cancelled};
        auto history = m_cleanupHistory;
        history.insert(history.begin(), std::move(entry));
        setCleanupHistory(history);
        if (history.size() > kCleanupHistoryLimit) {
            history.resize(kCleanupHistoryLimit);
            setCleanupHistory(std::move(history));
        }
        setCleanupSummary(CleanupSummary{newUuid(), action, static_cast<int64_t>(cleaned.size()), bytes, failureCount,
                                         result.cancelled, m_cleanupStats.cleanedBytes});
    }

    std::set<std::string> removed;
    for (const auto *list : {&cleaned, &result.missing}) {
        for (const auto &candidate : *list) {
            removed.insert(candidate.id);
        }
    }
    if (!removed.empty()) {
        auto remaining = m_candidates;
        std::erase_if(remaining, [&](const CleanupCandidate &c) { return removed.contains(c.id); });
        setCandidates(std::move(remaining));
        auto selection = m_selectedCandidateIDs;
        std::erase_if(selection, [&](const std::string &id) { return removed.contains(id); });
        setSelectedCandidateIDs(std::move(selection));
        if (m_focusedCandidateID && removed.contains(*m_focusedCandidateID)) {
            const auto &shown = displayedRows();
            setFocusedCandidateID(shown.empty() ? std::nullopt : std::optional<std::string>(shown.front()->id));
        }
    }

    const std::string verb = actionVerb(action);
    const auto cleanedPhrase = countPhrase(static_cast<int64_t>(cleaned.size()));
    if (result.cancelled) {
        auto progress = m_deleteProgress;
        progress.phase = OperationPhase::cancelled;
        progress.message = "Cleanup cancelled";
        setDeleteProgress(std::move(progress));
        setStatusMessage(cleaned.empty() ? "Cleanup cancelled." : "Cleanup cancelled. " + verb + " " + cleanedPhrase + ".");
        track(AnalyticsEvent::cleanupCancelled);
    } else if (failureCount > 0) {
        setStatusMessage(verb + " " + cleanedPhrase + ". " + std::to_string(failureCount) + " failed.");
    } else if (cleaned.empty() && !result.missing.empty()) {
        setStatusMessage(countPhrase(static_cast<int64_t>(result.missing.size())) + " already gone.");
    } else {
        std::string status = verb + " " + cleanedPhrase + " " +
                             (action == CleanupAction::moveToTrash ? "to Trash" : "permanently") + ".";
        if (!result.missing.empty()) {
            status += " " + countPhrase(static_cast<int64_t>(result.missing.size())) + " already gone.";
        }
        setStatusMessage(std::move(status));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::system_clock::now() - m_deleteStartedAt.value_or(now)).count();
    track(AnalyticsEvent::cleanupCompleted,
          {{"cleaned_count_bucket", AnalyticsBuckets::count(static_cast<int64_t>(cleaned.size()))},
           {"cleaned_size_bucket", AnalyticsBuckets::size(bytes)},
           {"missing_count_bucket", AnalyticsBuckets::count(static_cast<int64_t>(result.missing.size()))},
           {"failure_count_bucket", AnalyticsBuckets::count(failureCount)},
           {"cleanup_method", methodValue(action)},
           {"cleanup_duration_bucket", AnalyticsBuckets::duration(seconds)}});
}

std::string AppState::folderSummary(const std::vector<CleanupCandidate> &candidates, const std::string &home)
{
    if (candidates.empty()) {
        return "No folders cleaned";
    }
    auto sorted = candidates;
    sortCandidates(sorted, CandidateSortMode::target);
    std::string summary;
    const std::size_t shown = std::min<std::size_t>(2, sorted.size());
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) {
            summary += ", ";
        }
        summary += sorted[i].key + " - " + abbreviated(parentPath(sorted[i].path), home);
    }
    if (sorted.size() > shown) {
        summary += " +" + std::to_string(sorted.size() - shown) + " more";
    }
    return summary;
}

}  // namespace tarnwick
