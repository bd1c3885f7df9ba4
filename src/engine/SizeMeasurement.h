#pragma once

#include "engine/CancellationToken.h"
#include "engine/CleanupCandidate.h"
#include "engine/MatchMeasurement.h"
#include "engine/ScanReporter.h"
#include "engine/WalkScheduler.h"
#include "engine/WalkSettings.h"
#include "engine/WalkWorker.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace tarnwick {

class ListedFolder;

// Size of one entry from its lstat record: allocated blocks times 512, or the logical length when
// nothing is allocated (empty files, short links kept inline, fully sparse files).
inline int64_t entrySize(const struct stat &status)
{
    const int64_t allocated = static_cast<int64_t>(status.st_blocks) * 512;
    return allocated >= 1 ? allocated : static_cast<int64_t>(status.st_size);
}

std::optional<Timestamp> modificationTime(const struct stat &status);

// Measures matched folders as part of a walk. Every folder inside a match is a task of its own,
// so the workers share a large match as they share the rest of the tree. A folder is listed once
// and every entry gets one fstatat relative to the folder's descriptor, which answers both whether
// it is a folder to queue (links are never followed) and how big it is; a queued sub-folder's own
// size rides along and is counted when it is measured, as a one-thread walk counts it.
class SizeMeasurer {
public:
    SizeMeasurer(ScanReporter &reporter, WalkScheduler &scheduler, const WalkSettings &settings,
                 std::function<void()> callerTurn);

    // Starts measuring the match `name` inside `parent`, open at parentFd (a root: no parent,
    // AT_FDCWD and its absolute path), with `order` its place there. The worker's chain must end
    // at the parent. Reports the start, reads the folder's own entry and lists it; its sub-folders
    // are queued on the worker's stack. Throws CancellationError when the walk is stopping.
    void start(std::size_t worker, WalkWorker &state, const std::shared_ptr<MatchMeasurement> &match,
               const std::shared_ptr<WalkFolder> &parent, int parentFd, std::string_view name, uint32_t order);

    // Measures a queued folder inside a match.
    void measure(std::size_t worker, WalkWorker &state, WalkTask &task);

private:
    // Lists a folder of the match, at basePath/its name when belowBase, else at basePath.
    void list(std::size_t worker, WalkWorker &state, const std::shared_ptr<MatchMeasurement> &match,
              ListedFolder &folder, std::string_view basePath, bool belowBase, int64_t ownSize);
    void countOnly(WalkWorker &state, MatchMeasurement &match, int64_t bytes);

    ScanReporter &m_reporter;
    WalkScheduler &m_scheduler;
    const WalkSettings &m_settings;
    std::function<void()> m_callerTurn;
};

} // namespace tarnwick
