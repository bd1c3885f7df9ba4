#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace tarnwick {

// Who an entry is: its device and inode. A cleanup that carries one refuses to touch anything else.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    static FileIdentity of(const struct stat &status) { return {status.st_dev, status.st_ino}; }
    bool matches(const struct stat &status) const { return status.st_dev == device && status.st_ino == inode; }
    bool operator==(const FileIdentity &) const = default;
};

} // namespace tarnwick
