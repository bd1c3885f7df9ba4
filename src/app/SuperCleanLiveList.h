#pragma once

#include "engine/SuperCleanItem.h"

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarnwick {

// The guided scan's list of items, always in review order when read, which a scan grows one item
// at a time. Inserting each item at its place would move half the list per item, and finding a
// repeat by looking through it would read all of it: with 100,000 items both are quadratic. So
// arrivals are kept apart and merged into the ordered list only when the whole list is read, the
// ids seen are kept in a hash set, and the first few items, all the live view shows, are kept up
// to date on every arrival.
class SuperCleanLiveList {
public:
    // How many leading items stay current without a merge.
    static constexpr std::size_t kLeading = 8;

    // The items in review order; merges what arrived since the last read.
    const std::vector<SuperCleanItem> &items() const;
    std::size_t size() const { return m_ordered.size() + m_arrivals.size(); }
    bool empty() const { return size() == 0; }
    // The listed item with this id, found without putting the list in order first.
    const SuperCleanItem *find(const std::string &id) const;
    // The first kLeading items in review order (all of them when there are fewer).
    const std::vector<SuperCleanItem> &leading() const { return m_leading; }

    // Adds an item unless one with its id is listed already; true when added.
    bool add(SuperCleanItem item);
    // Replaces the whole list with items already in review order.
    void replace(std::vector<SuperCleanItem> items);
    // Hands every item over, in no particular order, and leaves the list empty: for a caller that
    // sorts them again anyway.
    std::vector<SuperCleanItem> takeAll();

private:
    void merge() const;

    mutable std::vector<SuperCleanItem> m_ordered;
    // A deque, so a growing scan never moves the items that arrived before: moving tens of
    // thousands of items at once stalls the main thread for tens of milliseconds.
    mutable std::deque<SuperCleanItem> m_arrivals;
    std::vector<SuperCleanItem> m_leading;
    // The ids of every listed item, built on the first add after a replace. Split in shards by
    // hash: growing one set of 100,000 strings rehashes all of them at once, a stall of tens of
    // milliseconds, while a shard rehashes only its own.
    static constexpr std::size_t kIdShards = 64;
    std::array<std::unordered_set<std::string>, kIdShards> m_ids;
    bool m_idsKnown = true;

    bool insertId(const std::string &id);
};

} // namespace tarnwick
