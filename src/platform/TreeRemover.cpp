#include "platform/TreeRemover.h"

#include "core/PathRules.h"
#include "platform/MountPoints.h"
#include "platform/FolderOpenFlags.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarnwick {

namespace {


TreeRemovalResult systemError(int error)
{
    return {error, std::strerror(error)};
}

TreeRemovalResult refusal(int error, std::string message)
{
    return {error, std::move(message)};
}

int unlinkRetrying(int dirFd, const std::string &name, int flags)
{
    int result;
    do {
        result = ::unlinkat(dirFd, name.c_str(), flags);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

} // namespace

TreeRemovalResult TreeRemover::remove(const ReachedEntry &entry, const std::string &path,
                                      const std::optional<FileIdentity> &expected, const EntryRemoved &entryRemoved)
{
    if (!entry.reached()) {
        return systemError(EINVAL);
    }
    const std::string target = normalizedPath(path);
    const std::string parent(parentPath(target));
    const std::string &name = entry.name;
    const int parentFd = entry.parent.get();
    const auto matchesExpected = [&](const struct stat &status) { return !expected || expected->matches(status); };

    struct stat status {};
    if (::fstatat(parentFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return systemError(errno);
    }
    if (!S_ISDIR(status.st_mode)) {
        // A link, a file or anything else goes as itself; a link's target is never reached.
        if (!matchesExpected(status)) {
            return refusal(ESTALE, kChangedSinceScan);
        }
        if (const int error = unlinkRetrying(parentFd, name, 0)) {
            return systemError(error);
        }
        if (entryRemoved) {
            entryRemoved(parent, name);
        }
        return {};
    }

    FileDescriptor rootFd(::openat(parentFd, name.c_str(), kChildFolderOpenFlags));
    if (!rootFd.valid()) {
        return errno == ELOOP || errno == ENOTDIR ? refusal(ESTALE, kChangedSinceScan) : systemError(errno);
    }
    struct stat rootStatus {};
    if (::fstat(rootFd.get(), &rootStatus) != 0) {
        return systemError(errno);
    }
    if (!matchesExpected(rootStatus)) {
        return refusal(ESTALE, kChangedSinceScan);
    }
    // A mount point, or a folder holding one (bind mounts of this same file system included), is
    // refused before anything is removed, so the files a mount shows are never reached.
    if (const auto why = mountRefusal(parentFd, rootFd.get(), entry.canonicalPath)) {
        return refusal(EXDEV, *why);
    }
    const std::optional<MountPlacement> placement = mountPlacement(rootFd.get());
    if (!placement) {
        return systemError(errno);
    }
    m_placement = *placement;

    m_chain.reset(std::move(rootFd), target);
    TreeRemovalResult result = removeContents(entryRemoved);
    m_chain.clear();
    m_pending.clear();
    if (!result.succeeded()) {
        return result;
    }
    if (const int error = unlinkRetrying(parentFd, name, AT_REMOVEDIR)) {
        return systemError(error);
    }
    if (entryRemoved) {
        entryRemoved(parent, name);
    }
    return {};
}

TreeRemovalResult TreeRemover::removeContents(const EntryRemoved &entryRemoved)
{
    m_pending.clear();
    if (const int error = removeFilesOfTop(entryRemoved)) {
        return systemError(error);
    }
    while (!m_pending.empty()) {
        const std::size_t depth = m_pending.back().depth;
        m_chain.truncate(depth);
        if (m_pending.back().contentsRemoved) {
            const std::string name = std::move(m_pending.back().name);
            m_pending.pop_back();
            const int dirFd = m_chain.topFd();
            if (dirFd < 0) {
                return systemError(errno);
            }
            const int error = unlinkRetrying(dirFd, name, AT_REMOVEDIR);
            if (error == ENOENT) {
                continue; // gone already: someone else removed it
            }
            if (error != 0) {
                return systemError(error);
            }
            if (entryRemoved) {
                entryRemoved(m_chain.topPath(), name);
            }
            continue;
        }

        m_pending.back().contentsRemoved = true;
        const int openError = m_chain.push(m_pending.back().name);
        if (openError == ELOOP || openError == ENOTDIR) {
            // Listed as a folder, now something else (a link swapped in): remove that entry itself.
            const std::string name = std::move(m_pending.back().name);
            m_pending.pop_back();
            const int dirFd = m_chain.topFd();
            const int error = dirFd < 0 ? errno : unlinkRetrying(dirFd, name, 0);
            if (error == ENOENT) {
                continue;
            }
            if (error != 0) {
                return systemError(error);
            }
            if (entryRemoved) {
                entryRemoved(m_chain.topPath(), name);
            }
            continue;
        }
        if (openError == ENOENT) {
            m_pending.pop_back();
            continue;
        }
        if (openError != 0) {
            return systemError(openError);
        }
        const int dirFd = m_chain.topFd();
        if (dirFd < 0) {
            return systemError(errno);
        }
        if (!onSameMount(m_placement, dirFd)) {
            return refusal(EXDEV, "Stopped at a mount point at " + std::string(m_chain.topPath()) +
                                      "; nothing there was deleted");
        }
        if (const int error = removeFilesOfTop(entryRemoved)) {
            return systemError(error);
        }
    }
    return {};
}

// Lists the top folder, removes every entry that is not a folder, and queues the folders. Names are
// collected before anything is unlinked so the listing never runs over a directory it is changing.
int TreeRemover::removeFilesOfTop(const EntryRemoved &entryRemoved)
{
    const int dirFd = m_chain.topFd();
    if (dirFd < 0) {
        return errno;
    }
    const std::size_t childDepth = m_chain.size();
    m_files.clear();
    const int listError = m_lister.forEachEntry(dirFd, [&](const DirectoryEntry &entry) {
        bool isFolder = entry.type == DT_DIR;
        if (entry.type == DT_UNKNOWN) {
            struct stat status {};
            isFolder =
                ::fstatat(dirFd, entry.name.data(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
        }
        if (isFolder) {
            m_pending.push_back({childDepth, std::string(entry.name), false});
        } else {
            m_files.emplace_back(entry.name);
        }
    });
    if (listError != 0) {
        return listError;
    }
    for (const auto &name : m_files) {
        const int error = unlinkRetrying(dirFd, name, 0);
        if (error == ENOENT) {
            continue;
        }
        if (error == EISDIR || error == EPERM) {
            // A folder put in its place after the listing (unlink of a folder gives EISDIR, or EPERM
            // on some file systems): queue it as one if it really is a folder now.
            struct stat status {};
            if (::fstatat(dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode)) {
                m_pending.push_back({childDepth, name, false});
                continue;
            }
        }
        if (error != 0) {
            return error;
        }
        if (entryRemoved) {
            entryRemoved(m_chain.topPath(), name);
        }
    }
    return 0;
}

} // namespace tarnwick
