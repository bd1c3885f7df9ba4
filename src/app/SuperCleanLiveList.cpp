#include "app/SuperCleanLiveList.h"

#include "engine/SuperCleanAnalysis.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <utility>

namespace tarnwick {

const std::vector<SuperCleanItem> &SuperCleanLiveList::items() const
{
    merge();
    return m_ordered;
}

void SuperCleanLiveList::merge() const
{
    if (m_arrivals.empty()) {
        return;
    }
    auto arrivals = SuperCleanAnalysis::sortedItems(
        {std::make_move_iterator(m_arrivals.begin()), std::make_move_iterator(m_arrivals.end())});
    m_arrivals.clear();
    const auto middle = static_cast<std::ptrdiff_t>(m_ordered.size());
    m_ordered.insert(m_ordered.end(), std::make_move_iterator(arrivals.begin()),
                     std::make_move_iterator(arrivals.end()));
    std::inplace_merge(m_ordered.begin(), m_ordered.begin() + middle, m_ordered.end(), SuperCleanAnalysis::comesBefore);
}

const SuperCleanItem *SuperCleanLiveList::find(const std::string &id) const
{
    const auto matches = [&id](const SuperCleanItem &item) { return item.id == id; };
    if (const auto found = std::find_if(m_ordered.begin(), m_ordered.end(), matches); found != m_ordered.end()) {
        return &*found;
    }
    const auto arrived = std::find_if(m_arrivals.begin(), m_arrivals.end(), matches);
    return arrived == m_arrivals.end() ? nullptr : &*arrived;
}

bool SuperCleanLiveList::insertId(const std::string &id)
{
    return m_ids[std::hash<std::string>{}(id) % kIdShards].insert(id).second;
}

bool SuperCleanLiveList::add(SuperCleanItem item)
{
    if (!m_idsKnown) {
        for (const auto &listed : m_ordered) {
            insertId(listed.id);
        }
        m_idsKnown = true;
    }
    if (!insertId(item.id)) {
        return false;
    }
    const auto place = std::upper_bound(m_leading.begin(), m_leading.end(), item, SuperCleanAnalysis::comesBefore);
    if (place != m_leading.end() || m_leading.size() < kLeading) {
        m_leading.insert(place, item);
        if (m_leading.size() > kLeading) {
            m_leading.pop_back();
        }
    }
    m_arrivals.push_back(std::move(item));
    return true;
}

void SuperCleanLiveList::replace(std::vector<SuperCleanItem> items)
{
    m_ordered = std::move(items);
    m_arrivals.clear();
    m_leading.assign(m_ordered.begin(),
                     m_ordered.begin() + static_cast<std::ptrdiff_t>(std::min(kLeading, m_ordered.size())));
    for (auto &shard : m_ids) {
        shard.clear();
    }
    m_idsKnown = m_ordered.empty();
}

std::vector<SuperCleanItem> SuperCleanLiveList::takeAll()
{
    auto items = std::exchange(m_ordered, {});
    items.insert(items.end(), std::make_move_iterator(m_arrivals.begin()), std::make_move_iterator(m_arrivals.end()));
    replace({});
    return items;
}

} // namespace tarnwick
