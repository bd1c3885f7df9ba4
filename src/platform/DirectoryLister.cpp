#include "platform/DirectoryLister.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {

DirectoryLister::DirectoryLister() : m_buffer(std::make_unique<char[]>(kBufferSize)) {}

long DirectoryLister::readBatch(int dirFd)
{
    while (true) {
        const long count = ::syscall(SYS_getdents64, dirFd, m_buffer.get(), kBufferSize);
        if (count >= 0) {
            return count;
        }
        if (errno != EINTR) {
            return -errno;
        }
    }
}

}  // namespace tarnwick
