#pragma once

#include <string>
#include <vector>

namespace tarnwick {

// The names of the programs the current user is running: on Linux the command name of each of the
// user's processes (/proc/<pid>/comm, at most 15 bytes), in no particular order and with repeats.
// Processes that vanish while being read, or whose name is empty, are left out. With `everyUser`,
// every process counts: a daemon such as dockerd runs as root for everyone.
std::vector<std::string> runningApplicationNames(bool everyUser = false);

}  // namespace tarnwick
