#pragma once

#include "platform/FileDescriptor.h"
#include "platform/WalkFolder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace tarnwick {

// A folder a worker is listing. It becomes a WalkFolder, which other workers can reach and which a
// chain keeps track of, only when its listing queues something below it: most folders of a
// dependency tree hold files only, and for those the descriptor is all the walk needs.
class ListedFolder {
public:
    ListedFolder(std::shared_ptr<WalkFolder> parent, FileDescriptor fd, std::string name, uint32_t order)
        : m_parent(std::move(parent)), m_fd(std::move(fd)), m_name(std::move(name)), m_order(order),
          m_fdNumber(m_fd.get())
    {
    }
    // A folder that is shared already: a root.
    ListedFolder(std::shared_ptr<WalkFolder> folder, int fd) : m_fdNumber(fd), m_folder(std::move(folder)) {}

    int fd() const { return m_fdNumber; }
    // Its name in its parent (a root's path for a root).
    std::string_view name() const { return m_folder ? std::string_view(m_folder->name()) : std::string_view(m_name); }

    // The folder as the parent of what its listing queues; made on the first call, when it takes
    // over the descriptor.
    const std::shared_ptr<WalkFolder> &shared()
    {
        if (!m_folder) {
            m_folder = WalkFolder::adopt(m_parent, std::move(m_fd), std::move(m_name), m_order);
        }
        return m_folder;
    }

private:
    std::shared_ptr<WalkFolder> m_parent;
    FileDescriptor m_fd;
    std::string m_name;
    uint32_t m_order = 0;
    int m_fdNumber;
    std::shared_ptr<WalkFolder> m_folder;
};

} // namespace tarnwick
