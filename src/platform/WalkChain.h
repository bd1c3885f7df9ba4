#pragma once

#include "platform/WalkFolder.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// One worker's descent in a parallel walk: the folders from a root (index 0) to the folder being
// worked on (the top), and the top's path in one buffer that is extended and cut as the worker
// moves, so paths cost nothing per entry.
//
// A worker takes its own pending entries last first, so their parents are always folders of its
// chain; an entry taken over from another worker gets the chain rebuilt from the entry's parent up.
//
// Descriptor budget: the chain pins (keeps open) the `window` folders nearest the top and every
// window-th folder below them, so a worker holds at most window + depth / window descriptors
// however deep the tree, and a closed folder is reopened from an open ancestor at most one window
// up. Folders several workers share are pinned by each and closed when none pins them.
class WalkChain {
public:
    explicit WalkChain(std::size_t window) : m_window(window < 2 ? 2 : window) {}
    WalkChain(const WalkChain &) = delete;
    WalkChain &operator=(const WalkChain &) = delete;
    WalkChain(WalkChain &&) = default;
    WalkChain &operator=(WalkChain &&) = delete;
    ~WalkChain() { truncate(0); }

    // Makes `folder` the top, keeping the folders this chain shares with its ancestry.
    void moveTo(const std::shared_ptr<WalkFolder> &folder);
    // Makes a child of the top the new top.
    void push(std::shared_ptr<WalkFolder> folder);
    void clear() { truncate(0); }

    bool empty() const { return m_nodes.empty(); }
    std::size_t size() const { return m_nodes.size(); }
    const std::shared_ptr<WalkFolder> &top() const { return m_nodes.back(); }
    std::string_view topPath() const { return m_path; }

private:
    bool pinned(std::size_t index, std::size_t size) const { return index % m_window == 0 || index + m_window >= size; }
    void truncate(std::size_t count);

    std::size_t m_window;
    std::vector<std::shared_ptr<WalkFolder>> m_nodes;
    std::vector<std::size_t> m_pathLengths;
    std::string m_path;
    std::vector<WalkFolder *> m_missing; // moveTo's scratch list, kept to spare an allocation per call
};

} // namespace tarnwick
