#pragma once

#include "platform/DirectoryChain.h"
#include "platform/DirectoryLister.h"
#include "platform/MountPoints.h"
#include "platform/ReachedEntry.h"
#include "platform/Trash.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct TreeRemovalResult {
    int error = 0;       // 0 on success, else an errno value
    std::string message; // the system's text for the errno, or why the removal was refused
    bool succeeded() const { return error == 0; }
};

// Permanent removal of one entry and, for a folder, everything below it, working only through
// directory descriptors: each folder is opened O_DIRECTORY | O_NOFOLLOW relative to its parent and
// its entries are removed with unlinkat relative to it, children before their folder. No symbolic
// link is ever followed, not even one swapped in while the removal runs (it is removed as a link),
// so nothing outside the entry can be removed. The walk uses an explicit stack and the descriptor
// chain, so trees deeper than PATH_MAX are removed too.
//
// A removal never crosses into another file system. A folder that is, or holds, a mount point (its
// device or mount differs from its parent's, or /proc/self/mountinfo lists a mount at or below it,
// which catches bind mounts) is refused before anything is removed; every folder opened later is
// checked against the first one's device and mount as well, and the walk stops at a mismatch.
//
// One remover serves many removals, so its listing buffer and stacks are allocated once.
class TreeRemover {
public:
    // Called after each removed entry with the folder it was in and its name, children first and the
    // removed entry itself last.
    using EntryRemoved = std::function<void(std::string_view folderPath, std::string_view name)>;

    // Removes a reached entry; `path` is its path as the user knows it, used in the callback only.
    // The entry itself is never followed. With `expected`, an entry of another device or inode is
    // refused untouched. Stops at the first entry that cannot be listed or removed; what was
    // removed before stays removed.
    TreeRemovalResult remove(const ReachedEntry &entry, const std::string &path,
                             const std::optional<FileIdentity> &expected, const EntryRemoved &entryRemoved);

private:
    struct Pending {
        std::size_t depth; // chain length at which its parent is the top
        std::string name;
        bool contentsRemoved; // true once it has been entered: it is next removed itself
    };

    TreeRemovalResult removeContents(const EntryRemoved &entryRemoved);
    int removeFilesOfTop(const EntryRemoved &entryRemoved);

    DirectoryLister m_lister;
    DirectoryChain m_chain;
    std::vector<Pending> m_pending;
    std::vector<std::string> m_files;
    MountPlacement m_placement;
};

} // namespace tarnwick
