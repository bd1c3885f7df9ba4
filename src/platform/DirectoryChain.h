#pragma once

#include "platform/FileDescriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The folders open along a walk's current descent, from its root (index 0) to the folder being
// worked on (the top). A depth-first walk over an explicit stack only ever needs the ancestors of
// its pending entries, and those are exactly this chain: truncate to the pending entry's parent,
// then push the entry.
//
// Every folder below the root is opened relative to its parent with O_NOFOLLOW, so the walk never
// follows a symbolic link and works at any depth, including paths longer than PATH_MAX. To stay
// within the process's descriptor limit on very deep trees, descriptors deeper than a window below
// the top are closed (except every window-th one) and reopened by name on demand; a reopened
// folder must have the device and inode it had, or it counts as unreadable.
//
// The chain also keeps the path of the top folder in one buffer, extended and cut as the walk
// moves, so paths cost nothing per entry.
class DirectoryChain {
public:
    // Starts a new chain at an open folder.
    void reset(FileDescriptor root, std::string_view rootPath);
    void clear();

    std::size_t size() const { return m_nodes.size(); }
    bool empty() const { return m_nodes.empty(); }

    // Keeps the first `count` folders and closes the rest.
    void truncate(std::size_t count);

    // Opens `name` inside the top folder as a directory without following a link and makes it the
    // new top. Returns 0, or the errno of the failed open (the chain is then unchanged).
    int push(std::string_view name);

    // Descriptor of the folder at `index`, reopened when it was closed to save descriptors; -1
    // (errno set) when it cannot be reopened as the same folder.
    int fdAt(std::size_t index);
    int topFd() { return fdAt(m_nodes.size() - 1); }

    std::string_view topPath() const { return m_path; }
    std::string_view pathAt(std::size_t index) const { return std::string_view(m_path).substr(0, m_nodes[index].pathLength); }
    std::string_view nameAt(std::size_t index) const { return m_nodes[index].name; }

    // Descriptors kept open below the top; visible for tests of deep trees.
    static constexpr std::size_t kOpenWindow = 64;

private:
    struct Node {
        std::string name;
        FileDescriptor fd;
        std::size_t pathLength = 0;
        dev_t device = 0;
        ino_t inode = 0;
        bool identityKnown = false;
    };

    void closeOutsideWindow(std::size_t index);
    int reopen(std::size_t index);

    std::vector<Node> m_nodes;
    std::string m_path;
};

}  // namespace tarnwick
