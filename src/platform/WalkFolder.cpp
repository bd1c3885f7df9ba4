#include "platform/WalkFolder.h"

#include "platform/FolderOpenFlags.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace tarnwick {

WalkFolder::WalkFolder(Key, std::shared_ptr<WalkFolder> parent, std::string name, uint32_t order, FileDescriptor fd)
    : m_parent(std::move(parent)), m_name(std::move(name)), m_depth(m_parent ? m_parent->m_depth + 1 : 0),
      m_order(order), m_fd(fd.release())
{
}

WalkFolder::~WalkFolder()
{
    if (const int fd = m_fd.load(std::memory_order_relaxed); fd >= 0) {
        ::close(fd);
    }
}

std::shared_ptr<WalkFolder> WalkFolder::root(FileDescriptor fd, std::string_view path, uint32_t order)
{
    return std::make_shared<WalkFolder>(Key{}, nullptr, std::string(path), order, std::move(fd));
}

FileDescriptor WalkFolder::openChild(int parentFd, const std::string &name)
{
    int fd;
    do {
        fd = ::openat(parentFd, name.c_str(), kChildFolderOpenFlags);
    } while (fd < 0 && errno == EINTR);
    return FileDescriptor(fd);
}

std::shared_ptr<WalkFolder> WalkFolder::adopt(const std::shared_ptr<WalkFolder> &parent, FileDescriptor fd,
                                              std::string name, uint32_t order)
{
    return std::make_shared<WalkFolder>(Key{}, parent, std::move(name), order, std::move(fd));
}

WalkFolder::Lease WalkFolder::lease()
{
    {
        const std::lock_guard lock(m_mutex);
        if (const int fd = m_fd.load(std::memory_order_relaxed); fd >= 0) {
            ++m_leases;
            return Lease(this, fd);
        }
        if (!m_parent || !m_identityKnown) {
            errno = ESTALE;
            return {};
        }
    }
    // Reopened without holding the lock: the parent may have to be reopened first, and its lock
    // must never be taken while a child's is held.
    const Lease parentLease = m_parent->lease();
    if (parentLease.fd() < 0) {
        return {};
    }
    FileDescriptor reopened = openChild(parentLease.fd(), m_name);
    struct stat status {};
    if (!reopened.valid() || ::fstat(reopened.get(), &status) != 0) {
        return {};
    }
    const std::lock_guard lock(m_mutex);
    if (!m_identity.matches(status)) {
        errno = ESTALE;
        return {};
    }
    if (m_fd.load(std::memory_order_relaxed) < 0) { // another worker may have reopened it meanwhile
        m_fd.store(reopened.release(), std::memory_order_release);
    }
    ++m_leases;
    return Lease(this, m_fd.load(std::memory_order_relaxed));
}

int WalkFolder::pinnedFd()
{
    if (const int fd = m_fd.load(std::memory_order_acquire); fd >= 0) {
        return fd;
    }
    // Reopened through a lease; the caller's pin keeps it open after the lease ends.
    return lease().fd();
}

void WalkFolder::pin()
{
    const std::lock_guard lock(m_mutex);
    ++m_pins;
}

void WalkFolder::unpin(bool close)
{
    const std::lock_guard lock(m_mutex);
    if (--m_pins == 0 && close && m_leases == 0) {
        closeLocked();
    }
}

void WalkFolder::endLease()
{
    const std::lock_guard lock(m_mutex);
    // A folder no chain pins was only reopened on the way to a descendant.
    if (--m_leases == 0 && m_pins == 0) {
        closeLocked();
    }
}

void WalkFolder::closeLocked()
{
    const int fd = m_fd.load(std::memory_order_relaxed);
    if (!m_parent || fd < 0) {
        return;
    }
    if (!m_identityKnown) {
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            return; // keep it open rather than lose track of it
        }
        m_identity = FileIdentity::of(status);
        m_identityKnown = true;
    }
    m_fd.store(-1, std::memory_order_relaxed);
    ::close(fd);
}

WalkFolder::Lease::Lease(Lease &&other) noexcept
    : m_folder(std::exchange(other.m_folder, nullptr)), m_fd(std::exchange(other.m_fd, -1))
{
}

WalkFolder::Lease &WalkFolder::Lease::operator=(Lease &&other) noexcept
{
    if (this != &other) {
        release();
        m_folder = std::exchange(other.m_folder, nullptr);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

WalkFolder::Lease::~Lease()
{
    release();
}

void WalkFolder::Lease::release()
{
    if (m_folder != nullptr) {
        m_folder->endLease();
        m_folder = nullptr;
        m_fd = -1;
    }
}

} // namespace tarnwick
