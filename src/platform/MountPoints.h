#pragma once

#include "core/MountTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarnwick {

// The top folder of the volume holding `canonicalFolder` (an absolute path without symbolic links,
// on device `device`): the innermost mount point at or above it. When the mount table is unreadable
// or disagrees with the device (a btrfs subvolume reports its own device without being mounted),
// the top is where walking up leaves the device.
std::string volumeTopFolder(const std::string &canonicalFolder, dev_t device);

// The absolute path, without symbolic links, of the folder open at `dirFd`, as the kernel knows it;
// nullopt when it cannot tell (no /proc, or the folder has been removed).
std::optional<std::string> openFolderPath(int dirFd);

// Where an open entry lies: its device, its mount, and whether it is the root of that mount. The
// mount tells a bind mount of the same file system apart, which the device number cannot.
struct MountPlacement {
    uint64_t device = 0;
    uint64_t mountID = 0;
    bool mountKnown = false;
    bool isMountRoot = false; // only when the kernel says so; false when it cannot tell
};
std::optional<MountPlacement> mountPlacement(int fd);

// Whether the entry open at `fd` lies on the same device and mount as `reference`.
bool onSameMount(const MountPlacement &reference, int fd);

// Why the folder open at `folderFd`, inside the folder open at `parentFd`, must not be moved or
// removed as a whole: it is a mount point (another device or mount than its parent, or a mount root
// by the kernel's word), or the mount table lists a mount at or below it, bind mounts of the same
// file system included. `canonicalPath` is the folder's path with links resolved, the mount table's
// form; empty means "ask the kernel". nullopt when neither applies.
std::optional<std::string> mountRefusal(int parentFd, int folderFd, const std::string &canonicalPath);

} // namespace tarnwick
