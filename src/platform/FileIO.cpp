#include "platform/FileIO.h"

#include "core/PathRules.h"

#include <fcntl.h>
#include <sys/stat.h>
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

}  // namespace tarnwick
