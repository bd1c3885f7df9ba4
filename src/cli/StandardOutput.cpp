#include "cli/StandardOutput.h"

#include "cli/ScanCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnwick::cli {

namespace {

// The first error of a write to descriptor 1; 0 while every write has gone through.
int g_firstError = 0;

ssize_t writeToDescriptor(void *, const char *data, size_t size)
{
    size_t written = 0;
    while (written < size) {
        const ssize_t count = ::write(STDOUT_FILENO, data + written, size - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            if (g_firstError == 0) {
                g_firstError = count < 0 ? errno : EIO;
            }
            return 0;  // the stream marks itself failed; no write goes further from here
        }
        written += static_cast<size_t>(count);
    }
    return static_cast<ssize_t>(written);
}

void reopenIfClosed(int fd, int flags)
{
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
        return;
    }
    // The lowest free number is `fd` itself, the lower ones being open already. No O_CLOEXEC: a
    // standard descriptor is one that programs started from here would inherit.
    const int opened = ::open("/dev/null", flags);
    if (opened >= 0 && opened != fd) {
        ::close(opened);
    }
}

}  // namespace

void takeOverStandardOutput()
{
    reopenIfClosed(STDIN_FILENO, O_RDONLY);
    reopenIfClosed(STDOUT_FILENO, O_RDONLY);
    reopenIfClosed(STDERR_FILENO, O_WRONLY);
    const cookie_io_functions_t functions{nullptr, writeToDescriptor, nullptr, nullptr};
    std::FILE *checked = ::fopencookie(nullptr, "w", functions);
    if (checked == nullptr) {
        return;  // the ordinary stream stays; finishOutput still sees its errors, if not always why
    }
    std::fflush(stdout);
    if (::isatty(STDOUT_FILENO) == 1) {
        std::setvbuf(checked, nullptr, _IOLBF, BUFSIZ);
    }
    stdout = checked;
}

bool writeOutput(std::string_view text, std::FILE *stream)
{
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fflush(stream) == 0 && written;
}

int finishOutput(int status)
{
    const int flushError = std::fflush(stdout) != 0 ? errno : 0;
    const bool failed = std::ferror(stdout) != 0 || flushError != 0;
    const int closeError = std::fclose(stdout) != 0 ? errno : 0;
    int error = g_firstError != 0 ? g_firstError : flushError != 0 ? flushError : closeError;
    if (!failed && error == 0) {
        return status;
    }
    if (error == 0) {
        error = EIO;
    }
    std::fprintf(stderr, "tarnwick-cli: cannot write output: %s\n", std::strerror(error));
    return status == kExitDone ? kExitSomeFailed : status;
}

}  // namespace tarnwick::cli
