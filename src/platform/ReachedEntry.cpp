#include "platform/ReachedEntry.h"

#include "core/PathRules.h"
#include "platform/MountPoints.h"
#include "platform/FolderOpenFlags.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarnwick {

namespace {


ReachedEntry outcome(ReachedEntry::Outcome kind, int error = 0)
{
    ReachedEntry entry;
    entry.outcome = kind;
    entry.error = error;
    return entry;
}

// What an error met on the way to an entry means for the cleanup.
ReachedEntry failedOnTheWay(int error)
{
    switch (error) {
    case ENOENT:
        return outcome(ReachedEntry::Outcome::missing);
    case ELOOP:   // a link where a folder was
    case ENOTDIR: // a file where a folder was
    case EXDEV:   // the resolver saw the walk leave the root
        return outcome(ReachedEntry::Outcome::changed, error);
    default:
        return outcome(ReachedEntry::Outcome::failed, error);
    }
}

int openFolderAt(int dirFd, const char *name)
{
    int fd;
    do {
        fd = ::openat(dirFd, name, kChildFolderOpenFlags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

FileDescriptor openByComponents(int rootFd, const std::string &relative)
{
    FileDescriptor current;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) {
            end = relative.size();
        }
        const std::string component = relative.substr(start, end - start);
        const int fd = openFolderAt(current.valid() ? current.get() : rootFd, component.c_str());
        if (fd < 0) {
            return {};
        }
        current.reset(fd);
        start = end + 1;
    }
    return current;
}

// Opens the folder `relative` (standardized, no leading "/") below the folder open at rootFd
// without following a single link on the way and without leaving the root.
FileDescriptor openBeneath(int rootFd, const std::string &relative, BeneathResolution resolution)
{
    if (resolution == BeneathResolution::automatic && relative.size() < PATH_MAX) {
        open_how how{};
        how.flags = static_cast<uint64_t>(kChildFolderOpenFlags);
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        long fd;
        int attempts = 0;
        do {
            // EAGAIN: the kernel saw a rename race during resolution and wants a retry.
            fd = ::syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how);
        } while (fd < 0 && (errno == EINTR || (errno == EAGAIN && ++attempts < 16)));
        if (fd >= 0) {
            return FileDescriptor(static_cast<int>(fd));
        }
        if (errno != ENOSYS && errno != EPERM && errno != E2BIG) {
            return {};
        }
        // Without openat2 (older kernels, or a sandbox that filters it) the steps below are the way.
    }
    return openByComponents(rootFd, relative);
}

} // namespace

ReachedEntry reachEntry(const std::string &root, const std::optional<FileIdentity> &rootIdentity,
                        const std::string &path, BeneathResolution resolution)
{
    const std::string rootPath = normalizedPath(root);
    const std::string target = normalizedPath(path);
    if (!isPathInside(target, rootPath)) {
        return outcome(ReachedEntry::Outcome::changed, EXDEV);
    }
    if (target == "/") {
        return outcome(ReachedEntry::Outcome::failed, EBUSY);
    }

    ReachedEntry entry;
    entry.name = std::string(lastPathComponent(target));
    if (target == rootPath) {
        const std::string parent(parentPath(target));
        entry.parent.reset(::open(parent.c_str(), kFolderOpenFlags));
        if (!entry.parent.valid()) {
            return failedOnTheWay(errno);
        }
        if (const auto real = openFolderPath(entry.parent.get())) {
            entry.canonicalPath = joinPath(*real, entry.name);
        }
    } else {
        FileDescriptor rootFd(::open(rootPath.c_str(), kFolderOpenFlags));
        if (!rootFd.valid()) {
            return failedOnTheWay(errno == ENOTDIR ? ENOTDIR : errno);
        }
        struct stat rootStatus {};
        if (::fstat(rootFd.get(), &rootStatus) != 0) {
            return outcome(ReachedEntry::Outcome::failed, errno);
        }
        if (rootIdentity && !rootIdentity->matches(rootStatus)) {
            return outcome(ReachedEntry::Outcome::changed, ESTALE);
        }
        const std::string relative = rootPath == "/" ? target.substr(1) : target.substr(rootPath.size() + 1);
        const std::size_t slash = relative.rfind('/');
        if (slash == std::string::npos) {
            entry.parent = std::move(rootFd);
        } else {
            entry.parent = openBeneath(rootFd.get(), relative.substr(0, slash), resolution);
            if (!entry.parent.valid()) {
                return failedOnTheWay(errno);
            }
        }
        // No link lies below the root on the way, so the root's real path and the rest are the
        // entry's real path, however deep it is.
        const int rootForPath = slash == std::string::npos ? entry.parent.get() : rootFd.get();
        if (const auto realRoot = openFolderPath(rootForPath)) {
            entry.canonicalPath = *realRoot == "/" ? "/" + relative : *realRoot + "/" + relative;
        }
    }

    if (::fstatat(entry.parent.get(), entry.name.c_str(), &entry.status, AT_SYMLINK_NOFOLLOW) != 0) {
        return failedOnTheWay(errno);
    }
    entry.outcome = ReachedEntry::Outcome::reached;
    return entry;
}

} // namespace tarnwick
