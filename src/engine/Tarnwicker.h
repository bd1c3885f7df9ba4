#pragma once

#include "engine/CancellationToken.h"
#include "engine/CleanupCandidate.h"
#include "engine/ScanOptions.h"
#include "engine/ScanProgress.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The scan engine's operations: plain synchronous calls that block the calling thread, report
// through callbacks on that thread and keep no state between calls.
namespace tarnwick::Tarnwicker {

using CandidateHandler = std::function<void(const CleanupCandidate &)>;

// Walks the roots depth-first, matches the selected rules, measures every match and returns the
// candidates largest first (equal sizes in the order found). Throws CancellationError when the
// token is cancelled; candidates already handed to candidateFound stay valid.
std::vector<CleanupCandidate> scan(const ScanOptions &options, const ScanProgressHandler &progress,
                                   const CandidateHandler &candidateFound, const CancellationToken &token);

// Total allocated size of a folder and everything below it, each entry counted once per path,
// links never followed. Throws CancellationError when the token is cancelled.
int64_t measurePath(const std::string &folderPath, int64_t visitedDirs, int64_t matchedDirs,
                    const ScanProgressHandler &progress, const CancellationToken &token);

// Size of one entry: allocated blocks times 512, or the logical length when no block is allocated;
// 0 when it cannot be read. Never follows a final symbolic link.
int64_t fileSystemSize(const std::string &path);

// The folders directly inside a folder that a walk may enter: directories, never symbolic links.
std::vector<std::string> childDirectories(const std::string &folderPath);

// The folder's content modification date, absent when it cannot be read.
std::optional<Timestamp> modifiedDate(const std::string &path);

}  // namespace tarnwick::Tarnwicker
