#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The mount points of this process's mount namespace, decoded from /proc/self/mountinfo, in the
// order they were mounted (a later mount at the same place hides an earlier one). Empty when the
// table cannot be read.
std::vector<std::string> mountPoints();

// The top folder of the volume holding `canonicalFolder` (an absolute path without symbolic links,
// on device `device`): the innermost mount point at or above it. When the mount table is unreadable
// or disagrees with the device (a btrfs subvolume reports its own device without being mounted),
// the top is where walking up leaves the device.
std::string volumeTopFolder(const std::string &canonicalFolder, dev_t device);

// The absolute path, without symbolic links, of the folder open at `dirFd`, as the kernel knows it;
// nullopt when it cannot tell (no /proc, or the folder has been removed).
std::optional<std::string> openFolderPath(int dirFd);

}  // namespace tarnwick
