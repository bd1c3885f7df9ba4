#pragma once

#include "engine/CancellationToken.h"
#include "engine/CleanupCandidate.h"
#include "engine/ScanProgress.h"
#include "platform/DirectoryChain.h"
#include "platform/DirectoryLister.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace tarnwick {

// Size of one entry from its lstat record: allocated blocks times 512, or the logical length when
// nothing is allocated (empty files, short links kept inline, fully sparse files).
inline int64_t entrySize(const struct stat &status)
{
    const int64_t allocated = static_cast<int64_t>(status.st_blocks) * 512;
    return allocated >= 1 ? allocated : static_cast<int64_t>(status.st_size);
}

std::optional<Timestamp> modificationTime(const struct stat &status);

// Measures matched folders. One measurer serves a whole scan so its listing buffer and stacks are
// allocated once. The walk is the scan's own: depth-first over an explicit stack, last listed
// entry first, one fstatat per entry relative to its folder's descriptor, links never followed.
class SizeMeasurer {
public:
    struct Result {
        int64_t size = 0;
        std::optional<Timestamp> modifiedAt;  // of the measured folder's own entry
        std::optional<FileIdentity> identity; // of the measured entry; absent when it could not be read
    };

    // Measures the folder reached as `name` inside parentFd (AT_FDCWD with an absolute path for a
    // root); `path` is its standardized path, used in progress records only. Throws
    // CancellationError when the token is cancelled.
    Result measure(int parentFd, std::string_view name, std::string_view path, int64_t visitedDirs, int64_t matchedDirs,
                   const ScanProgressHandler &progress, const CancellationToken &token);

private:
    struct Pending {
        std::size_t depth; // the chain length at which its parent is the top
        std::string name;
        int64_t ownSize;
    };

    DirectoryLister m_lister;
    DirectoryChain m_chain;
    std::vector<Pending> m_pending;
};

} // namespace tarnwick
