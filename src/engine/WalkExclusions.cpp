#include "engine/WalkExclusions.h"

#include "platform/TrashFolders.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick {

namespace {

std::pair<dev_t, ino_t> keyOf(const FileIdentity &identity)
{
    return {identity.device, identity.inode};
}

} // namespace

WalkExclusions::WalkExclusions(const std::vector<std::string> &roots, const std::set<std::string> &excludedPaths)
{
    for (const auto &identity : trashFolderIdentities(roots)) {
        m_trash.insert(keyOf(identity));
    }
    for (const auto &path : excludedPaths) {
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            m_excluded.insert(keyOf(FileIdentity::of(status)));
        }
    }
}

bool WalkExclusions::excludes(int parentFd, std::string_view name) const
{
    const bool mayBeTrash = mayBeTrashFolderName(name);
    if (m_excluded.empty() && !mayBeTrash) {
        return false;
    }
    const std::string terminated(name);
    struct stat status {};
    if (::fstatat(parentFd, terminated.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    const FileIdentity identity = FileIdentity::of(status);
    return isExcluded(identity) || (mayBeTrash && (isTrash(identity) || isVolumeTrashByPlace(parentFd, name)));
}

bool WalkExclusions::excludesRoot(const std::string &rootPath) const
{
    struct stat status {};
    if (::stat(rootPath.c_str(), &status) != 0) {
        return false;
    }
    const FileIdentity identity = FileIdentity::of(status);
    return isExcluded(identity) || isTrash(identity);
}

bool WalkExclusions::isExcluded(const FileIdentity &identity) const
{
    return m_excluded.contains(keyOf(identity));
}

bool WalkExclusions::isTrash(const FileIdentity &identity) const
{
    return m_trash.contains(keyOf(identity));
}

} // namespace tarnwick
