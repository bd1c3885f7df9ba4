#include "platform/Trash.h"

#include "core/PathRules.h"
#include "platform/FileIO.h"
#include "platform/MountPoints.h"
#include "platform/TrashDirectory.h"
#include "platform/TrashDirectorySizes.h"
#include "platform/TrashInfo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
// Room kept in a long name for ".N" suffixes up to seven digits.
constexpr std::size_t kSuffixRoom = 8;
constexpr unsigned kMaxNameAttempts = 100000;

TrashMoveResult failure(int error)
{
    return {error, std::strerror(error), {}};
}

TrashMoveResult failure(int error, std::string message)
{
    return {error, std::move(message), {}};
}

TrashMoveResult identityMismatch()
{
    return failure(ESTALE, kChangedSinceScan);
}

// The item's name, shortened when NAME.N.trashinfo would not fit the file system's name limit.
// The full original path stays in the info file, so a restore brings the full name back.
std::string baseNameInTrash(std::string_view name, int infoFd)
{
    const long limit = ::fpathconf(infoFd, _PC_NAME_MAX);
    const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : 255;
    const std::size_t room = nameMax - kInfoSuffix.size() - kSuffixRoom;
    if (name.size() <= room) {
        return std::string(name);
    }
    std::size_t cut = room;
    // Back off to the start of a UTF-8 sequence rather than leave half a character behind.
    for (int step = 0; step < 3 && cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80; ++step) {
        --cut;
    }
    return std::string(name.substr(0, cut));
}

enum class Reservation { reserved, taken, failed };

// Claims `candidate` by creating its info file exclusively; the O_EXCL create is what makes two
// programs trashing at once pick different names.
Reservation reserveName(int infoFd, const std::string &infoName, const std::string &infoText, std::time_t &infoModified,
                        int &error)
{
    FileDescriptor info(::openat(infoFd, infoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!info.valid()) {
        error = errno;
        return error == EEXIST ? Reservation::taken : Reservation::failed;
    }
    struct stat status {};
    if (!writeAll(info.get(), infoText) || ::fsync(info.get()) != 0 || ::fstat(info.get(), &status) != 0) {
        error = errno;
        ::unlinkat(infoFd, infoName.c_str(), 0);
        return Reservation::failed;
    }
    infoModified = status.st_mtim.tv_sec;
    // The info entry must survive a crash once the item sits in files/, or the item is orphaned.
    ::fsync(infoFd);
    return Reservation::reserved;
}

} // namespace

TrashMoveResult moveToTrash(const std::string &path, const std::optional<FileIdentity> &expected,
                            std::optional<int64_t> knownSize)
{
    if (path.size() < 2 || path[0] != '/') {
        return failure(EINVAL);
    }
    const ReachedEntry entry = reachEntry("/", std::nullopt, path);
    switch (entry.outcome) {
    case ReachedEntry::Outcome::reached:
        return moveToTrash(entry, normalizedPath(path), expected, knownSize);
    case ReachedEntry::Outcome::missing:
        return failure(ENOENT);
    case ReachedEntry::Outcome::changed:
        return failure(entry.error == 0 ? ESTALE : entry.error, kChangedSinceScan);
    case ReachedEntry::Outcome::failed:
        break;
    }
    return failure(entry.error);
}

