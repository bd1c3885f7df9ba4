#include "platform/AvailableSpace.h"

#include <sys/statvfs.h>

#include <limits>

namespace tarnwick {

int64_t availableSpace(const std::string &path)
{
    struct statvfs volume {};
    if (::statvfs(path.c_str(), &volume) != 0) {
        return 0;
    }
    constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    const uint64_t fragment = volume.f_frsize;
    if (fragment != 0 && volume.f_bavail > kMax / fragment) {
        return std::numeric_limits<int64_t>::max();
    }
    return static_cast<int64_t>(volume.f_bavail * fragment);
}

}  // namespace tarnwick
