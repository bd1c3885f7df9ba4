#include "platform/DirectoryChain.h"

#include "platform/FolderOpenFlags.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace tarnwick {

namespace {

int openChild(int parentFd, std::string_view name)
{
    const std::string terminated(name);
    int fd;
    do {
        fd = ::openat(parentFd, terminated.c_str(), kChildFolderOpenFlags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
}  // namespace

void DirectoryChain::reset(FileDescriptor root, std::string_view rootPath)
{
    clear();
    m_path.assign(rootPath);
    Node node;
    node.name.assign(rootPath);
    node.fd = std::move(root);
    node.pathLength = m_path.size();
    m_nodes.push_back(std::move(node));
}

void DirectoryChain::clear()
{
    m_nodes.clear();
    m_path.clear();
}

void DirectoryChain::truncate(std::size_t count)
{
    if (count >= m_nodes.size()) {
        return;
    }
    m_nodes.resize(count);
    m_path.resize(count == 0 ? 0 : m_nodes.back().pathLength);
}

int DirectoryChain::push(std::string_view name)
{
    const int parentFd = topFd();
    if (parentFd < 0) {
        return errno;
    }
    const int fd = openChild(parentFd, name);
    if (fd < 0) {
        return errno;
    }
    if (m_path.empty() || m_path.back() != '/') {
        m_path += '/';
    }
    m_path += name;
    Node node;
    node.name.assign(name);
    node.fd.reset(fd);
    node.pathLength = m_path.size();
    m_nodes.push_back(std::move(node));
    closeOutsideWindow(m_nodes.size() - 1);
    return 0;
}

void DirectoryChain::closeOutsideWindow(std::size_t top)
{
    if (top < kOpenWindow) {
        return;
    }
    const std::size_t index = top - kOpenWindow;
    // Index 0 is the root (it may not be reopenable by name) and every window-th folder stays open
    // so a reopen never walks more than one window.
    if (index % kOpenWindow == 0) {
        return;
    }
    Node &node = m_nodes[index];
    if (!node.fd.valid()) {
        return;
    }
    struct stat status {};
    if (::fstat(node.fd.get(), &status) != 0) {
        return;  // keep it open rather than lose track of it
    }
    node.device = status.st_dev;
    node.inode = status.st_ino;
    node.identityKnown = true;
    node.fd.reset();
}

int DirectoryChain::fdAt(std::size_t index)
{
    if (m_nodes[index].fd.valid()) {
        return m_nodes[index].fd.get();
    }
    return reopen(index);
}

int DirectoryChain::reopen(std::size_t index)
{
    std::size_t open = index;
    while (!m_nodes[open].fd.valid()) {
        --open;  // index 0 is never closed
    }
    for (std::size_t i = open + 1; i <= index; ++i) {
        Node &node = m_nodes[i];
        const int fd = openChild(m_nodes[i - 1].fd.get(), node.name);
        if (fd < 0) {
            return -1;
        }
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !node.identityKnown || status.st_dev != node.device ||
            status.st_ino != node.inode) {
            ::close(fd);
            errno = ESTALE;
            return -1;
        }
        node.fd.reset(fd);
    }
    // Close again the intermediate folders that lie outside the window of the current top.
    for (std::size_t i = open + 1; i < index; ++i) {
        if (i + kOpenWindow <= m_nodes.size() - 1 && i % kOpenWindow != 0) {
            m_nodes[i].fd.reset();
        }
    }
    return m_nodes[index].fd.get();
}

}  // namespace tarnwick
