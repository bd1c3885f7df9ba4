#include "platform/TrashDirectory.h"

#include "core/PathRules.h"
#include "platform/FileIO.h"
#include "platform/MountPoints.h"
#include "platform/UserFolders.h"
#include "platform/FolderOpenFlags.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace tarnwick {

namespace {

constexpr mode_t kPrivateFolder = 0700;

// Opens `name` inside dirFd as a folder, creating it (private) when missing, never through a link.
FileDescriptor openOrMakePrivateFolder(int dirFd, const char *name, int &error)
{
    if (::mkdirat(dirFd, name, kPrivateFolder) != 0 && errno != EEXIST) {
        error = errno;
        return {};
    }
    FileDescriptor fd(::openat(dirFd, name, kChildFolderOpenFlags));
    if (!fd.valid()) {
        error = errno == ELOOP ? ENOTDIR : errno;
    }
    return fd;
}

// A per-user trash on a shared volume must belong to the user; one that another user made could be
// read or emptied by them.
bool ownedByUs(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_uid == ::geteuid();
}

// The device and canonical path of `path`, or of its nearest existing ancestor when it does not
// exist yet: the volume the data home is, or will be created, on.
bool nearestExistingFolder(const std::string &path, dev_t &device, std::string &canonical)
{
    std::string existing = path;
    struct stat status {};
    while (::stat(existing.c_str(), &status) != 0) {
        if (existing == "/") {
            return false;
        }
        existing = std::string(parentPath(existing));
    }
    char resolved[PATH_MAX];
    if (::realpath(existing.c_str(), resolved) == nullptr) {
        return false;
    }
    device = status.st_dev;
    canonical = resolved;
    return true;
}

}  // namespace

std::optional<TrashDirectory> TrashDirectory::forFolder(const std::string &canonicalParent, dev_t device, int &error)
{
    const std::string dataHome = dataHomeFolder();
    const std::string itemTop = volumeTopFolder(canonicalParent, device);
    dev_t homeDevice = 0;
    std::string homeExisting;
    // Same device is not enough: a bind mount of the home volume elsewhere cannot rename into it.
    if (nearestExistingFolder(dataHome, homeDevice, homeExisting) && homeDevice == device &&
        volumeTopFolder(homeExisting, homeDevice) == itemTop) {
        return openHome(dataHome, device, error);
    }
    return openOnVolume(itemTop, device, error);
}

std::optional<TrashDirectory> TrashDirectory::openHome(const std::string &dataHome, dev_t device, int &error)
{
    const int creationError = makeFolderPath(dataHome);
    FileDescriptor dataFd(::open(dataHome.c_str(), kFolderOpenFlags));
    if (!dataFd.valid()) {
        error = creationError != 0 ? creationError : errno;
        return std::nullopt;
    }
    if (::mkdirat(dataFd.get(), "Trash", kPrivateFolder) != 0 && errno != EEXIST) {
        error = errno;
        return std::nullopt;
    }
    TrashDirectory trash;
    // The home trash is the user's own folder; a link they put there is their choice to follow.
    trash.m_fd.reset(::openat(dataFd.get(), "Trash", kFolderOpenFlags));
    if (!trash.m_fd.valid()) {
        error = errno;
        return std::nullopt;
    }
    trash.m_path = joinPath(dataHome, "Trash");
    if (!trash.openContents(device, error)) {
        return std::nullopt;
    }
    return trash;
}

std::optional<TrashDirectory> TrashDirectory::openOnVolume(const std::string &topFolder, dev_t device, int &error)
{
    FileDescriptor topFd(::open(topFolder.c_str(), kFolderOpenFlags));
    if (!topFd.valid()) {
        error = errno;
        return std::nullopt;
    }
    const std::string uid = std::to_string(::geteuid());

    // An administrator's shared .Trash counts only when it is a real folder with the sticky bit,
    // so users cannot remove or replace each other's trash folders inside it.
    struct stat shared {};
    if (::fstatat(topFd.get(), ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) != 0) {
        FileDescriptor sharedFd(::openat(topFd.get(), ".Trash", kChildFolderOpenFlags));
        int ignored = 0;
        TrashDirectory trash;
        if (sharedFd.valid()) {
            trash.m_fd = openOrMakePrivateFolder(sharedFd.get(), uid.c_str(), ignored);
        }
        if (trash.m_fd.valid() && ownedByUs(trash.m_fd.get())) {
            trash.m_path = joinPath(joinPath(topFolder, ".Trash"), uid);
            trash.m_topFolder = topFolder;
            if (trash.openContents(device, ignored)) {
                return trash;
            }
        }
    }

    TrashDirectory trash;
    const std::string ownName = ".Trash-" + uid;
    trash.m_fd = openOrMakePrivateFolder(topFd.get(), ownName.c_str(), error);
    if (!trash.m_fd.valid()) {
        return std::nullopt;
    }
    if (!ownedByUs(trash.m_fd.get())) {
        error = EPERM;
        return std::nullopt;
    }
    trash.m_path = joinPath(topFolder, ownName);
    trash.m_topFolder = topFolder;
    if (!trash.openContents(device, error)) {
        return std::nullopt;
    }
    return trash;
}

bool TrashDirectory::openContents(dev_t device, int &error)
{
    m_files = openOrMakePrivateFolder(m_fd.get(), "files", error);
    if (!m_files.valid()) {
        return false;
    }
    m_info = openOrMakePrivateFolder(m_fd.get(), "info", error);
    if (!m_info.valid()) {
        return false;
    }
    // A rename cannot leave the device, and a move must never turn into a copy.
    struct stat status {};
    if (::fstat(m_files.get(), &status) != 0 || status.st_dev != device) {
        error = EXDEV;
        return false;
    }
    return true;
}

std::string TrashDirectory::originalPath(const std::string &itemPath, const std::string &canonicalItemPath) const
{
    if (isHomeTrash()) {
        return itemPath;
    }
    if (m_topFolder == "/") {
        return canonicalItemPath.substr(1);
    }
    return canonicalItemPath.substr(m_topFolder.size() + 1);
}

}  // namespace tarnwick
