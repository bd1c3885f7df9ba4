#pragma once

#include "platform/FileDescriptor.h"
#include "platform/FileIdentity.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace tarnwick {

// One folder a parallel walk has opened, shared by every worker whose pending work lies below it.
// A folder holds its parent, so the ancestors of any pending entry stay known and a worker that
// takes over an entry from another can rebuild the descent to it.
//
// The descriptor stays open while some worker's chain pins the folder (see WalkChain) or a lease
// holds it. Otherwise it is closed, which keeps a deep walk within its descriptor budget, and it
// is reopened by name from the nearest open ancestor when a lease needs it again; a reopened
// folder must have the device and inode it had, or it counts as unreadable. The descriptor is used
// for openat and fstatat of the folder's entries, which are safe from several threads at once, and
// is listed only by the worker that opened it, before anyone else sees the folder.
class WalkFolder {
public:
    // A root opened by the caller; `path` is its standardized path. `order` is the root's position
    // in the walk's list of roots.
    static std::shared_ptr<WalkFolder> root(FileDescriptor fd, std::string_view path, uint32_t order);

    // Opens `name` inside the folder open at parentFd as a directory without following a link.
    static FileDescriptor openChild(int parentFd, const std::string &name);

    // A folder opened (with openChild) as `name` inside `parent`; `order` is the entry's position
    // among the entries its parent's listing queued.
    static std::shared_ptr<WalkFolder> adopt(const std::shared_ptr<WalkFolder> &parent, FileDescriptor fd,
                                             std::string name, uint32_t order);

    WalkFolder(const WalkFolder &) = delete;
    WalkFolder &operator=(const WalkFolder &) = delete;
    ~WalkFolder();

    class Lease {
    public:
        Lease() = default;
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Lease(Lease &&other) noexcept;
        Lease &operator=(Lease &&other) noexcept;
        ~Lease();

        // -1 when the folder could not be reopened as itself.
        int fd() const { return m_fd; }

    private:
        friend class WalkFolder;
        Lease(WalkFolder *folder, int fd) : m_folder(folder), m_fd(fd) {}
        void release();

        WalkFolder *m_folder = nullptr;
        int m_fd = -1;
    };

    // The descriptor, reopened first when it was closed.
    Lease lease();

    // The descriptor of a folder the caller's own chain pins: a pinned folder is never closed, so it
    // needs no lease and, once open, no lock. Reopened first when it was closed; -1 when it cannot be.
    int pinnedFd();

    // A chain that keeps the folder open pins it. Unpinning the last pin closes the descriptor when
    // `close` is true and no lease holds it; a root is never closed (it may not be reachable by
    // name). Closing remembers the identity so a reopen can be checked.
    void pin();
    void unpin(bool close);

    const std::shared_ptr<WalkFolder> &parent() const { return m_parent; }
    // The entry's name in its parent; a root's path for a root.
    const std::string &name() const { return m_name; }
    std::size_t depth() const { return m_depth; }
    uint32_t order() const { return m_order; }

private:
    // Lets make_shared (one allocation per folder) reach the constructor, and no one else.
    struct Key {};

public:
    WalkFolder(Key, std::shared_ptr<WalkFolder> parent, std::string name, uint32_t order, FileDescriptor fd);

private:
    void endLease();
    void closeLocked();

    const std::shared_ptr<WalkFolder> m_parent;
    const std::string m_name;
    const std::size_t m_depth;
    const uint32_t m_order;

    std::mutex m_mutex;
    std::atomic<int> m_fd; // changed only under the mutex
    int m_leases = 0;
    int m_pins = 0;
    FileIdentity m_identity;
    bool m_identityKnown = false;
};

} // namespace tarnwick
