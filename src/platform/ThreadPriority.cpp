#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <utility>
#include <sys/resource.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr int kNiceSteps = 10;
constexpr int kLowestPriority = 19;

}  // namespace

void lowerThreadPriority()
{
    // On Linux the nice value belongs to the thread named by its id, not to the whole process, and
    // a thread inherits it from the thread that creates it. A failure leaves the priority as it was,
    // which costs the window some smoothness and nothing else.
    // Once per thread: a pool's thread calls this for every task it runs.
    thread_local bool lowered = false;
    if (std::exchange(lowered, true)) {
        return;
    }
    const auto thread = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    if (current == -1 && errno != 0) {
        return;
    }
    (void)::setpriority(PRIO_PROCESS, thread, std::min(current + kNiceSteps, kLowestPriority));
}

}  // namespace tarnwick
