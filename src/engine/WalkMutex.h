#pragma once

#include <mutex>

namespace tarnwick {

// The lock of something a walk's workers share. A walk with a single worker shares nothing, and
// the locks it would take for every folder are a measurable part of its time, so there locking is
// the test of a flag.
class WalkMutex {
public:
    explicit WalkMutex(bool shared) : m_shared(shared) {}

    void lock()
    {
        if (m_shared) {
            m_mutex.lock();
        }
    }
    void unlock()
    {
        if (m_shared) {
            m_mutex.unlock();
        }
    }

private:
    const bool m_shared;
    std::mutex m_mutex;
};

} // namespace tarnwick
