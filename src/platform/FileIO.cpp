#include "platform/FileIO.h"

#include "core/PathRules.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

bool readAll(int fd, std::string &text, std::size_t limit)
{
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) {
            return true;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (text.size() + static_cast<std::size_t>(count) > limit) {
            errno = EFBIG;
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

FileDescriptor openRegularFile(int dirFd, const char *name, int flags, mode_t mode)
{
    FileDescriptor fd(::openat(dirFd, name, flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode));
    if (!fd.valid()) {
        return fd;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        const int error = errno;
        fd.reset();
        errno = error;
        return fd;
    }
    if (!S_ISREG(status.st_mode)) {
        fd.reset();
        errno = EINVAL;
        return fd;
    }
    // The flag was only for the open; later reads and writes should behave as on any file.
    const int statusFlags = ::fcntl(fd.get(), F_GETFL);
    if (statusFlags != -1) {
        ::fcntl(fd.get(), F_SETFL, statusFlags & ~O_NONBLOCK);
    }
    return fd;
}

int makeFolderPath(const std::string &path)
{
    int firstError = 0;
    std::string prefix;
    for (const std::string &component : pathComponents(path)) {
        prefix += '/';
        prefix += component;
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST && firstError == 0) {
            firstError = errno;
        }
    }
    return firstError;
}

int renameWithoutReplacing(int fromFd, const char *fromName, int toFd, const char *toName)
{
    // RENAME_NOREPLACE of <linux/fs.h>; the syscall is used directly so older C libraries without a
    // renameat2 wrapper build too.
    constexpr unsigned kRenameNoReplace = 1U << 0;
    int result;
    do {
        result = static_cast<int>(::syscall(SYS_renameat2, fromFd, fromName, toFd, toName, kRenameNoReplace));
    } while (result != 0 && errno == EINTR);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // Some file systems (older NFS and FUSE servers) cannot promise "no replace". Callers check
        // the name is free (the Trash also reserves it), so a plain rename that re-checks the target
        // first can only lose to a racing program that ignores that.
        struct stat existing {};
        if (::fstatat(toFd, toName, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
            errno = EEXIST;
            return -1;
        }
        result = ::renameat(fromFd, fromName, toFd, toName);
    }
    return result;
}

namespace {

enum class AppendOutcome { written, absent, failed };

AppendOutcome appendToExisting(const std::string &path, const std::string &text)
{
    // Anything but a regular file there (a FIFO would hold the cleaning's thread until someone
    // opened its other end; a link could point anywhere) is left alone and the lines are dropped.
    const FileDescriptor fd = openRegularFile(AT_FDCWD, path.c_str(), O_WRONLY | O_APPEND);
    if (!fd.valid()) {
        return errno == ENOENT ? AppendOutcome::absent : AppendOutcome::failed;
    }
    // One write of a few lines with O_APPEND lands after whatever another process appended.
    return writeAll(fd.get(), text) ? AppendOutcome::written : AppendOutcome::failed;
}

// Writes the new journal beside its final name and links it into place. link() refuses an existing
// name, so a journal that appeared meanwhile is appended to instead of replaced.
bool createWhole(const std::string &path, const std::string &text)
{
    std::string temporary = std::string(parentPath(path)) + "/." + std::string(lastPathComponent(path)) + ".XXXXXX";
    const FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    const bool written = writeAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    const bool linked = written && ::link(temporary.c_str(), path.c_str()) == 0;
    const bool raced = written && !linked && errno == EEXIST;
    ::unlink(temporary.c_str());
    if (raced) {
        return appendToExisting(path, text) == AppendOutcome::written;
    }
    return linked;
}

}  // namespace

bool appendLines(const std::string &path, const std::string &text)
{
    switch (appendToExisting(path, text)) {
    case AppendOutcome::written:
        return true;
    case AppendOutcome::absent:
        return createWhole(path, text);
    case AppendOutcome::failed:
        break;
    }
    return false;
}

bool readRegularFile(const std::string &path, std::string &text, std::size_t limit)
{
    const FileDescriptor fd = openRegularFile(AT_FDCWD, path.c_str(), O_RDONLY);
    return fd.valid() && readAll(fd.get(), text, limit);
}

}  // namespace tarnwick
