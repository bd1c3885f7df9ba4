#include "platform/TrashRestore.h"

#include "core/PathRules.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/TrashDirectorySizes.h"
#include "platform/FolderOpenFlags.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnwick {

namespace {


RestoreResult refused(std::string message)
{
    return {false, std::move(message)};
}

std::string systemText(int error)
{
    return std::strerror(error);
}

}  // namespace

RestoreResult restoreFromTrash(const std::string &trashedPath, const FileIdentity &expected,
                               const std::string &originalPath)
{
    const std::string trashed = normalizedPath(trashedPath);
    const std::string original = normalizedPath(originalPath);
    const std::string filesFolder(parentPath(trashed));
    const std::string name(lastPathComponent(trashed));
    if (lastPathComponent(filesFolder) != "files" || original == "/") {
        return refused("It is not an item of a Trash folder");
    }
    const std::string trashFolder(parentPath(filesFolder));

    // The trash folder is the user's own (a link to it was their choice); inside it nothing is
    // reached through a link.
    const FileDescriptor trashFd(::open(trashFolder.c_str(), kFolderOpenFlags));
    const FileDescriptor filesFd(trashFd.valid() ? ::openat(trashFd.get(), "files", kChildFolderOpenFlags) : -1);
    struct stat item {};
    if (!filesFd.valid() || ::fstatat(filesFd.get(), name.c_str(), &item, AT_SYMLINK_NOFOLLOW) != 0) {
        struct stat atOriginal {};
        if (::lstat(original.c_str(), &atOriginal) == 0 && expected.matches(atOriginal)) {
            return refused("It was already put back");
        }
        return refused("It is no longer in the Trash");
    }
    if (!expected.matches(item)) {
        return refused("The item in the Trash is no longer the one that was moved there; it was left in the Trash");
    }

    const std::string parent(parentPath(original));
    const std::string originalName(lastPathComponent(original));
    const FileDescriptor parentFd(::open(parent.c_str(), kFolderOpenFlags));
    if (!parentFd.valid()) {
        return refused("Its folder " + parent + " cannot be opened (" + systemText(errno) + "); it was left in the Trash");
    }
    struct stat occupant {};
    if (::fstatat(parentFd.get(), originalName.c_str(), &occupant, AT_SYMLINK_NOFOLLOW) == 0) {
        return refused("Something is at " + original + " now; nothing was overwritten");
    }

    // Who is in the Trash is checked again right before the one rename that puts it back.
    struct stat current {};
    if (::fstatat(filesFd.get(), name.c_str(), &current, AT_SYMLINK_NOFOLLOW) != 0 || !expected.matches(current)) {
        return refused("The item in the Trash is no longer the one that was moved there; it was left in the Trash");
    }
    if (renameWithoutReplacing(filesFd.get(), name.c_str(), parentFd.get(), originalName.c_str()) != 0) {
        if (errno == EEXIST) {
            return refused("Something is at " + original + " now; nothing was overwritten");
        }
        return refused("It cannot be moved back (" + systemText(errno) + "); it was left in the Trash");
    }

    const FileDescriptor infoFd(::openat(trashFd.get(), "info", kChildFolderOpenFlags));
    if (infoFd.valid()) {
        ::unlinkat(infoFd.get(), (name + ".trashinfo").c_str(), 0);
    }
    if (S_ISDIR(item.st_mode)) {
        forgetFoldersThatLeftTheTrash(trashFd.get());
    }
    return {true, {}};
}

}  // namespace tarnwick