TrashMoveResult moveToTrash(const ReachedEntry &entry, const std::string &path,
                            const std::optional<FileIdentity> &expected, std::optional<int64_t> knownSize)
{
    const std::string &name = entry.name;
    if (!entry.reached() || name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        return failure(EINVAL);
    }
    const int parentFd = entry.parent.get();
    struct stat parent {};
    struct stat item {};
    if (::fstat(parentFd, &parent) != 0 || ::fstatat(parentFd, name.c_str(), &item, AT_SYMLINK_NOFOLLOW) != 0) {
        return failure(errno);
    }
    if (expected && !expected->matches(item)) {
        return identityMismatch();
    }
    if (entry.canonicalPath.empty()) {
        return failure(ENAMETOOLONG, "Its location cannot be told exactly; it was left where it is");
    }
    const std::string &canonicalItem = entry.canonicalPath;
    const std::string canonicalParent(parentPath(canonicalItem));

    if (S_ISDIR(item.st_mode)) {
        // A mount carried into the Trash would be deleted with it when the Trash is emptied.
        // O_PATH: a folder the user may move but not read is still looked at.
        const FileDescriptor folder(::openat(parentFd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder.valid()) {
            return failure(errno == ELOOP || errno == ENOTDIR ? ESTALE : errno,
                           errno == ELOOP || errno == ENOTDIR ? kChangedSinceScan : std::strerror(errno));
        }
        struct stat opened {};
        if (::fstat(folder.get(), &opened) != 0 || opened.st_dev != item.st_dev || opened.st_ino != item.st_ino) {
            return identityMismatch();
        }
        if (const std::optional<std::string> refusal = mountRefusal(parentFd, folder.get(), canonicalItem)) {
            return failure(EXDEV, *refusal);
        }
    }

    // The parent's device decides the volume. A folder's own st_dev differs from its parent's only
    // at a mount point (refused above) or a btrfs subvolume (which renames like any folder of its
    // file system), and overlay file systems may report a lower layer's device for files that
    // still rename fine within the overlay.
    int error = 0;
    std::optional<TrashDirectory> trash = TrashDirectory::forFolder(canonicalParent, parent.st_dev, error);
    if (!trash) {
        return failure(error, std::string(kNoUsableTrash) + " (" + std::strerror(error) + "); it was left untouched");
    }
    if (const std::optional<std::string> trashPath = openFolderPath(trash->fd())) {
        if (isPathInside(canonicalItem, *trashPath)) {
            return failure(EINVAL, "The item is already in the Trash.");
        }
        if (isPathInside(*trashPath, canonicalItem)) {
            return failure(EINVAL, "The item holds the Trash folder itself, so it cannot be moved into it.");
        }
    }

    const std::string infoText = trashInfoText(trash->originalPath(path, canonicalItem), std::time(nullptr));
    const std::string baseName = baseNameInTrash(name, trash->infoFd());
    for (unsigned attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const std::string candidate = attempt == 1 ? baseName : baseName + "." + std::to_string(attempt);
        struct stat existing {};
        if (::fstatat(trash->filesFd(), candidate.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
            continue;
        }
        if (errno != ENOENT) {
            return failure(errno);
        }
        const std::string infoName = candidate + std::string(kInfoSuffix);
        std::time_t infoModified = 0;
        switch (reserveName(trash->infoFd(), infoName, infoText, infoModified, error)) {
        case Reservation::taken:
            continue;
        case Reservation::failed:
            return failure(error);
        case Reservation::reserved:
            break;
        }

        // Re-check the identity as late as possible: only the rename itself comes after this.
        if (expected) {
            struct stat current {};
            const bool gone = ::fstatat(parentFd, name.c_str(), &current, AT_SYMLINK_NOFOLLOW) != 0;
            const int checkError = errno;
            if (gone || !expected->matches(current)) {
                ::unlinkat(trash->infoFd(), infoName.c_str(), 0);
                return gone ? failure(checkError) : identityMismatch();
            }
        }
        if (renameWithoutReplacing(parentFd, name.c_str(), trash->filesFd(), candidate.c_str()) != 0) {
            const int renameError = errno;
            ::unlinkat(trash->infoFd(), infoName.c_str(), 0);
            if (renameError == EEXIST) {
                continue; // another program took files/NAME without an info file first
            }
            return failure(renameError);
        }

        if (S_ISDIR(item.st_mode)) {
            if (const std::optional<int64_t> size =
                    knownSize ? knownSize : folderDiskUsage(trash->filesFd(), candidate)) {
                recordTrashedFolderSize(trash->fd(), candidate, *size, infoModified);
            }
        }
        return {0, {}, joinPath(joinPath(trash->path(), "files"), candidate)};
    }
    return failure(EEXIST);
}

} // namespace tarnwick
