#pragma once

#include <string>
#include <vector>

namespace tarnwick {

// The mount points of this process's mount namespace, decoded from /proc/self/mountinfo, in the
// order they were mounted (a later mount at the same place hides an earlier one). Empty when the
// table cannot be read. This is the one source for "is or holds a mount point": it lists bind
// mounts of the same file system too, which device numbers cannot tell apart.
std::vector<std::string> mountPoints();

} // namespace tarnwick
