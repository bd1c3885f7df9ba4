#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// Bytes an unprivileged user can still write on the volume that holds `path` (statvfs: available
// blocks times the fragment size); 0 when the volume cannot be read.
int64_t availableSpace(const std::string &path);

}  // namespace tarnwick
