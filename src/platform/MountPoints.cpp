#include "platform/MountPoints.h"

#include "core/MountTable.h"
#include "core/PathRules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarnwick {

namespace {

bool onDevice(const std::string &path, dev_t device)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && status.st_dev == device;
}

} // namespace

std::string volumeTopFolder(const std::string &canonicalFolder, dev_t device)
{
    std::string innermost;
    for (const std::string &point : mountPoints()) {
        if (isPathInside(canonicalFolder, point) && point.size() >= innermost.size()) {
            innermost = point;
        }
    }
    if (!innermost.empty() && onDevice(innermost, device)) {
        return innermost;
    }
    std::string top = canonicalFolder;
    while (top != "/") {
        std::string parent(parentPath(top));
        if (!onDevice(parent, device)) {
            break;
        }
        top = std::move(parent);
    }
    return top;
}

std::optional<std::string> openFolderPath(int dirFd)
{
    const std::string link = "/proc/self/fd/" + std::to_string(dirFd);
    std::string target(256, '\0');
    while (true) {
        const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            break;
        }
        target.resize(target.size() * 2);
    }
    // A removed folder reads as "PATH (deleted)"; a path that is not absolute is no folder at all.
    struct stat byPath {};
    struct stat byDescriptor {};
    if (target.empty() || target[0] != '/' || ::stat(target.c_str(), &byPath) != 0 ||
        ::fstat(dirFd, &byDescriptor) != 0 || byPath.st_dev != byDescriptor.st_dev ||
        byPath.st_ino != byDescriptor.st_ino) {
        return std::nullopt;
    }
    return target;
}

std::optional<MountPlacement> mountPlacement(int fd)
{
    struct statx status {};
    if (::statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &status) != 0) {
        return std::nullopt;
    }
    MountPlacement placement;
    placement.device = makedev(status.stx_dev_major, status.stx_dev_minor);
    placement.mountKnown = (status.stx_mask & STATX_MNT_ID) != 0;
    placement.mountID = placement.mountKnown ? status.stx_mnt_id : 0;
    placement.isMountRoot = (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                            (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return placement;
}

bool onSameMount(const MountPlacement &reference, int fd)
{
    const std::optional<MountPlacement> placement = mountPlacement(fd);
    if (!placement || placement->device != reference.device) {
        return false;
    }
    return !(placement->mountKnown && reference.mountKnown) || placement->mountID == reference.mountID;
}

std::optional<std::string> mountRefusal(int parentFd, int folderFd, const std::string &canonicalPath)
{
    const std::optional<MountPlacement> parent = mountPlacement(parentFd);
    const std::optional<MountPlacement> folder = mountPlacement(folderFd);
    if (!parent || !folder) {
        return "Its mount could not be read; nothing was deleted";
    }
    if (folder->isMountRoot || !onSameMount(*parent, folderFd)) {
        return "It is a mount point; nothing was deleted";
    }
    // Mounts below the folder, bind mounts of this same file system included, show only in the
    // mount table; its paths are the kernel's, links resolved.
    const std::string folderPath = !canonicalPath.empty() ? canonicalPath : openFolderPath(folderFd).value_or("");
    if (folderPath.empty()) {
        return std::nullopt;
    }
    for (auto &point : mountPoints()) {
        if (isPathInside(point, folderPath)) {
            return "It holds a mount point at " + point + "; nothing was deleted";
        }
    }
    return std::nullopt;
}

} // namespace tarnwick
