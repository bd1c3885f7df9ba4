#pragma once

#include "core/FileSystemSnapshot.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupAction.h"
#include "engine/CleanupCandidate.h"
#include "engine/DeleteProgress.h"
#include "engine/DeleteResult.h"
#include "engine/ScanOptions.h"
#include "engine/ScanProgress.h"
#include "engine/WalkSettings.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The scan engine's operations: plain synchronous calls that block the calling thread, report
// through callbacks on that thread and keep no state between calls.
namespace tarnwick::Tarnwicker {

using CandidateHandler = std::function<void(const CleanupCandidate &)>;

// Walks the roots depth-first, matches the selected rules, measures every match and returns the
// candidates largest first (equal sizes in the order a one-thread walk finds them). Throws
// CancellationError when the token is cancelled; candidates already handed to candidateFound stay
// valid. The walk runs on `settings.threads` workers, this thread being one of them; the handlers
// are called on this thread only, and the results do not depend on the number of workers.
std::vector<CleanupCandidate> scan(const ScanOptions &options, const ScanProgressHandler &progress,
                                   const CandidateHandler &candidateFound, const CancellationToken &token,
                                   const WalkSettings &settings = {});

// Cleans the candidates one by one, in order: each is re-checked right before it is touched (its
// snapshot must still validate when it has both a snapshot and an approved root, and something
// must exist at its path), then moved to the Trash or removed permanently. Every candidate ends in
// exactly one of the result's lists; one failing folder never stops the run. The token is polled
// before each candidate and once more right before each move to the Trash, never inside one
// folder's removal, so a cancelled run leaves no folder half-moved. Never throws.
DeleteResult deleteCandidates(const std::vector<CleanupCandidate> &candidates, CleanupAction action,
                              const std::map<std::string, FileSystemSnapshot> &validationSnapshots,
                              const std::map<std::string, std::string> &approvedRootsByCandidateID,
                              const DeleteProgressHandler &progress, const CancellationToken &token);

// Total allocated size of a folder and everything below it, each entry counted once per path,
// links never followed. Throws CancellationError when the token is cancelled.
int64_t measurePath(const std::string &folderPath, int64_t visitedDirs, int64_t matchedDirs,
                    const ScanProgressHandler &progress, const CancellationToken &token,
                    const WalkSettings &settings = {});

// Size of one entry: allocated blocks times 512, or the logical length when no block is allocated;
// 0 when it cannot be read. Never follows a final symbolic link.
int64_t fileSystemSize(const std::string &path);

// The folders directly inside a folder that a walk may enter: directories, never symbolic links.
std::vector<std::string> childDirectories(const std::string &folderPath);

// The folder's content modification date, absent when it cannot be read.
std::optional<Timestamp> modifiedDate(const std::string &path);

} // namespace tarnwick::Tarnwicker
