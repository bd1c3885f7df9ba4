#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace tarnwick::testing {

// A tmpfs or bind mount for the life of the object, detached again afterwards (declare it after the
// FixtureTree that holds its mount point, so it goes first). Mounting needs root, or a mount
// namespace; when it is refused, mounted() is false and why() says so for a skip message.
class ScopedMount {
public:
    // A fresh tmpfs at `target`.
    static ScopedMount tmpfs(const std::string &target) { return ScopedMount(target, "tmpfs", "tmpfs", 0); }
    // The folder `source` shown again at `target`, on the same file system.
    static ScopedMount bind(const std::string &source, const std::string &target)
    {
        return ScopedMount(target, source, nullptr, MS_BIND);
    }

    ScopedMount(ScopedMount &&other) noexcept : m_target(std::move(other.m_target)), m_error(other.m_error)
    {
        other.m_target.clear();
    }
    ScopedMount(const ScopedMount &) = delete;
    ScopedMount &operator=(const ScopedMount &) = delete;
    ScopedMount &operator=(ScopedMount &&) = delete;
    ~ScopedMount()
    {
        if (mounted()) {
            ::umount2(m_target.c_str(), MNT_DETACH);
        }
    }

    bool mounted() const { return !m_target.empty() && m_error == 0; }
    std::string why() const { return "mounting is not permitted here: " + std::string(std::strerror(m_error)); }

private:
    ScopedMount(const std::string &target, const std::string &source, const char *type, unsigned long flags)
        : m_target(target)
    {
        if (::mount(source.c_str(), target.c_str(), type, flags, type != nullptr ? "size=4m" : nullptr) != 0) {
            m_error = errno;
        }
    }

    std::string m_target;
    int m_error = 0;
};

}  // namespace tarnwick::testing
