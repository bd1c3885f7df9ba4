#include "engine/WalkSettings.h"

#include <algorithm>
#include <sched.h>
#include <thread>

namespace tarnwick {

unsigned walkThreadCount(const WalkSettings &settings)
{
    if (settings.threads > 0) {
        return settings.threads;
    }
    // The cores this process may run on, which a container or taskset may hold below the machine's.
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&allowed));
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

std::size_t walkDescriptorWindow(std::size_t workers)
{
    constexpr std::size_t kWalkDescriptors = 128;
    return std::clamp<std::size_t>(kWalkDescriptors / std::max<std::size_t>(workers, 1), 16, 64);
}

} // namespace tarnwick
