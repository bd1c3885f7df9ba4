#include "core/PathRules.h"
#include "engine/Tarnwicker.h"
#include "engine/Uuid.h"
#include "platform/ReachedEntry.h"
#include "platform/Trash.h"
#include "platform/TreeRemover.h"

#include <cstring>

namespace tarnwick::Tarnwicker {

namespace {

std::string_view skipReason(SnapshotValidationResult result)
{
    switch (result) {
    case SnapshotValidationResult::inaccessible:
        return "not accessible";
    case SnapshotValidationResult::pathEscape:
        return "outside approved folder";
    case SnapshotValidationResult::symbolicLink:
        return "became a symbolic link";
    case SnapshotValidationResult::mountPoint:
        return "became a mount point";
    case SnapshotValidationResult::changed:
    case SnapshotValidationResult::valid:
    case SnapshotValidationResult::missing:
        break;
    }
    return "changed since scan";
}

template <typename Map> const typename Map::mapped_type *lookup(const Map &map, const std::string &key)
{
    const auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

// One run: the result lists, the position, and the entries removed from the current candidate.
class CandidateDeletion {
public:
    CandidateDeletion(const std::vector<CleanupCandidate> &candidates, CleanupAction action,
                      const std::map<std::string, FileSystemSnapshot> &snapshots,
                      const std::map<std::string, std::string> &approvedRoots, const DeleteProgressHandler &progress,
                      const CancellationToken &token)
        : m_candidates(candidates), m_action(action), m_snapshots(snapshots), m_approvedRoots(approvedRoots),
          m_progress(progress), m_token(token), m_total(static_cast<int64_t>(candidates.size()))
    {
    }

    DeleteResult run()
    {
        report(OperationPhase::starting, "Preparing cleanup", 0, nullptr, {});
        for (std::size_t position = 0; position < m_candidates.size(); ++position) {
            const CleanupCandidate &candidate = m_candidates[position];
            const auto index = static_cast<int64_t>(position) + 1;
            if (m_token.isCancelled()) {
                return cancelled(index - 1, nullptr);
            }
            m_entriesInCurrent = 0;
            if (!handle(candidate, index)) {
                return cancelled(index, &candidate);
            }
        }
        DeleteProgress done = record(OperationPhase::done, "Cleanup complete", m_total, nullptr, {});
        send(done);
        return std::move(m_result);
    }

private:
    // Re-checks and removes one candidate; false when the run was cancelled right before a move.
    bool handle(const CleanupCandidate &candidate, int64_t index)
    {
        const FileSystemSnapshot *snapshot = lookup(m_snapshots, candidate.id);
        const std::string *approvedRoot = lookup(m_approvedRoots, candidate.id);
        const bool checked = snapshot != nullptr && approvedRoot != nullptr;
        if (checked) {
            const SnapshotValidationResult validation = snapshot->validate(candidate.path, *approvedRoot);
            if (validation == SnapshotValidationResult::missing) {
                m_result.missing.push_back(candidate);
                report(OperationPhase::deleting, "Already gone: " + candidate.key, index, &candidate, {});
                return true;
            }
            if (validation != SnapshotValidationResult::valid) {
                const std::string reason(skipReason(validation));
                m_result.skipped.push_back({newUuid(), candidate, reason});
                report(OperationPhase::deleting, "Skipped " + candidate.key + ": " + reason, index, &candidate, {});
                return true;
            }
        }
        // Where to reach the candidate from, and who it must be: the approved root and the snapshot
        // of a checked item, else the root and the identity the scan recorded. A candidate that
        // carries neither is reached from "/" without following any link.
        std::string root = "/";
        std::optional<FileIdentity> rootIdentity;
        std::optional<FileIdentity> expected;
        if (checked) {
            root = *approvedRoot;
            expected = FileIdentity{static_cast<dev_t>(snapshot->deviceID), static_cast<ino_t>(snapshot->inode)};
        } else if (candidate.origin) {
            root = candidate.origin->root;
            rootIdentity = candidate.origin->rootIdentity;
            expected = candidate.origin->identity;
        }
        const ReachedEntry reached = reachEntry(root, rootIdentity, candidate.path);
        if (reached.outcome == ReachedEntry::Outcome::missing) {
            m_result.missing.push_back(candidate);
            report(OperationPhase::deleting, "Already gone: " + candidate.key, index, &candidate, {});
            return true;
        }
        const bool changed = reached.outcome == ReachedEntry::Outcome::changed ||
                             (reached.reached() && expected && !expected->matches(reached.status));
        if (changed && checked) {
            const std::string reason(skipReason(SnapshotValidationResult::changed));
            m_result.skipped.push_back({newUuid(), candidate, reason});
            report(OperationPhase::deleting, "Skipped " + candidate.key + ": " + reason, index, &candidate, {});
            return true;
        }
        if (changed || !reached.reached()) {
            m_result.failures.push_back(
                {newUuid(), candidate.path, changed ? std::string(kChangedSinceScan) : std::strerror(reached.error)});
            report(OperationPhase::deleting, "Failed to clean " + candidate.key, index, &candidate, {});
            return true;
        }
        const bool toTrash = m_action == CleanupAction::moveToTrash;
        report(OperationPhase::deleting, (toTrash ? "Moving " : "Deleting ") + candidate.key, index, &candidate, {});

        const std::string path = normalizedPath(candidate.path);
        std::string failure;
        std::string trashPath;
        if (toTrash) {
            if (m_token.isCancelled()) {
                return false;
            }
            // A scan measured the folder (every entry has a size above 0); handing that on keeps the
            // move a single rename.
            const std::optional<int64_t> knownSize =
                candidate.size > 0 ? std::optional<int64_t>(candidate.size) : std::nullopt;
            const TrashMoveResult moved = moveToTrash(reached, path, expected, knownSize);
            if (moved.succeeded()) {
                trashPath = moved.trashedPath;
                m_entriesInCurrent = 1;
                DeleteProgress movedRecord = record(OperationPhase::deleting, "Moved " + candidate.key + " to Trash",
                                                    index, &candidate, moved.trashedPath);
                movedRecord.entriesDeletedInCurrent = 1;
                send(movedRecord);
            } else {
                failure = moved.message.empty() ? std::strerror(moved.error) : moved.message;
            }
        } else {
            const TreeRemovalResult removed =
                m_remover.remove(reached, path, expected, [&](std::string_view folderPath, std::string_view name) {
                    ++m_entriesInCurrent;
                    if (m_entriesInCurrent == 1 || m_entriesInCurrent % 100 == 0) {
                        DeleteProgress entryRecord =
                            record(OperationPhase::deleting,
                                   "Deleted " + std::to_string(m_entriesInCurrent) + " entries from " + candidate.key,
                                   index, &candidate, joinPath(folderPath, name));
                        entryRecord.entriesDeletedInCurrent = m_entriesInCurrent;
                        send(entryRecord);
                    }
                });
            if (!removed.succeeded()) {
                failure = removed.message;
            }
        }

        if (failure.empty()) {
            m_result.deleted.push_back(candidate);
            if (snapshot != nullptr && !trashPath.empty()) {
                m_result.trashRecords.push_back({newUuid(), candidate.path, trashPath, *snapshot, candidate.category,
                                                 candidate.size, std::chrono::system_clock::now()});
            }
            DeleteProgress removedRecord = record(
                OperationPhase::deleting, (toTrash ? "Moved " : "Deleted ") + candidate.key, index, &candidate, {});
            removedRecord.entriesDeletedInCurrent = m_entriesInCurrent;
            send(removedRecord);
        } else {
            m_result.failures.push_back({newUuid(), candidate.path, std::move(failure)});
            DeleteProgress failedRecord =
                record(OperationPhase::deleting, "Failed to clean " + candidate.key, index, &candidate, {});
            failedRecord.entriesDeletedInCurrent = m_entriesInCurrent;
            send(failedRecord);
        }
        return true;
    }

    // Cancelled before the candidate at index + 1 (candidate null), or during `candidate`.
    DeleteResult cancelled(int64_t index, const CleanupCandidate *candidate)
    {
        DeleteProgress cancelledRecord = record(OperationPhase::cancelled, "Cleanup cancelled", index, candidate, {});
        cancelledRecord.entriesDeletedInCurrent = candidate != nullptr ? m_entriesInCurrent : 0;
        send(cancelledRecord);
        m_result.cancelled = true;
        return std::move(m_result);
    }

    DeleteProgress record(OperationPhase phase, std::string message, int64_t index, const CleanupCandidate *candidate,
                          std::string currentItem) const
    {
        DeleteProgress progress;
        progress.phase = phase;
        progress.message = std::move(message);
        progress.total = m_total;
        progress.currentIndex = index;
        progress.deletedCount = static_cast<int64_t>(m_result.deleted.size());
        progress.failedCount = static_cast<int64_t>(m_result.failures.size());
        progress.currentPath = candidate != nullptr ? candidate->path : std::string();
        progress.currentItem = std::move(currentItem);
        return progress;
    }

    void report(OperationPhase phase, std::string message, int64_t index, const CleanupCandidate *candidate,
                std::string currentItem)
    {
        send(record(phase, std::move(message), index, candidate, std::move(currentItem)));
    }

    void send(const DeleteProgress &progress) const
    {
        if (m_progress) {
            m_progress(progress);
        }
    }

    const std::vector<CleanupCandidate> &m_candidates;
    const CleanupAction m_action;
    const std::map<std::string, FileSystemSnapshot> &m_snapshots;
    const std::map<std::string, std::string> &m_approvedRoots;
    const DeleteProgressHandler &m_progress;
    const CancellationToken &m_token;
    const int64_t m_total;

    TreeRemover m_remover;
    DeleteResult m_result;
    int64_t m_entriesInCurrent = 0;
};

} // namespace

DeleteResult deleteCandidates(const std::vector<CleanupCandidate> &candidates, CleanupAction action,
                              const std::map<std::string, FileSystemSnapshot> &validationSnapshots,
                              const std::map<std::string, std::string> &approvedRootsByCandidateID,
                              const DeleteProgressHandler &progress, const CancellationToken &token)
{
    return CandidateDeletion(candidates, action, validationSnapshots, approvedRootsByCandidateID, progress, token)
        .run();
}

} // namespace tarnwick::Tarnwicker
