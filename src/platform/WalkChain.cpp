#include "platform/WalkChain.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

void WalkChain::moveTo(const std::shared_ptr<WalkFolder> &folder)
{
    // Walk up from the folder to the deepest one this chain already holds at its place.
    std::vector<WalkFolder *> &missing = m_missing;
    missing.clear();
    WalkFolder *node = folder.get();
    while (node != nullptr && !(node->depth() < m_nodes.size() && m_nodes[node->depth()].get() == node)) {
        missing.push_back(node);
        node = node->parent().get();
    }
    truncate(node == nullptr ? 0 : node->depth() + 1);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        // The last one is `folder` itself; the others are held by their children's parent links.
        push(std::next(it) == missing.rend() ? folder : (*std::next(it))->parent());
    }
}

void WalkChain::push(std::shared_ptr<WalkFolder> folder)
{
    if (m_nodes.empty()) {
        m_path.assign(folder->name());
    } else {
        if (m_path.empty() || m_path.back() != '/') {
            m_path += '/';
        }
        m_path += folder->name();
    }
    folder->pin();
    m_pathLengths.push_back(m_path.size());
    m_nodes.push_back(std::move(folder));
    const std::size_t size = m_nodes.size();
    if (size > m_window && !pinned(size - 1 - m_window, size)) {
        m_nodes[size - 1 - m_window]->unpin(true);
    }
}

void WalkChain::truncate(std::size_t count)
{
    const std::size_t size = m_nodes.size();
    if (count >= size) {
        return;
    }
    for (std::size_t i = size; i-- > count;) {
        std::shared_ptr<WalkFolder> &node = m_nodes[i];
        // A folder held by this chain alone goes away now and closes with it; one that others still
        // hold (a worker below it, a parent link) is closed unless someone else pins it.
        if (pinned(i, size) && node.use_count() > 1) {
            node->unpin(true);
        }
        m_nodes.pop_back();
    }
    // Folders that come back into the window are pinned again; they reopen when leased.
    const std::size_t from = count > m_window ? count - m_window : 0;
    const std::size_t to = std::min(count, size > m_window ? size - m_window : 0);
    for (std::size_t i = from; i < to; ++i) {
        if (!pinned(i, size) && pinned(i, count)) {
            m_nodes[i]->pin();
        }
    }
    m_pathLengths.resize(count);
    m_path.resize(count == 0 ? 0 : m_pathLengths.back());
}

} // namespace tarnwick
